// `vorn check` on games written for the tests: each finding with its place.

#include "archive_writer.h"
#include "authoring_fixture.h"
#include "headless_fixture.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vorn::test;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

ToolRun check(const TestGame& game) { return runTool({"check", game.dir().string()}); }

} // namespace

TEST(Check, AWellFormedGameHasNoFindings) {
    TestGame game(crlf({
        "<room.bmp>[theme.mid]",
        "\"Welcome.\\Second line.\"",
        "(3 Go on,Stay,Sing)",
        "{~A1~\"You go on.\"}",
        "{\"You stay.\" \"Still here.\"}",
        "{[theme.mid]~B1~\"You sing.\"}",
        "=A1= >next<",
        "!A1! \"Shown while A1 is clear.\"",
        "-A1- ~H8~ =B1=<room.bmp>",
        "*next*",
        "<> []",
        "\"The end.\"",
    }));
    game.write("room.bmp", bitmap(32, 24));
    game.write("theme.mid", "MThd");
    const ToolRun r = check(game);
    EXPECT_EQ(r.out, "code.vrn: no problems found, 7 pages, 1 menu, 1 jump\n");
    EXPECT_EQ(r.status, 0);

    TestGame empty("");
    EXPECT_EQ(check(empty).out, "code.vrn: no problems found, 0 pages, 0 menus, 0 jumps\n");
}

struct CutOffCase {
    const char* name;
    const char* script;
    const char* place;
    const char* command;
};

void PrintTo(const CutOffCase& c, std::ostream* os) { *os << c.name; }

class CheckCutOff : public ::testing::TestWithParam<CutOffCase> {};

TEST_P(CheckCutOff, ACommandCutOffByTheEndOfTheFileIsAnErrorAtItsStart) {
    TestGame game(GetParam().script);
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(), ElementsAre(AllOf(StartsWith(std::string("code.vrn:") + GetParam().place +
                                                           ": error: the " + GetParam().command + " that starts here"),
                                                HasSubstr("end of file"))));
    EXPECT_EQ(r.status, 1);
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, CheckCutOff,
                         ::testing::Values(CutOffCase{"Page", "\"Hi\"\r\n\"Unclosed", "2:1", "text page"},
                                           CutOffCase{"Picture", "\r\n  <room.bmp", "2:3", "picture command"},
                                           CutOffCase{"Music", "[theme.mid", "1:1", "music command"},
                                           CutOffCase{"Jump", "\"x\" >start", "1:5", "jump"},
                                           CutOffCase{"Set", "\"x\" ~A1", "1:5", "set command"},
                                           CutOffCase{"Clear", "-B2", "1:1", "clear command"},
                                           CutOffCase{"Conditional", "=A1=  \r\n", "1:1", "conditional command"},
                                           CutOffCase{"GuardedPage", "=A1= \"abc", "1:6", "text page"},
                                           CutOffCase{"Menu", "(2 Yes,No", "1:1", "choice menu"}),
                         [](const ::testing::TestParamInfo<CutOffCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(Check, FlagLettersAndBitDigits) {
    TestGame game(crlf({
        "~A1~ ~Ax~",
        "-a1- ~Z9~",
        "~B0~ =C9= \"x\"",
        "!D?! \"y\"",
    }));
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(),
                ElementsAre(StartsWith("code.vrn:1:8: error: flag A has the bit \"x\", which is not a digit"),
                            StartsWith("code.vrn:2:2: warning: \"a\" is no flag letter"),
                            StartsWith("code.vrn:2:7: warning: \"Z\" is no flag letter"),
                            StartsWith("code.vrn:3:3: warning: bit 0 names no flag"),
                            AllOf(StartsWith("code.vrn:3:8: warning: bit 9 names no flag"), HasSubstr("never runs")),
                            StartsWith("code.vrn:4:3: error: flag D has the bit \"?\"")));
    EXPECT_EQ(r.hintOf("code.vrn:1:8:"), "write a bit digit from 1 to 8, as in A1");
    EXPECT_EQ(r.status, 1);
}

