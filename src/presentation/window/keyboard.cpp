#include "keyboard.h"

namespace vorn {

std::string keyName(int key) {
    // A character key is its character, as Qt codes it: ASCII, letters in upper case.
    if (key > ' ' && key < 0x7f) {
        const char c = static_cast<char>(key);
        return std::string(1, c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) return "F" + std::to_string(key - Qt::Key_F1 + 1);
    switch (key) {
    case Qt::Key_Space: return " ";
    case Qt::Key_Return:
    case Qt::Key_Enter: return "Enter";
    case Qt::Key_Escape: return "Escape";
    case Qt::Key_Tab: return "Tab";
    case Qt::Key_Backspace: return "Backspace";
    case Qt::Key_Insert: return "Insert";
    case Qt::Key_Delete: return "Delete";
    case Qt::Key_Home: return "Home";
    case Qt::Key_End: return "End";
    case Qt::Key_PageUp: return "PageUp";
    case Qt::Key_PageDown: return "PageDown";
    case Qt::Key_Left: return "ArrowLeft";
    case Qt::Key_Right: return "ArrowRight";
    case Qt::Key_Up: return "ArrowUp";
    case Qt::Key_Down: return "ArrowDown";
    case Qt::Key_Menu: return "ContextMenu";
    case Qt::Key_Control: return "Control";
    default: return "";
    }
}

unsigned keyModifiers(Qt::KeyboardModifiers modifiers) {
    unsigned bits = kNoModifier;
    if (modifiers & Qt::ControlModifier) bits |= kCtrl;
    if (modifiers & Qt::ShiftModifier) bits |= kShift;
    if (modifiers & Qt::AltModifier) bits |= kAlt;
    if (modifiers & Qt::MetaModifier) bits |= kMeta;
    return bits;
}

KeyAction keyAction(int key, Qt::KeyboardModifiers modifiers) {
    const std::string name = keyName(key);
    return name.empty() ? KeyAction::None : keyAction(name, keyModifiers(modifiers));
}

} // namespace vorn
