#pragma once
// What each button of a gamepad does, for every front end. A button stands for
// a key of the reader's key table (reader_keys.h), so a pad does exactly what
// the keyboard does, and a key's meaning changed there changes the button's.
// Buttons are named by their place, as SDL and the browser's standard mapping
// name them (south is the lower face button, whatever the pad prints on it).
// Over a dialog or a menu the buttons walk and answer it: the d-pad moves,
// south answers, east cancels.

#include <optional>
#include <span>

namespace vorn {

enum class PadButton {
    South,
    East,
    West,
    North,
    Select, // "Back" or "View" on some pads
    Start,  // "Menu" or "Options"
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
};

// A key as the key table names it, with the modifiers held with it.
struct PadKey {
    const char* key; // KeyboardEvent.key names: "Enter", "Tab", "ArrowLeft", "a"
    unsigned modifiers; // KeyModifier bits
};

struct PadRow {
    PadButton button;
    const char* name;                // "south", "dpad-up": the settings and the README name buttons so
    std::optional<PadKey> inPlay;    // the key it presses while the story is shown
    std::optional<PadKey> inDialog;  // the key it presses over a dialog, a menu or the backlog
    bool held;                       // its key stays down while the button does (skip while held)
};

std::span<const PadRow> padRows();

// The row of a button.
const PadRow& padRow(PadButton button);

// The left stick counts as the d-pad once it leans this far (of 32767) from
// its centre, and lets go below half of it, so a stick resting near the
// threshold does not chatter.
inline constexpr int kStickPress = 16000;
inline constexpr int kStickRelease = 8000;

// Which d-pad button a stick's position presses, if any: the axis leaning
// furthest wins. `wasPressed` is the button it pressed before, held until the
// stick comes back under the release threshold.
std::optional<PadButton> stickDirection(int x, int y, std::optional<PadButton> wasPressed);

} // namespace vorn
