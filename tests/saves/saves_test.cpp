// Saved games on disk: the format, damaged and foreign saves, the folder
// store's pictures and slots, saves refused inside a run, and saves killed
// half-way.

#include "headless_fixture.h"
#include "interpreter/music_device.h"
#include "quiet_surface.h"
#include "saves/save_format.h"
#include "saves/save_store.h"
#include "saves/saves.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vorn;
using namespace vorn::test;
namespace fs = std::filesystem;

namespace {

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    const auto at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

// A surface that shows nothing and lets a test act in the middle of a run.
} // namespace

TEST(SaveFormat, EverySnapshotReadsBackAsItWasWritten) {
    SaveDocument d;
    d.game = {"ゲーム \"one\"", std::string(64, 'a')};
    d.savedAt = "2026-12-07T12:34:56Z";
    d.picture = "quick.1.png";
    Snapshot& s = d.snapshot;
    s.position = 123456789012;
    s.menuOffset = 7;
    s.WaitCmd = -1;
    s.NumCmds = -32768;
    s.Cmd_Selected = 32767;
    s.musfile = std::string("a\0b\\\"\r\n.mid", 12);
    s.Flag = {0, 1, 2, 4, 8, 16, 128, 255};
    s.menuWaiting = true;
    s.pictures = {PictureState{"back.bmp", "back.bmp"}, PictureState{}, PictureState{"", "text.bmp"}};
    s.captions = {"表", "", "\t", "4"};
    s.text = "line\r\nline two \xEF\xBF\xBD";
    s.music = "";
    s.backlog = {{BacklogEntry::Kind::Page, "one"},
                 {BacklogEntry::Kind::Choice, "賽銭 Offer coin"},
                 {BacklogEntry::Kind::Page, "二"}};
    std::string why;
    const auto back = decodeSave(encodeSave(d), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->game, d.game);
    EXPECT_EQ(back->savedAt, d.savedAt);
    EXPECT_EQ(back->picture, d.picture);
    EXPECT_EQ(back->snapshot, d.snapshot);

    // Empty values stay apart from 0 and from the empty text.
    d.snapshot = Snapshot{};
    d.picture.reset();
    const auto empty = decodeSave(encodeSave(d), why);
    ASSERT_TRUE(empty) << why;
    EXPECT_EQ(empty->snapshot, Snapshot{});
    EXPECT_FALSE(empty->snapshot.NumCmds.has_value());
    EXPECT_FALSE(empty->snapshot.musfile.has_value());
}

class BadSaves : public ::testing::Test {
  protected:
    BadSaves() : game("\"one\"\"two\"\"three\""), saves(game.dir() / "saves"), slot(saves / "q.json") {
        const auto r = game.play("save q\n", saves);
        EXPECT_EQ(r.afterEvent(1).front(), R"({"saved":"q"})");
        good = readFile(slot);
    }

    // Loads slot q into a game at its first page: the load must be refused
    // with `expected` in its reason, the game go on, the file stay as it was.
    void expectRefused(const std::string& bytes, const std::string& expected) {
        writeFile(slot, bytes);
        const auto r = game.play("load q\nclick text\n", saves);
        EXPECT_EQ(r.status, 0) << r.errors;
        const Lines refused = r.afterEvent(1);
        ASSERT_EQ(refused.size(), 2u);
        EXPECT_TRUE(has(refused[0], R"({"refused":"q","why":"the save in slot \"q\" )")) << refused[0];
        EXPECT_TRUE(has(refused[0], expected)) << refused[0];
        EXPECT_EQ(refused[1], state(-1, "0", "null"));
        EXPECT_EQ(r.afterEvent(2).front(), R"({"text":"two"})") << "the game goes on";
        EXPECT_EQ(readFile(slot), bytes) << "the player keeps the save as it is";
    }

    TestGame game;
    fs::path saves, slot;
    std::string good;
};

TEST_F(BadSaves, ATruncatedSaveIsRefused) {
    expectRefused(good.substr(0, good.size() / 2), "cut short or damaged");
    expectRefused("", "cut short or damaged");
}

TEST_F(BadSaves, DamagedJsonIsRefused) {
    expectRefused(replaced(good, "\"format\":", "\"format\";"), "cut short or damaged");
    expectRefused(replaced(good, "\"flags\":[0,0,0,0,0,0,0,0]", "\"flags\":[0,0,0]"),
                  R"(\"flags\" is not a list of 8)");
    expectRefused(replaced(good, "\"WaitCmd\":-1", "\"WaitCmd\":5"),
                  R"(\"WaitCmd\" is not a whole number from -1 to 0)");
    expectRefused(replaced(good, "\"position\":", "\"place\":"), R"(\"position\" is not)");
    expectRefused(replaced(good, "\"position\":", "\"position\":9999"), "outside code.vrn");
    expectRefused(replaced(good, "{\"page\":", "{\"note\":"),
                  R"(\"backlog\" is not a list of pages and options chosen)");
}

