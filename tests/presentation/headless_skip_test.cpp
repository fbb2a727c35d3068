// Read pages kept between plays by `vorn --headless --save-dir DIR`: they
// carry over to the next play of the same script, never to another game or
// an edited script; a damaged file is set aside with a note.

#include "headless_fixture.h"

#include <gtest/gtest.h>

using namespace vorn::test;
namespace fs = std::filesystem;

namespace {

std::string skipped(const TestGame::Result& r) {
    const Lines lines = r.matching(R"({"skipped")");
    return lines.empty() ? "" : lines.back();
}

const char* kStory = "\"one\"\"two\"(2 a,b){\"A\"}{\"B\"}\"three\"\"four\"";

} // namespace

TEST(ReadPagesKept, CarryOverToTheNextPlayOfTheSameScriptOnly) {
    TestGame game(kStory);
    const fs::path dir = game.dir() / "saves";
    game.play("click text\nclick text\nclick option 1\nclick text\n", dir);
    ASSERT_TRUE(fs::exists(dir / "read.pages.json"));

    // "one" and "two" were read: skipping stops at the menu.
    EXPECT_EQ(skipped(game.play("skip\n", dir)), R"({"skipped":2})");
    // "A" was read, "three" not: past the menu skipping stops at "three".
    const auto past = game.play("skip\nclick option 1\nskip\n", dir);
    EXPECT_EQ(past.afterEvent(3).end()[-2], R"({"skipped":1})");
    // Without the folder nothing carries over, and nothing is written.
    EXPECT_EQ(skipped(game.play("skip\n")), R"({"skipped":0})");

    // Another game in the same folder of saves has read nothing.
    TestGame other("\"one\"\"two\"\"other\"");
    EXPECT_EQ(skipped(other.play("skip\n", dir)), R"({"skipped":0})");
    // Nor has this game once its script is edited.
    game.write("code.vrn", std::string(kStory) + " ");
    EXPECT_EQ(skipped(game.play("skip\n", dir)), R"({"skipped":0})");
    // The first version's pages are still kept alongside.
    game.write("code.vrn", kStory);
    EXPECT_EQ(skipped(game.play("skip\n", dir)), R"({"skipped":2})");
}

TEST(ReadPagesKept, ADamagedFileIsSetAsideWithANoteAndReplaced) {
    TestGame game(kStory);
    const fs::path dir = game.dir() / "saves";
    fs::create_directories(dir);
    for (const std::string& damaged : {std::string("{\"vorn-read-pages\":1,\"games\":[{\"script\":\"x\"}]}"),
                                      std::string("\x00\xff not json", 11), std::string("[]")}) {
        writeFile(dir / "read.pages.json", damaged);
        const auto r = game.play("skip\nclick text\n", dir);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(skipped(r), R"({"skipped":0})");
        EXPECT_TRUE(has(r.errors, "read.pages.json")) << r.errors;
        EXPECT_TRUE(has(r.errors, "every page counts as unread")) << r.errors;
        // The page read since is kept in a file that reads again.
        const auto again = game.play("skip\n", dir);
        EXPECT_EQ(skipped(again), R"({"skipped":1})");
        EXPECT_EQ(again.errors, "");
    }
}
