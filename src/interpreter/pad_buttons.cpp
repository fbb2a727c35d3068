#include "pad_buttons.h"

#include "reader_keys.h"

#include <cstdlib>

namespace vorn {

std::span<const PadRow> padRows() {
    // In play the d-pad walks the offered options as Tab and Shift+Tab do,
    // and south presses Enter: the next page, or the focused option. East
    // steps back a place, west opens the backlog, north and Start the pop-up
    // menu, Select quick saves; the left shoulder skips read pages while
    // held, the right one turns auto mode on and off. Over a dialog up and
    // down walk its list or menu, left and right go from control to control.
    static const PadRow rows[] = {
        {PadButton::South, "south", PadKey{"Enter", kNoModifier}, PadKey{"Enter", kNoModifier}, false},
        {PadButton::East, "east", PadKey{"ArrowLeft", kNoModifier}, PadKey{"Escape", kNoModifier}, false},
        {PadButton::West, "west", PadKey{"b", kNoModifier}, PadKey{"b", kNoModifier}, false},
        {PadButton::North, "north", PadKey{"ContextMenu", kNoModifier}, PadKey{"Escape", kNoModifier}, false},
        {PadButton::Select, "select", PadKey{"F5", kNoModifier}, std::nullopt, false},
        {PadButton::Start, "start", PadKey{"ContextMenu", kNoModifier}, PadKey{"Escape", kNoModifier}, false},
        {PadButton::LeftShoulder, "left-shoulder", PadKey{"Control", kCtrl}, std::nullopt, true},
        {PadButton::RightShoulder, "right-shoulder", PadKey{"a", kNoModifier}, std::nullopt, false},
        {PadButton::DpadUp, "dpad-up", PadKey{"Tab", kShift}, PadKey{"ArrowUp", kNoModifier}, false},
        {PadButton::DpadDown, "dpad-down", PadKey{"Tab", kNoModifier}, PadKey{"ArrowDown", kNoModifier}, false},
        {PadButton::DpadLeft, "dpad-left", PadKey{"Tab", kShift}, PadKey{"Tab", kShift}, false},
        {PadButton::DpadRight, "dpad-right", PadKey{"Tab", kNoModifier}, PadKey{"Tab", kNoModifier}, false},
    };
    return rows;
}

const PadRow& padRow(PadButton button) {
    for (const PadRow& row : padRows())
        if (row.button == button) return row;
    return padRows().front(); // every button has a row; a test walks them
}

std::optional<PadButton> stickDirection(int x, int y, std::optional<PadButton> wasPressed) {
    const int ax = std::abs(x), ay = std::abs(y);
    if (wasPressed && (ax >= kStickRelease || ay >= kStickRelease)) {
        // Held until the stick comes back, unless it now leans further another way.
        if (ax < kStickPress && ay < kStickPress) return wasPressed;
    }
    if (ax < kStickPress && ay < kStickPress) return std::nullopt;
    if (ax >= ay) return x < 0 ? PadButton::DpadLeft : PadButton::DpadRight;
    return y < 0 ? PadButton::DpadUp : PadButton::DpadDown; // SDL's y grows downwards
}

} // namespace vorn
