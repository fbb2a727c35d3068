// `back` and `skip` in the transcript: what going back records and restores,
// where it is refused, and which pages skipping turns within one play.

#include "headless_fixture.h"

#include <gtest/gtest.h>

using namespace vorn::test;

namespace {

const Lines kBlankCaptions = {R"({"caption":1,"text":""})", R"({"caption":2,"text":""})",
                              R"({"caption":3,"text":""})", R"({"caption":4,"text":""})"};

// What `back` records to show a page again when no picture or music differs.
Lines pageAgain(const std::string& text) { return kBlankCaptions + Lines{R"({"text":")" + text + R"("})"}; }

} // namespace

TEST(GoingBack, ShowsThePreviousPageAgainAndPlaysOnFromIt) {
    TestGame game("\"one\"\"two\"\"three\"");
    const auto r = game.play("click text\nback\nclick text\nclick text\n");
    EXPECT_EQ(r.afterEvent(2), (pageAgain("one") + Lines{R"({"back":0})", state(-1, "0", "null")}));
    // The same click plays as it did the first time.
    EXPECT_EQ(r.afterEvent(3), r.afterEvent(1));
    EXPECT_EQ(r.afterEvent(4), (page("three") + Lines{state(-1, "0", "null")}));
    EXPECT_EQ(r.status, 0);
}

