// `vorn explore`: every path played with the real interpreter.

#include "archive_writer.h"
#include "authoring_fixture.h"
#include "headless_fixture.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vorn::test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

ToolRun explore(const TestGame& game, std::vector<std::string> options = {}) {
    std::vector<std::string> args = {"explore"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(game.dir().string());
    return runTool(args);
}

// The blocks of the report: each error path's comment line and its clicks.
struct ErrorBlock {
    std::string comment;
    std::string clicks; // one per line
};

std::vector<ErrorBlock> errorBlocks(const ToolRun& run) {
    std::vector<ErrorBlock> blocks;
    bool inBlock = false;
    for (const std::string& line : run.lines) {
        if (line.rfind("# error path ", 0) == 0) {
            blocks.push_back({line, ""});
            inBlock = true;
        } else if (line.empty()) {
            inBlock = false;
        } else if (inBlock && line[0] != '#') {
            blocks.back().clicks += line + "\n";
        }
    }
    return blocks;
}

// Three menus; only Left, then Down, then Open reach the missing picture.
const std::vector<std::string> kThreeMenusDeep = {
    "\"Start\"",   "(2 Left,Right)",     "{~A1~\"Left.\"}", "{\"Right.\"}",    "(2 Up,Down)",
    "{\"Up.\"}",   "{~B1~\"Down.\"}",    "(2 Wait,Open)",   "{\"You wait.\"}", "{~C1~\"You open the door.\"}",
    "=A1= >left<", "\"The end.\" >fin<", "*left*",          "=B1= >down<",     "\"Left end.\" >fin<",
    "*down*",      "=C1= <missing.bmp>", "\"Deep end.\"",   "*fin*",
};

} // namespace

TEST(Explore, FindsTheErrorBehindThreeChoicesAndPrintsTheClicksThatReachIt) {
    TestGame game(crlf(kThreeMenusDeep));
    const ToolRun r = explore(game);
    EXPECT_EQ(r.status, 1);
    const auto blocks = errorBlocks(r);
    ASSERT_EQ(blocks.size(), 1u) << r.out;
    EXPECT_THAT(blocks[0].comment, StartsWith("# error path 1: code.vrn:17:6: the picture command: cannot load the "
                                              "picture \"missing.bmp\""));
    const std::string clicks = "click text\nclick option 1\nclick text\nclick option 2\nclick text\n"
                               "click option 2\nclick text\n";
    EXPECT_EQ(blocks[0].clicks, clicks);
    EXPECT_THAT(r.lines.back(), StartsWith("# "));
    EXPECT_THAT(r.out, HasSubstr("error path found"));

    // The clicks replay the error in `vorn --headless`, the report's comment lines included.
    const auto replay = game.play(r.out.substr(0, r.out.find("\n\n") + 1));
    EXPECT_EQ(replay.status, 1);
    EXPECT_THAT(replay.fatal(), HasSubstr("missing.bmp"));
}

TEST(Explore, CountsPathsEndingsAndStatesPlayedBefore) {
    TestGame game(crlf(kThreeMenusDeep));
    game.write("missing.bmp", bitmap(8, 8));
    const ToolRun r = explore(game);
    EXPECT_EQ(r.status, 0);
    // Eight flag combinations reach the end; no two paths share a state.
    EXPECT_THAT(r.lines, ElementsAre("# 8 paths played, 8 endings reached, 0 error paths found."));
}

TEST(Explore, ALoopingStoryEndsWhereItMeetsAStatePlayedBefore) {
    TestGame game(crlf({
        "*top*",
        "(2 Again,Stop)",
        "{\"Again.\"}",
        "{~A1~\"Stop.\"}",
        "=A1= >end<",
        ">top<",
        "*end*",
        "\"Bye.\"",
    }));
    const ToolRun r = explore(game);
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(r.lines, ElementsAre("# 2 paths played, 1 ending reached, 0 error paths found; 1 rejoined a state "
                                     "played before."));
}

