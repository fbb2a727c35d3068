// vorn-shelf: index.json made from a folder of game archives, as the browser
// page's start reads it.
#include "authoring/shelf_index.h"
#include "archive_writer.h"

#include <QImage>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using vorn::test::ArchiveEntry;
using vorn::test::ArchiveFormat;
using vorn::test::writeArchive;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ShelfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("vorn-shelf-" + std::to_string(::getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        back_ = readFile(fs::path(VORN_SOURCE_DIR) / "examples/demo/back.bmp");
    }
    void TearDown() override { fs::remove_all(folder_); }

    int make(std::string* err = nullptr) {
        std::ostringstream out, errors;
        const int status = vorn::makeShelf(folder_, out, errors);
        if (err) *err = errors.str();
        return status;
    }

    fs::path folder_;
    std::string back_;
};

TEST_F(ShelfTest, ListsThePagesArchivesWithTitlesAndPictures) {
    // A game in a folder named in code page 932 ("霧"), as Japanese archives
    // store it; a game at the archive's top, without back.bmp; a name that
    // an address must escape; and what the page does not play.
    writeArchive(folder_ / "a.zip",
                 {{"\x96\xb6/", "", true}, {"\x96\xb6/code.vrn", "\"hello\""}, {"\x96\xb6/back.bmp", back_}},
                 ArchiveFormat::Zip);
    writeArchive(folder_ / "b#2.ZIP", {{"code.vrn", "\"top\""}}, ArchiveFormat::Zip);
    writeArchive(folder_ / "c.7z", {{"g/code.vrn", "\"seven\""}}, ArchiveFormat::SevenZip);
    std::ofstream(folder_ / "notes.txt") << "not a game";

    std::string err;
    ASSERT_EQ(make(&err), 0) << err;
    EXPECT_NE(err.find("skipped c.7z"), std::string::npos) << err;

    const auto index = nlohmann::json::parse(readFile(folder_ / "index.json"));
    ASSERT_EQ(index["games"].size(), 2u) << index.dump();
    EXPECT_EQ(index["games"][0]["title"], "\xe9\x9c\xa7"); // 霧, in UTF-8
    EXPECT_EQ(index["games"][0]["archive"], "a.zip");
    EXPECT_EQ(index["games"][0]["picture"], "a.zip.png");
    EXPECT_EQ(index["games"][1]["title"], "b#2");
    EXPECT_EQ(index["games"][1]["archive"], "b%232.ZIP");
    EXPECT_FALSE(index["games"][1].contains("picture"));

    // The picture: back.bmp scaled to fit 192 x 128, keeping its proportions.
    const QImage picture(QString::fromStdString((folder_ / "a.zip.png").string()));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.height(), vorn::kShelfPictureHeight);
    EXPECT_NEAR(picture.width(), 128.0 * 632 / 425, 1.0);
}

TEST_F(ShelfTest, AnArchiveThatCannotBeListedWritesNothing) {
    writeArchive(folder_ / "good.zip", {{"good/code.vrn", "\"x\""}, {"good/back.bmp", back_}}, ArchiveFormat::Zip);
    std::ofstream(folder_ / "broken.lzh") << "no archive at all";
    writeArchive(folder_ / "empty.zip", {{"readme.txt", "no game here"}}, ArchiveFormat::Zip);

    std::string err;
    EXPECT_EQ(make(&err), 1);
    EXPECT_NE(err.find("broken.lzh: cannot list it"), std::string::npos) << err;
    EXPECT_NE(err.find("empty.zip: cannot list it"), std::string::npos) << err;
    EXPECT_NE(err.find("nothing written"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(folder_ / "index.json"));
    EXPECT_FALSE(fs::exists(folder_ / "good.zip.png"));
}

TEST_F(ShelfTest, AFolderWithoutGamesListsNoneAndAMissingFolderIsRefused) {
    ASSERT_EQ(make(), 0);
    EXPECT_EQ(nlohmann::json::parse(readFile(folder_ / "index.json")), nlohmann::json::parse(R"({"games": []})"));

    std::ostringstream out, err;
    EXPECT_EQ(vorn::makeShelf(folder_ / "nowhere", out, err), 1);
    EXPECT_NE(err.str().find("no such folder"), std::string::npos);
}

} // namespace
