#pragma once
// Opens what a reader points at as a game: a game folder, a .vrn script inside
// one, or an archive that holds one. The start screen, the file dialog, drops
// and the games list all go through here, so they accept exactly the same.

#include "interpreter/game_folder.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vorn {

struct OpenedGame {
    std::optional<GameFolder> folder; // empty when there is no game to play
    // What the games list remembers: the folder or the archive, as an absolute path.
    std::filesystem::path location;
    std::string error; // why there is no game, worded for the reader
};

OpenedGame openGame(const std::filesystem::path& path);

// The name the reader knows a game by: its folder's or its archive's file
// name, read as code page 932 where it is no UTF-8 (games unpacked on Linux
// from Japanese archives keep such names).
std::string gameName(const std::filesystem::path& location);

// Whether a file's extension is one of the archive kinds games came in.
bool looksLikeArchive(const std::filesystem::path& path);

} // namespace vorn
