// Hostile game files: scripts, pictures, icons, MIDI files and soundfonts that
// are huge, damaged, or no files at all. Whatever a game folder holds, the
// player either plays or ends with a fatal error that says what and where; it
// never crashes, hangs or writes a file.

#include "archive_writer.h"
#include "headless_fixture.h"
#include "presentation/headless/headless_driver.h"
#include "presentation/music/fluid_music_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorn;
using namespace vorn::test;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

constexpr std::size_t MB = 1024 * 1024;

// Well-formed UTF-8 as the Unicode standard's table of byte sequences gives
// it: no overlongs, no surrogates, nothing past U+10FFFF.
bool validUtf8(std::string_view s) {
    const auto at = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = at(i);
        std::size_t n = 0;
        unsigned char low = 0x80, high = 0xBF; // the second byte's range
        if (b < 0x80)
            n = 1;
        else if (b >= 0xC2 && b <= 0xDF)
            n = 2;
        else if (b >= 0xE0 && b <= 0xEF)
            n = 3, low = b == 0xE0 ? 0xA0 : 0x80, high = b == 0xED ? 0x9F : 0xBF;
        else if (b >= 0xF0 && b <= 0xF4)
            n = 4, low = b == 0xF0 ? 0x90 : 0x80, high = b == 0xF4 ? 0x8F : 0xBF;
        else
            return false;
        if (i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if (at(i + k) < (k == 1 ? low : 0x80) || at(i + k) > (k == 1 ? high : 0xBF)) return false;
        i += n;
    }
    return true;
}

// Every line of a transcript is one JSON object in valid UTF-8 with no raw
// control characters, whatever bytes the script held.
void expectWellFormed(const TestGame::Result& r) {
    for (const std::string& line : r.lines) {
        ASSERT_TRUE(validUtf8(line)) << line.substr(0, 200);
        ASSERT_TRUE(line.size() >= 2 && line.front() == '{' && line.back() == '}') << line.substr(0, 200);
        ASSERT_TRUE(std::none_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            << line.substr(0, 200);
    }
}

// The game ended in a fatal error whose record holds every one of `words`.
void expectFatal(const TestGame::Result& r, std::initializer_list<std::string> words) {
    EXPECT_EQ(r.status, 1);
    std::string fatal = r.fatal();
    for (std::size_t at = 0; (at = fatal.find("\\\"", at)) != std::string::npos;) fatal.erase(at, 1); // \" -> "
    ASSERT_FALSE(fatal.empty()) << "no fatal record; last line: " << (r.lines.empty() ? "" : r.lines.back());
    for (const std::string& w : words) EXPECT_NE(fatal.find(w), std::string::npos) << w << " not in " << fatal;
}

void put16(std::string& s, unsigned v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); }
void put32(std::string& s, unsigned v) { put16(s, v & 0xFFFF), put16(s, v >> 16); }

// The 54-byte header of a 24-bit bitmap of the given size, without pixels.
std::string bitmapHeader(unsigned width, unsigned height) {
    const unsigned long long rowBytes = (width * 3ull + 3) & ~3ull;
    const auto imageBytes = static_cast<unsigned>(rowBytes * height);
    std::string s = "BM";
    put32(s, 54 + imageBytes), put32(s, 0), put32(s, 54);
    put32(s, 40), put32(s, width), put32(s, height), put16(s, 1), put16(s, 24);
    put32(s, 0), put32(s, imageBytes), put32(s, 2835), put32(s, 2835), put32(s, 0), put32(s, 0);
    return s;
}

// ---- scripts ----------------------------------------------------------------

TEST(HostileScript, AHundredMegabyteScriptPlaysToItsLastPage) {
    // Ordinary text between two pages: the run loop passes over every character.
    std::string script = "\"first\"";
    script.append(100 * MB, 'x');
    script += "\"last\" ";
    TestGame game(script);
    script = {};
    const auto r = game.play("click text\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.matching(R"({"text":)"), (Lines{R"({"text":"first"})", R"({"text":"last"})"}));
    EXPECT_EQ(r.afterEvent(1).front(), R"({"text":"last"})");
}

TEST(HostileScript, AScriptOverTheSizeLimitIsRefusedBeforeItIsRead) {
    TestGame game("");
    fs::resize_file(game.dir() / "code.vrn", 600 * MB); // sparse: no disk, no time
    const auto r = game.play();
    expectFatal(r, {"code.vrn", "larger than 512 MB"});
    EXPECT_EQ(r.lines.size(), 1u) << "nothing is shown before the script is open";
}

TEST(HostileScript, ATenMegabytePageIsShownWhole) {
    // Five million double-byte characters, as a Japanese author would write them.
    std::string script = "\"";
    script.reserve(10 * MB + 2);
    for (std::size_t i = 0; i < 5 * MB; ++i) script += "\x82\xA0"; // HIRAGANA LETTER A
    script += '"';
    TestGame game(script);
    const auto r = game.play();
    EXPECT_EQ(r.status, 0);
    const Lines texts = r.matching(R"({"text":)");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].size(), std::string(R"({"text":""})").size() + 5 * MB * 3) << "every character, in UTF-8";
    EXPECT_EQ(r.lastState(), state(-1, "0", "null"));
}

