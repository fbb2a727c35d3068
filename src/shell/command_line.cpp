#include "command_line.h"

#include "interpreter/message.h"

namespace vorn {
namespace fs = std::filesystem;
namespace {

// At namespace level, where the translators find it; the window's side prints
// it in the reader's language.
constexpr const char* kUsage =
    VORN_TR("Usage: vorn [OPTIONS] [GAME_DIR | GAME_DIR/code.vrn | ARCHIVE]\n"
            "       vorn check [GAME]                   find mistakes in the script without playing it\n"
            "       vorn explore [OPTIONS] [GAME]       play every path and report those that end in an error\n"
            "Plays the VORN game whose script \"code.vrn\" is in GAME_DIR (default: the current folder;\n"
            "when that holds no game, the window opens on the start screen of the games played before),\n"
            "or straight from an archive that holds one (.zip, .lzh, .7z, .rar, .cab, .iso, ...).\n"
            "\n"
            "Options:\n"
            "  --headless         play without a window: events on standard input, one per line,\n"
            "                     everything shown or played as JSON lines on standard output\n"
            "  --no-music         play no music\n"
            "  --soundfont FILE   the General MIDI soundfont for the music\n"
            "  --zoom N           scale the window by N (1 to 4); default: as large as fits\n"
            "  --fullscreen       start in full screen\n"
            "  --save-dir DIR     keep saved games in DIR; with --headless, without it, saves last only\n"
            "                     as long as the program runs and nothing is written\n"
            "  --continue         go straight on from where the game's window was last closed\n"
            "  --language LANG    speak LANG: en (English) or ja (Japanese); default: the desktop's language\n"
            "  --help             show this help and exit\n"
            "  --version          show the version and exit\n");

bool languageOk(const std::string& name) { return name == "en" || name == "ja"; }

} // namespace

std::string usageText() { return kUsage; }

ParsedOptions parseCommandLine(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    Options& o = parsed.options;
    std::optional<std::string> game;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* option) -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                parsed.error = std::string(option) + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            // The help is told in the language asked for, also when --language follows.
            o.mode = Options::Mode::Help;
            if (i + 2 < args.size() && args[i + 1] == "--language" && languageOk(args[i + 2])) o.language = args[i + 2];
            return parsed;
        } else if (a == "--version") {
            o.mode = Options::Mode::Version;
            return parsed;
        } else if (a == "--language") {
            auto v = value("--language");
            if (!v) return parsed;
            if (!languageOk(*v)) {
                parsed.error = "--language takes en or ja, not \"" + *v + "\"";
                return parsed;
            }
            o.language = *v;
        } else if (a == "--headless") {
            o.mode = Options::Mode::Headless;
        } else if (a == "--no-music") {
            o.music = false;
        } else if (a == "--continue") {
            o.continueGame = true;
        } else if (a == "--fullscreen") {
            o.fullscreen = true;
        } else if (a == "--soundfont") {
            auto v = value("--soundfont");
            if (!v) return parsed;
            o.soundfont = *v;
        } else if (a == "--save-dir") {
            auto v = value("--save-dir");
            if (!v) return parsed;
            if (v->empty()) {
                parsed.error = "--save-dir needs a folder name";
                return parsed;
            }
            o.saveDir = *v;
        } else if (a == "--zoom") {
            auto v = value("--zoom");
            if (!v) return parsed;
            if (v->size() != 1 || (*v)[0] < '1' || (*v)[0] > '4') {
                parsed.error = "--zoom takes a whole number from 1 to 4, not \"" + *v + "\"";
                return parsed;
            }
            o.zoom = (*v)[0] - '0';
        } else if (a.size() > 1 && a[0] == '-') {
            parsed.error = "unknown option \"" + a + "\"";
            return parsed;
        } else if (game) {
            parsed.error = "only one game can be played at a time (got \"" + *game + "\" and \"" + a + "\")";
            return parsed;
        } else {
            game = a;
        }
    }
    if (o.continueGame && o.mode == Options::Mode::Headless) {
        parsed.error = "--continue is for the window; headless play goes on from a kept place with the event "
                       "\"load continue\" and --save-dir";
        return parsed;
    }
    if (game) {
        GameFolderArgument named = gameFolderArgument(*game);
        parsed.error = std::move(named.error);
        if (parsed.error.empty()) {
            o.gameFolder = std::move(named.folder);
            o.gameNamed = true;
        }
    }
    return parsed;
}

GameFolderArgument gameFolderArgument(const std::string& argument) {
    GameFolderArgument named;
    if (argument.empty()) {
        named.error = "the game folder name is empty";
        return named;
    }
    fs::path p(argument);
    std::error_code ec;
    if (fs::is_regular_file(p, ec) && p.extension() == ".vrn") {
        p = p.parent_path();
        if (p.empty()) p = ".";
    } else if (!fs::is_directory(p, ec) && !fs::is_regular_file(p, ec)) {
        // Any other file may be an archive; opening the game tells.
        named.error = fs::exists(p, ec) ? "\"" + argument + "\" is neither a game folder, a .vrn script nor an archive"
                                        : "the game folder \"" + argument + "\" does not exist";
        return named;
    }
    named.folder = p;
    return named;
}

} // namespace vorn
