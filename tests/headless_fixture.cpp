#include "headless_fixture.h"

#include "interpreter/code_page.h"
#include "presentation/headless/headless_driver.h"
#include "presentation/headless/headless_session.h"
#include "game_files/open_game.h"

#include <QCoreApplication>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace vorn::test {
namespace fs = std::filesystem;
namespace {

void put16(std::string& s, unsigned v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); }
void put32(std::string& s, unsigned v) { put16(s, v & 0xFFFF), put16(s, v >> 16); }

// Qt's image plugins need an application object; tests make one once.
QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "vorn_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return app ? *app : *QCoreApplication::instance();
}

} // namespace

std::string bitmap(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
    const unsigned rowBytes = (unsigned(width) * 3 + 3) & ~3u;
    std::string s = "BM";
    put32(s, 54 + rowBytes * unsigned(height));
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, unsigned(width));
    put32(s, unsigned(height));
    put16(s, 1);
    put16(s, 24);
    put32(s, 0);
    put32(s, rowBytes * unsigned(height));
    put32(s, 2835), put32(s, 2835), put32(s, 0), put32(s, 0);
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) row += char(b), row += char(g), row += char(r);
        row.resize(rowBytes, '\0');
        s += row;
    }
    return s;
}

std::string icon32() {
    std::string image;
    put32(image, 40), put32(image, 32), put32(image, 64), put16(image, 1), put16(image, 32);
    put32(image, 0), put32(image, 32 * 32 * 4 + 32 * 4), put32(image, 0), put32(image, 0), put32(image, 0),
        put32(image, 0);
    for (int i = 0; i < 32 * 32; ++i) image += "\xff\xff\xff\xff";
    image += std::string(32 * 4, '\0'); // AND mask: all opaque
    std::string s;
    put16(s, 0), put16(s, 1), put16(s, 1);
    s += char(32), s += char(32), s += char(0), s += char(0);
    put16(s, 1), put16(s, 32), put32(s, unsigned(image.size())), put32(s, 22);
    return s + image;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TestGame::TestGame(const std::string& script) {
    static std::atomic<int> counter{0};
    dir_ = fs::temp_directory_path() / ("vorn-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    write("code.vrn", script);
    write("back.bmp", bitmap(632, 425));
    write("mouse.ico", icon32());
    write("text.bmp", bitmap(160, 101, 230, 220, 200));
}

TestGame::~TestGame() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void TestGame::write(const std::string& name, const std::string& bytes) const {
    const fs::path path = dir_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void TestGame::remove(const std::string& name) const { fs::remove(dir_ / name); }

namespace {

// The player named by VORN_HEADLESS_PLAYER (the WebAssembly build's
// vorn-headless, say), run as its own process on the game folder: the same
// transcript tests then hold it to what the desktop player writes.
std::optional<std::string> externalPlayer() {
    const char* player = std::getenv("VORN_HEADLESS_PLAYER");
    if (!player || !*player) return std::nullopt;
    return std::string(player);
}

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

TestGame::Result playExternally(const std::string& player, const fs::path& dir, const std::string& events) {
    const fs::path input = dir.string() + ".events", output = dir.string() + ".out", errors = dir.string() + ".err";
    std::ofstream(input, std::ios::binary) << events;
    const std::string command = shellQuoted(player) + " --headless " + shellQuoted(dir.string()) + " <" +
                                shellQuoted(input.string()) + " >" + shellQuoted(output.string()) + " 2>" +
                                shellQuoted(errors.string());
    const int raw = std::system(command.c_str());
    TestGame::Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::istringstream lines(readFile(output));
    for (std::string line; std::getline(lines, line);) result.lines.push_back(line);
    result.errors = readFile(errors);
    for (const fs::path& p : {input, output, errors}) fs::remove(p);
    return result;
}

} // namespace

TestGame::Result TestGame::play(const std::string& events, const std::optional<fs::path>& saveDir) const {
    Result here = play(GameFolder(dir_), events, saveDir);
    const auto player = externalPlayer();
    if (!player || saveDir) return here;
    // Every game played by both must give the same transcript, byte for byte.
    Result there = playExternally(*player, dir_, events);
    EXPECT_EQ(there.status, here.status) << *player << " ends otherwise than the desktop player";
    EXPECT_EQ(there.lines, here.lines) << *player << " writes another transcript than the desktop player";
    return there;
}

TestGame::Result TestGame::play(const GameFolder& folder, const std::string& events,
                                const std::optional<fs::path>& saveDir) {
    application();
    std::istringstream in(events);
    std::ostringstream out, err;
    Result result;
    result.status = runHeadless(folder, in, out, err, {saveDir});
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) result.lines.push_back(line);
    result.errors = err.str();
    return result;
}

TestGame::Result TestGame::playArchive(const fs::path& archive, const std::string& events) {
    Result here;
    const OpenedGame game = openGame(archive);
    if (game.folder) {
        here = play(*game.folder, events);
    } else {
        std::ostringstream out, err;
        here.status = endWithFatal(game.error, out, err);
        here.lines = {out.str().substr(0, out.str().size() - 1)};
        here.errors = err.str();
    }
    const auto player = externalPlayer();
    const std::string extension = asciiLower(archive.extension().string());
    if (!player || (extension != ".zip" && extension != ".lzh" && extension != ".lha")) return here;
    const Result there = playExternally(*player, archive, events);
    EXPECT_EQ(there.status, here.status) << *player << " ends " << archive << " otherwise than the desktop player";
    EXPECT_EQ(there.lines, here.lines) << *player << " writes another transcript of " << archive
                                       << " than the desktop player";
    return here;
}

std::vector<std::string> TestGame::Result::afterEvent(int n) const {
    std::vector<std::string> out;
    int seen = 0;
    for (const std::string& line : lines) {
        if (line.rfind("{\"event\":", 0) == 0) {
            if (seen == n) break;
            ++seen;
            continue;
        }
        if (seen == n) out.push_back(line);
    }
    return out;
}

std::string TestGame::Result::lastState() const {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (it->rfind("{\"state\":", 0) == 0) return *it;
    return "";
}

std::string TestGame::Result::fatal() const {
    for (const std::string& line : lines)
        if (line.rfind("{\"fatal\":", 0) == 0) return line;
    return "";
}

std::vector<std::string> TestGame::Result::matching(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
}

Lines firstRun(const TestGame::Result& r) {
    constexpr std::size_t startUpLines = 6;
    Lines all = r.afterEvent(0);
    if (all.size() < startUpLines) return all;
    return Lines(all.begin() + startUpLines, all.end());
}

Lines page(const std::string& text) {
    return {R"({"text":")" + text + R"("})", R"({"caption":1,"text":""})", R"({"caption":2,"text":""})",
            R"({"caption":3,"text":""})",    R"({"caption":4,"text":""})", R"({"picture":"Image2","file":""})"};
}

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string state(int waitCmd, const std::string& numCmds, const std::string& cmdSelected, const std::string& musfile,
                  const std::string& flags) {
    return "{\"state\":{\"WaitCmd\":" + std::to_string(waitCmd) + ",\"NumCmds\":" + numCmds +
           ",\"Cmd_Selected\":" + cmdSelected + ",\"musfile\":" + musfile + ",\"flags\":[" + flags + "]}}";
}

} // namespace vorn::test
