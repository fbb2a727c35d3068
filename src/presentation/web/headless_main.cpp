// `vorn-headless --headless [GAME_DIR | GAME_DIR/code.vrn | GAME.zip]` under
// Node.js: the WebAssembly build of the interpreter, played by the same
// headless event loop as the desktop player's. A game folder is read from
// disk; an archive (.zip, .lzh or .lha) is unpacked by the page's own readers
// in the runner's script (vorn-headless), which hands its entries in here, as
// the page hands them to its player, before main() runs. Pictures are checked
// by their headers, as the desktop's decoder would accept them; saved games
// are not kept in this build, and the pages read only in its memory.

#include "interpreter/code_page.h"
#include "presentation/headless/headless_session.h"
#include "presentation/picture_check.h"
#include "presentation/web/memory_tree.h"
#include "presentation/web/js_bytes.h"
#include "shell/command_line.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace vorn {
namespace {

constexpr const char* kNotReadHere =
    VORN_TR("\"%1\" is neither a game folder, a .vrn script nor an archive this build of the player reads "
            "(a .zip, .lzh or .lha); unpack it and play its folder");

// After the marked templates: lupdate would file them under "std".
namespace fs = std::filesystem;
using emscripten::val;

class NoSaving : public HeadlessSaving {
  public:
    std::string save(const std::string& slot) override { return why(slot); }
    std::string load(const std::string& slot) override { return why(slot); }
    // The read pages stay in the memory of the process, where a script needs
    // only to be told apart from another one read in the same play (after
    // "New" re-reads an edited script): its length and an FNV-1a hash do.
    std::string scriptDigest(std::string_view script) override {
        std::uint64_t hash = 14695981039346656037ull;
        for (const char c : script) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return std::to_string(script.size()) + "-" + std::to_string(hash);
    }

  private:
    static std::string why(const std::string& slot) {
        return "cannot use the slot \"" + slot + "\": this build of the player keeps no saved games";
    }
};

// The archive named on the command line as the runner's script handed it in.
struct HandedArchive {
    std::shared_ptr<MemoryTree> tree = std::make_shared<MemoryTree>();
    bool handed = false; // the script read the archive (or tried to)
    std::string problem; // why it cannot be played, or ""
    std::string notice;  // of several games in it, or ""
};

HandedArchive& handed() {
    static HandedArchive archive;
    return archive;
}

// The archive the command line names for headless play, which the runner's
// script is to read and hand in, or "": a folder, a .vrn script, a file that
// does not exist and every other command line are main()'s alone.
std::string archiveNamed(val args) {
    const ParsedOptions parsed = parseCommandLine(emscripten::vecFromJSArray<std::string>(args));
    if (!parsed.error.empty() || parsed.options.mode != Options::Mode::Headless) return "";
    const fs::path& game = parsed.options.gameFolder;
    std::error_code ec;
    if (!fs::is_regular_file(game, ec) || asciiLower(game.extension().string()) == ".vrn") return "";
    return game.string();
}

// An entry of the archive: its name's bytes as stored, its bytes, and what
// it is, "file", "folder" or "other" (a link, a device).
void addEntry(val name, val bytes, const std::string& type) {
    const auto kind = type == "folder" ? MemoryTree::Kind::Folder
                      : type == "file" ? MemoryTree::Kind::File
                                       : MemoryTree::Kind::Other;
    handed().tree->addEntry(bytesOf(name), kind == MemoryTree::Kind::File ? bytesOf(bytes) : std::string(), kind);
}

// After the last entry: picks the game in the archive. Returns "" or why
// there is nothing to play.
std::string openFiles(const std::string& name, bool isArchive) {
    HandedArchive& archive = handed();
    const MemoryTree::Opened opened = archive.tree->open(name, isArchive);
    archive.handed = true;
    archive.problem = opened.problem;
    archive.notice = opened.notice;
    return opened.problem;
}

// The archive could not be read: why, in the readers' words; or, with
// `readable` false, it is in no format the readers know.
void refuseArchive(const std::string& name, const std::string& why, bool readable) {
    HandedArchive& archive = handed();
    archive.handed = true;
    archive.problem = readable ? why : Message(kNotReadHere, {Message::words(name)}).english();
}

} // namespace
} // namespace vorn

EMSCRIPTEN_BINDINGS(vorn_headless) {
    emscripten::function("archiveNamed", &vorn::archiveNamed);
    emscripten::function("addEntry", &vorn::addEntry);
    emscripten::function("openFiles", &vorn::openFiles);
    emscripten::function("refuseArchive", &vorn::refuseArchive);
}

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
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
        std::cerr << "Usage: vorn-headless --headless [GAME_DIR | GAME_DIR/code.vrn | GAME.zip | GAME.lzh]\n"
                     "Plays the game without a window, as 'vorn --headless' does; the page index.html plays it "
                     "in a browser.\n";
        return options.mode == vorn::Options::Mode::Help ? 0 : 2;
    }
    if (options.saveDir) {
        std::cerr << "vorn: --save-dir: this build of the player keeps no saved games\n";
        return 2;
    }
    const vorn::PictureCheck byHeaders{vorn::isShowablePicture, vorn::isShowableIcon};
    const vorn::HeadlessSavingFactory noSaving = [](vorn::Interpreter&, const vorn::GameFolder&) {
        return std::make_unique<vorn::NoSaving>();
    };
    const vorn::HandedArchive& archive = vorn::handed();
    if (archive.handed) {
        if (!archive.problem.empty()) return vorn::endWithFatal(archive.problem, std::cout, std::cerr);
        if (!archive.notice.empty()) std::cerr << "vorn: " << archive.notice << '\n';
        return vorn::playHeadless(vorn::GameFolder(std::shared_ptr<const vorn::FileTree>(archive.tree)), std::cin,
                                  std::cout, std::cerr, byHeaders, noSaving);
    }
    const fs::path& game = options.gameFolder;
    std::error_code ec;
    const fs::file_status status = fs::status(game, ec);
    if (fs::is_directory(status))
        return vorn::playHeadless(vorn::GameFolder(game), std::cin, std::cout, std::cerr, byHeaders, noSaving);
    if (fs::is_regular_file(status) && vorn::asciiLower(game.extension().string()) == ".vrn")
        return vorn::playHeadless(vorn::GameFolder(game.has_parent_path() ? game.parent_path() : fs::path(".")),
                                  std::cin, std::cout, std::cerr, byHeaders, noSaving);
    // Neither a folder nor a script, and not handed in as an archive: a file
    // that is no regular one, or one gone since the command line was read.
    return vorn::endWithFatal(vorn::Message(vorn::kNotReadHere, {vorn::Message::words(game.string())}).english(),
                              std::cout, std::cerr);
}
