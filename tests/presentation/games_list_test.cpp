// The list of games played: newest first, one entry per game, kept across
// sessions, and never in the way when its file is damaged or cannot be written.

#include "presentation/window/games_list.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vorn;
namespace fs = std::filesystem;

namespace {

class GamesListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vorn-games-list-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = QString::fromStdString((dir / "vorn/games.json").string());
    }
    void TearDown() override { fs::remove_all(dir); }

    void writeFile(const std::string& bytes) {
        fs::create_directories(dir / "vorn");
        std::ofstream(dir / "vorn/games.json", std::ios::binary) << bytes;
    }
    static std::vector<fs::path> locations(const GamesList& list) {
        std::vector<fs::path> result;
        for (const PlayedGame& game : list.games()) result.push_back(game.location);
        return result;
    }
    static QDateTime at(int minute) { return QDateTime(QDate(2026, 5, 1), QTime(10, minute), Qt::UTC); }

    fs::path dir;
    QString file;
};

TEST_F(GamesListTest, TheLastPlayedComesFirstAndEachGameOnce) {
    {
        GamesList list(file);
        EXPECT_TRUE(list.games().empty());
        list.add("/games/forest", at(1));
        list.add("/games/castle.zip", at(2));
        list.add("/games/sea", at(3));
        list.add("/games/forest", at(4)); // played again: first, not twice
        EXPECT_TRUE(list.kept());
    }
    const GamesList again(file); // a later session reads what the first kept
    EXPECT_EQ(locations(again), (std::vector<fs::path>{"/games/forest", "/games/sea", "/games/castle.zip"}));
    EXPECT_EQ(again.games().front().lastPlayed, at(4));
}

TEST_F(GamesListTest, ForgettingTakesOffOneGameAndLeavesItsFiles) {
    const fs::path game = dir / "kept-game";
    fs::create_directories(game);
    GamesList list(file);
    list.add(game, at(1));
    list.add("/games/sea", at(2));
    list.forget(game);
    list.forget("/games/never-listed"); // nothing to forget: nothing changes
    EXPECT_EQ(locations(list), std::vector<fs::path>{"/games/sea"});
    EXPECT_EQ(locations(GamesList(file)), std::vector<fs::path>{"/games/sea"});
    EXPECT_TRUE(fs::exists(game));
}

TEST_F(GamesListTest, AListWrittenOutOfOrderReadsNewestFirst) {
    writeFile(R"({"games": [{"path": "/games/old", "lastPlayed": "2026-01-01T10:00:00.000Z"},
                            {"path": "/games/new", "lastPlayed": "2026-03-01T10:00:00.000Z"},
                            {"path": "/games/middle", "lastPlayed": "2026-02-01T10:00:00.000Z"}]})");
    EXPECT_EQ(locations(GamesList(file)), (std::vector<fs::path>{"/games/new", "/games/middle", "/games/old"}));
}

TEST_F(GamesListTest, DamagedEntriesAreDroppedAndTheRestKept) {
    writeFile(R"({"games": [
        {"path": "relative/folder", "lastPlayed": "2026-01-01T10:00:00.000Z"},
        {"path": "/games/good", "lastPlayed": "2026-03-01T10:00:00.000Z"},
        {"path": "/games/no-date", "lastPlayed": "yesterday"},
        {"path": "/games/good", "lastPlayed": "2026-02-01T10:00:00.000Z"},
        {"lastPlayed": "2026-02-01T10:00:00.000Z"},
        {"path": 42, "lastPlayed": []},
        "not an entry", null, 7
    ], "size": 2000000000})");
    EXPECT_EQ(locations(GamesList(file)), std::vector<fs::path>{"/games/good"});
}

TEST_F(GamesListTest, AFileThatIsNoListIsIgnoredAndWrittenAnew) {
    std::string garbage = "\x89PNG\r\n\x1a\n{\"games\": [";
    for (int i = 0; i < 4096; ++i) garbage += char(i * 37 % 256);
    for (const std::string& damaged : {garbage, std::string(R"({"games": [{"path": "/games/cut off", "la)"),
                                       std::string(R"({"games": {"path": "/games/no list"}})"),
                                       std::string(R"(["/games/a", "/games/b"])"), std::string(5'000'000, ' ')}) {
        writeFile(damaged);
        GamesList list(file);
        EXPECT_TRUE(list.games().empty()) << damaged.substr(0, 40);
        list.add("/games/forest", at(1));
        EXPECT_TRUE(list.kept());
        EXPECT_EQ(locations(GamesList(file)), std::vector<fs::path>{"/games/forest"}) << damaged.substr(0, 40);
    }
}

TEST_F(GamesListTest, AListThatCannotBeKeptStillListsThisSessionsGames) {
    // The configuration folder cannot be made: a file stands where it should be.
    std::ofstream(dir / "vorn") << "a file, not a folder";
    GamesList list(file);
    list.add("/games/forest", at(1));
    list.add("/games/sea", at(2));
    EXPECT_FALSE(list.kept());
    EXPECT_EQ(locations(list), (std::vector<fs::path>{"/games/sea", "/games/forest"}));
    list.forget("/games/sea");
    EXPECT_EQ(locations(list), std::vector<fs::path>{"/games/forest"});

    // The list's own file is a folder: it cannot be read, and is not kept.
    fs::remove(dir / "vorn");
    fs::create_directories(dir / "vorn/games.json");
    GamesList unreadable(file);
    EXPECT_TRUE(unreadable.games().empty());
    unreadable.add("/games/sea", at(1));
    EXPECT_EQ(locations(unreadable), std::vector<fs::path>{"/games/sea"});
}