TEST(HostileScript, AOneMegabyteLabelIsFoundOrReportedWithItsPlace) {
    const std::string label(MB, 'L');
    TestGame found(">" + label + "<\r\n\"skipped\"\r\n*" + label + "*\r\n\"found\"");
    const auto r = found.play();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.matching(R"({"text":)"), Lines{R"({"text":"found"})"});

    TestGame missing("\"x\"\r\n>" + label + "<\r\n*L*\r\n");
    const auto m = missing.play("click text\n");
    expectFatal(m, {"code.vrn:2:1", "reached the end of file without finding its marker line", "LLLL"});
}

TEST(HostileScript, APictureNameOfThousandsOfPartsIsAFatalErrorWithItsPlace) {
    std::string climbing;
    for (int i = 0; i < 25'000; ++i) climbing += "..\\";
    TestGame game("\"p\"\r\n<" + climbing + "scene.bmp>");
    game.write("scene.bmp", bitmap(4, 4));
    expectFatal(game.play("click text\n"),
                {"code.vrn:2:1", "its name is 75009 bytes long", "write the file's own name, as in <room.bmp>"});
}

// What a process writes to standard error or standard output holds no control
// character but its line ends, whatever the game's names and texts hold.
void expectNoRawControls(const std::string& text, const std::string& what) {
    const auto raw = std::find_if(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && c != '\n') || b == 0x7F;
    });
    EXPECT_EQ(raw, text.end()) << what << ": " << text.substr(0, 300);
}

// Runs the player with `args`, standard input empty; its status and what it
// wrote to standard output and standard error.
struct Ran {
    int status = -1;
    std::string out, err;
};
Ran runPlayer(const std::string& args) {
    const fs::path out = fs::temp_directory_path() / ("vorn-ran-out-" + std::to_string(::getpid()));
    const fs::path err = fs::temp_directory_path() / ("vorn-ran-err-" + std::to_string(::getpid()));
    const std::string command =
        std::string(VORN_PLAYER) + " " + args + " </dev/null >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    Ran ran{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
    fs::remove(out);
    fs::remove(err);
    return ran;
}

TEST(HostileScript, TerminalEscapesFromAGameReachNoTerminal) {
    // A picture name that would retitle the terminal and clear it, and a label
    // with a C1 control sequence introducer in it (a UTF-8 script).
    const std::string name = "\x1b]0;TITLE\x07\x1b[2J.bmp";
    TestGame game("\xEF\xBB\xBF<" + name +
                  ">\r\n>\xc2\x9b"
                  "2J<");
    const std::string shown = "\\u001b]0;TITLE\\u0007\\u001b[2J.bmp";

    const Ran played = runPlayer("--headless '" + game.dir().string() + "'");
    EXPECT_EQ(played.status, 1);
    expectNoRawControls(played.err, "the fatal report");
    EXPECT_NE(played.err.find(shown), std::string::npos) << played.err;
    expectNoRawControls(played.out, "the transcript");

    const Ran checked = runPlayer("check '" + game.dir().string() + "'");
    EXPECT_EQ(checked.status, 1);
    expectNoRawControls(checked.out, "the findings");
    EXPECT_NE(checked.out.find(shown), std::string::npos) << checked.out;
    EXPECT_NE(checked.out.find("\\u009b2J"), std::string::npos) << checked.out;

    const Ran explored = runPlayer("explore '" + game.dir().string() + "'");
    expectNoRawControls(explored.out + explored.err, "the paths explored");

    // An archive of two games, one of them named to clear the terminal: the
    // notice of which is played names it harmlessly.
    const fs::path zip = game.dir() / "two.zip";
    std::vector<ArchiveEntry> two;
    for (const std::string& folder : {std::string("g\x1b[2J"), std::string("h")}) {
        for (const ArchiveEntry& file : entriesOf(game.dir(), folder + "/"))
            if (file.name.find(".zip") == std::string::npos) two.push_back(file);
    }
    for (ArchiveEntry& file : two)
        if (file.name.ends_with("code.vrn")) file.content = "\"x\"";
    writeArchive(zip, two, ArchiveFormat::Zip);
    const Ran notified = runPlayer("--headless '" + zip.string() + "'");
    EXPECT_EQ(notified.status, 0) << notified.err;
    expectNoRawControls(notified.err, "the notice");
    EXPECT_NE(notified.err.find("holds 2 games (g\\u001b[2J, h)"), std::string::npos) << notified.err;
}