TEST(Check, JumpsAndMarkerLines) {
    TestGame game(crlf({
        ">start<",
        ">Missing<",
        "*start*",
        "\"Hi\"",
        "*missing*",
        "*start*",
        ">broken",
        "label<",
    }));
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(),
                ElementsAre(StartsWith("code.vrn:2:1: error: the jump to \"Missing\" finds no marker line *Missing*"),
                            StartsWith("code.vrn:6:1: warning: another marker line *start*"),
                            StartsWith("code.vrn:7:1: error: the jump to \"broken\\r\\nlabel\"")));
    EXPECT_THAT(r.hintOf("code.vrn:2:1:"), HasSubstr("line 5 holds \"*missing*\""));
    EXPECT_THAT(r.hintOf("code.vrn:7:1:"), HasSubstr("runs over a line break"));
    EXPECT_EQ(r.status, 1);
}

TEST(Check, AScriptWithLineFeedsAloneFindsNoMarker) {
    TestGame game("\"Hi\"\n>start<\n*start*\n\"End\"");
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(), ElementsAre(StartsWith("code.vrn:1:5: warning: this script ends its lines with line "
                                                     "feeds alone"),
                                          StartsWith("code.vrn:2:1: error: the jump to \"start\"")));
}

TEST(Check, PictureAndMusicFilesAreLookedUpAsThePlayerDoes) {
    TestGame game(crlf({
        "<room.bmp>",
        "<cellar.bmp>",
        "[theme.mid]",
        "<pics\\hall.bmp>",
        "<broken.bmp>",
        "[gone.mid]",
        "(1 Go)",
        "{\"Went.\"}",
        "(1 Again)",
        "{\"Again.\"}",
    }));
    game.write("room.bmp", bitmap(8, 8));
    game.write("Theme.MID", "MThd");
    game.write("pics/hall.bmp", bitmap(8, 8));
    game.write("broken.bmp", "this is no bitmap");
    game.remove("text.bmp");
    game.remove("back.bmp");
    const ToolRun r = check(game);
    EXPECT_THAT(
        r.findings(),
        ElementsAre(StartsWith("back.bmp: error: the window background \"back.bmp\" is not in the game folder"),
                    StartsWith("code.vrn:2:1: error: the picture \"cellar.bmp\" is not in the game folder"),
                    AllOf(StartsWith("code.vrn:3:1: warning: the music \"theme.mid\" is found only as \"Theme.MID\""),
                          HasSubstr("ignoring letter case")),
                    AllOf(StartsWith("code.vrn:4:1: warning: the picture \"pics\\hall.bmp\" is found only as "
                                     "\"pics/hall.bmp\""),
                          HasSubstr("reading '\\' as a folder separator;")),
                    StartsWith("code.vrn:5:1: error: \"broken.bmp\" is no picture the player can read"),
                    StartsWith("code.vrn:6:1: error: the music \"gone.mid\" is not in the game folder"),
                    StartsWith("code.vrn:7:1: error: every menu shows the choice box \"text.bmp\"")));
    EXPECT_EQ(r.lines.back(), "5 errors, 2 warnings.");
    EXPECT_EQ(r.status, 1);
}

TEST(Check, BranchCountsAndBraces) {
    struct Case {
        std::string script;
        std::string finding;
    };
    const std::vector<Case> cases = {
        {"(3 a,b,c)\r\n{\"A\"}\r\n{\"B\"}",
         "code.vrn:1:1: error: the menu offers 3 options, but only 2 brace-enclosed branches follow it"},
        {"(2 a,b)\r\n{\"A\"}\r\n{\"B\"\r\n\"After\"",
         "code.vrn:3:1: error: branch 2 of the menu at 1:1 never closes when it is skipped"},
        {"(2 a,b)\r\n{\"Say {hi\"}\r\n{\"B\"}",
         "code.vrn:2:7: error: branch 1 of the menu at 1:1 never closes when it is skipped: this '{' inside the "
         "text page at 2:2 counts"},
        {"(2 a,b)\r\n{\"x}y\"}\r\n{\"B\"}",
         "code.vrn:2:4: error: this '}' is read as part of the text page at 2:2: it ends branch 1"},
        {"(2 a,b)\r\n{<room.bmp>}\r\n{\"B\"}",
         "code.vrn:2:12: error: this '}' is fetched by the main half of a cycle, right behind the picture command "
         "at 2:2"},
        {"(2 a,b)\r\n{ {x} \"A\"}\r\n{\"B\"}",
         "code.vrn:2:5: error: branch 1 of the menu at 1:1 ends at this '}' when it is chosen, but when it is "
         "skipped the braces are counted (the '{' at 2:3"},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        game.write("room.bmp", bitmap(8, 8));
        const ToolRun r = check(game);
        EXPECT_THAT(r.findings(), ElementsAre(StartsWith(c.finding))) << c.script;
        EXPECT_EQ(r.status, 1) << c.script;
    }
}

