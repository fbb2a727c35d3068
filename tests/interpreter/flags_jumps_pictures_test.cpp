// Flag commands, jumps, scene pictures and conditional commands, played
// through the headless driver.

#include "headless_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorn::test;

namespace {

// The eight flag bytes of a state record, from the leading ones given: "1,2" -> "1,2,0,0,0,0,0,0".
std::string flags(const std::string& leading) {
    std::string out = leading;
    for (auto n = std::count(leading.begin(), leading.end(), ',') + 1; n < 8; ++n) out += ",0";
    return out;
}

// Sets all eight bits of Flag_A.
const std::string kAllOfA = "~A1~~A2~~A3~~A4~~A5~~A6~~A7~~A8~";

} // namespace

// ---------------------------------------------------------------- flag commands

TEST(Flags, SetAndClearChangeOnlyTheNamedBit) {
    struct Case {
        const char* what;
        std::string script;
        std::string flags;
    };
    const Case cases[] = {
        {"~A1~ sets the lowest bit of Flag_A", "~A1~", flags("1")},
        {"~H8~ sets the highest bit of Flag_H", "~H8~", flags("0,0,0,0,0,0,0,128")},
        {"a second ~A1~ changes nothing", "~A1~~A1~", flags("1")},
        {"-A1- on 255 gives 254, and again 254", kAllOfA + "-A1--A1-", flags("254")},
        {"clearing a clear bit changes nothing", "-C3-~C3~-C3-~D5~", flags("0,0,0,16")},
        {"letters other than A..H change nothing", "~a1~~Z1~~Zx~-a1--Zx-", flags("0")},
        {"a carriage return closes, the line feed is a blank", "~A1\r\n~B2\r\n", flags("1,2")},
        {"bit digits 0 and 9 set nothing", "~A0~~A9~~H0~~H9~", flags("0")},
        {"bit digits 0 and 9 clear nothing", kAllOfA + "-A0--A9-", flags("255")},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        const auto r = game.play();
        EXPECT_EQ(firstRun(r), Lines{state(0, "null", "null", "null", c.flags)}) << c.what;
        EXPECT_EQ(r.status, 0) << c.what;
    }
}

TEST(Flags, ASetFollowedByAPageShowsThePageInTheSameRun) {
    TestGame game("~A1~\"shown\"\"next\"");
    const auto r = game.play("click text\n");
    EXPECT_EQ(firstRun(r), page("shown") + Lines{state(-1, "0", "null", "null", flags("1"))});
    EXPECT_EQ(r.afterEvent(1), page("next") + Lines{state(-1, "0", "null", "null", flags("1"))});
}

// The bad digit stands on line 2, column 5, in each script.
TEST(Flags, ANonDigitBitAfterAFlagLetterIsFatalWithItsLineAndColumn) {
    for (const std::string command : {"~Ax~", "-Ax-", "=Ax=\"q\"", "!Ax!\"q\""}) {
        TestGame game("\"p\"\r\n  " + command + "\"after\"");
        const auto r = game.play("click text\n");
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_TRUE(has(r.fatal(), "code.vrn:2:5")) << command << ": " << r.fatal();
        EXPECT_TRUE(r.matching(R"({"text":"after")").empty()) << command;
    }
}

TEST(Flags, FlagsSurviveJumpsAndRestarts) {
    TestGame jumped("*top*\r\n=A1=\"second pass\"\r\n~A1~>top<\r\n");
    EXPECT_EQ(firstRun(jumped.play()), page("second pass") + Lines{state(-1, "0", "null", "null", flags("1"))});

    TestGame restarted("=A1=\"seen before\"\r\n~A1~\"first\"");
    const auto r = restarted.play("menu new\n");
    EXPECT_EQ(firstRun(r), page("first") + Lines{state(-1, "0", "null", "null", flags("1"))});
    EXPECT_EQ(r.afterEvent(1), page("seen before") + Lines{state(-1, "0", "null", "null", flags("1"))});
}

// A set ends the cycle, so the next command of a branch goes to the branch
// table (a page keeps the count); a clear returns, and its main half takes the
// page (the count becomes 0).
TEST(Flags, InABranchASetHandsOnToTheBranchHalfAndAClearToTheMainHalf) {
    struct Case {
        std::string command;
        std::string numCmds;
    };
    for (const Case& c : {Case{"~A1~", "1"}, Case{"-A1-", "0"}}) {
        TestGame game("(1 a)\r\n{" + c.command + "\"in branch\"}\r\n\"end\"");
        const auto r = game.play("click option 1\n");
        const std::string bits = c.command[0] == '~' ? flags("1") : flags("0");
        EXPECT_EQ(r.afterEvent(1), page("in branch") + Lines{state(-1, c.numCmds, "1", "null", bits)}) << c.command;
    }
}

