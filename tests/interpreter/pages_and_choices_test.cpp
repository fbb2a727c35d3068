// Text pages, choice menus, option clicks and the skipping of branches,
// played through the headless driver.

#include "headless_fixture.h"

#include <gtest/gtest.h>

using namespace vorn::test;

namespace {

// The records of a choice menu with the given captions (as JSON text).
Lines menu(const Lines& captions) {
    Lines out = {R"({"picture":"Image2","file":"text.bmp"})", R"({"caption":1,"text":""})",
                 R"({"caption":2,"text":""})", R"({"caption":3,"text":""})", R"({"caption":4,"text":""})"};
    for (std::size_t i = 0; i < captions.size(); ++i)
        out.push_back(R"({"caption":)" + std::to_string(i + 1) + R"(,"text":")" + captions[i] + R"("})");
    out.push_back(R"({"text":""})");
    return out;
}

} // namespace

// ---------------------------------------------------------------- text pages

TEST(TextPages, ShowEveryCharacterUpToTheClosingQuoteWithBackslashesAsLineBreaks) {
    struct Case {
        const char* what;
        std::string script;
        std::string text; // as JSON
    };
    const Case cases[] = {
        {"an empty page", "\"\"", ""},
        {"a backslash", "\"Line one\\Line two\"", R"(Line one\r\nLine two)"},
        {"two backslashes in a row", "\"a\\\\b\"", R"(a\r\n\r\nb)"},
        {"blanks at both ends", "\"  both ends \t \"", R"(  both ends \t )"},
        {"a page over several file lines", "\"first\r\nsecond\r\n  third\"", R"(first\r\nsecond\r\n  third)"},
        {"command characters", "\"( < [ ~A1~ -A1- =A1= !A1! >x< { } ] ) *x*\"",
         "( < [ ~A1~ -A1- =A1= !A1! >x< { } ] ) *x*"},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        const auto r = game.play();
        EXPECT_EQ(firstRun(r), page(c.text) + Lines{state(-1, "0", "null")}) << c.what;
        EXPECT_EQ(r.status, 0) << c.what;
    }
}

TEST(TextPages, APageDirectlyFollowedByAnotherCommandNeedsNoBlank) {
    TestGame game("\"one\"<pic.bmp>\"two\"\"three\"");
    game.write("pic.bmp", bitmap(4, 3));
    const auto r = game.play("click text\nclick text\n");
    EXPECT_EQ(firstRun(r), page("one") + Lines{state(-1, "0", "null")});
    EXPECT_EQ(r.afterEvent(1),
              Lines{R"({"picture":"Image1","file":"pic.bmp"})"} + page("two") + Lines{state(-1, "0", "null")});
    EXPECT_EQ(r.afterEvent(2), page("three") + Lines{state(-1, "0", "null")});
}

// A page inside a chosen branch (branch table) keeps the menu's count; a page
// of the main table sets it to 0. Both clear all four captions and the box,
// although the menu had only three options.
TEST(TextPages, ABranchPageKeepsTheCountAndAMainPageResetsIt) {
    TestGame game("(3 a,b,c)\r\n{\"in branch\"}{}{}\r\n\"after\"");
    const auto r = game.play("click option 1\nclick text\n");
    EXPECT_EQ(r.afterEvent(1), page("in branch") + Lines{state(-1, "3", "1")});
    EXPECT_EQ(r.afterEvent(2), page("after") + Lines{state(-1, "0", "0")});
}