TEST(Check, MenuWarnings) {
    struct Case {
        std::string script;
        std::vector<std::string> findings;
    };
    const std::vector<Case> cases = {
        {"(5 a,b)\r\n\"x\"", {"code.vrn:1:2: warning: the menu's count is \"5\", not a digit from 1 to 4"}},
        {"( 2 a)\r\n\"x\"", {"code.vrn:1:2: warning: the menu's count is a blank, not a digit from 1 to 4"}},
        {"(2 a,b)\t\"x\"\r\n{\"A\"}{\"B\"}",
         {"code.vrn:1:8: warning: a tab between the menu and its first branch",
          "code.vrn:1:9: warning: '\"' between the menu and its first branch starts no command"}},
        {"(1 a)\r\n{\"A\"}\r\n{\"B\"}",
         {"code.vrn:3:1: warning: one branch more than the menu at 1:1 has options (1)"}},
        {"(2 a,b)\r\n{[theme.mid]\"A\"}\r\n{\"B\"}",
         {"code.vrn:2:13: warning: this page is fetched by the main half of a cycle, behind the music command at "
          "2:2"}},
        {"(2 a,b)\r\n{\"A\" (2 x,y)}\r\n{\"B\"}", {"code.vrn:2:6: warning: \"(\" starts no choice menu here"}},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        game.write("theme.mid", "MThd");
        const ToolRun r = check(game);
        std::vector<::testing::Matcher<std::string>> expected;
        for (const std::string& f : c.findings) expected.push_back(StartsWith(f));
        EXPECT_THAT(r.findings(), ::testing::ElementsAreArray(expected)) << c.script;
        EXPECT_EQ(r.status, 0) << c.script;
    }
}

// The page behind the music command is fetched by a main half and sets the
// option count to 0, so when branch 1 ends nothing is skipped and what stands
// behind it is played: the gap's picture command as well.
TEST(Check, WhatABranchThatResetsTheCountLeadsToIsCheckedToo) {
    TestGame game("(2 a,b)\r\n{[theme.mid]\"A\"}\r\n<lost.bmp>\r\n{\"B\"}\r\n\"After\"");
    game.write("theme.mid", "MThd");
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(),
                ElementsAre(StartsWith("code.vrn:2:13: warning: this page is fetched by the main half of a cycle"),
                            StartsWith("code.vrn:3:1: error: the picture \"lost.bmp\" is not in the game folder")));

    const ToolRun played = runTool({"explore", game.dir().string()});
    EXPECT_THAT(played.out, HasSubstr("# error path 1: code.vrn:3:1: the picture command: cannot load the picture "
                                      "\"lost.bmp\""))
        << played.out;
}

// Inside a chosen branch `>` falls to the branch half and is dropped; the
// label's '<' then starts a picture command that reads to the end of file.
TEST(Check, AJumpInABranchIsDroppedAndWhatFollowsIsReadAsScript) {
    TestGame game("(2 a,b)\r\n{\"A\" >x<}\r\n{\"B\"}\r\n*x*");
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(),
                ElementsAre(StartsWith("code.vrn:2:6: warning: \">\" starts no jump here"),
                            StartsWith("code.vrn:2:8: error: the picture command that starts here runs into the end "
                                       "of file")));
}

TEST(Check, ConditionalsAndTheCommandsTheyGuard) {
    TestGame game(crlf({
        "=A1\"Hi\"",
        "\"",
        "=B2= \t\"x\"",
        "!C3! (2 a,b)",
        "=A1= ~B2",
        "\"x\"",
    }));
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(),
                ElementsAre(StartsWith("code.vrn:1:4: warning: the character behind the flag name is always "
                                       "discarded, and here it is a page's opening '\"'"),
                            AllOf(StartsWith("code.vrn:3:6: warning: a tab is no command a conditional can guard"),
                                  HasSubstr("(a tab is no blank)")),
                            StartsWith("code.vrn:4:6: warning: \"(\" is no command a conditional can guard"),
                            StartsWith("code.vrn:5:9: warning: the guarded set command ends with a line break "
                                       "instead of '~'")));
    EXPECT_EQ(r.hintOf("code.vrn:1:4:"),
              "write the conditional's closing character before the page, as in =A1=\"...\"");
    EXPECT_EQ(r.status, 0);
}

