#pragma once
// Opens what a reader names as a game: a game folder, a code.vrn in one, or
// an archive that holds one. The command line, the start screen, the file
// dialog, drops and the games list all go through here, so they accept
// exactly the same.

#include "interpreter/game_folder.h"
#include "interpreter/message.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vorn {

struct OpenedGame {
    std::optional<GameFolder> folder; // empty when there is nothing to play
    std::string error;                // then: why, in words for the reader (English)
    Message problem;                  // the same, for wording in the reader's language
    std::string notice;               // something to tell the reader before playing, or empty
    // What the games list remembers: the folder or the archive, as an absolute path.
    std::filesystem::path location;
};

OpenedGame openGame(const std::filesystem::path& path);

// What to tell the reader about the script before it plays, or empty: a
// script that looks like UTF-8 without the byte-order mark plays garbled.
std::string scriptEncodingNote(const GameFolder& folder);

// Whether what was opened holds a code.vrn to play.
bool holdsGame(const OpenedGame& opened);

// The name the reader knows a game by: its folder's or its archive's file
// name, read as code page 932 where it is no UTF-8 (games unpacked on Linux
// from Japanese archives keep such names).
std::string gameName(const std::filesystem::path& location);

} // namespace vorn
