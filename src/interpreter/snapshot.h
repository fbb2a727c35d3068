#pragma once
// A paused game, whole: everything that decides how the script goes on, and
// everything the reader sees and hears. Taken and restored only between runs.

#include "message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// The picture of one element. `file` is the name as the script or the program
// gave it; no value means the element still holds its start picture (Image1's
// built-in scene, nothing in Image2). An element keeps the size of its last
// picture when it is emptied, so `sizeOf` names the picture whose size it has;
// no value means its start size.
struct PictureState {
    std::optional<std::string> file;
    std::optional<std::string> sizeOf;
    bool operator==(const PictureState&) const = default;
};

// One entry of the backlog, oldest first: a page shown, or the option the
// reader chose at a menu.
struct BacklogEntry {
    enum class Kind { Page, Choice };
    Kind kind = Kind::Page;
    std::string text; // UTF-8: the page as the text box showed it, or the option's caption
    bool operator==(const BacklogEntry&) const = default;
};

struct Snapshot {
    // The interpreter: the script stream's place and the state members.
    std::size_t position = 0;   // byte offset into code.vrn
    std::size_t menuOffset = 0; // where the latest choice menu starts; named in reports
    std::int16_t WaitCmd = 0;
    std::optional<std::int16_t> NumCmds;
    std::optional<std::string> musfile;
    std::array<std::uint8_t, 8> Flag{};
    std::optional<std::int16_t> Cmd_Selected;
    bool menuWaiting = false;

    // The screen and the music.
    std::array<PictureState, 3> pictures; // Form1, Image1, Image2
    std::array<std::string, 4> captions;
    std::string text;
    std::optional<std::string> music; // the file last started; no value while silent
    std::vector<BacklogEntry> backlog;

    bool operator==(const Snapshot&) const = default;
};

// Why a snapshot holds what no script can bring about, or nothing when it could be
// a game's: `WaitCmd` 0 or -1; `NumCmds` empty or 0 to 4; `Cmd_Selected`
// empty or 0 to 4, as a menu has at most four options (a page in the chosen
// branch resets `NumCmds` to 0 and a menu inside it replaces the count, so
// the option chosen is not held to the count that stands); a menu waits only
// at a pause and with a count or none, never 0; every picture and music name
// one that stays inside the game folder. Files are not looked at here.
Message impossibleSnapshot(const Snapshot& snapshot);

// Whether a file name, read as the game folder reads it (`/` and `\` both
// separate folders), starts at the top of the file system or climbs out of
// the game folder with "..". Linear in the name's length.
bool nameLeavesGameFolder(std::string_view name);

} // namespace vorn
