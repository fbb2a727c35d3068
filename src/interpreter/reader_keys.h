#pragma once
// The reader's keys and what each does, for every front end: the window looks
// its key presses up here, and the browser page gets the same table from the
// compiled player. A key added to the table works in both; a new action needs
// a handler in each (the switches over KeyAction name it).

#include <span>
#include <string_view>

namespace vorn {

enum class KeyAction {
    None,
    ReadOn, // the rest of a long page, a box at a time, then the next page
    ClickOption1,
    ClickOption2,
    ClickOption3,
    ClickOption4,
    ScrollUp,
    ScrollDown,
    ToggleBacklog,
    CloseBacklog,
    CopyPage,
    ZoomIn,
    ZoomOut,
    ToggleFullScreen,
    PopupMenu,
    Quit,
    QuickSave,
    QuickLoad,
    SaveDialog,
    LoadDialog,
    StepBack,      // back to the place where the reader last waited
    SkipWhileHeld, // turn pages already read for as long as the key is held
    ToggleSkip,    // turn pages already read until pressed again
    ToggleAuto,    // pages turn by themselves after a delay
    ToggleMute,
    VolumeDown,
    VolumeUp,
    OpenSettings,
    ToggleVoicing, // the player reads each page and its options aloud
    RepeatSpeech,  // says the page and its options again
};

// The modifiers held with a key, as bits; a key with others held does nothing.
// Meta (the Windows or Command key) is in no row: a key held with it does nothing.
enum KeyModifier : unsigned { kNoModifier = 0, kCtrl = 1, kShift = 2, kAlt = 4, kMeta = 8 };

// What a key's action does while the backlog covers the story.
enum class BacklogKey {
    Ignored,     // the backlog only shows pages; the story waits behind it
    ClosesIt,    // the backlog closes, and that is all
    ScrollsIt,   // the backlog scrolls instead of the page
    ClosesFirst, // the backlog closes, then the action is done
    ActsAsEver,  // the action is done, the backlog left as it is
};

struct KeyRow {
    // The key as a browser names it (KeyboardEvent.key): "Enter", " ",
    // "ArrowUp", "F5", "ContextMenu"; a character key by its character, a
    // letter in lower case.
    const char* key;
    unsigned modifiers; // a set of KeyModifier bits, exactly these held
    KeyAction action;
};

std::span<const KeyRow> keyRows();

// The action of `key` (named as in KeyRow) with exactly `modifiers` held;
// KeyAction::None for a key that does nothing. A letter counts in either case.
KeyAction keyAction(std::string_view key, unsigned modifiers);

// What `action` does while the backlog is open.
BacklogKey whileBacklogOpen(KeyAction action);

// The names the browser page knows actions and backlog rules by: "ReadOn",
// "ClosesFirst".
const char* actionName(KeyAction action);
const char* backlogKeyName(BacklogKey rule);

} // namespace vorn