TEST(HostileScript, AMillionSetCommandsBetweenTwoPauses) {
    std::string sets;
    sets.reserve(4 * MB);
    for (std::size_t i = 0; i < MB; ++i) sets += "~A1~";
    TestGame game("\"one\"" + sets + "~H8~\"two\"");
    const auto r = game.play("click text\n");
    EXPECT_EQ(r.afterEvent(1).front(), R"({"text":"two"})");
    EXPECT_EQ(r.lastState(), state(-1, "0", "null", "null", "1,0,0,0,0,0,0,128"));

    // Inside a chosen branch each set command starts a new cycle in branch mode.
    TestGame branch("(1 a){" + sets + "\"in\"}\"out\"");
    const auto b = branch.play("click option 1\nclick text\n");
    EXPECT_EQ(b.afterEvent(1).front(), R"({"text":"in"})");
    EXPECT_EQ(b.afterEvent(2).front(), R"({"text":"out"})");
    EXPECT_EQ(b.status, 0);
}

TEST(HostileScript, NulBytesAndEveryByteValuePlayAsCharacters) {
    std::string every;
    for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
    std::string inPage; // a quote would end the page early
    for (char c : every)
        if (c != '"') inPage += c;

    // Outside a command, each byte is a character to pass over or a command to
    // run; with every byte twice, some of those commands run into the end.
    for (const std::string& script : {every + every, "\xEF\xBB\xBF" + every + every}) {
        TestGame game(script);
        const auto r = game.play("click text\nclick option 1\nclick text\nmenu new\nclick text\n");
        EXPECT_TRUE(r.status == 0 || r.status == 1);
        expectWellFormed(r);
    }

    // Inside a page every byte is text: NUL and the other control codes are
    // escaped, bytes with no character become U+FFFD.
    TestGame page("\"" + inPage + "\"");
    const auto p = page.play();
    EXPECT_EQ(p.status, 0);
    expectWellFormed(p);
    const Lines texts = p.matching(R"({"text":)");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind(R"({"text":"\u0000\u0001)", 0), 0u) << texts[0].substr(0, 40);
    EXPECT_NE(texts[0].find("\xEF\xBD\xA1"), std::string::npos) << "0xA1 is the half-width ideographic full stop";

    // The same bytes as an option text and as a file name.
    TestGame caption("(1 " + std::string(every.begin(), every.begin() + ',') + ")");
    const auto c = caption.play();
    EXPECT_EQ(c.status, 0);
    expectWellFormed(c);
    TestGame picture("<" + std::string(every.begin() + 1, every.begin() + '>') + ">");
    const auto f = picture.play();
    expectFatal(f, {"code.vrn:1:1", "cannot load the picture"});
    expectWellFormed(f);
}

TEST(HostileScript, ALeadByteAtTheVeryEnd) {
    // The last character of a script is never a command: the lead byte is dropped.
    TestGame dropped("\"abc\"\x81");
    const auto d = dropped.play();
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.lastState(), state(-1, "0", "null"));
    // Inside a page it is a character of its own, and the page runs into the end.
    expectFatal(TestGame("\"abc\x81").play(), {"code.vrn:1:1", "text page", "end of file"});
    // Before the closing quote it takes the quote as its second byte.
    expectFatal(TestGame("\"abc\x81\"").play(), {"code.vrn:1:1", "end of file"});
    // A UTF-8 script cut inside a character.
    expectFatal(TestGame("\xEF\xBB\xBF\"abc\xE3\x81").play(), {"code.vrn:1:1", "end of file"});
    // A jump whose label ends in a lead byte: the byte takes the '<'.
    expectFatal(TestGame(">a\x81<\r\n*a*\r\n").play(), {"code.vrn:1:1", "jump", "end of file"});
}

