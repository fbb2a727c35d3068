// save SLOT and load SLOT in the headless transcript: what a load replays,
// and refusals that change nothing.

#include "headless_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorn::test;
namespace fs = std::filesystem;

namespace {

struct PlayerRun {
    std::string out;
    long peakMB = 0;
};

// Runs the player headless as a process of its own, with `events` on its
// standard input, and measures its peak resident memory.
PlayerRun runPlayer(const fs::path& game, const fs::path& saveDir, const std::string& events) {
    const fs::path in = saveDir / "events.txt", out = saveDir / "out.txt";
    writeFile(in, events);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int input = ::open(in.c_str(), O_RDONLY), output = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(input, 0), ::dup2(output, 1);
        ::execl(VORN_PLAYER, VORN_PLAYER, "--headless", "--save-dir", saveDir.c_str(), game.c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return {readFile(out), usage.ru_maxrss / 1024};
}

} // namespace

TEST(HeadlessSaves, ALoadReplaysTheSavedScreenAndMusicThenSaysLoaded) {
    TestGame game("<a.bmp>[one.mid]\"Hi\"(2 Yes,No){\"Y\"}{\"N\"}<b.bmp>[two.mid]\"After\"");
    game.write("a.bmp", bitmap(100, 60));
    game.write("b.bmp", bitmap(50, 40));
    const auto r = game.play("click text\nsave m\nclick option 2\nclick text\nload m\n");
    const std::string menuState = state(-1, "2", "null", R"("one.mid")");
    EXPECT_EQ(r.afterEvent(2), (Lines{R"({"saved":"m"})", menuState}));
    EXPECT_EQ(r.afterEvent(5), (Lines{
                                   R"({"picture":"Form1","file":"back.bmp"})",
                                   R"({"picture":"Image1","file":"a.bmp"})",
                                   R"({"picture":"Image2","file":"text.bmp"})",
                                   R"({"caption":1,"text":"Yes"})",
                                   R"({"caption":2,"text":"No"})",
                                   R"({"caption":3,"text":""})",
                                   R"({"caption":4,"text":""})",
                                   R"({"text":""})",
                                   R"({"device":"Command","value":"Close"})",
                                   R"({"device":"FileName","value":"one.mid"})",
                                   R"({"device":"Command","value":"Open"})",
                                   R"({"device":"Command","value":"Play"})",
                                   R"({"loaded":"m"})",
                                   menuState,
                               }));
}

// An emptied picture element keeps the size of the picture it held, so the
// load shows that picture first; an element never set goes back to its start.
TEST(HeadlessSaves, EmptiedAndUntouchedPicturesComeBackWithTheirSizes) {
    TestGame game("<a.bmp><>\"Hi\"\"Two\"<b.bmp>[x.mid][]\"Three\"");
    game.write("a.bmp", bitmap(100, 60));
    game.write("b.bmp", bitmap(50, 40));
    const auto r = game.play("save s\nclick text\nclick text\nload s\n");
    EXPECT_EQ(r.afterEvent(4), (Lines{
                                   R"({"picture":"Form1","file":"back.bmp"})",
                                   R"({"picture":"Image1","file":"a.bmp"})",
                                   R"({"picture":"Image1","file":""})",
                                   R"({"reset":"Image2"})",
                                   R"({"picture":"Image2","file":""})",
                                   R"({"caption":1,"text":""})",
                                   R"({"caption":2,"text":""})",
                                   R"({"caption":3,"text":""})",
                                   R"({"caption":4,"text":""})",
                                   R"({"text":"Hi"})",
                                   R"({"device":"Command","value":"Close"})",
                                   R"({"loaded":"s"})",
                                   state(-1, "0", "null"),
                               }));

    // A scene never set is the built-in one; the empty name [] "plays" again.
    TestGame untouched("[x.mid][]\"Hi\"");
    const auto r2 = untouched.play("save t\nload t\n");
    EXPECT_EQ(r2.afterEvent(2), (Lines{
                                    R"({"picture":"Form1","file":"back.bmp"})",
                                    R"({"reset":"Image1"})",
                                    R"({"reset":"Image2"})",
                                    R"({"picture":"Image2","file":""})",
                                    R"({"caption":1,"text":""})",
                                    R"({"caption":2,"text":""})",
                                    R"({"caption":3,"text":""})",
                                    R"({"caption":4,"text":""})",
                                    R"({"text":"Hi"})",
                                    R"({"device":"Command","value":"Close"})",
                                    R"({"device":"FileName","value":""})",
                                    R"({"device":"Command","value":"Open"})",
                                    R"({"device":"Command","value":"Play"})",
                                    R"({"loaded":"t"})",
                                    state(-1, "0", "null", R"("")"),
                                }));
}

TEST(HeadlessSaves, ALoadThatCannotBeDoneIsRefusedAndChangesNothing) {
    TestGame game("\"one\"<pic.bmp>\"two\"\"three\"");
    game.write("pic.bmp", bitmap(20, 20));
    const auto r = game.play("load nothing\nclick text\n");
    EXPECT_EQ(r.afterEvent(1),
              (Lines{R"({"refused":"nothing","why":"slot \"nothing\" is empty"})", state(-1, "0", "null")}));
    EXPECT_EQ(r.afterEvent(2)[1], R"({"text":"two"})") << "the game goes on";

    // A picture of the saved screen that has gone since: refused before anything is shown.
    const auto saves = game.dir() / "saves";
    ASSERT_EQ(game.play("click text\nsave p\n", saves).status, 0);
    game.remove("pic.bmp");
    const auto gone = game.play("load p\n", saves);
    ASSERT_EQ(gone.status, 0) << gone.errors;
    const Lines refused = gone.afterEvent(1);
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_TRUE(has(refused[0], R"({"refused":"p","why":)")) << refused[0];
    EXPECT_TRUE(has(refused[0], "pic.bmp")) << refused[0];
    EXPECT_EQ(refused[1], state(-1, "0", "null")) << "still at the first page";
}

TEST(HeadlessSaves, SlotNamesOutsideTheRulesAreUsageErrors) {
    TestGame game("\"one\"");
    for (const std::string& bad :
         std::vector<std::string>{"save\n", "load\n", "save a/b\n", "save ../x\n", "load a b\n", "save é\n",
                                  "save " + std::string(33, 'a') + "\n"}) {
        const auto r = game.play(bad);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_TRUE(has(r.errors, "save SLOT")) << r.errors;
    }
    const auto ok = game.play("save " + std::string(32, 'a') + "\nsave A-z_09\n");
    EXPECT_EQ(ok.status, 0) << ok.errors;
    EXPECT_EQ(ok.afterEvent(2).front(), R"({"saved":"A-z_09"})");
}

// A saved picture that is no longer a picture: the load puts back what it had
// replaced and is refused; the game goes on from where it was.
TEST(HeadlessSaves, ALoadWhosePictureNoLongerDecodesPutsTheScreenBackAndIsRefused) {
    TestGame game("<b.bmp>\"one\"(2 x,y){<a.bmp>\"two\"}{\"three\"}\"four\"");
    game.write("a.bmp", bitmap(100, 60));
    game.write("b.bmp", bitmap(50, 40));
    const auto saves = game.dir() / "saves";
    ASSERT_EQ(game.play("click text\nclick option 1\nsave s\n", saves).status, 0);
    game.write("a.bmp", "BM no longer a picture");
    const auto r = game.play("load s\nclick text\nclick option 2\n", saves);
    ASSERT_EQ(r.status, 0) << r.errors;
    const Lines load = r.afterEvent(1);
    ASSERT_EQ(load.size(), 5u) << r.errors;
    EXPECT_EQ(load[0], R"({"picture":"Form1","file":"back.bmp"})");
    EXPECT_EQ(load[1], R"({"picture":"Form1","file":"back.bmp"})") << "put back";
    EXPECT_EQ(load[2], R"({"picture":"Image1","file":"b.bmp"})") << "put back";
    EXPECT_TRUE(has(
        load[3], R"({"refused":"s","why":"the save in slot \"s\" cannot be loaded: its picture \"a.bmp\" of Image1)"))
        << load[3];
    EXPECT_EQ(load[4], state(-1, "0", "null"));
    EXPECT_EQ(r.afterEvent(3).front(), R"({"text":"three"})") << "the game goes on";
}

// A save padded to tens of megabytes costs the player no more than the file:
// one beyond the largest a save may be is refused unread, and one within it,
// padded with what no save has or with a backlog of countless entries, is
// read in bounded memory. Measured on the player as a process.
// AddressSanitizer's shadow memory and quarantine multiply what a process
// holds: the bound is checked where the player is built for use.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif

TEST(HeadlessSaves, APaddedSaveIsAnsweredWithinBoundedMemory) {
    TestGame game("\"one\"\"two\"\"three\"");
    const fs::path saves = game.dir() / "saves";
    ASSERT_EQ(game.play("save q\n", saves).status, 0);
    const std::string good = readFile(saves / "q.json");
    const std::size_t backlogAt = good.find("\"backlog\":");
    ASSERT_NE(backlogAt, std::string::npos);
    const auto padded = [&](std::size_t megabytes, const std::string& item, bool asBacklog) {
        std::string list;
        const std::size_t count = megabytes * 1024 * 1024 / (item.size() + 1);
        list.reserve(count * (item.size() + 1) + 2);
        list += "[";
        for (std::size_t k = 0; k < count; ++k) (list += k ? "," : "") += item;
        list += "]";
        return asBacklog ? good.substr(0, backlogAt) + "\"backlog\":" + list + "}\n"
                         : good.substr(0, backlogAt) + "\"padding\":" + list + ",\n" + good.substr(backlogAt);
    };
    writeFile(saves / "over.json", padded(30, "{}", false));
    writeFile(saves / "objects.json", padded(20, "{}", false));
    writeFile(saves / "entries.json", padded(20, R"({"page":"x"})", true));

    const PlayerRun over = runPlayer(game.dir(), saves, "load over\nclick text\n");
    EXPECT_TRUE(has(over.out, R"(cannot be loaded: it is larger than 24 MB, far larger than a saved game"})"))
        << over.out.substr(0, 300);
    EXPECT_TRUE(has(over.out, R"({"text":"two"})")) << "the game goes on";
    if (kMemoryIsMeasurable) EXPECT_LT(over.peakMB, 250);

    const PlayerRun objects = runPlayer(game.dir(), saves, "load objects\n");
    EXPECT_TRUE(has(objects.out, R"({"loaded":"objects"})")) << objects.out.substr(0, 300);
    if (kMemoryIsMeasurable) EXPECT_LT(objects.peakMB, 250);

    const PlayerRun entries = runPlayer(game.dir(), saves, "load entries\nsave again\n");
    EXPECT_TRUE(has(entries.out, R"({"loaded":"entries"})")) << entries.out.substr(0, 300);
    if (kMemoryIsMeasurable) EXPECT_LT(entries.peakMB, 250);
    EXPECT_TRUE(fs::exists(saves / "over.json")) << "a refused slot is kept";
}