TEST_F(BadSaves, AForeignFileIsRefused) {
    expectRefused(R"({"hello":"world"})", "not a saved game of this player");
    expectRefused("\x89PNG\r\n\x1a\n", "cut short or damaged");
}

TEST_F(BadSaves, ASaveOfAnotherGameIsRefused) {
    expectRefused(replaced(good, "\"name\":\"" + game.dir().filename().string() + "\"", "\"name\":\"other\""),
                  "belongs to the game \\\"other\\\"");
}

TEST_F(BadSaves, ASaveFromANewerPlayerIsRefused) {
    expectRefused(replaced(good, "\"version\":1", "\"version\":2"), "newer version of the player");
}

TEST_F(BadSaves, AChangedScriptRefusesTheLoadAndKeepsTheSave) {
    game.write("code.vrn", "\"one\"\"two\"\"three, edited\"");
    expectRefused(good, "code.vrn has changed since");
    game.write("code.vrn", "\"one\"\"two\"\"three\"");
    const auto r = game.play("load q\n", saves);
    EXPECT_TRUE(has(r.afterEvent(1).back(), "state")) << r.afterEvent(1).back();
    EXPECT_EQ(r.matching(R"({"loaded":"q"})").size(), 1u) << "the original script loads it again";
}

// Values no script brings about, and names that leave the game folder, are
// refused before anything changes, and the slot is kept.
TEST_F(BadSaves, ImpossibleValuesAndNamesOutsideTheGameAreRefused) {
    expectRefused(replaced(good, "\"NumCmds\":0", "\"NumCmds\":32767"),
                  "cannot be loaded: NumCmds holds 32767, where a choice menu has at most 4 options");
    expectRefused(replaced(good, "\"NumCmds\":0", "\"NumCmds\":-3"), "NumCmds holds -3");
    expectRefused(replaced(good, "\"Cmd_Selected\":null", "\"Cmd_Selected\":9"), "Cmd_Selected holds 9");
    expectRefused(replaced(good, "\"menuWaiting\":false", "\"menuWaiting\":true"),
                  "a choice menu waits while WaitCmd holds -1 and NumCmds 0");
    // A picture by its absolute name, though it is the game's own background.
    const std::string absolute = (game.dir() / "back.bmp").string();
    expectRefused(replaced(good, "\"Image1\":{\"file\":null", "\"Image1\":{\"file\":\"" + absolute + "\""),
                  "its picture \\\"" + absolute + "\\\" of Image1 lies outside the game folder");
    writeFile(game.dir().parent_path() / (game.dir().filename().string() + "-outside.bmp"), bitmap(8, 8));
    const std::string climbing = "..\\\\" + game.dir().filename().string() + "-outside.bmp";
    expectRefused(replaced(good, "\"Image1\":{\"file\":null", "\"Image1\":{\"file\":\"" + climbing + "\""),
                  "of Image1 lies outside the game folder");
    fs::remove(game.dir().parent_path() / (game.dir().filename().string() + "-outside.bmp"));
    expectRefused(replaced(good, "\"music\":null", "\"music\":\"/dev/zero\""),
                  "its music \\\"/dev/zero\\\" lies outside the game folder");
}

