// The run loop, the resume rule and start-up, through the headless driver.

#include "headless_fixture.h"

#include <gtest/gtest.h>

using namespace vorn::test;

TEST(RunLoop, StartUpAndAPageFollowTheTranscriptContract) {
    TestGame game("\"Hello\"\r\n(2 Yes,No){\"Y\"}{\"N\"}");
    const auto r = game.play("click text\n");
    const Lines expectedStart = {
        R"({"picture":"Form1","file":"back.bmp"})",
        R"({"cursor":"mouse.ico"})",
        R"({"device":"Notify","value":false})",
        R"({"device":"Wait","value":true})",
        R"({"device":"Shareable","value":false})",
        R"({"device":"DeviceType","value":"Sequencer"})",
        R"({"text":"Hello"})",
        R"({"caption":1,"text":""})",
        R"({"caption":2,"text":""})",
        R"({"caption":3,"text":""})",
        R"({"caption":4,"text":""})",
        R"({"picture":"Image2","file":""})",
        state(-1, "0", "null"),
    };
    EXPECT_EQ(r.afterEvent(0), expectedStart);
    EXPECT_EQ(r.afterEvent(1), (Lines{
                                   R"({"picture":"Image2","file":"text.bmp"})",
                                   R"({"caption":1,"text":""})",
                                   R"({"caption":2,"text":""})",
                                   R"({"caption":3,"text":""})",
                                   R"({"caption":4,"text":""})",
                                   R"({"caption":1,"text":"Yes"})",
                                   R"({"caption":2,"text":"No"})",
                                   R"({"text":""})",
                                   state(-1, "2", "null"),
                               }));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.lines.back(), R"({"device":"Command","value":"Close"})") << "end of input closes the window";
}

TEST(RunLoop, AnEmptyScriptEndsAtOnceAndClicksChangeNothing) {
    TestGame game("");
    const auto r = game.play("click text\nclick text\nclick option 1\n");
    EXPECT_EQ(r.afterEvent(0).back(), state(0, "null", "null"));
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(r.afterEvent(n), Lines{state(0, "null", "null")});
}

TEST(RunLoop, OrdinaryCharactersAndTheLastCharacterAreNotCommands) {
    TestGame game("text { ] } \t*label*\r\n\"");
    const auto r = game.play();
    EXPECT_EQ(r.matching(R"({"text")").size(), 0u);
    EXPECT_EQ(r.afterEvent(0).back(), state(0, "null", "null"));
}

TEST(RunLoop, AClickOnTheTextBoxResumesOnlyWhenNoMenuWaits) {
    TestGame game("\"one\" (2 a,b){\"A\"}{\"B\"} \"two\"");
    const auto r = game.play("click text\nclick text\nclick option 2\nclick text\n");
    EXPECT_EQ(r.afterEvent(2), Lines{state(-1, "2", "null")}) << "the menu waits: the click does nothing";
    EXPECT_EQ(r.afterEvent(3).front(), R"({"text":"B"})");
    EXPECT_EQ(r.afterEvent(4).front(), R"({"text":"two"})");
}

// A menu of two options, then two branches, then a page "After". The first
// branch holds a music command and a page "Hello"; the second a page "Other".
TEST(RunLoop, BranchModeTakesCommandsAlternatelyWithBothTables) {
    TestGame game("(2 a,b)\r\n{[m.mid]\"Hello\"}\r\n{\"Other\"}\r\n\"After\"");
    const auto r = game.play("click option 1\nclick text\nclick text\n");
    // The music runs in the branch half, the page in the main half (which sets NumCmds to 0).
    EXPECT_EQ(r.afterEvent(1).back(), state(-1, "0", "1", "\"m.mid\""));
    // The branch end skips nothing since NumCmds is 0; the second branch plays as ordinary script.
    EXPECT_EQ(r.afterEvent(2).front(), R"({"text":"Other"})");
    EXPECT_EQ(r.afterEvent(2).back(), state(-1, "0", "0", "\"m.mid\""));
    EXPECT_EQ(r.afterEvent(3).front(), R"({"text":"After"})");
}

TEST(RunLoop, APageAloneInABranchKeepsTheCountAndTheBranchEndSkipsTheRest) {
    TestGame game("(2 a,b)\r\n{\"Hello\"}\r\n{\"Other\"}\r\n\"After\"");
    const auto r = game.play("click option 1\nclick text\n");
    EXPECT_EQ(r.afterEvent(1).back(), state(-1, "2", "1"));
    EXPECT_EQ(r.afterEvent(2).front(), R"({"text":"After"})");
    EXPECT_EQ(r.afterEvent(2).back(), state(-1, "0", "0"));
}

TEST(RunLoop, OneClickStartsOneRunSoEveryPageOfABranchCanBeRead) {
    TestGame game("(1 a)\r\n{[m.mid]\"first\"\"second\"}\"after\"");
    const auto r = game.play("click option 1\nclick text\nclick text\n");
    EXPECT_EQ(r.afterEvent(2).front(), R"({"text":"second"})");
    EXPECT_EQ(r.afterEvent(2).back(), state(-1, "0", "1", "\"m.mid\""));
    EXPECT_EQ(r.afterEvent(3).front(), R"({"text":"after"})");
}