TEST(HostileScript, DamagedUtf8IsOneCharacterPerMaximalSubpart) {
    const std::string bom = "\xEF\xBB\xBF", R = "\xEF\xBF\xBD";
    // E3 81 is one character: the conditional drops it as its closing
    // character and then reads past the end for the command it guards.
    expectFatal(TestGame(bom + "!xd\xE3\x81").play(), {"end of file"});
    // A page of damaged sequences shows one U+FFFD per maximal subpart, and
    // the transcript stays valid UTF-8.
    const std::string damaged = "\xE3\x81|\xED\xA0\x80|\xED\xBF\xBF|\xE0\x80\xAF|\xF4\x90\x80\x80|"
                                "\xC0\xAF|\xF5\xFF|\x80|\xED\x80";
    const auto r = TestGame(bom + "\"" + damaged + "\"").play();
    EXPECT_EQ(r.status, 0);
    expectWellFormed(r);
    EXPECT_EQ(r.matching(R"({"text":)"),
              (Lines{"{\"text\":\"" + R + "|" + R + R + R + "|" + R + R + R + "|" + R + R + R + "|" + R + R + R + R +
                     "|" + R + R + "|" + R + R + "|" + R + "|" + R + "\"}"}));
}

TEST(HostileScript, AFatalReportNamingAFolderThatIsNotUtf8IsStillUtf8) {
    const fs::path missing = fs::temp_directory_path() / "vorn-\xFF\xE3\x81-missing";
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(runHeadless(GameFolder(missing), in, out, err), 1);
    EXPECT_NE(out.str().find(R"({"fatal":)"), std::string::npos);
    EXPECT_TRUE(validUtf8(out.str())) << out.str();
}

// ---- things that are not files ---------------------------------------------

enum class Kind { Folder, Fifo, LinkLoop, Device, Dangling };

void makeHostile(const fs::path& path, Kind kind) {
    fs::remove(path);
    switch (kind) {
    case Kind::Folder: fs::create_directory(path); break;
    case Kind::Fifo: ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); break;
    case Kind::LinkLoop:
        fs::create_symlink(path.filename().string() + ".other", path);
        fs::create_symlink(path.filename(), path.string() + ".other");
        break;
    case Kind::Device: fs::create_symlink("/dev/zero", path); break;
    case Kind::Dangling: fs::create_symlink("nowhere/at/all", path); break;
    }
}

TEST(HostileFolder, NoFileWhereAScriptOrPictureShouldBeEndsTheGameWithoutBlocking) {
    const std::map<Kind, std::string> kinds = {{Kind::Folder, "folder"},
                                               {Kind::Fifo, "FIFO"},
                                               {Kind::LinkLoop, "symbolic-link loop"},
                                               {Kind::Device, "device"},
                                               {Kind::Dangling, "dangling link"}};
    // Each slot, and the message that names it. A reader at the other end of
    // the FIFO would never come: a blocking open would hang the player here.
    const std::vector<std::pair<std::string, std::string>> slots = {
        {"code.vrn", "cannot open the script \"code.vrn\""},    {"back.bmp", "cannot load the picture \"back.bmp\""},
        {"mouse.ico", "cannot load the cursor \"mouse.ico\""},  {"text.bmp", "cannot load the picture \"text.bmp\""},
        {"scene.bmp", "cannot load the picture \"scene.bmp\""},
    };
    for (const auto& [kind, kindName] : kinds) {
        for (const auto& [slot, message] : slots) {
            SCOPED_TRACE(slot + " is a " + kindName);
            TestGame game("<scene.bmp>\"p\"(2 a,b){\"A\"}{\"B\"}");
            game.write("scene.bmp", bitmap(4, 4));
            makeHostile(game.dir() / slot, kind);
            const auto r = game.play("click text\n");
            expectFatal(r, {message});
        }
    }
}

TEST(HostileFolder, AnUnreadableFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, which reads files whatever their mode";
    TestGame game("<scene.bmp>");
    game.write("scene.bmp", bitmap(4, 4));
    fs::permissions(game.dir() / "scene.bmp", fs::perms::none);
    expectFatal(game.play(), {"code.vrn:1:1", "cannot load the picture \"scene.bmp\"", "Permission denied"});
    fs::permissions(game.dir() / "code.vrn", fs::perms::none);
    expectFatal(game.play(), {"cannot open the script \"code.vrn\"", "Permission denied"});
}

// ---- pictures and icons ------------------------------------------------------

