// libFuzzer target: the interpreter core plays a script under a sequence of
// reader events, and every run must end in play or in a located FatalError.
//
// Input layout: the script's bytes, then the event bytes, then one byte whose
// value modulo 32 is the number of event bytes before it. An event byte modulo
// 8 is: 0 click on the text box, 1..4 click on that option, 5 "New", 6 the
// end of the music, 7 "About". A short input is a script with no events.
//
// The game folder is a temporary directory made once per process; each input
// is written there as "code.vrn", since the script stream reads it from disk
// (again on every jump and "New"). With VORN_FUZZ_STATS set, the number of
// endless runs is written to standard error at exit.

#include "interpreter/fatal_error.h"
#include "interpreter/interpreter.h"
#include "shell/shell.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace vorn;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "script_fuzzer: %s\n", what.c_str());
    std::abort();
}

bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Thrown by keepAlive(): the interpreter calls it only when a single run has
// gone on for 50 ms without pausing, which is an endless run here, as the
// reader's close box would end it in the window.
struct EndlessRun {};

// A display surface that records nothing and takes every picture without
// decoding it (decoding needs Qt), but checks what the interpreter hands it.
class CheckingSurface : public DisplaySurface {
  public:
    void setText(const std::string& text) override { utf8(text, "text"); }
    void setCaption(int label, const std::string& text) override {
        labelInRange(label);
        utf8(text, "caption");
    }
    void refreshLabel(int label) override { labelInRange(label); }
    bool setPicture(PictureElement element, const PictureFile& picture) override {
        if (element != PictureElement::Form1 && element != PictureElement::Image1 && element != PictureElement::Image2)
            fail("picture for an unknown element");
        if (picture.name.empty() == picture.bytes.has_value()) fail("empty picture with bytes, or a file without");
        utf8(picture.name, "picture name");
        return true;
    }
    bool setCursor(const PictureFile& icon) override { return icon.bytes.has_value(); }
    void showMessage(const std::string& text, const std::string& title) override {
        utf8(text, "message");
        utf8(title, "message title");
    }
    void keepAlive() override { throw EndlessRun{}; }

  private:
    static void utf8(const std::string& s, const char* what) {
        if (!validUtf8(s)) fail(std::string(what) + " is not valid UTF-8");
    }
    static void labelInRange(int label) {
        if (label < 1 || label > 4) fail("label " + std::to_string(label) + " out of range");
    }
};

class CheckingDevice : public MusicDevice {
  public:
    void setDeviceType(const std::string& value) override { utf8(value); }
    void setFileName(const std::string& value) override { utf8(value); }
    void setCommand(MusicCommand) override {}
    void setNotify(bool) override {}
    void setWait(bool) override {}
    void setShareable(bool) override {}

  private:
    static void utf8(const std::string& s) {
        if (!validUtf8(s)) fail("music property is not valid UTF-8");
    }
};

void checkState(const Interpreter& i) {
    if (i.running()) fail("a run is still marked as going on after its event");
    if (i.WaitCmd != 0 && i.WaitCmd != -1) fail("WaitCmd holds " + std::to_string(i.WaitCmd));
    if (i.NumCmds && (*i.NumCmds < 0 || *i.NumCmds > 4)) fail("NumCmds holds " + std::to_string(*i.NumCmds));
    if (i.Cmd_Selected && (*i.Cmd_Selected < 0 || *i.Cmd_Selected > 4))
        fail("Cmd_Selected holds " + std::to_string(*i.Cmd_Selected));
    if (i.musfile && !validUtf8(*i.musfile)) fail("musfile is not valid UTF-8");
}

// Every fatal error the script can cause names its place: "code.vrn:LINE:COLUMN: ...".
void checkLocated(const std::string& message) {
    const std::string prefix = "code.vrn:";
    std::size_t at = prefix.size();
    auto digits = [&] {
        const std::size_t from = at;
        while (at < message.size() && message[at] >= '0' && message[at] <= '9') ++at;
        return at > from && message[from] != '0';
    };
    const bool located = message.rfind(prefix, 0) == 0 && digits() && at < message.size() && message[at++] == ':' &&
                         digits() && message.compare(at, 2, ": ") == 0;
    if (!located) fail("fatal error without its place in the script: " + message.substr(0, 300));
    if (!validUtf8(message)) fail("fatal error message is not valid UTF-8");
}

fs::path gameDir;
std::size_t endlessRuns = 0;

void reportEndless() {
    if (std::getenv("VORN_FUZZ_STATS")) std::fprintf(stderr, "script_fuzzer: %zu endless runs\n", endlessRuns);
}

void removeGameDir() {
    std::error_code ec;
    fs::remove_all(gameDir, ec);
}

void writeFile(const fs::path& path, const void* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) fail("cannot write " + path.string());
    if (size && std::fwrite(data, 1, size, f) != size) fail("cannot write " + path.string());
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (fs::temp_directory_path() / "vorn-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) fail("cannot make the game folder");
    gameDir = pattern;
    std::atexit(removeGameDir);
    std::atexit(reportEndless);
    // The fixed files, and a few that the seed scripts name. Their bytes are
    // never decoded here; they only have to be there.
    fs::create_directories(gameDir / "Pictures");
    for (const char* name : {"back.bmp", "mouse.ico", "text.bmp", "room.bmp", "a.bmp", "forest.bmp", "shrine.bmp",
                             "night.bmp", "dawn.bmp", "Pictures/moon.bmp", "theme.mid"})
        writeFile(gameDir / name, "x", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t eventCount = 0;
    if (size > 0) eventCount = std::min<std::size_t>(data[size - 1] % 32, size - 1);
    const std::size_t scriptSize = size > 0 ? size - 1 - eventCount : 0;
    const std::uint8_t* events = data + scriptSize;
    writeFile(gameDir / "code.vrn", data, scriptSize);

    const GameFolder folder(gameDir);
    CheckingSurface surface;
    CheckingDevice device;
    Interpreter interpreter(folder, surface, device);
    Shell shell(interpreter, surface, device);
    try {
        interpreter.load();
        interpreter.playRun();
        checkState(interpreter);
        for (std::size_t k = 0; k < eventCount; ++k) {
            const int event = events[k] % 8;
            switch (event) {
            case 0: interpreter.resume(); break;
            case 5: shell.newGame(); break;
            case 6: interpreter.musicEnded(); break;
            case 7: shell.showCredits(); break;
            default: interpreter.chooseOption(event); break;
            }
            checkState(interpreter);
        }
        shell.shutDown();
    } catch (const FatalError& error) {
        checkLocated(error.what());
    } catch (const EndlessRun&) {
        // the reader closes the window
        ++endlessRuns;
    }
    // Anything else escaping (std::bad_alloc, std::out_of_range, ...) is a fault:
    // libFuzzer reports the uncaught exception as a crash.
    return 0;
}