// Two games whose folders have the same name keep their saves in one folder:
// the quick and continue slots of each are its own, and neither game's saves
// are overwritten by the other's automatic saves; each lists the other's,
// marked. An earlier version of a game (its script edited) is the same case.
TEST(SavesOfTwoGames, GamesOfOneFolderNameNeverOverwriteEachOthersAutomaticSlots) {
    const fs::path base = fs::temp_directory_path() / ("vorn-two-games-" + std::to_string(::getpid()));
    const fs::path saveDir = base / "saves";
    const auto makeGame = [&](const std::string& where, const std::string& script) {
        const fs::path dir = base / where / "demo";
        fs::create_directories(dir);
        writeFile(dir / "code.vrn", script);
        writeFile(dir / "back.bmp", bitmap(40, 30));
        writeFile(dir / "text.bmp", bitmap(40, 10));
        writeFile(dir / "mouse.ico", icon32());
        return GameFolder(dir);
    };
    const GameFolder first = makeGame("a", "\"A one\"\"A two\""), second = makeGame("b", "\"B one\"\"B two\"");
    const QString dir = QString::fromStdString(saveDir.string());
    struct Playing {
        QuietSurface surface;
        SilentMusicDevice device;
        Interpreter interpreter;
        FolderSlotStore store;
        Saves saves;
        Playing(const GameFolder& game, const QString& folder)
            : interpreter(game, surface, device), store(folder), saves(interpreter, game, store) {
            interpreter.load();
            interpreter.playRun();
        }
    };

    auto a = std::make_unique<Playing>(first, dir);
    EXPECT_EQ(a->saves.ownSlot(kQuickSlot, true), "quick") << "a game alone keeps the slots' own names";
    ASSERT_EQ(a->saves.save(a->saves.ownSlot(kQuickSlot, true)).english(), "");
    ASSERT_EQ(a->saves.save(a->saves.ownSlot(kContinueSlot, true)).english(), "");
    const std::string quickOfA = readFile(saveDir / "quick.json"), continueOfA = readFile(saveDir / "continue.json");

    Playing b(second, dir);
    const std::string mark = Saves::scriptHash("\"B one\"\"B two\"").substr(0, 8);
    EXPECT_EQ(b.saves.ownSlot(kQuickSlot, false), "quick") << "nothing of its own yet: the other's is refused";
    EXPECT_TRUE(
        has(b.saves.load(b.saves.ownSlot(kQuickSlot, false)).english(), "another version of this game's script"));
    ASSERT_EQ(b.saves.ownSlot(kQuickSlot, true), "quick-" + mark);
    ASSERT_EQ(b.saves.save(b.saves.ownSlot(kQuickSlot, true)).english(), "");
    ASSERT_EQ(b.saves.save(b.saves.ownSlot(kContinueSlot, true)).english(), "");
    EXPECT_EQ(readFile(saveDir / "quick.json"), quickOfA);
    EXPECT_EQ(readFile(saveDir / "continue.json"), continueOfA);
    b.interpreter.resume();
    ASSERT_EQ(b.saves.ownSlot(kQuickSlot, false), "quick-" + mark);
    ASSERT_EQ(b.saves.load(b.saves.ownSlot(kQuickSlot, false)).english(), "");
    EXPECT_EQ(b.interpreter.snapshot()->text, "B one");
    EXPECT_EQ(automaticSlotOf("continue-" + mark), std::optional<std::string>(kContinueSlot));
    EXPECT_FALSE(automaticSlotOf("continue-" + mark + "0"));

    // Each lists the other's slots, marked, and its own as loadable.
    for (const SlotSummary& slot : b.saves.list()) {
        const bool own = slot.slot.size() > 9;
        EXPECT_EQ(slot.problem.empty(), own) << slot.slot << ": " << slot.problem.english();
        if (!own) {
            EXPECT_TRUE(has(slot.problem.english(), "or by another game in a folder of the same name"))
                << slot.problem.english();
        }
    }
    EXPECT_EQ(b.saves.list().size(), 4u);

    // The first game goes on with its own, unchanged; both have a place kept.
    a = std::make_unique<Playing>(first, dir);
    EXPECT_EQ(a->saves.ownSlot(kContinueSlot, true), "continue");
    EXPECT_EQ(a->saves.load(a->saves.ownSlot(kContinueSlot, false)).english(), "");
    EXPECT_TRUE(hasContinueSlot(first, saveDir));
    EXPECT_TRUE(hasContinueSlot(second, saveDir));
    EXPECT_EQ(b.saves.remove(b.saves.ownSlot(kContinueSlot, true)).english(), "");
    EXPECT_TRUE(fs::exists(saveDir / "continue.json")) << "only the game's own kept place is deleted";
    fs::remove_all(base);
}

TEST(SavesInAFolder, PicturesGoWithTheirDocumentAndOnlyTheReaderDeletesSlots) {
    TestGame game("\"Page one\r\nsecond line\"(2 a,b){\"A\"}{\"B\"}");
    QuietSurface surface;
    SilentMusicDevice device;
    const GameFolder folder(game.dir());
    Interpreter interpreter(folder, surface, device);
    const QString dir = QString::fromStdString((game.dir() / "saves").string());
    FolderSlotStore store(dir);
    Saves saves(interpreter, folder, store);
    interpreter.load();
    interpreter.playRun();

    EXPECT_EQ(saves.save("first", "png one").english(), "");
    EXPECT_EQ(saves.save("second").english(), "");
    interpreter.resume(); // the menu: the text box is empty
    EXPECT_EQ(saves.save("first", "png two").english(), "");

    const std::vector<SlotSummary> first = saves.list();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].slot, "first");
    EXPECT_EQ(first[0].picture, "png two");
    EXPECT_EQ(first[0].firstLine, "Page one") << "while a menu waits, the latest page";
    EXPECT_EQ(first[0].problem.english(), "");
    EXPECT_EQ(first[1].picture, "") << "a save without a picture";
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 3) << "the old picture went with the old document";

    EXPECT_EQ(saves.load("first").english(), "");
    EXPECT_TRUE(interpreter.menuWaiting());
    EXPECT_EQ(saves.remove("first").english(), "");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{"second.json"});
    EXPECT_EQ(saves.load("first").english(), "slot \"first\" is empty");

    // A damaged slot is listed with what is wrong, and left alone.
    writeFile(game.dir() / "saves" / "broken.json", "{");
    const std::vector<SlotSummary> listed = saves.list();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_TRUE(has(listed[0].problem.english(), "slot \"broken\"")) << listed[0].problem.english();
    EXPECT_TRUE(fs::exists(game.dir() / "saves" / "broken.json"));
}