TEST(HostilePicture, DamagedBitmapsAreFatalErrorsExceptACutOneWhichShowsWhatItHas) {
    const std::string whole = bitmap(200, 100);
    const std::string unreadable = "it is not a picture the player can read";
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> fatal = {
        {"a header claiming 60000 x 60000 pixels", bitmapHeader(60000, 60000) + std::string(4096, '\x7f')},
        {"a header claiming 16384 x 16384 pixels", bitmapHeader(16384, 16384) + std::string(4096, '\x7f')},
        {"a header claiming 0 x 100 pixels", bitmapHeader(0, 100)},
        {"text", "This is no picture, only a few words.\r\n"},
        {"an empty file", ""},
        {"a cut header", whole.substr(0, 30)},
    };
    for (const Case& c : fatal) {
        SCOPED_TRACE(c.what);
        TestGame game("<scene.bmp>\"p\"");
        game.write("scene.bmp", c.bytes);
        expectFatal(game.play(), {"code.vrn:1:1", "cannot load the picture \"scene.bmp\"", unreadable});
        // As the background it stops the start-up.
        game.write("back.bmp", c.bytes);
        expectFatal(game.play(), {"the window background", "\"back.bmp\"", unreadable});
    }

    // Pixels cut off after the header: the rows that are there are shown, as
    // a browser shows a picture that did not finish loading.
    TestGame cut("<scene.bmp>\"p\"");
    cut.write("scene.bmp", whole.substr(0, 54 + 3000));
    const auto r = cut.play();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.matching(R"({"picture":"Image1")"), Lines{R"({"picture":"Image1","file":"scene.bmp"})"});
}

TEST(HostilePicture, ADamagedCursorIconStopsTheStartUp) {
    const std::string icon = icon32();
    std::string farOffset = icon;
    farOffset[18] = '\xFF', farOffset[19] = '\xFF', farOffset[20] = '\xFF', farOffset[21] = '\x7F';
    std::string hugeSize = icon;
    hugeSize[14] = '\xFF', hugeSize[15] = '\xFF', hugeSize[16] = '\xFF', hugeSize[17] = '\x7F';
    for (const auto& [what, bytes] :
         std::vector<std::pair<std::string, std::string>>{{"cut short", icon.substr(0, 40)},
                                                          {"only its directory", icon.substr(0, 22)},
                                                          {"image data beyond the end", farOffset},
                                                          {"an image of 2 GB claimed", hugeSize},
                                                          {"text", "no icon here\n"},
                                                          {"empty", ""}}) {
        SCOPED_TRACE(what);
        TestGame game("\"p\"");
        game.write("mouse.ico", bytes);
        const auto r = game.play();
        expectFatal(r, {"cannot load the cursor \"mouse.ico\""});
        EXPECT_EQ(r.matching(R"({"text":)").size(), 0u) << "the game does not start";
    }

    // A directory that claims 65535 icons but holds one: the one is the cursor.
    std::string manyClaimed = icon;
    manyClaimed[4] = '\xFF', manyClaimed[5] = '\xFF';
    TestGame game("\"p\"");
    game.write("mouse.ico", manyClaimed);
    const auto r = game.play();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.matching(R"({"cursor":)"), Lines{R"({"cursor":"mouse.ico"})"});
}

// ---- music --------------------------------------------------------------------

std::string varLength(unsigned value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    return bytes;
}

std::string be32(unsigned v) { return {char(v >> 24), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)}; }

std::string midiFile(const std::string& track, unsigned division = 480, unsigned tracks = 1,
                     std::optional<unsigned> trackLength = std::nullopt) {
    std::string file("MThd\0\0\0\x06\0\0", 10);
    file += char(tracks >> 8), file += char(tracks & 0xFF), file += char(division >> 8), file += char(division & 0xFF);
    return file + "MTrk" + be32(trackLength.value_or(static_cast<unsigned>(track.size()))) + track;
}

// Half a second of one note, then the end of the track.
std::string goodTrack() {
    return std::string("\x00\xC0\x00\x00\x90\x3C\x64", 7) + varLength(480) +
           std::string("\x80\x3C\x40\x00\xFF\x2F\x00", 7);
}

std::optional<fs::path> installedSoundfont() {
    for (const fs::path& font : FluidMusicDevice::defaultSoundfonts())
        if (fs::exists(font)) return font;
    return std::nullopt;
}

void playAsTheInterpreterDoes(FluidMusicDevice& device, const std::string& name) {
    device.setCommand(vorn::MusicCommand::Close);
    device.setFileName(name);
    device.setCommand(vorn::MusicCommand::Open);
    device.setCommand(vorn::MusicCommand::Play);
}

