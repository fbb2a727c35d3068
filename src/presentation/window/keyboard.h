#pragma once
// What each key does in the player. The keys call the handlers that the mouse
// calls; only Enter, Space and Page Down first show the rest of a long page.

#include <Qt>

namespace vorn {

enum class KeyAction {
    None,
    ReadOn, // Enter, Space, Page Down: the rest of a long page, then the next
    ClickOption1,
    ClickOption2,
    ClickOption3,
    ClickOption4,
    ScrollUp,
    ScrollDown,
    ToggleBacklog, // B
    CloseBacklog,  // Escape
    CopyPage,      // Ctrl+C
    ZoomIn,
    ZoomOut,
    ToggleFullScreen, // F11, Alt+Enter
    PopupMenu,        // the context-menu key, Shift+F10
    Quit,             // Ctrl+Q
    QuickSave,        // F5
    QuickLoad,        // F9
    SaveDialog,       // Ctrl+S
    LoadDialog,       // Ctrl+L
};

KeyAction keyAction(int key, Qt::KeyboardModifiers modifiers);

} // namespace vorn
