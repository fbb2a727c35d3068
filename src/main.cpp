// The player's entry: reads the command line and hands the game to the window
// or to the headless driver.

#include "authoring/authoring_tool.h"
#include "interpreter/message.h"
#include "presentation/headless/headless_driver.h"
#include "presentation/headless/headless_session.h"
#include "presentation/language/language.h"
#include "presentation/window/window_app.h"
#include "shell/command_line.h"
#include "game_files/open_game.h"

#include <QCoreApplication>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "check" || args[0] == "explore"))
        return vorn::runAuthoringTool(args, std::cout, std::cerr);
    const vorn::ParsedOptions parsed = vorn::parseCommandLine(args);
    if (!parsed.error.empty()) {
        std::cerr << "vorn: " << parsed.error << "\nTry 'vorn --help' for more information.\n";
        return 2;
    }
    const vorn::Options& options = parsed.options;
    switch (options.mode) {
    case vorn::Options::Mode::Help: {
        QCoreApplication app(argc, argv);
        vorn::installTranslations(vorn::chosenLanguage(options.language));
        std::cout << vorn::translatedUsage().toStdString();
        return 0;
    }
    case vorn::Options::Mode::Version: std::cout << "vorn " << VORN_VERSION << "\n"; return 0;
    case vorn::Options::Mode::Headless: {
        QCoreApplication app(argc, argv); // image plugins (the .ico reader) load through it
        const vorn::OpenedGame game = vorn::openGame(options.gameFolder);
        if (!game.folder) return vorn::endWithFatal(game.error, std::cout, std::cerr);
        if (!game.notice.empty()) std::cerr << "vorn: " << vorn::escapeControls(game.notice) << '\n';
        if (const std::string note = vorn::scriptEncodingNote(*game.folder); !note.empty())
            std::cerr << "vorn: " << note << '\n';
        return vorn::runHeadless(*game.folder, std::cin, std::cout, std::cerr, {options.saveDir});
    }
    case vorn::Options::Mode::Window: break;
    }
    return vorn::runWindow(argc, argv, options);
}