// ---------------------------------------------------------------- jumps

TEST(Jump, GoesOnBehindTheFirstMarkerLineFromTheTop) {
    struct Case {
        const char* what;
        std::string script;
        std::string text;
    };
    const Case cases[] = {
        {"forward", ">on<\r\n\"skipped\"\r\n*on*\r\n\"landed\"", "landed"},
        {"the rest of the jump's line is not read", ">on< ~A1~\"skipped\"\r\n*on*\r\n\"landed\"", "landed"},
        {"two markers: the first wins", ">m<\r\n*m*\r\n\"first\"\r\n*m*\r\n\"second\"", "first"},
        {"the empty label goes to **", "><\r\n\"skipped\"\r\n**\r\n\"landed\"", "landed"},
        {"markers that differ are passed over", ">on<\r\n*On*\r\n\"no\"\r\n *on*\r\n*on*\r\n\"landed\"", "landed"},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        EXPECT_EQ(firstRun(game.play()), page(c.text) + Lines{state(-1, "0", "null")}) << c.what;
    }
}

// Two passes: the first sets A1, the second (A1 set) sets A2, the third leaves.
TEST(Jump, ABackwardJumpPlaysTheScriptAgainFromItsMarker) {
    TestGame game("*loop*\r\n=A2=>out<\r\n=A1=~A2~\r\n~A1~>loop<\r\n*out*\r\n\"done\"");
    EXPECT_EQ(firstRun(game.play()), page("done") + Lines{state(-1, "0", "null", "null", flags("3"))});
}

// The line *in* inside the page counts: reading goes on in the page's middle,
// so ~B1~ runs and the page's closing quote opens a page of its own.
TEST(Jump, ALineInsideAPageCountsAsAMarkerLine) {
    TestGame game(">in<\r\n\"not shown\r\n*in*\r\n~B1~\"\r\n\"last\"");
    EXPECT_EQ(firstRun(game.play()), page(R"(\r\n)") + Lines{state(-1, "0", "null", "null", flags("0,1"))});
}

TEST(Jump, AMarkerOnTheLastLineWithoutALineEndEndsTheScript) {
    TestGame game("~A1~>end<\"skipped\"\r\n*end*");
    const auto r = game.play();
    EXPECT_EQ(firstRun(r), Lines{state(0, "null", "null", "null", flags("1"))});
    EXPECT_EQ(r.fatal(), "");
    EXPECT_EQ(r.status, 0);
}