TEST(Explore, EveryOptionOfAMenuWithTooFewBranchesEndsInAnError) {
    TestGame game("\"Hi\"\r\n(2 a,b)\r\n{\"A\"}\r\n");
    const ToolRun r = explore(game);
    EXPECT_EQ(r.status, 1);
    const auto blocks = errorBlocks(r);
    ASSERT_EQ(blocks.size(), 2u) << r.out;
    EXPECT_EQ(blocks[0].clicks, "click text\nclick option 1\nclick text\n");
    EXPECT_THAT(blocks[0].comment, HasSubstr("end of file"));
    EXPECT_EQ(blocks[1].clicks, "click text\nclick option 2\n");
}

TEST(Explore, ARunThatNeverPausesIsAnErrorPath) {
    TestGame game(crlf({"\"Hi\"", "*loop*", "~A1~>loop<"}));
    const ToolRun r = explore(game, {"--max-run-ms", "100"});
    EXPECT_EQ(r.status, 1);
    const auto blocks = errorBlocks(r);
    ASSERT_EQ(blocks.size(), 1u) << r.out;
    EXPECT_THAT(blocks[0].comment, HasSubstr("without pausing"));
    EXPECT_EQ(blocks[0].clicks, "click text\n");
}

TEST(Explore, AnErrorAtStartUpNeedsNoClicks) {
    TestGame game("\"Hi\"");
    game.remove("back.bmp");
    const ToolRun r = explore(game);
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.lines, ElementsAre(StartsWith("# error path 1: the window background: cannot load the picture "
                                                "\"back.bmp\""),
                                     "# (at start-up, before any click)", "",
                                     "# 1 path played, 0 endings reached, 1 error path found."));
}

TEST(Explore, TheLimitsStopTheExploration) {
    TestGame game(crlf(kThreeMenusDeep));
    const ToolRun clicks = explore(game, {"--max-clicks", "3"});
    EXPECT_EQ(clicks.status, 0) << "the error lies seven clicks deep";
    EXPECT_THAT(clicks.out, HasSubstr("# 2 paths stopped at --max-clicks 3."));

    const ToolRun paths = explore(game, {"--max-paths", "1"});
    EXPECT_THAT(paths.out, HasSubstr("# 1 path played"));
    EXPECT_THAT(paths.out, HasSubstr("# Stopped at --max-paths 1"));
}

TEST(Explore, BadCommandLinesAreUsageErrors) {
    TestGame game("\"Hi\"");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"explore", "--max-paths", "0", game.dir().string()},
             {"explore", "--max-clicks", "many", game.dir().string()},
             {"explore", game.dir().string(), "--max-run-ms"},
             {"explore", "--fast", game.dir().string()},
         }) {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_THAT(r.err, StartsWith("vorn explore: ")) << args[1];
    }
}

TEST(Explore, TheDemoGameHasNoErrorPaths) {
    const std::filesystem::path demo = std::filesystem::path(VORN_SOURCE_DIR) / "examples" / "demo";
    if (!std::filesystem::exists(demo / "code.vrn")) GTEST_SKIP() << "the demo game is not there yet";
    const ToolRun r = runTool({"explore", demo.string()});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_THAT(r.out, HasSubstr(" 0 error paths found"));
}

TEST(Explore, PlaysAGameInsideAnArchiveAsItsFolder) {
    TestGame game(crlf(kThreeMenusDeep));
    const auto zip = game.dir().parent_path() / (game.dir().filename().string() + ".7z");
    writeArchive(zip, entriesOf(game.dir(), ""), ArchiveFormat::SevenZip);
    const ToolRun fromZip = runTool({"explore", zip.string()});
    EXPECT_EQ(fromZip.status, 1);
    EXPECT_EQ(fromZip.out, explore(game).out);
    std::filesystem::remove(zip);
}