// ソ = 83 5C, 表 = 95 5C, 桀 = 9E 7B, 党 = 93 7D. No double-byte character ends
// in a quote: 0x22 is no trail byte of Shift-JIS (trails are 40-7E and 80-FC).
TEST(TextPages, ShiftJisTrailBytesAreNeverBackslashesOrBraces) {
    TestGame shown("\"\x83\x5C\x95\x5C\x9E\x7B\x93\x7D\"");
    EXPECT_EQ(firstRun(shown.play()), page("ソ表桀党") + Lines{state(-1, "0", "null")});

    // Skipped branches count braces: a trail byte taken for '}' would end the
    // first skip early, one taken for '{' would run the second skip on to the end.
    TestGame skipped("(3 a,b,c)\r\n{\"\x93\x7D{x}\"}\r\n{\"\x9E\x7B\"}\r\n{\"\x83\x5C\"}\r\n\"end\"");
    const auto r = skipped.play("click option 3\nclick text\n");
    EXPECT_EQ(r.afterEvent(1), page("ソ") + Lines{state(-1, "3", "3")});
    EXPECT_EQ(r.afterEvent(2), page("end") + Lines{state(-1, "0", "0")});
}

TEST(TextPages, APageCutOffByTheEndOfTheScriptIsFatal) {
    TestGame game("\"Hello\r\nworld");
    const auto r = game.play();
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.fatal(), "end of file")) << r.fatal();
    EXPECT_TRUE(r.matching(R"({"text")").empty()) << "the page is never shown";
}

// The report says how far a command without its closing character ran: over
// lines, its closing character is the likely culprit; within one line the
// report is as short as ever.
TEST(TextPages, TheEndOfFileReportSaysHowManyLinesACommandRanOver) {
    const struct {
        const char* script;
        const char* fatal;
    } cases[] = {
        {"\"Hi\" \"Hello\r\n<room.bmp>\r\n~A1~",
         "code.vrn:1:6: the text page that starts here runs into the end of file: end the page with a closing "
         "'\\\"'. It runs over 3 lines: its closing '\\\"' is likely missing."},
        {"\"Hi\" >start\r\n\r\n*start*", "It runs over 3 lines: its closing '<' is likely missing."},
        {"=A1= [theme.mid\r\n\"x\"", "the music command skipped by a conditional that starts here runs into the end "
                                     "of file: close it with ']'. It runs over 2 lines"},
        {"\"Hi\" <room.bmp", "code.vrn:1:6: the picture command that starts here runs into the end of file: close "
                             "the file name with '>', as in <room.bmp>.\"}"},
    };
    for (const auto& c : cases) {
        TestGame game(c.script);
        const auto r = game.play("click text\n");
        EXPECT_TRUE(has(r.fatal(), c.fatal)) << r.fatal();
    }
}

// ---------------------------------------------------------------- choice menus

TEST(ChoiceMenu, ReadsACountADroppedSeparatorAndThatManyOptions) {
    struct Case {
        std::string script;
        Lines captions; // as JSON
        std::string count;
    };
    const Case cases[] = {
        {"(2 Yes,No)", {"Yes", "No"}, "2"},
        {"(2Yes,No)", {"es", "No"}, "2"},
        {"(2 Yes)No)", {"Yes", "No"}, "2"},
        {"(2 Yes,No,Maybe)", {"Yes", "No"}, "2"},
        {"(1 Go on)", {"Go on"}, "1"},
        {"(4 a,b,c,d,e)", {"a", "b", "c", "d"}, "4"},
        {"(2 ,)", {"", ""}, "2"},
        {"(2 \r\nYes,\r\nNo)", {R"(\r\nYes)", R"(\r\nNo)"}, "2"},
        {"(3 \"q\",{b},<c> ~A1~)", {R"(\"q\")", "{b}", "<c> ~A1~"}, "3"},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        const auto r = game.play();
        EXPECT_EQ(firstRun(r), menu(c.captions) + Lines{state(-1, c.count, "null")}) << c.script;
    }
}

TEST(ChoiceMenu, TextBehindTheLastOptionIsPassedOverWhenAnOptionIsChosen) {
    for (int option = 1; option <= 2; ++option) {
        TestGame game("(2 Yes,No,Maybe)\r\n{\"Y\"}\r\n{\"N\"}\r\n\"end\"");
        const auto r = game.play("click option " + std::to_string(option) + "\nclick text\n");
        EXPECT_EQ(r.afterEvent(1), page(option == 1 ? "Y" : "N") + Lines{state(-1, "2", std::to_string(option))});
        EXPECT_EQ(r.afterEvent(2), page("end") + Lines{state(-1, "0", "0")});
    }
}