TEST(Jump, NoExactMarkerLineIsFatalAndNamesTheLabelAndTheJumpsLine) {
    for (const std::string marker : {" *cellar*", "*cellar* ", "*Cellar*", "* cellar*", "*cellar", "cellar"}) {
        TestGame game("\"p\"\r\n  >cellar<\r\n" + marker + "\r\n\"x\"");
        const auto r = game.play("click text\n");
        EXPECT_EQ(r.status, 1) << marker;
        EXPECT_TRUE(has(r.fatal(), "cellar")) << r.fatal();
        EXPECT_TRUE(has(r.fatal(), "code.vrn:2:")) << r.fatal();
        EXPECT_TRUE(r.matching(R"({"text":"x")").empty()) << marker;
    }
    // A label broken across lines holds a carriage return and matches no line.
    TestGame broken("\"p\"\r\n>hall\r\nway<\r\n*hallway*\r\n*hall\r\nway*\r\n");
    const auto r = broken.play("click text\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.fatal(), "hall")) << r.fatal();
}

// A line feed alone ends no line, so no marker line is ever found.
TEST(Jump, AScriptWithLineFeedsAloneCannotJump) {
    for (const std::string script : {"\"p\"\n>hall<\n*hall*\n\"x\"", "*hall*\n\"p\"\n>hall<\n\"x\""}) {
        TestGame game(script);
        const auto r = game.play("click text\n");
        EXPECT_EQ(firstRun(r), page("p") + Lines{state(-1, "0", "null")}) << "it plays until the jump";
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(has(r.fatal(), "hall")) << r.fatal();
        EXPECT_TRUE(r.matching(R"({"text":"x")").empty());
    }
}

// ---------------------------------------------------------------- scene pictures

TEST(PictureCommand, LoadsTheFileNamedExactlyAsWrittenIntoImage1) {
    struct Case {
        const char* what;
        std::string script;
        Lines files;    // written into the game folder
        Lines recorded; // the names recorded for Image1, as JSON
    };
    const Case cases[] = {
        {"a plain name", "<room.bmp>\"p\"", {"room.bmp"}, {"room.bmp"}},
        {"a leading blank is kept", "< room.bmp>\"p\"", {" room.bmp"}, {" room.bmp"}},
        {"a backslash names a folder", "<pictures\\room.bmp>\"p\"", {"pictures/room.bmp"}, {R"(pictures\\room.bmp)"}},
        {"letter case is not minded", "<PICTURES\\Room.BMP>\"p\"", {"pictures/room.bmp"}, {R"(PICTURES\\Room.BMP)"}},
        {"<> gives the empty picture", "<>\"p\"", {}, {""}},
        {"two in a row, no click between", "<a.bmp><b.bmp>\"p\"", {"a.bmp", "b.bmp"}, {"a.bmp", "b.bmp"}},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        for (const std::string& file : c.files) game.write(file, bitmap(5, 4));
        Lines expected;
        for (const std::string& name : c.recorded)
            expected.push_back(R"({"picture":"Image1","file":")" + name + R"("})");
        const auto r = game.play();
        EXPECT_EQ(firstRun(r), expected + page("p") + Lines{state(-1, "0", "null")}) << c.what;
    }
}

TEST(PictureCommand, APictureThatCannotBeLoadedIsFatalAndNamed) {
    struct Case {
        const char* what;
        std::string script;
        std::string file; // written as a valid picture when not empty
        std::string named;
    };
    const Case cases[] = {
        {"a missing file", "<missing.bmp>\"p\"", "", "missing.bmp"},
        {"a text file", "<notes.bmp>\"p\"", "", "notes.bmp"},
        {"a name over a line break", "<room.bmp\r\n>\"p\"", "room.bmp", "room.bmp"},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        game.write("notes.bmp", "These are notes, not a picture.\r\n");
        if (!c.file.empty()) game.write(c.file, bitmap(5, 4));
        const auto r = game.play();
        EXPECT_EQ(r.status, 1) << c.what;
        EXPECT_TRUE(has(r.fatal(), c.named)) << c.what << ": " << r.fatal();
        EXPECT_TRUE(r.matching(R"({"picture":"Image1")").empty()) << c.what;
        EXPECT_TRUE(r.matching(R"({"text")").empty()) << c.what;
    }
}

// ---------------------------------------------------------------- conditionals

TEST(Conditionals, RunOrSkipTheGuardedPageByOneFlagBit) {
    struct Case {
        std::string flagsSet;
        std::string condition;
        bool runs;
    };
    const Case cases[] = {
        {"~A1~", "=A1=", true},   {"", "=A1=", false},     {"~A1~", "!A1!", false},  {"", "!A1!", true},
        {"~A2~", "=A1=", false},  {"~A1~", "=a1=", false}, {"", "=Z1=", false},      {"", "!Z1!", true},
        {kAllOfA, "=A9=", false}, {kAllOfA, "!A0!", true}, {kAllOfA, "=A0=", false}, {"~H8~", "=H8=", true},
    };
    for (const Case& c : cases) {
        TestGame game(c.flagsSet + c.condition + "\r\n\"guarded\"\"after\"");
        const auto r = game.play();
        const Lines run = firstRun(r);
        ASSERT_FALSE(run.empty()) << c.flagsSet << c.condition;
        EXPECT_EQ(run.front(), page(c.runs ? "guarded" : "after").front()) << c.flagsSet << c.condition;
        EXPECT_EQ(r.status, 0);
    }
}

// Nothing inside a skipped command is interpreted, and the skip stops at the
// first closing character of the guarded command's kind.
TEST(Conditionals, ASkipReadsOverTheGuardedCommandUpToItsClosingCharacter) {
    struct Case {
        const char* what;
        std::string script;
        std::string flags;
    };
    const Case cases[] = {
        {"a page with commands and line breaks", "=A1=\"a\\b<c>[d]~A2~-A3->e<\r\nf\"\"after\"", flags("0")},
        {"a picture, up to the first >", "=A1=<no~A2~.bmp>~B1~\"after\"", flags("0,1")},
        {"music, up to the first ]", "=A1=[no~A2~.mid]~B1~\"after\"", flags("0,1")},
        {"a jump, up to the first <", "=A1=>nowhere~A2~<~B1~\"after\"", flags("0,1")},
        {"exactly one set command", "=B2=~A1~~C1~\"after\"", flags("0,0,1")},
        {"exactly one clear command", "~A1~=B2=-A1-\"after\"", flags("1")},
        {"a set without its closing character runs on to the next ~", "=B2=~A1\r\n\"lost\"\r\n~\r\n\"after\"",
         flags("0")},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        const auto r = game.play();
        EXPECT_EQ(firstRun(r), page("after") + Lines{state(-1, "0", "null", "null", c.flags)}) << c.what;
    }
}

TEST(Conditionals, TheCharacterBehindTheBitDigitIsDiscardedWhateverItIs) {
    struct Case {
        const char* what;
        std::string script;
        std::string text;
        std::string flags;
    };
    const Case cases[] = {
        // The quote is discarded, 'H' is dropped, the closing quote opens a page.
        {"the page's opening quote", "~A1~=A1\"Hello\"world\"", "world", flags("1")},
        // A tab is no blank: it is dropped, and the page behind runs whatever the flag.
        {"a tab in front of a page that =A1= would skip", "=A1=\t\"tabbed\"", "tabbed", flags("0")},
        {"a tab in front of a page that !A1! would skip", "~A1~!A1!\t\"tabbed\"", "tabbed", flags("1")},
        // The second '=' is the guarded command's first character and is dropped.
        {"conditionals do not nest", "~A1~~B2~=A1= =B2=\r\n\r\n\"x\"\r\n\"after\"", "after", flags("1,2")},
    };
    for (const Case& c : cases) {
        TestGame game(c.script);
        EXPECT_EQ(firstRun(game.play()), page(c.text) + Lines{state(-1, "0", "null", "null", c.flags)}) << c.what;
    }
}

TEST(Conditionals, AGuardedSetIsFollowedAtOnceByTheNextCommand) {
    TestGame game("~A1~=A1=~B1~\"shown\"");
    EXPECT_EQ(firstRun(game.play()), page("shown") + Lines{state(-1, "0", "null", "null", flags("1,1"))});
}

TEST(Conditionals, AGuardedJump) {
    const std::string rest = ">there<\"not taken\"\r\n*there*\r\n\"there\"";
    TestGame taken("~A1~=A1=" + rest);
    EXPECT_EQ(firstRun(taken.play()).front(), page("there").front());
    TestGame skipped("~A1~!A1!" + rest);
    EXPECT_EQ(firstRun(skipped.play()).front(), page("not taken").front());
}

TEST(Conditionals, AGuardedMusicCommandSendsTheDeviceItsFourSettings) {
    TestGame game("~A1~=A1=[song.mid]\"p\"");
    EXPECT_EQ(firstRun(game.play()), (Lines{
                                          R"({"device":"Command","value":"Close"})",
                                          R"({"device":"FileName","value":"song.mid"})",
                                          R"({"device":"Command","value":"Open"})",
                                          R"({"device":"Command","value":"Play"})",
                                      } +
                                      page("p") + Lines{state(-1, "0", "null", "\"song.mid\"", flags("1"))}));
}

// ---------------------------------------------------------------- all together

// A binary counter over A1..B8: find the lowest clear bit, set it, clear the
// bits below it, start again; when all sixteen are set, leave. 65535 rounds of
// two jumps each.
TEST(BinaryCounter, CountsTo65535WithSixteenFlagBitsConditionalsAndJumps) {
    const auto bit = [](int i) { return std::string(1, char('A' + i / 8)) + char('1' + i % 8); };
    std::string script = "*loop*\r\n";
    for (int i = 0; i < 16; ++i) script += "!" + bit(i) + "!>s" + std::to_string(i) + "<\r\n";
    script += ">done<\r\n";
    for (int i = 0; i < 16; ++i) {
        script += "*s" + std::to_string(i) + "*\r\n~" + bit(i) + "~";
        for (int j = 0; j < i; ++j) script += "-" + bit(j) + "-";
        script += ">loop<\r\n";
    }
    script += "*done*";
    TestGame game(script);
    const auto r = game.play();
    EXPECT_EQ(firstRun(r), Lines{state(0, "null", "null", "null", flags("255,255"))});
    EXPECT_EQ(r.status, 0);
}
