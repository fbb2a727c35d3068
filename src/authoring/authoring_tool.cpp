#include "authoring_tool.h"

#include "explore.h"
#include "interpreter/message.h"
#include "interpreter/script_stream.h"
#include "script_check.h"
#include "shell/command_line.h"
#include "game_files/open_game.h"

#include <QGuiApplication>
#include <charconv>
#include <iostream>
#include <optional>
#include <unistd.h>

namespace vorn {
namespace {

const char* kCheckUsage =
    "Usage: vorn check [GAME_DIR | GAME_DIR/code.vrn | ARCHIVE]\n"
    "Reads the game's script \"code.vrn\" without playing it and reports, as compilers do, what would stop\n"
    "or mislead the player: code.vrn:LINE:COLUMN: error: ... or warning: ..., each with a hint.\n"
    "A game without findings gets one line: code.vrn: no problems found, with its pages, menus and jumps.\n"
    "Exit status: 0 when there is no error, 1 when there are errors, 2 for a usage error.\n";

const char* kExploreUsage =
    "Usage: vorn explore [OPTIONS] [GAME_DIR | GAME_DIR/code.vrn | ARCHIVE]\n"
    "Plays the game without a window along every path a reader can take, choosing every option of every\n"
    "menu, and reports each path that ends in a fatal error as the clicks that reproduce it with\n"
    "vorn --headless. A path is cut where it meets a state played before. Each error path is printed\n"
    "as input for vorn --headless: the error on a '#' comment line, then one click per line.\n"
    "\n"
    "Options:\n"
    "  --max-paths N    stop after N paths (default 10000)\n"
    "  --max-clicks N   give a path up after N clicks (default 1000)\n"
    "  --max-run-ms N   a run that goes on N ms without pausing loops without end (default 3000)\n"
    "  --help           show this help and exit\n"
    "Exit status: 0 when no path ends in an error, 1 when some do, 2 for a usage error.\n";

} // namespace

// Qt's image plugins (the .ico reader among them) load through an application
// object, and the fonts that measure pages need a GUI one. It draws nothing,
// so it needs no display.
void ensureToolApplication() {
    if (QCoreApplication::instance()) return;
    // The tools report through their own output; Qt's notes on its set-up
    // (such as a missing runtime folder) mean nothing to an author.
    static const QtMessageHandler qtDefault =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if ((type == QtCriticalMsg || type == QtFatalMsg) && qtDefault) qtDefault(type, context, message);
        });
    static int argc = 3;
    static char name[] = "vorn";
    static char platform[] = "-platform";
    static char offscreen[] = "offscreen";
    static char* argv[] = {name, platform, offscreen, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

namespace {

constexpr std::size_t kLargestLimit = 1'000'000'000;

std::optional<std::size_t> limitValue(const std::string& text) {
    std::size_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value == 0 || value > kLargestLimit)
        return std::nullopt;
    return value;
}

struct ToolCommandLine {
    std::filesystem::path game;
    authoring::ExploreOptions explore;
    bool help = false;
    std::string error;
};

// The game as the player itself would open it; an archive that cannot be
// played is an error of the game, not of the command line.
std::optional<GameFolder> openForTool(const std::filesystem::path& path, const char* tool, std::ostream& err) {
    OpenedGame game = openGame(path);
    if (!game.folder) {
        err << "vorn " << tool << ": " << escapeControls(game.error) << '\n';
        return std::nullopt;
    }
    if (!game.notice.empty()) err << "vorn " << tool << ": " << escapeControls(game.notice) << '\n';
    return std::move(game.folder);
}

ToolCommandLine parse(const std::vector<std::string>& args, bool isExplore) {
    ToolCommandLine parsed;
    std::optional<std::string> game;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            parsed.help = true;
            return parsed;
        }
        if (isExplore && (a == "--max-paths" || a == "--max-clicks" || a == "--max-run-ms")) {
            const auto value = i + 1 < args.size() ? limitValue(args[i + 1]) : std::nullopt;
            if (!value) {
                parsed.error = a + " takes a whole number from 1 to " + std::to_string(kLargestLimit);
                return parsed;
            }
            ++i;
            if (a == "--max-paths")
                parsed.explore.maxPaths = *value;
            else if (a == "--max-clicks")
                parsed.explore.maxClicks = *value;
            else
                parsed.explore.maxRun = std::chrono::milliseconds(*value);
            continue;
        }
        if (a.size() > 1 && a[0] == '-') {
            parsed.error = "unknown option \"" + a + "\"";
            return parsed;
        }
        if (game) {
            parsed.error = "only one game at a time (got \"" + *game + "\" and \"" + a + "\")";
            return parsed;
        }
        game = a;
    }
    // The game folder is named as for the player itself; the current folder by default.
    if (!game) {
        parsed.game = ".";
        return parsed;
    }
    GameFolderArgument named = gameFolderArgument(*game);
    parsed.error = std::move(named.error);
    if (parsed.error.empty()) parsed.game = named.folder;
    return parsed;
}

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ToolCommandLine parsed = parse(args, false);
    if (parsed.help) {
        out << kCheckUsage;
        return 0;
    }
    if (!parsed.error.empty()) {
        err << "vorn check: " << parsed.error << "\nTry 'vorn check --help' for more information.\n";
        return 2;
    }
    const std::optional<GameFolder> folder = openForTool(parsed.game, "check", err);
    if (!folder) return 1;
    ensureToolApplication();
    const authoring::CheckReport report = authoring::checkGame(*folder);
    for (const authoring::Finding& f : report.findings) out << authoring::formatFinding(f) << '\n';
    const auto count = [](std::size_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    if (!report.findings.empty())
        out << count(report.errors, "error") << ", " << count(report.warnings, "warning") << ".\n";
    else
        out << kScriptName << ": no problems found, " << count(report.pages, "page") << ", "
            << count(report.menus, "menu") << ", " << count(report.jumps, "jump") << "\n";
    return report.errors > 0 ? 1 : 0;
}

int runExplore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ToolCommandLine parsed = parse(args, true);
    if (parsed.help) {
        out << kExploreUsage;
        return 0;
    }
    if (!parsed.error.empty()) {
        err << "vorn explore: " << parsed.error << "\nTry 'vorn explore --help' for more information.\n";
        return 2;
    }
    const std::optional<GameFolder> folder = openForTool(parsed.game, "explore", err);
    if (!folder) return 1;
    ensureToolApplication();
    if (&err == &std::cerr && ::isatty(STDERR_FILENO)) parsed.explore.progress = &err;
    const authoring::ExploreResult result = authoring::explore(*folder, parsed.explore);
    authoring::writeExploreReport(result, parsed.explore, out);
    return result.errors.empty() ? 0 : 1;
}

} // namespace

int runAuthoringTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "check") return runCheck(args, out, err);
    if (!args.empty() && args[0] == "explore") return runExplore(args, out, err);
    err << "vorn: the authoring tools are \"check\" and \"explore\"\n";
    return 2;
}

} // namespace vorn
