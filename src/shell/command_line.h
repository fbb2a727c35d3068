#pragma once
// What the command line asks of the player.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

struct Options {
    enum class Mode { Window, Headless, Help, Version } mode = Mode::Window;
    std::filesystem::path gameFolder = "."; // a game folder, or an archive that holds one
    bool gameNamed = false;                 // a game was named; without one the window may open on the start screen
    bool music = true;
    std::optional<std::string> soundfont;
    int zoom = 0; // 0: the largest whole zoom that fits the screen
    bool fullscreen = false;
    std::optional<std::filesystem::path> saveDir; // where saved games go instead of the user's data folder
    std::optional<std::string> language;          // "en" or "ja"; none: the desktop's
    bool continueGame = false;                    // go straight on from the place kept when the window was last closed
};

struct ParsedOptions {
    Options options;
    std::string error; // a usage error, worded for the user
};

ParsedOptions parseCommandLine(const std::vector<std::string>& args);

// The game folder that a command-line argument names: the folder itself, or
// the folder of a .vrn script in it.
struct GameFolderArgument {
    std::filesystem::path folder;
    std::string error; // why the argument names no game folder, worded for the user; empty when it does
};
GameFolderArgument gameFolderArgument(const std::string& argument);
std::string usageText();

} // namespace vorn