double rms(const std::vector<float>& sound) {
    double sum = 0;
    for (float s : sound) sum += double(s) * s;
    return sound.empty() ? 0 : std::sqrt(sum / double(sound.size()));
}

FluidMusicOptions offline() {
    FluidMusicOptions options;
    options.output = FluidMusicOptions::Output::Offline;
    return options;
}

TEST(HostileMusic, DamagedEmptyAndMissingMidiFilesLeaveTheMusicSilentAndTheDeviceWorking) {
    const std::optional<fs::path> font = installedSoundfont();
    if (!font) GTEST_SKIP() << "no General MIDI soundfont installed";
    TestGame game("");
    game.write("good.mid", midiFile(goodTrack()));
    const std::string good = goodTrack();
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"empty.mid", ""},
        {"header-only.mid", std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xE0", 14)},
        {"no-tracks.mid", midiFile("", 480, 0).substr(0, 14)},
        {"tracks-missing.mid", midiFile(good, 480, 65535)},
        {"track-4gb.mid", midiFile(good, 480, 1, 0xFFFFFFFFu)},
        {"track-cut.mid", midiFile(good, 480, 1, 5000)},
        {"running-status.mid", midiFile(std::string("\x00\x3C\x64\x00\x3C\x00\x00\xFF\x2F\x00", 10))},
        {"sysex-huge.mid", midiFile(std::string("\x00\xF0", 2) + varLength(0x0FFFFFFF) + "\xF7")},
        {"meta-huge.mid", midiFile(std::string("\x00\xFF\x01", 3) + varLength(0x0FFFFFFF) + "text")},
        {"long-varlength.mid", midiFile(std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x90\x3C\x64", 9))},
        {"tempo-zero.mid", midiFile(std::string("\x00\xFF\x51\x03\x00\x00\x00", 7) + good)},
        {"tempo-short.mid", midiFile(std::string("\x00\xFF\x51\x01\x00", 5) + good)},
        {"division-zero.mid", midiFile(good, 0)},
        {"only-the-end.mid", midiFile(std::string("\x00\xFF\x2F\x00", 4))},
        {"garbage.mid", midiFile(std::string(2000, '\xF3'))},
        {"riff-loop.mid", "RIFF" + std::string("\x20\0\0\0RMID", 8) + "LIST" + std::string("\xF8\xFF\xFF\xFF", 4)},
    };
    for (const auto& [name, bytes] : damaged) game.write(name, bytes);
    game.write("notes.mid", "These are no notes, only words.\n");
    makeHostile(game.dir() / "fifo.mid", Kind::Fifo);
    makeHostile(game.dir() / "loop.mid", Kind::LinkLoop);
    makeHostile(game.dir() / "device.mid", Kind::Device);
    makeHostile(game.dir() / "folder.mid", Kind::Folder);

    testing::internal::CaptureStderr();
    {
        FluidMusicDevice device(GameFolder(game.dir()), font, offline());
        int dones = 0;
        device.setDoneCallback([&] { ++dones; });
        ASSERT_TRUE(device.waitUntilReady());
        std::vector<std::string> names;
        for (const auto& entry : damaged) names.push_back(entry.first);
        for (const char* other : {"notes.mid", "fifo.mid", "loop.mid", "device.mid", "folder.mid", "absent.mid"})
            names.push_back(other);
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            playAsTheInterpreterDoes(device, name);
            for (int i = 0; i < 8; ++i) device.render(11025); // two seconds
            // Whatever that was, the next piece plays.
            dones = 0;
            playAsTheInterpreterDoes(device, "good.mid");
            EXPECT_GT(rms(device.render(11025)), 0.001);
        }
        device.setDoneCallback({});
    }
    const std::string said = testing::internal::GetCapturedStderr();
    // One line tells why the music went off; the device never says more.
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.rfind("vorn: music is off: cannot play \"", 0), 0u) << said;
}