TEST_F(GamesListTest, PathsThatAreNoUtf8ComeBackByteForByte) {
    const fs::path japanese = std::string("/games/\x90\x58\x82\xCC\x8A\xD9"); // 森の館 in code page 932
    const fs::path special = "/games/@at, = and ; \"quoted\" [x]";
    {
        GamesList list(file);
        list.add(japanese, at(1));
        list.add(special, at(2));
    }
    EXPECT_EQ(locations(GamesList(file)), (std::vector<fs::path>{special, japanese}));
}

// One script is one game, whatever archive or folder it came in: it is listed
// once, where it was last opened from.
TEST_F(GamesListTest, OneScriptIsListedOnceWhereItWasLastOpenedFrom) {
    const std::string lantern(64, 'a'), other(64, 'b');
    {
        GamesList list(file);
        list.add("/games/lantern.zip", lantern, at(1));
        list.add("/games/copy of lantern.zip", lantern, at(2));
        list.add("/games/other", other, at(3));
        list.add("/downloads/lantern.lzh", lantern, at(4));
    }
    const GamesList again(file);
    EXPECT_EQ(locations(again), (std::vector<fs::path>{"/downloads/lantern.lzh", "/games/other"}));
    EXPECT_EQ(again.games().front().script, lantern);
    EXPECT_EQ(again.games().front().lastPlayed, at(4));
}

// "Last played" is when the game was left; a game opened again since counts from then.
TEST_F(GamesListTest, WhenAGameWasLeftIsKeptAndCountsAsPlayed) {
    const std::string script(64, 'c');
    GamesList list(file);
    list.add("/games/lantern", script, at(1));
    list.left("/games/lantern", at(30));
    list.left("/games/never-listed", at(31)); // nothing listed: nothing added
    EXPECT_EQ(locations(GamesList(file)), std::vector<fs::path>{"/games/lantern"});
    EXPECT_EQ(GamesList(file).games().front().lastLeft, at(30));
    EXPECT_EQ(GamesList(file).games().front().lastSeen(), at(30));

    // Opened from another archive: the time it was left goes with the game.
    list.add("/games/lantern.zip", script, at(40));
    const PlayedGame reopened = GamesList(file).games().front();
    EXPECT_EQ(reopened.lastLeft, at(30));
    EXPECT_EQ(reopened.lastSeen(), at(40)) << "opened after it was left";
}

// Lists kept before scripts were noted are read as they are; each game is
// identified when the start screen opens it, and a second entry of the same
// script, the older, leaves the list.
TEST_F(GamesListTest, AnOldListIsReadAndItsGamesIdentifiedLater) {
    writeFile(R"({"games": [{"path": "/games/new", "lastPlayed": "2026-03-01T10:00:00.000Z"},
                            {"path": "/games/copy.zip", "lastPlayed": "2026-02-01T10:00:00.000Z",
                             "lastLeft": "2026-02-01T11:00:00.000Z"},
                            {"path": "/games/other", "lastPlayed": "2026-01-01T10:00:00.000Z",
                             "script": "not a hash"}]})");
    GamesList list(file);
    ASSERT_EQ(locations(list), (std::vector<fs::path>{"/games/new", "/games/copy.zip", "/games/other"}));
    for (const PlayedGame& game : list.games()) EXPECT_EQ(game.script, "") << game.location;
    const std::string same(64, 'd'), other(64, 'e');
    EXPECT_TRUE(list.identify("/games/new", same).empty());
    EXPECT_EQ(list.identify("/games/copy.zip", same), std::vector<fs::path>{"/games/copy.zip"});
    EXPECT_TRUE(list.identify("/games/other", other).empty());
    EXPECT_TRUE(list.identify("/games/never-listed", same).empty());

    const GamesList again(file);
    EXPECT_EQ(locations(again), (std::vector<fs::path>{"/games/new", "/games/other"}));
    EXPECT_EQ(again.games().front().script, same);
    EXPECT_EQ(again.games().front().lastLeft, QDateTime(QDate(2026, 2, 1), QTime(11, 0), Qt::UTC))
        << "the time it was left comes with the entry taken off";
}

TEST_F(GamesListTest, OnlyTheNewestGamesAreKept) {
    GamesList list(file);
    for (int i = 0; i < int(GamesList::kMaxGames) + 5; ++i) list.add("/games/" + std::to_string(i), at(0).addSecs(i));
    ASSERT_EQ(list.games().size(), GamesList::kMaxGames);
    EXPECT_EQ(list.games().front().location, fs::path("/games/" + std::to_string(GamesList::kMaxGames + 4)));
    EXPECT_EQ(list.games().back().location, fs::path("/games/5"));
}

} // namespace
