// What the start screen, the file dialog and drops accept as a game.

#include "headless_fixture.h"
#include "game_files/open_game.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TestGame;
namespace fs = std::filesystem;

TEST(OpenGame, AFolderItsScriptAndALinkToItAreOneGame) {
    TestGame game("\"page\"");
    const fs::path link = game.dir().parent_path() / (game.dir().filename().string() + "-link");
    fs::remove(link);
    fs::create_directory_symlink(game.dir(), link);
    const fs::path canonical = fs::canonical(game.dir());
    fs::create_directory(game.dir() / "sub");
    for (const fs::path& path :
         {game.dir(), game.dir() / "code.vrn", game.dir() / "", link, game.dir() / "sub" / ".."}) {
        const OpenedGame opened = openGame(path);
        ASSERT_TRUE(opened.folder) << path << ": " << opened.error;
        EXPECT_EQ(opened.location, canonical) << path;
        EXPECT_TRUE(holdsGame(opened)) << path;
    }
    fs::remove(link);
}

TEST(OpenGame, AScriptNamedInAnotherCaseIsFound) {
    TestGame game("");
    fs::rename(game.dir() / "code.vrn", game.dir() / "CODE.VRN");
    EXPECT_TRUE(openGame(game.dir()).folder);
    EXPECT_TRUE(openGame(game.dir() / "CODE.VRN").folder);
}

TEST(OpenGame, WhatIsNoGameSaysWhy) {
    TestGame game("");
    game.remove("code.vrn");
    game.write("notes.txt", "hello");
    game.write("story.zip", "PK\x03\x04");
    EXPECT_TRUE(openGame(game.dir()).folder) << "a folder opens; what it holds is for the player to find";
    EXPECT_FALSE(holdsGame(openGame(game.dir())));
    struct Case {
        fs::path path;
        std::string says;
    } cases[] = {
        {game.dir() / "gone", "does not exist"},
        {game.dir() / "notes.txt", "cannot play"},
        {game.dir() / "story.zip", "cannot play"},
        {"/dev/null", "is neither a game folder, a .vrn script nor an archive"},
        {"", "no game was named"},
    };
    for (const Case& c : cases) {
        const OpenedGame opened = openGame(c.path);
        EXPECT_FALSE(opened.folder) << c.path;
        EXPECT_FALSE(holdsGame(opened)) << c.path;
        EXPECT_NE(opened.error.find(c.says), std::string::npos) << c.path << ": " << opened.error;
    }
}

TEST(OpenGame, AGameIsKnownByItsFolderOrArchiveName) {
    EXPECT_EQ(gameName("/games/Lantern Road"), "Lantern Road");
    EXPECT_EQ(gameName("/games/Lantern Road/"), "Lantern Road");
    EXPECT_EQ(gameName("/games/castle.zip"), "castle.zip");
    EXPECT_EQ(gameName(std::string("/games/\x90\x58\x82\xCC\x8A\xD9")), "森の館"); // a name unpacked as code page 932
    EXPECT_EQ(gameName("/games/森の館"), "森の館");
}