TEST(HostileMusic, NoUsableSoundfontLeavesTheMusicSilent) {
    const std::optional<fs::path> font = installedSoundfont();
    TestGame game("");
    game.write("good.mid", midiFile(goodTrack()));
    game.write("words.sf2", "These are no instruments.\n");
    makeHostile(game.dir() / "folder.sf2", Kind::Folder);
    makeHostile(game.dir() / "fifo.sf2", Kind::Fifo);
    makeHostile(game.dir() / "loop.sf2", Kind::LinkLoop);
    std::vector<std::string> fonts = {"absent.sf2", "words.sf2", "folder.sf2", "fifo.sf2", "loop.sf2"};
    if (font) { // the real soundfont, cut after its first 64 KB
        std::ifstream in(*font, std::ios::binary);
        std::string head(64 * 1024, '\0');
        in.read(head.data(), std::streamsize(head.size()));
        game.write("cut.sf2", head.substr(0, std::size_t(in.gcount())));
        fonts.push_back("cut.sf2");
    }
    for (const std::string& name : fonts) {
        SCOPED_TRACE(name);
        testing::internal::CaptureStderr();
        {
            FluidMusicDevice device(GameFolder(game.dir()), game.dir() / name, offline());
            playAsTheInterpreterDoes(device, "good.mid");
            EXPECT_FALSE(device.waitUntilReady());
            playAsTheInterpreterDoes(device, "good.mid");
            EXPECT_EQ(rms(device.render(22050)), 0.0);
        }
        // The player's one line (FluidSynth's soundfont loader may add its own).
        const std::string said = testing::internal::GetCapturedStderr();
        Lines ours;
        std::istringstream lines(said);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("vorn:", 0) == 0) ours.push_back(line);
        ASSERT_EQ(ours.size(), 1u) << said;
        EXPECT_EQ(ours[0].rfind("vorn: music is off: ", 0), 0u) << said;
        EXPECT_NE(ours[0].find("soundfont"), std::string::npos) << said;
    }
}

// Sets environment variables for one scope.
class ScopedEnv {
  public:
    ScopedEnv(std::initializer_list<std::pair<const char*, std::string>> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name, value.c_str(), 1);
        }
    }
    ~ScopedEnv() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(HostileMusic, NoAudioDeviceLeavesTheMusicSilentAndSaysWhyOnce) {
    const std::optional<fs::path> font = installedSoundfont();
    if (!font) GTEST_SKIP() << "no General MIDI soundfont installed";
    TestGame game("");
    game.write("good.mid", midiFile(goodTrack()));
    game.write("alsa.conf", "# no devices at all\n");
    // No PulseAudio server to reach, and an ALSA that knows no device.
    ScopedEnv env{{"PULSE_SERVER", "unix:" + (game.dir() / "no-such-socket").string()},
                  {"ALSA_CONFIG_PATH", (game.dir() / "alsa.conf").string()}};
    testing::internal::CaptureStderr();
    {
        FluidMusicDevice device(GameFolder(game.dir()), font, FluidMusicOptions{});
        playAsTheInterpreterDoes(device, "good.mid");
        EXPECT_FALSE(device.waitUntilReady());
        for (int i = 0; i < 3; ++i) playAsTheInterpreterDoes(device, "good.mid");
        device.setCommand(vorn::MusicCommand::Close);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("vorn: music is off: no audio output (", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

// ---- the player writes no file -------------------------------------------------

struct Snapshot {
    std::map<std::string, std::string> entries; // path -> type, size, mode and modification time
};

Snapshot snapshot(const fs::path& root) {
    Snapshot s;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::none, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        struct stat info {};
        if (::lstat(it->path().c_str(), &info) != 0) continue;
        s.entries[it->path().string()] = std::to_string(info.st_mode) + " " + std::to_string(info.st_size) + " " +
                                         std::to_string(info.st_mtim.tv_sec) + "." +
                                         std::to_string(info.st_mtim.tv_nsec);
    }
    return s;
}

void makeReadOnly(const fs::path& root) {
    for (const auto& entry : fs::recursive_directory_iterator(root))
        fs::permissions(entry.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    fs::permissions(root, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

struct PlayerRun {
    int status = -1;
    std::string out, err;
};

// Runs the player with exactly `env`, in `cwd`, with `input` on standard input;
// sends SIGTERM once its standard error holds `terminateWhenSaid`, if given.
PlayerRun runPlayer(const std::vector<std::string>& args, const std::vector<std::string>& env, const fs::path& cwd,
                    const std::string& input, const std::string& terminateWhenSaid = "") {
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) return {};
    // Everything the child needs is made before the fork: after it, only calls
    // that are safe in a copy of a threaded process.
    std::vector<std::string> fullEnv = env;
    // The sanitizer build's options (its leak suppressions) reach the player too.
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* value = std::getenv(name)) fullEnv.push_back(std::string(name) + "=" + value);
    std::vector<char*> argv{const_cast<char*>(VORN_PLAYER)}, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : fullEnv) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr), envp.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0), ::dup2(out[1], 1), ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
        if (::chdir(cwd.c_str()) != 0) ::_exit(126);
        ::execve(VORN_PLAYER, argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(in[0]), ::close(out[1]), ::close(err[1]);
    std::signal(SIGPIPE, SIG_IGN);
    std::size_t written = 0;
    PlayerRun run;
    std::vector<pollfd> fds = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {in[1], POLLOUT, 0}};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int open = 3;
    bool terminated = false;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (::poll(fds.data(), fds.size(), 1000) < 0) break;
        for (std::size_t k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP))) continue;
            char buffer[65536];
            const ssize_t got = ::read(fds[k].fd, buffer, sizeof buffer);
            if (got <= 0) {
                ::close(fds[k].fd), fds[k].fd = -1, --open;
            } else {
                (k == 0 ? run.out : run.err).append(buffer, std::size_t(got));
            }
        }
        if (!terminateWhenSaid.empty() && run.err.find(terminateWhenSaid) != std::string::npos && !terminated) {
            ::kill(pid, SIGTERM);
            terminated = true;
        }
        if (fds[2].fd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t put =
                written < input.size() ? ::write(in[1], input.data() + written, input.size() - written) : 0;
            if (put > 0) written += std::size_t(put);
            if (put <= 0 || written == input.size()) ::close(in[1]), fds[2].fd = -1, --open;
        }
    }
    for (const pollfd& p : fds)
        if (p.fd >= 0) ::close(p.fd);
    if (open > 0) ::kill(pid, SIGKILL); // it hung: the status says so
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