TEST(SavesInAFolder, EachGameHasAFolderOfItsOwnInTheUsersDataFolder) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/vorn/saves/";
    EXPECT_EQ(FolderSlotStore::userFolder("demo"), base + "demo");
    EXPECT_EQ(FolderSlotStore::userFolder("../a b/.c"), base + "%2E.%2Fa%20b%2F.c");
    EXPECT_EQ(FolderSlotStore::userFolder(".hidden"), base + "%2Ehidden");
    EXPECT_EQ(FolderSlotStore::userFolder(""), base + "game");
}

TEST(SavesInARun, ASaveOrALoadInTheMiddleOfARunIsRefused) {
    TestGame game("\"one\"\"two\"");
    QuietSurface surface;
    SilentMusicDevice device;
    const GameFolder folder(game.dir());
    Interpreter interpreter(folder, surface, device);
    MemorySlotStore store;
    Saves saves(interpreter, folder, store);
    interpreter.load();
    std::string savedInRun, loadedInRun, restoredInRun;
    surface.onText = [&] {
        savedInRun = saves.save("s").english();
        loadedInRun = saves.load("s").english();
        restoredInRun = interpreter.restore(Snapshot{}, "\"one\"\"two\"").english();
        EXPECT_FALSE(interpreter.snapshot());
    };
    interpreter.playRun();
    EXPECT_TRUE(has(savedInRun, "in the middle of a run")) << savedInRun;
    EXPECT_TRUE(has(loadedInRun, "in the middle of a run")) << loadedInRun;
    EXPECT_TRUE(has(restoredInRun, "in the middle of a run")) << restoredInRun;
    EXPECT_TRUE(store.slotNames().empty());

    surface.onText = nullptr;
    EXPECT_EQ(saves.save("s").english(), "") << "between runs it can";
}

// The real player saving over and over, killed at random moments: the slot
// always holds a whole save, the old one or the new one.
TEST(SavesKilled, AKillDuringASaveNeverLeavesAnUnreadableSlot) {
    std::string script;
    for (int k = 0; k < 150; ++k) script += "\"" + std::string(4000, char('a' + k % 26)) + "\"\r\n";
    TestGame game(script);
    const fs::path saves = game.dir() / "saves";
    std::string input;
    for (int k = 0; k < 150; ++k) input += "click text\nsave k\n";
    ASSERT_EQ(game.play("save k\n", saves).status, 0);

    std::signal(SIGPIPE, SIG_IGN);
    std::mt19937 rng(15);
    int changed = 0;
    std::string last = readFile(saves / "k.json");
    for (int round = 0; round < 12; ++round) {
        int in[2];
        ASSERT_EQ(::pipe(in), 0);
        const std::string saveDir = saves.string(), dir = game.dir().string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(in[0], 0), ::dup2(null, 1), ::dup2(null, 2);
            ::close(in[0]), ::close(in[1]);
            ::execl(VORN_PLAYER, VORN_PLAYER, "--headless", "--save-dir", saveDir.c_str(), dir.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(in[0]);
        const auto unused = ::write(in[1], input.data(), input.size());
        (void)unused;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(20, 1200)(rng)));
        ::kill(pid, SIGKILL);
        ::close(in[1]);
        int status = 0;
        ::waitpid(pid, &status, 0);

        const std::string now = readFile(saves / "k.json");
        std::string why;
        ASSERT_TRUE(decodeSave(QByteArray::fromStdString(now), why)) << "round " << round << ": " << why;
        changed += now != last;
        last = now;
    }
    EXPECT_GE(changed, 2) << "the kills should fall while the player saves";
    const auto r = game.play("load k\n", saves);
    EXPECT_EQ(r.matching(R"({"loaded":"k"})").size(), 1u);
}