TEST(Check, AMissingScriptIsAnErrorAndBadCommandLinesAreUsageErrors) {
    TestGame game("");
    game.remove("code.vrn");
    const ToolRun missing = check(game);
    EXPECT_THAT(missing.findings(), ElementsAre(StartsWith("code.vrn: error: cannot open the script")));
    EXPECT_EQ(missing.status, 1);

    EXPECT_EQ(runTool({"check", "--bogus"}).status, 2);
    EXPECT_EQ(runTool({"check", game.dir().string(), game.dir().string()}).status, 2);
    const ToolRun nowhere = runTool({"check", (game.dir() / "nowhere").string()});
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_THAT(nowhere.err, HasSubstr("does not exist"));
    const ToolRun help = runTool({"check", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, StartsWith("Usage: vorn check"));
}

TEST(Check, ScriptFilePathNamesItsFolder) {
    TestGame game("\"x\" >nowhere<");
    const ToolRun r = runTool({"check", (game.dir() / "code.vrn").string()});
    EXPECT_THAT(r.findings(), ElementsAre(StartsWith("code.vrn:1:5: error: the jump to \"nowhere\"")));
}

TEST(Check, PastTheLimitFindingsAreCountedNotShown) {
    std::string script;
    for (int i = 0; i < 250; ++i) script += "~Z1~\r\n";
    script += ">nowhere<";
    TestGame game(script);
    const ToolRun r = check(game);
    EXPECT_EQ(r.findings().size(), 202u); // 200 warnings, the error, the note
    EXPECT_THAT(r.findings().back(), StartsWith("code.vrn: warning: 0 more errors and 50 more warnings are not shown"));
    EXPECT_EQ(r.lines.back(), "1 error, 250 warnings.");
    EXPECT_EQ(r.status, 1);
}

TEST(Check, TheDemoGameHasNoErrors) {
    const std::filesystem::path demo = std::filesystem::path(VORN_SOURCE_DIR) / "examples" / "demo";
    if (!std::filesystem::exists(demo / "code.vrn")) GTEST_SKIP() << "the demo game is not there yet";
    const ToolRun r = runTool({"check", demo.string()});
    // The demo names one picture the Windows way on purpose, to show that such
    // names still play; the warning that it is found only so is the one allowed.
    for (const std::string& finding : r.findings()) EXPECT_THAT(finding, HasSubstr("is found only as")) << finding;
    EXPECT_EQ(r.status, 0);
}

TEST(Check, AGameInsideAnArchiveIsCheckedAsItsFolder) {
    TestGame game(crlf({"<\x83\x5C\\moon.bmp>\"x\"", "<missing.bmp>"})); // ソ\moon.bmp, in code page 932
    game.write("\x83\x5C/Moon.bmp", bitmap(4, 4));
    const auto zip = game.dir().parent_path() / (game.dir().filename().string() + ".zip");
    writeArchive(zip, entriesOf(game.dir(), "Game/"), ArchiveFormat::Zip);
    const ToolRun fromFolder = check(game);
    const ToolRun fromZip = runTool({"check", zip.string()});
    EXPECT_EQ(fromZip.status, 1);
    EXPECT_EQ(fromZip.out, fromFolder.out);
    EXPECT_THAT(fromZip.findings(), ElementsAre(HasSubstr("\"ソ/Moon.bmp\""), HasSubstr("\"missing.bmp\"")));

    writeArchive(zip, {{"Game/readme.txt", "no script"}}, ArchiveFormat::Zip);
    const ToolRun noGame = runTool({"check", zip.string()});
    EXPECT_EQ(noGame.status, 1);
    EXPECT_THAT(noGame.err, HasSubstr("there is no code.vrn in it"));
    std::filesystem::remove(zip);
}

// A page whose closing quote is missing takes the commands behind it for its
// text; from there on every closing quote opens a page, and the end-of-file
// error comes far below. The finding names the page where it began.
TEST(Check, APageThatRunsOnIsNamedWhereItStarts) {
    TestGame game(crlf({
        "\"Welcome.\"",
        "\"The gate creaks open.",
        "(2 Enter,Wait)",
        "{\"You enter.\"}",
        "{\"You wait.\"}",
        "\"The end.\"",
        "",
    }));
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(),
                ElementsAre(AllOf(StartsWith("code.vrn:2:1: warning: the text page that starts here runs over 3 lines "
                                             "and swallows commands (a choice menu at 3:1, a branch at 4:1): its "
                                             "closing '\"' is likely missing"),
                                  HasSubstr("1 more further on runs over lines the same way")),
                            AllOf(StartsWith("code.vrn:6:10: error: the text page that starts here runs into the end "
                                             "of file"),
                                  HasSubstr("the likely culprit is the text page at 2:1"))));
    EXPECT_EQ(r.hintOf("code.vrn:2:1:"), "end the page with a closing '\"'");
    EXPECT_EQ(r.status, 1);
}