TEST(NoFilesWritten, AGamePlayedInAReadOnlyWorldCreatesNothing) {
    const fs::path world = fs::temp_directory_path() / ("vorn-readonly-" + std::to_string(::getpid()));
    fs::remove_all(world);
    const fs::path home = world / "home", tmp = world / "tmp", runtime = world / "runtime", game = world / "game";
    for (const fs::path& dir :
         {home / ".config", home / ".cache", home / ".local/share", home / ".local/state", tmp, runtime})
        fs::create_directories(dir);
    fs::copy(fs::path(VORN_SOURCE_DIR) / "examples/demo", game, fs::copy_options::recursive);
    for (const fs::path& dir : {home, runtime, game}) makeReadOnly(dir);
    fs::permissions(runtime, fs::perms::owner_read | fs::perms::owner_exec);

    const std::vector<std::string> env = {
        "HOME=" + home.string(),
        "XDG_CONFIG_HOME=" + (home / ".config").string(),
        "XDG_CACHE_HOME=" + (home / ".cache").string(),
        "XDG_DATA_HOME=" + (home / ".local/share").string(),
        "XDG_STATE_HOME=" + (home / ".local/state").string(),
        "XDG_RUNTIME_DIR=" + runtime.string(),
        "TMPDIR=" + tmp.string(),
        "PATH=/usr/bin:/bin",
        "LANG=C.UTF-8",
    };
    // Through the whole demo and back: pages, choices, music, "New", About.
    std::string events;
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 12; ++k) events += "click text\n";
        events += "click option " + std::to_string(i % 2 + 1) + "\nmusic done\n";
    }
    events +=
        "menu new\nclick text\nmenu about\nsave q\nclick text\nload q\nmenu quit\n"; // headless saves stay in memory

    const Snapshot before = snapshot(world);
    const PlayerRun run = runPlayer({"--headless"}, env, game, events); // the game in the working folder
    const Snapshot after = snapshot(world);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(R"({"event":"menu quit"})"), std::string::npos);
    EXPECT_NE(run.out.find(R"({"loaded":"q"})"), std::string::npos);
    EXPECT_EQ(run.out.find(R"({"fatal")"), std::string::npos) << run.out.substr(run.out.find(R"({"fatal")"));
    EXPECT_EQ(after.entries, before.entries) << "the player changed something in " << world;

    fs::permissions(world, fs::perms::owner_all, fs::perm_options::add);
    for (const auto& entry : fs::recursive_directory_iterator(world))
        if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(world);
}

// A fatal report waits for the reader to close it; a termination signal (a
// session ending) must still end the player, with the report's status.
TEST(HostileWindow, ATerminationSignalEndsThePlayerWhileAFatalReportIsShown) {
    TestGame game("<missing.bmp>\"p\"");
    const fs::path runtime = game.dir() / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    const std::vector<std::string> env = {"HOME=" + game.dir().string(), "PATH=/usr/bin:/bin",
                                          "QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtime.string()};
    const PlayerRun run =
        runPlayer({"--no-music", "--zoom", "1", "."}, env, game.dir(), "", "cannot load the picture \"missing.bmp\"");
    EXPECT_EQ(run.status, 1) << run.err;
}

} // namespace
