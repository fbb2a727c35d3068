// `vorn-headless --headless [GAME_DIR]` under Node.js: the WebAssembly build
// of the interpreter, played by the same headless event loop as the desktop
// player's, reading the game folder from disk. Pictures are checked by their
// headers, as the desktop's decoder would accept them; saved games are not
// kept in this build.

#include "presentation/headless/headless_session.h"
#include "presentation/picture_check.h"
#include "shell/command_line.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

class NoSaving : public vorn::HeadlessSaving {
  public:
    std::string save(const std::string& slot) override { return why(slot); }
    std::string load(const std::string& slot) override { return why(slot); }

  private:
    static std::string why(const std::string& slot) {
        return "cannot use the slot \"" + slot + "\": this build of the player keeps no saved games";
    }
};

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vorn::ParsedOptions parsed = vorn::parseCommandLine(args);
    if (!parsed.error.empty()) {
        std::cerr << "vorn: " << parsed.error << "\nTry 'vorn --help' for more information.\n";
        return 2;
    }
    const vorn::Options& options = parsed.options;
    if (options.mode == vorn::Options::Mode::Version) {
        std::cout << "vorn " << VORN_VERSION << "\n";
        return 0;
    }
    if (options.mode != vorn::Options::Mode::Headless) {
        std::cerr << "Usage: vorn-headless --headless [GAME_DIR | GAME_DIR/code.vrn]\n"
                     "Plays the game without a window, as 'vorn --headless' does; the page index.html plays it "
                     "in a browser.\n";
        return options.mode == vorn::Options::Mode::Help ? 0 : 2;
    }
    if (options.saveDir) {
        std::cerr << "vorn: --save-dir: this build of the player keeps no saved games\n";
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(options.gameFolder, ec))
        return vorn::endWithFatal("\"" + options.gameFolder.string() +
                                      "\": this build of the player plays game folders only; unpack the archive first",
                                  std::cout, std::cerr);
    const vorn::PictureCheck byHeaders{vorn::isShowablePicture, vorn::isShowableIcon};
    return vorn::playHeadless(vorn::GameFolder(options.gameFolder), std::cin, std::cout, std::cerr, byHeaders,
                              [](vorn::Interpreter&, const vorn::GameFolder&) { return std::make_unique<NoSaving>(); });
}