// A page whose closing quote is missing, followed by a page on the next line:
// the next page's opening quote closes it, so it swallows nothing itself, and
// the next page's closing quote opens the page that swallows the menu. The
// finding names the page whose quote is missing first, and says what the
// reader will see; the page that swallows the menu points back to it.
TEST(Check, APageClosedByTheNextLinesOpeningQuoteIsNamedFirst) {
    TestGame game(crlf({"\"one\"", "\"two\"", "\"three", "\"four\"", "(2 Yes,No)", "{\"a\"}", "{\"b\"}", ""}));
    const ToolRun r = check(game);
    ASSERT_FALSE(r.findings().empty());
    EXPECT_THAT(r.findings().front(),
                StartsWith("code.vrn:3:1: warning: the text page that starts here runs over a line end and is closed "
                           "by the '\"' that begins line 4: its own closing '\"' is likely missing; the player shows "
                           "it up to that line and reads the rest of line 4 as script, showing none of it, and from "
                           "there the script is read out of step: the '\"' at 4:6 opens a text page that swallows"));
    EXPECT_EQ(r.hintOf("code.vrn:3:1:"), "end the page with a closing '\"'");
    EXPECT_THAT(r.findings(), ::testing::Contains(AllOf(StartsWith("code.vrn:4:6: warning: the text page that starts "
                                                                   "here runs over"),
                                                        HasSubstr("the likely culprit is the text page at 3:1"))));

    // When the page behind runs into the end of the file, the error there points back too.
    TestGame cutOff(crlf({"\"three", "\"four\"", "<room.bmp>"}));
    const ToolRun c = check(cutOff);
    EXPECT_THAT(c.findings(), ElementsAre(StartsWith("code.vrn:1:1: warning: the text page that starts here runs over "
                                                     "a line end"),
                                          AllOf(StartsWith("code.vrn:2:6: error: the text page that starts here runs "
                                                           "into the end of file"),
                                                HasSubstr("the likely culprit is the text page at 1:1"))));

    // With a page between, closed by the next line's quote in turn, the first page is still the one named.
    TestGame chain(crlf({"\"three", "\"four\"", "\"five\"", "(2 Yes,No)", "{\"a\"}", "{\"b\"}", ""}));
    const ToolRun ch = check(chain);
    ASSERT_FALSE(ch.findings().empty());
    EXPECT_THAT(ch.findings().front(), AllOf(StartsWith("code.vrn:1:1: warning: the text page that starts here runs "
                                                        "over a line end"),
                                             HasSubstr("the '\"' at 3:6 opens a text page that swallows")));

    // A page that ends with a line break on purpose, with nothing out of step behind it, is no mistake.
    TestGame onPurpose(crlf({"\"First line", "\"", "\"Next.\"", ""}));
    EXPECT_THAT(check(onPurpose).findings(), IsEmpty());
}

TEST(Check, APageThatRunsIntoTheEndOfFileSaysWhatItSwallows) {
    TestGame game(crlf({"\"Start", "<room.bmp>", "  ~A1~", "That is all."}));
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(),
                ElementsAre(AllOf(StartsWith("code.vrn:1:1: error: the text page that starts here runs into the end "
                                             "of file"),
                                  HasSubstr("; it runs over 4 lines and swallows commands (a picture command at 2:1, "
                                            "a set command at 3:3): its closing '\"' is likely missing"))));
}

