#include "keyboard.h"

namespace vorn {

KeyAction keyAction(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    const bool plain = mods == Qt::NoModifier;
    if (ctrl) {
        switch (key) {
        case Qt::Key_C: return KeyAction::CopyPage;
        case Qt::Key_Q: return KeyAction::Quit;
        case Qt::Key_S: return KeyAction::SaveDialog;
        case Qt::Key_L: return KeyAction::LoadDialog;
        case Qt::Key_Plus:
        case Qt::Key_Equal: return KeyAction::ZoomIn;
        case Qt::Key_Minus: return KeyAction::ZoomOut;
        default: return KeyAction::None;
        }
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::AltModifier) return KeyAction::ToggleFullScreen;
    if (key == Qt::Key_F10 && mods == Qt::ShiftModifier) return KeyAction::PopupMenu;
    if (key == Qt::Key_Plus && mods == (Qt::ControlModifier | Qt::ShiftModifier)) return KeyAction::ZoomIn;
    if (!plain) return KeyAction::None;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_PageDown: return KeyAction::ReadOn;
    case Qt::Key_1: return KeyAction::ClickOption1;
    case Qt::Key_2: return KeyAction::ClickOption2;
    case Qt::Key_3: return KeyAction::ClickOption3;
    case Qt::Key_4: return KeyAction::ClickOption4;
    case Qt::Key_Up: return KeyAction::ScrollUp;
    case Qt::Key_Down: return KeyAction::ScrollDown;
    case Qt::Key_B: return KeyAction::ToggleBacklog;
    case Qt::Key_Escape: return KeyAction::CloseBacklog;
    case Qt::Key_F11: return KeyAction::ToggleFullScreen;
    case Qt::Key_F5: return KeyAction::QuickSave;
    case Qt::Key_F9: return KeyAction::QuickLoad;
    case Qt::Key_Menu: return KeyAction::PopupMenu;
    default: return KeyAction::None;
    }
}

} // namespace vorn
