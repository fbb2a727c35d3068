// The player's entry: reads the command line and hands the game to the window
// or to the headless driver.

#include "authoring/authoring_tool.h"
#include "presentation/headless/headless_driver.h"
#include "presentation/window/window_app.h"
#include "shell/command_line.h"

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
    case vorn::Options::Mode::Help:
        std::cout << vorn::usageText();
        return 0;
    case vorn::Options::Mode::Version:
        std::cout << "vorn " << VORN_VERSION << "\n";
        return 0;
    case vorn::Options::Mode::Headless: {
        QCoreApplication app(argc, argv); // image plugins (the .ico reader) load through it
        const vorn::GameFolder folder(options.gameFolder);
        return vorn::runHeadless(folder, std::cin, std::cout, std::cerr, {options.saveDir});
    }
    case vorn::Options::Mode::Window:
        break;
    }
    return vorn::runWindow(argc, argv, options);
}