// A page over several lines that holds no command is no mistake: a line break
// typed in a page is one on the screen.
TEST(Check, APageOverSeveralLinesOfTextAloneIsNoRunaway) {
    TestGame game(crlf({"\"First line", "(laughs) second line", "<- an arrow\"", "\"Next.\""}));
    EXPECT_THAT(check(game).findings(), IsEmpty());
}

TEST(Check, ALabelOrAFileNameThatRunsOnIsNamedWhereItStarts) {
    TestGame label(crlf({">start", "\"Hello\"", "*start*", "<room.bmp>", "\"Bye\""}));
    label.write("room.bmp", bitmap(8, 8));
    const ToolRun l = check(label);
    EXPECT_THAT(l.findings(),
                ::testing::Contains(StartsWith("code.vrn:1:1: warning: the jump that starts here runs over 4 lines and "
                                               "swallows commands (a text page at 2:1, a marker line at 3:1): its "
                                               "closing '<' is likely missing")));
    EXPECT_EQ(l.hintOf("code.vrn:1:1: warning"), "close the label with '<', as in >start<");

    TestGame name(crlf({"[theme.mid", "\"Hi\"", "]"}));
    const ToolRun n = check(name);
    EXPECT_THAT(n.findings(), ::testing::Contains(StartsWith("code.vrn:1:1: warning: the music command that starts "
                                                             "here runs over 3 lines and swallows a text page at "
                                                             "2:1: its closing ']' is likely missing")));
}

TEST(Check, AUtf8ScriptWithoutTheByteOrderMarkIsTheFirstFinding) {
    const std::string script =
        "\"\xE9\x90\x98\xE3\x81\x8C\xE9\xB3\xB4\xE3\x82\x8B\"\r\n(1 \xE8\xA1\x8C\xE3\x81\x8F)\r\n{\"x\"}";
    const char* note = "code.vrn: warning: the script looks like UTF-8 saved without the byte-order mark: the player "
                       "reads it as Shift-JIS";
    TestGame withoutMark(script);
    const ToolRun r = check(withoutMark);
    ASSERT_FALSE(r.findings().empty());
    EXPECT_THAT(r.findings().front(), StartsWith(note));
    EXPECT_THAT(r.hintOf("code.vrn: warning: the script looks like UTF-8"),
                HasSubstr("save code.vrn as UTF-8 with the byte-order mark"));
    // Read as Shift-JIS, "る" and the closing quote make one character: the
    // page is not missing its quote, and the finding says so.
    EXPECT_THAT(r.findings(),
                ::testing::Contains(AllOf(StartsWith("code.vrn:1:1: warning: the text page that starts here runs over"),
                                          HasSubstr("read as Shift-JIS, the UTF-8 character before its closing '\"' "
                                                    "likely takes it as part of a character"))));
    const ToolRun explored = runTool({"explore", withoutMark.dir().string()});
    EXPECT_THAT(explored.out, StartsWith("# " + std::string(note)));

    // With the mark, in code page 932, or in plain ASCII, nothing is said.
    for (const std::string& fine :
         {"\xEF\xBB\xBF" + script, std::string("\"\x8F\xE0\x82\xAA\x96\xC2\x82\xE9\""), std::string("\"Plain.\"")}) {
        TestGame game(fine);
        EXPECT_THAT(check(game).out, Not(HasSubstr("byte-order mark"))) << fine;
        EXPECT_THAT(runTool({"explore", game.dir().string()}).out, Not(HasSubstr("byte-order mark"))) << fine;
    }
}

TEST(Check, APageLongerThanTheTextBoxNeedsScrolling) {
    TestGame game(crlf({
        "\"1\\2\\3\\4\"",
        "\"1\\2\\3\\4\\5\"",
        "\"One",
        "two\\three",
        "four\\five\"",
        "=A1= \"1\\2\\3\\4\\5\\6\"",
    }));
    const ToolRun r = check(game);
    EXPECT_THAT(r.findings(),
                ElementsAre(StartsWith("code.vrn:2:1: warning: this page takes 5 lines in the text box, which shows 4 "
                                       "at zoom 1: the reader must scroll to read the rest"),
                            StartsWith("code.vrn:3:1: warning: this page takes 5 lines"),
                            StartsWith("code.vrn:6:6: warning: this page takes 6 lines")));
    EXPECT_EQ(r.hintOf("code.vrn:2:1:"), "split it into pages of 4 lines or fewer");
    EXPECT_EQ(r.status, 0);
}
