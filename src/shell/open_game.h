#pragma once
// Opens what a reader names as a game: a game folder, a code.vrn in one, or
// an archive that holds one.

#include "interpreter/game_folder.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vorn {

struct OpenedGame {
    std::optional<GameFolder> folder; // empty when there is nothing to play
    std::string error;                // then: why, in words for the reader
    std::string notice;               // something to tell the reader before playing, or empty
};

OpenedGame openGame(const std::filesystem::path& path);

// What to tell the reader about the script before it plays, or empty: a
// script that looks like UTF-8 without the byte-order mark plays garbled.
std::string scriptEncodingNote(const GameFolder& folder);

} // namespace vorn
