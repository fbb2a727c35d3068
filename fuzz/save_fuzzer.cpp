// libFuzzer target: a saved game's document as a store hands it over. Reading
// it never crashes and never throws; a document that reads writes again to
// one that reads back the same, byte for byte the second time; and loading it
// into a small game either is refused with a reason, the game unchanged, or
// leaves the interpreter in a state a script can bring about, from which the
// game plays on or stops with a located fatal error.
//
// The game folder is a temporary directory made once per process.

#include "interpreter/fatal_error.h"
#include "interpreter/interpreter.h"
#include "saves/save_format.h"
#include "saves/saves.h"
#include "saves/slot_store.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace vorn;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "save_fuzzer: %s\n", what.c_str());
    std::abort();
}

struct EndlessRun {};

// Takes every picture without decoding it (decoding needs Qt).
class Surface : public DisplaySurface {
  public:
    void setText(const std::string&) override {}
    void setCaption(int, const std::string&) override {}
    void refreshLabel(int) override {}
    bool setPicture(PictureElement, const PictureFile& picture) override {
        return picture.name.empty() || picture.bytes->rfind("BM", 0) == 0;
    }
    bool setCursor(const PictureFile&) override { return true; }
    void showMessage(const std::string&, const std::string&) override {}
    void keepAlive() override { throw EndlessRun{}; }
};

// A game of pages, a menu with branches, pictures in a folder and music.
const fs::path& gameFolder() {
    static const fs::path dir = [] {
        const fs::path d = fs::temp_directory_path() / ("vorn-save-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(d / "pictures");
        const auto write = [&](const fs::path& name, const std::string& bytes) {
            std::ofstream(d / name, std::ios::binary) << bytes;
        };
        write("code.vrn", "<a.bmp>[one.mid]\"one\"\r\n(3 x,y,z){\"X\"}{<pictures\\b.bmp>\"Y\"}{~A1\"Z\"}\r\n\"end\"");
        for (const char* name : {"back.bmp", "text.bmp", "a.bmp", "pictures/b.bmp"}) write(name, "BM picture");
        write("not-a-picture.bmp", "no");
        write("mouse.ico", "icon");
        return d;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string why;
    const std::optional<SaveDocument> document = decodeSave(bytes, why);
    if (!document) {
        if (why.empty()) fail("a refused document without a reason");
        return 0;
    }
    const std::string written = encodeSave(*document);
    const std::optional<SaveDocument> again = decodeSave(written, why);
    if (!again) fail("a document written from one read is refused: " + why);
    if (again->snapshot != document->snapshot || again->game != document->game || again->picture != document->picture)
        fail("a document written from one read reads back otherwise");
    if (encodeSave(*again) != written) fail("a document written twice differs");

    // Load it into the game, under the document's own name and script hash.
    static const GameFolder folder(gameFolder());
    Surface surface;
    SilentMusicDevice device;
    Interpreter interpreter(folder, surface, device);
    MemorySlotStore store;
    Saves saves(interpreter, folder, store, document->game.name,
                [&](std::string_view) { return document->game.scriptHash; });
    try {
        interpreter.load();
        interpreter.playRun();
        const Snapshot before = *interpreter.snapshot();
        store.write("s", "", [&](const std::optional<std::string>&) { return bytes; });
        const Message refused = saves.load("s");
        if (!refused.empty()) {
            if (*interpreter.snapshot() != before) fail("a refused load changed the game: " + refused.english());
            return 0;
        }
        if (!impossibleSnapshot(*interpreter.snapshot()).empty()) fail("a load left an impossible state");
        interpreter.resume();
        for (int option = 1; option <= 4; ++option) interpreter.chooseOption(option);
        interpreter.resume();
    } catch (const FatalError&) {
        // A located error of the game: the place in the script was the save's.
    } catch (const EndlessRun&) {
    }
    return 0;
}