// A count that is not 1..4 leaves NumCmds empty: the menu offers nothing and
// the text box click plays the option texts and branches as ordinary script.
TEST(ChoiceMenu, ABadCountShowsAnEmptyMenuThatTheTextClickPlaysThrough) {
    for (const std::string countAndSeparator : {"0 ", "5 ", "x ", " 2"}) {
        TestGame game("(" + countAndSeparator + "Yes,No)\r\n{\"Y\"}\r\n{\"N\"}\r\n");
        const auto r = game.play("click option 1\nclick text\nclick text\n");
        EXPECT_EQ(firstRun(r), menu({}) + Lines{state(-1, "null", "null")}) << countAndSeparator;
        EXPECT_EQ(r.afterEvent(1), Lines{state(-1, "null", "null")}) << countAndSeparator;
        EXPECT_EQ(r.afterEvent(2), page("Y") + Lines{state(-1, "0", "null")}) << countAndSeparator;
        EXPECT_EQ(r.afterEvent(3), page("N") + Lines{state(-1, "0", "null")}) << countAndSeparator;
    }
}

TEST(ChoiceMenu, AMissingChoiceBoxPictureIsFatalAndNamed) {
    TestGame game("\"p\"(2 a,b){\"A\"}{\"B\"}");
    game.remove("text.bmp");
    const auto r = game.play("click text\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.fatal(), "text.bmp")) << r.fatal();
    EXPECT_TRUE(r.matching(R"({"picture":"Image2","file":"text.bmp")").empty());
    EXPECT_TRUE(r.matching(R"({"caption":1,"text":"a")").empty());
}

TEST(ChoiceMenu, AMenuCutOffByTheEndOfTheScriptIsFatal) {
    for (const std::string script : {"(2 Yes,No", "(2", "(3 a,b"}) {
        TestGame game(script);
        const auto r = game.play();
        EXPECT_EQ(r.status, 1) << script;
        EXPECT_TRUE(has(r.fatal(), "end of file")) << script << ": " << r.fatal();
    }
}

// ---------------------------------------------------------------- choosing an option

// Six lines: a page, a menu of three, three one-page branches, a last page.
TEST(ChoiceSelection, EachOptionPlaysItsOwnBranchAndThenTheLinesBehindAll) {
    const std::string script = "\"Where now?\"\r\n(3 North,South,Stay)\r\n{\"You walk north.\"}\r\n"
                               "{\"You walk south.\"}\r\n{\"You stay.\"}\r\n\"Night falls.\"";
    const std::string branchText[] = {"", "You walk north.", "You walk south.", "You stay."};
    for (int k = 1; k <= 3; ++k) {
        TestGame game(script);
        const auto r = game.play("click text\nclick option " + std::to_string(k) + "\nclick text\nclick text\n");
        EXPECT_EQ(firstRun(r), page("Where now?") + Lines{state(-1, "0", "null")});
        EXPECT_EQ(r.afterEvent(1), menu({"North", "South", "Stay"}) + Lines{state(-1, "3", "null")});
        EXPECT_EQ(r.afterEvent(2), page(branchText[k]) + Lines{state(-1, "3", std::to_string(k))}) << k;
        EXPECT_EQ(r.afterEvent(3), page("Night falls.") + Lines{state(-1, "0", "0")}) << k;
        EXPECT_EQ(r.afterEvent(4), Lines{state(0, "0", "0")}) << "the script has ended";
    }
}

TEST(ChoiceSelection, AnOptionAboveTheCountDoesNothingAndReadsNothing) {
    TestGame game("(2 a,b)\r\n{\"A\"}\r\n{\"B\"}");
    const auto r = game.play("click option 3\nclick option 4\nclick option 2\n");
    EXPECT_EQ(r.afterEvent(1), Lines{state(-1, "2", "null")});
    EXPECT_EQ(r.afterEvent(2), Lines{state(-1, "2", "null")});
    EXPECT_EQ(r.afterEvent(3), page("B") + Lines{state(-1, "2", "2")});
}

TEST(ChoiceSelection, OptionClicksWhileTheChosenBranchIsUnderWayDoNothing) {
    TestGame game("(2 a,b)\r\n{\"A\"}\r\n{\"B\"}\r\n\"end\"");
    const auto r = game.play("click option 1\nclick option 2\nclick option 1\nclick text\n");
    EXPECT_EQ(r.afterEvent(1), page("A") + Lines{state(-1, "2", "1")});
    EXPECT_EQ(r.afterEvent(2), Lines{state(-1, "2", "1")});
    EXPECT_EQ(r.afterEvent(3), Lines{state(-1, "2", "1")});
    EXPECT_EQ(r.afterEvent(4), page("end") + Lines{state(-1, "0", "0")});
}

// With no menu waiting an option click must not scan on to the next '{':
// the text click then shows the page in front of it.
TEST(ChoiceSelection, AnOptionClickWithNoCountReadsNothing) {
    struct Case {
        std::string script;
        std::string count;
    };
    for (const Case& c :
         {Case{"\"page\" \"between\" {\"A\"}{\"B\"}", "0"}, Case{"(0 a,b) \"between\" {\"A\"}{\"B\"}", "null"}}) {
        TestGame game(c.script);
        const auto r = game.play("click option 1\nclick text\n");
        EXPECT_EQ(r.afterEvent(1), Lines{state(-1, c.count, "null")}) << c.script;
        EXPECT_EQ(r.afterEvent(2), page("between") + Lines{state(-1, "0", "null")}) << c.script;
    }
}

TEST(ChoiceSelection, TheFourthOptionSkipsThreeBranchesOnTheClickAndNoneAtItsEnd) {
    TestGame game("(4 a,b,c,d)\r\n{\"A\"}{\"B\"}{\"C\"}{\"D\"}\r\n\"end\"");
    const auto r = game.play("click option 4\nclick text\n");
    EXPECT_EQ(firstRun(r), menu({"a", "b", "c", "d"}) + Lines{state(-1, "4", "null")});
    EXPECT_EQ(r.afterEvent(1), page("D") + Lines{state(-1, "4", "4")});
    EXPECT_EQ(r.afterEvent(2), page("end") + Lines{state(-1, "0", "0")});
}

TEST(ChoiceSelection, SkippingCountsBracesInsidePageTexts) {
    // Without counting, the skip would end at the first '}' and take {z} for the second branch.
    TestGame balanced("(2 a,b)\r\n{\"x {y} {z}\"}\r\n{\"B\"}\r\n\"end\"");
    const auto r = balanced.play("click option 2\nclick text\n");
    EXPECT_EQ(r.afterEvent(1), page("B") + Lines{state(-1, "2", "2")});
    EXPECT_EQ(r.afterEvent(2), page("end") + Lines{state(-1, "0", "0")});

    // A lone '}' in a page ends the skip of its branch; the next '{' behind it,
    // still inside the first branch, then opens the chosen one.
    TestGame lone("(2 a,b)\r\n{\"lone } {\"Z\"} \"}\r\n{\"B\"}\r\n\"end\"");
    EXPECT_EQ(lone.play("click option 2\n").afterEvent(1), page("Z") + Lines{state(-1, "2", "2")});
}

// The played branch is not brace-counted: fetched '{' do nothing, and the
// first '}' that the branch half fetches ends it.
TEST(ChoiceSelection, APlayedBranchEndsAtTheFirstCloseBraceItsBranchHalfFetches) {
    TestGame game("(2 a,b)\r\n{{{\"A\"} \"B\"}\r\n{\"other\"}\r\n\"end\"");
    const auto r = game.play("click option 1\nclick text\n");
    EXPECT_EQ(r.afterEvent(1), page("A") + Lines{state(-1, "2", "1")});
    EXPECT_EQ(r.afterEvent(2), page("end") + Lines{state(-1, "0", "0")});
}

TEST(ChoiceSelection, AMenuInsideAChosenBranchCannotBeAnswered) {
    TestGame game("(1 a)\r\n{-A1-(2 x,y)}\r\n{\"skipped\"}\r\n\"end\"");
    const auto r = game.play("click option 1\nclick option 1\nclick option 2\nclick text\n");
    EXPECT_EQ(r.afterEvent(1), menu({"x", "y"}) + Lines{state(-1, "2", "1")});
    EXPECT_EQ(r.afterEvent(2), Lines{state(-1, "2", "1")});
    EXPECT_EQ(r.afterEvent(3), Lines{state(-1, "2", "1")});
    // The text click resumes the branch; its end skips one branch, as the inner count is 2.
    EXPECT_EQ(r.afterEvent(4), page("end") + Lines{state(-1, "0", "0")});
}

// After the branch has ended the count is still 2, but no menu waits: a click
// on a blank caption must not scan on past the end of the script.
TEST(ChoiceSelection, AfterTheScriptHasEndedABlankCaptionClickDoesNothing) {
    TestGame game("(2 a,b)\r\n{\"A\"}\r\n{\"B\"}");
    const auto r = game.play("click option 1\nclick text\nclick option 1\nclick option 2\nclick text\n");
    EXPECT_EQ(r.afterEvent(2), Lines{state(0, "2", "0")});
    for (int n = 3; n <= 5; ++n) EXPECT_EQ(r.afterEvent(n), Lines{state(0, "2", "0")}) << n;
    EXPECT_EQ(r.fatal(), "");
    EXPECT_EQ(r.status, 0);
}

TEST(ChoiceSelection, AMillionNestedBracesInASkippedBranch) {
    // Nested pairs, then a pair that only a miscounted skip would take for a branch.
    const std::string deep = "{" + std::string(1000000, '{') + std::string(1000000, '}') + "{\"miscounted\"}" + "}";

    TestGame onClick("(2 a,b)\r\n" + deep + "\r\n{\"B\"}\r\n\"end\"");
    const auto chosen = onClick.play("click option 2\n");
    EXPECT_EQ(chosen.afterEvent(1), page("B") + Lines{state(-1, "2", "2")});

    TestGame atBranchEnd("(2 a,b)\r\n{\"A\"}\r\n" + deep + "\r\n\"end\"");
    const auto ended = atBranchEnd.play("click option 1\nclick text\n");
    EXPECT_EQ(ended.afterEvent(2), page("end") + Lines{state(-1, "0", "0")});

    // Played as the chosen branch, the braces are ordinary characters until
    // the page; the branch end then skips the other branch.
    const std::string nested = std::string(1000000, '{') + "\"deep\"" + std::string(1000000, '}');
    TestGame played("(2 a,b)\r\n{" + nested + "}\r\n{\"B\"}\r\n\"end\"");
    const auto playedDeep = played.play("click option 1\nclick text\nclick text\n");
    EXPECT_EQ(playedDeep.afterEvent(1).front(), R"({"text":"deep"})");
    EXPECT_EQ(playedDeep.status, 0);
    EXPECT_EQ(playedDeep.fatal(), "");
}

TEST(ChoiceSelection, MissingOrUnclosedBranchesAreFatalAtTheEndOfFile) {
    struct Case {
        std::string script;
        std::string events;
    };
    const Case cases[] = {
        {"(3 a,b,c)\r\n{\"A\"}\r\n{\"B\"}", "click option 3\n"},
        {"(3 a,b,c)\r\n{\"A\"}\r\n{\"B\"}", "click option 1\nclick text\n"},
        {"(2 a,b)\r\n{\"A\"\r\n{\"B\"}", "click option 2\n"},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        const auto r = game.play(c.events);
        EXPECT_EQ(r.status, 1) << c.script << " / " << c.events;
        EXPECT_TRUE(has(r.fatal(), "the branches of the choice menu that starts here run into the end of file"))
            << r.fatal();
    }
}