TEST(GoingBack, IsRefusedWithNothingBehindAndChangesNothing) {
    TestGame game("\"one\"\"two\"");
    const auto r = game.play("back\nclick text\nback\nback\n");
    const std::string refused = r.afterEvent(1).at(0);
    EXPECT_TRUE(has(refused, R"({"refused":"back","why":")")) << refused;
    EXPECT_EQ(r.afterEvent(1), (Lines{refused, state(-1, "0", "null")}));
    EXPECT_EQ(r.afterEvent(3), (pageAgain("one") + Lines{R"({"back":0})", state(-1, "0", "null")}));
    EXPECT_EQ(r.afterEvent(4), (Lines{refused, state(-1, "0", "null")}));
    EXPECT_EQ(r.status, 0);
}

TEST(GoingBack, BringsBackPicturesFlagsAndMusicThatDiffer) {
    TestGame game("<a.bmp>[one.mid]~A1~\"one\"<b.bmp>[two.mid]-A1~B2~\"two\"");
    game.write("a.bmp", bitmap(10, 10));
    game.write("b.bmp", bitmap(20, 10));
    const auto r = game.play("click text\nback\n");
    const Lines expected =
              Lines{R"({"picture":"Image1","file":"a.bmp"})"} + pageAgain("one") +
                  Lines{R"({"device":"Command","value":"Close"})", R"({"device":"FileName","value":"one.mid"})",
                        R"({"device":"Command","value":"Open"})", R"({"device":"Command","value":"Play"})",
                        R"({"back":0})", state(-1, "0", "null", R"("one.mid")", "1,0,0,0,0,0,0,0")};
    EXPECT_EQ(r.afterEvent(2), expected);
}

TEST(GoingBack, ToAMenuLetsAnotherOptionBeChosen) {
    TestGame game("\"ask\"(2 Yes,No){\"Y\"}{\"N\"}\"end\"");
    const auto chosen = game.play("click text\nclick option 1\nback\nclick option 2\n");
    const auto fresh = game.play("click text\nclick option 2\n");
    const Lines back = chosen.afterEvent(3);
    ASSERT_GE(back.size(), 3u);
    EXPECT_EQ(back[back.size() - 2], R"({"back":1})");
    EXPECT_EQ(back.back(), fresh.afterEvent(1).back()); // the menu's state again
    EXPECT_EQ(chosen.afterEvent(4), fresh.afterEvent(2));
}

TEST(GoingBack, NewGameAndEventsThatPlayNoRunKeepTheStack) {
    TestGame game("\"one\"\"two\"");
    // "music done" and "menu about" play no run: back returns past them to
    // the page before; "New" plays a run, so back from it returns to "two".
    const auto r = game.play("click text\nmenu new\nback\nmusic done\nmenu about\nback\n");
    EXPECT_EQ(r.afterEvent(3), (pageAgain("two") + Lines{R"({"back":1})", state(-1, "0", "null")}));
    // "music done" started the (empty) music again: going back closes it, as it was then.
    EXPECT_EQ(r.afterEvent(6), (pageAgain("one") + Lines{R"({"device":"Command","value":"Close"})", R"({"back":0})",
                                                           state(-1, "0", "null")}));
}

TEST(Skipping, TurnsOnlyPagesReadInThisPlayAndStopsAtTheFirstUnreadOne) {
    TestGame game("\"one\"\"two\"\"three\"\"four\"");
    const auto r = game.play("skip\nclick text\nclick text\nback\nback\nskip\nskip\n");
    EXPECT_EQ(r.afterEvent(1), (Lines{R"({"skipped":0})", state(-1, "0", "null")})); // "one" never played on from
    // "one" and "two" were read: two pages turned, and "three" waits unread.
    EXPECT_EQ(r.afterEvent(6), (page("two") + page("three") + Lines{R"({"skipped":2})", state(-1, "0", "null")}));
    EXPECT_EQ(r.afterEvent(7), (Lines{R"({"skipped":0})", state(-1, "0", "null")}));
    // Each page turned kept a place: back returns one page.
    const auto back = game.play("click text\nclick text\nback\nback\nskip\nback\n");
    EXPECT_EQ(back.afterEvent(6), (pageAgain("two") + Lines{R"({"back":1})", state(-1, "0", "null")}));
}

TEST(Skipping, StopsAtAMenuAndAtTheScriptsEnd) {
    TestGame game("\"one\"(2 a,b){\"A\"}{\"B\"}\"end\"");
    const auto r = game.play("click text\nback\nskip\nclick option 2\nclick text\nclick text\nback\nback\nskip\n");
    const Lines skipped = r.afterEvent(3);
    ASSERT_GE(skipped.size(), 2u);
    EXPECT_EQ(skipped[skipped.size() - 2], R"({"skipped":1})"); // to the menu, not past it
    // From "B": "B" and "end" were read; the click on "end" reaches the end of
    // the script, and skipping stops there.
    const Lines toEnd = r.afterEvent(9);
    ASSERT_GE(toEnd.size(), 2u);
    EXPECT_EQ(toEnd[toEnd.size() - 2], R"({"skipped":2})");
    EXPECT_EQ(r.status, 0);
}

TEST(Skipping, StopsAtAFatalError) {
    // The second time round, flag A1 is set and the missing picture is loaded.
    TestGame game("*top*\r\n\"again\"=A1=<missing.bmp>~A1~>top<");
    const auto r = game.play("click text\nskip\nclick text\n");
    EXPECT_EQ(r.status, 1);
    const Lines skipped = r.afterEvent(2);
    ASSERT_FALSE(skipped.empty());
    EXPECT_TRUE(has(skipped.back(), R"({"fatal":)")) << skipped.back();
    EXPECT_TRUE(has(skipped.back(), "missing.bmp")) << skipped.back();
    EXPECT_TRUE(r.matching(R"({"skipped")").empty());
}

TEST(Skipping, EndsAfterTenThousandPages) {
    // One page shown over and over by a loop: read once, it is read every time.
    TestGame game("*top*\r\n\"again\">top<");
    const auto r = game.play("click text\nskip\nclick text\n");
    const Lines skipped = r.afterEvent(2);
    ASSERT_GE(skipped.size(), 2u);
    EXPECT_EQ(skipped[skipped.size() - 2], R"({"skipped":10000})");
    EXPECT_EQ(r.afterEvent(3), (page("again") + Lines{state(-1, "0", "null")}));
}
