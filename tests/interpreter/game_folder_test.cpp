#include "interpreter/game_folder.h"
#include "interpreter/stored_names.h"

#include <clocale>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorn;
namespace fs = std::filesystem;

class GameFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("vorn-folder-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "Pictures");
    }
    void TearDown() override { fs::remove_all(root); }
    void file(const std::string& name, const std::string& content = "x") {
        std::ofstream(root / name, std::ios::binary) << content;
    }
    fs::path root;
};

TEST_F(GameFolderTest, NameAsWrittenComesFirst) {
    file("Room.bmp", "upper");
    file("room.bmp", "lower");
    const GameFolder folder(root);
    EXPECT_EQ(folder.read("room.bmp", 100).bytes, "lower");
    EXPECT_FALSE(folder.resolve("room.bmp").byFallback);
}

TEST_F(GameFolderTest, WindowsNamesFindFilesWhateverTheirCaseAndSeparators) {
    file("Pictures/Moon.bmp", "moon");
    const GameFolder folder(root);
    for (const char* name : {"pictures\\moon.bmp", "PICTURES\\MOON.BMP", "Pictures/moon.BMP"}) {
        const FileLookup found = folder.resolve(name);
        ASSERT_TRUE(found.place) << name;
        EXPECT_TRUE(found.byFallback);
        EXPECT_EQ(folder.read(name, 100).bytes, "moon");
    }
}

TEST_F(GameFolderTest, SeveralCaseMatchesResolveToTheFirstInByteOrder) {
    file("ROOM.bmp", "A");
    file("Room.bmp", "B");
    file("rOOM.bmp", "C");
    EXPECT_EQ(GameFolder(root).read("room.BMP", 100).bytes, "A");
}

TEST_F(GameFolderTest, UnreadableThingsAreErrorsNotHangs) {
    const GameFolder folder(root);
    EXPECT_EQ(folder.read("nothing.bmp", 100).error, "no such file in the game folder");
    EXPECT_FALSE(folder.read("Pictures", 100).error.empty());
    ASSERT_EQ(::mkfifo((root / "pipe.bmp").c_str(), 0600), 0);
    EXPECT_EQ(folder.read("pipe.bmp", 100).error, "it is not a regular file");
    fs::create_symlink(root / "loop1", root / "loop2");
    fs::create_symlink(root / "loop2", root / "loop1");
    EXPECT_FALSE(folder.read("loop1", 100).error.empty());
    file("big.bmp", std::string(200, 'x'));
    EXPECT_FALSE(folder.read("big.bmp", 100).error.empty());
    EXPECT_FALSE(folder.read("", 100).error.empty());
}

TEST_F(GameFolderTest, TheSystemsReasonIsEnglishUnderAJapaneseLocale) {
    fs::create_symlink(root / "loop1", root / "loop2");
    fs::create_symlink(root / "loop2", root / "loop1");
    // The window runs under the desktop's locale, which would word the C
    // library's reasons in Japanese; the reports compose them in English.
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "ja_JP.UTF-8")) GTEST_SKIP() << "no ja_JP.UTF-8 locale on this machine";
    const std::string error = GameFolder(root).read("loop1", 100).error;
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(error, "Too many levels of symbolic links");
}

TEST_F(GameFolderTest, NamesStoredInCodePage932AreFoundByTheirReading) {
    for (const test::StoredFile& stored : test::kStoredFiles) {
        fs::create_directories((root / stored.name).parent_path());
        file(stored.name, stored.content);
    }
    const GameFolder folder(root);
    test::expectNameCases(folder);
    EXPECT_EQ(folder.resolve("ゲーム\\title.bmp").actualName, "ゲーム/Title.BMP") << "told as read, not as stored";
}

TEST_F(GameFolderTest, LongNamesResolveInOnePassAndTooLongOnesMatchNothing) {
    file("Pictures/Moon.bmp", "moon");
    const GameFolder folder(root);
    // Down and up again eighty times, as written and as Windows wrote it.
    std::string wandering;
    for (int i = 0; i < 80; ++i) wandering += "Pictures/../";
    for (const std::string& name : {wandering + "Pictures/Moon.bmp", wandering + "PICTURES\\moon.bmp"})
        EXPECT_EQ(folder.read(name, 100).bytes, "moon") << name.substr(0, 40);
    // The longest name taken, and one byte more.
    const std::string longest = "Pictures" + std::string(kMaxFileNameBytes - 16, '/') + "Moon.bmp";
    ASSERT_EQ(longest.size(), kMaxFileNameBytes);
    EXPECT_EQ(folder.read(longest, 100).bytes, "moon");
    const std::string tooLong = "Pictures" + std::string(kMaxFileNameBytes - 15, '/') + "Moon.bmp";
    EXPECT_FALSE(folder.resolve(tooLong).place);
    EXPECT_EQ(folder.read(tooLong, 100).error, "no such file in the game folder");
    // Thousands of parts that each lead up: refused at once, not walked.
    std::string climbing;
    for (int i = 0; i < 25'000; ++i) climbing += "..\\";
    EXPECT_FALSE(folder.resolve(climbing + "Moon.bmp").place);
}
