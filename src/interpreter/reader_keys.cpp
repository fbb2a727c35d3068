#include "reader_keys.h"

#include <string>

namespace vorn {

std::span<const KeyRow> keyRows() {
    static const KeyRow rows[] = {
        {"Enter", kNoModifier, KeyAction::ReadOn},
        {" ", kNoModifier, KeyAction::ReadOn},
        {"PageDown", kNoModifier, KeyAction::ReadOn},
        {"1", kNoModifier, KeyAction::ClickOption1},
        {"2", kNoModifier, KeyAction::ClickOption2},
        {"3", kNoModifier, KeyAction::ClickOption3},
        {"4", kNoModifier, KeyAction::ClickOption4},
        {"ArrowUp", kNoModifier, KeyAction::ScrollUp},
        {"ArrowDown", kNoModifier, KeyAction::ScrollDown},
        {"b", kNoModifier, KeyAction::ToggleBacklog},
        {"Escape", kNoModifier, KeyAction::CloseBacklog},
        {"c", kCtrl, KeyAction::CopyPage},
        {"+", kCtrl, KeyAction::ZoomIn},
        {"+", kCtrl | kShift, KeyAction::ZoomIn}, // where '+' is a shifted key
        {"=", kCtrl, KeyAction::ZoomIn},          // the '+' key without Shift
        {"-", kCtrl, KeyAction::ZoomOut},
        {"F11", kNoModifier, KeyAction::ToggleFullScreen},
        {"Enter", kAlt, KeyAction::ToggleFullScreen},
        {"ContextMenu", kNoModifier, KeyAction::PopupMenu},
        {"F10", kShift, KeyAction::PopupMenu},
        {"q", kCtrl, KeyAction::Quit},
        {"F5", kNoModifier, KeyAction::QuickSave},
        {"F9", kNoModifier, KeyAction::QuickLoad},
        {"s", kCtrl, KeyAction::SaveDialog},
        {"l", kCtrl, KeyAction::LoadDialog},
        {"ArrowLeft", kNoModifier, KeyAction::StepBack},
        {"PageUp", kNoModifier, KeyAction::StepBack},
        {"Control", kCtrl, KeyAction::SkipWhileHeld}, // the Ctrl key itself, pressed
        {"s", kNoModifier, KeyAction::ToggleSkip},
        {"a", kNoModifier, KeyAction::ToggleAuto},
        {"m", kNoModifier, KeyAction::ToggleMute},
        {"9", kNoModifier, KeyAction::VolumeDown}, // 9 and 0 as in the common media players
        {"0", kNoModifier, KeyAction::VolumeUp},
        {",", kCtrl, KeyAction::OpenSettings}, // Ctrl+comma, as the desktop's programs open their settings
        {"v", kNoModifier, KeyAction::ToggleVoicing},
        {"r", kNoModifier, KeyAction::RepeatSpeech},
    };
    return rows;
}

KeyAction keyAction(std::string_view key, unsigned modifiers) {
    std::string name(key);
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') name[0] = static_cast<char>(name[0] - 'A' + 'a');
    for (const KeyRow& row : keyRows())
        if (row.modifiers == modifiers && name == row.key) return row.action;
    return KeyAction::None;
}

BacklogKey whileBacklogOpen(KeyAction action) {
    switch (action) {
    case KeyAction::ToggleBacklog:
    case KeyAction::CloseBacklog: return BacklogKey::ClosesIt;
    case KeyAction::ScrollUp:
    case KeyAction::ScrollDown: return BacklogKey::ScrollsIt;
    case KeyAction::Quit:
    case KeyAction::ToggleFullScreen:
    case KeyAction::ZoomIn:
    case KeyAction::ZoomOut:
    case KeyAction::CopyPage:
    case KeyAction::ToggleMute:
    case KeyAction::VolumeDown:
    case KeyAction::VolumeUp:
    case KeyAction::ToggleVoicing:
    case KeyAction::RepeatSpeech: return BacklogKey::ActsAsEver;
    case KeyAction::QuickSave:
    case KeyAction::QuickLoad:
    case KeyAction::SaveDialog:
    case KeyAction::LoadDialog:
    case KeyAction::StepBack:
    case KeyAction::ToggleSkip:
    case KeyAction::ToggleAuto:
    case KeyAction::OpenSettings: return BacklogKey::ClosesFirst;
    case KeyAction::None:
    case KeyAction::ReadOn:
    case KeyAction::ClickOption1:
    case KeyAction::ClickOption2:
    case KeyAction::ClickOption3:
    case KeyAction::ClickOption4:
    case KeyAction::PopupMenu:
    // Ctrl is pressed first for every shortcut: Ctrl+C copies from the backlog.
    case KeyAction::SkipWhileHeld: return BacklogKey::Ignored;
    }
    return BacklogKey::Ignored;
}

const char* actionName(KeyAction action) {
    switch (action) {
    case KeyAction::None: return "None";
    case KeyAction::ReadOn: return "ReadOn";
    case KeyAction::ClickOption1: return "ClickOption1";
    case KeyAction::ClickOption2: return "ClickOption2";
    case KeyAction::ClickOption3: return "ClickOption3";
    case KeyAction::ClickOption4: return "ClickOption4";
    case KeyAction::ScrollUp: return "ScrollUp";
    case KeyAction::ScrollDown: return "ScrollDown";
    case KeyAction::ToggleBacklog: return "ToggleBacklog";
    case KeyAction::CloseBacklog: return "CloseBacklog";
    case KeyAction::CopyPage: return "CopyPage";
    case KeyAction::ZoomIn: return "ZoomIn";
    case KeyAction::ZoomOut: return "ZoomOut";
    case KeyAction::ToggleFullScreen: return "ToggleFullScreen";
    case KeyAction::PopupMenu: return "PopupMenu";
    case KeyAction::Quit: return "Quit";
    case KeyAction::QuickSave: return "QuickSave";
    case KeyAction::QuickLoad: return "QuickLoad";
    case KeyAction::SaveDialog: return "SaveDialog";
    case KeyAction::LoadDialog: return "LoadDialog";
    case KeyAction::StepBack: return "StepBack";
    case KeyAction::SkipWhileHeld: return "SkipWhileHeld";
    case KeyAction::ToggleSkip: return "ToggleSkip";
    case KeyAction::ToggleAuto: return "ToggleAuto";
    case KeyAction::ToggleMute: return "ToggleMute";
    case KeyAction::VolumeDown: return "VolumeDown";
    case KeyAction::VolumeUp: return "VolumeUp";
    case KeyAction::OpenSettings: return "OpenSettings";
    case KeyAction::ToggleVoicing: return "ToggleVoicing";
    case KeyAction::RepeatSpeech: return "RepeatSpeech";
    }
    return "None";
}

const char* backlogKeyName(BacklogKey rule) {
    switch (rule) {
    case BacklogKey::Ignored: return "Ignored";
    case BacklogKey::ClosesIt: return "ClosesIt";
    case BacklogKey::ScrollsIt: return "ScrollsIt";
    case BacklogKey::ClosesFirst: return "ClosesFirst";
    case BacklogKey::ActsAsEver: return "ActsAsEver";
    }
    return "Ignored";
}

} // namespace vorn
