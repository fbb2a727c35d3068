// The command table read row by row: every command the table lists is played
// cut off by the end of the file, and the report is that command's own.
#include "interpreter/command_table.h"
#include "interpreter/fatal_error.h"
#include "interpreter/interpreter.h"
#include "quiet_surface.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

using namespace vorn;
namespace fs = std::filesystem;

namespace {

class CommandTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root);
        for (const char* name : {"back.bmp", "mouse.ico", "text.bmp"}) std::ofstream(root / name) << "x";
    }
    void TearDown() override { fs::remove_all(root); }

    // The fatal report of playing `script` from its start, or "" when it plays.
    std::string fatalOf(const std::string& script) {
        std::ofstream(root / "code.vrn", std::ios::binary) << script;
        GameFolder folder(root);
        test::QuietSurface surface;
        SilentMusicDevice device;
        Interpreter game(folder, surface, device);
        try {
            game.load();
            game.playRun();
        } catch (const FatalError& error) {
            return error.what();
        }
        return "";
    }

    fs::path root = fs::temp_directory_path() / ("vorn-table-" + std::to_string(::getpid()));
};

std::string cutOffReport(const std::string& where, const Message& name, const Message& hint) {
    return Message(VORN_TR("%1: the %2 that starts here runs into the end of file: %3."),
                   {Message::words(where), name, hint})
        .english();
}

// Each command, its character and one more in front of the end of file: every
// command reads at least two characters of argument, so each is cut off in the
// middle. Played in the main half of the first run, then run by a conditional
// and read over by one.
TEST_F(CommandTableTest, EveryCommandCutOffByTheEndOfFileGivesItsOwnHint) {
    std::set<std::string> hints;
    for (const CommandRow& row : commandRows()) {
        const std::string cut = std::string(1, row.character) + "2";
        SCOPED_TRACE(cut);
        if (row.in(Context::Main)) {
            EXPECT_EQ(fatalOf(cut), cutOffReport("code.vrn:1:1", row.name, row.cutOffHint));
            EXPECT_TRUE(hints.insert(row.cutOffHint).second) << "two commands share the hint " << row.cutOffHint;
            EXPECT_NE(std::string(row.cutOffHint).find(row.character), std::string::npos)
                << "the hint shows how to write the command itself: " << row.cutOffHint;
        }
        if (row.in(Context::Guarded)) {
            EXPECT_EQ(fatalOf("!A1!" + cut), cutOffReport("code.vrn:1:5", row.name, row.cutOffHint));
            EXPECT_EQ(fatalOf("=A1=" + cut), cutOffReport("code.vrn:1:5", skippedName(row), skippedHint(row)));
        }
        if (!row.in(Context::Main) && !row.in(Context::Guarded)) {
            // Only '}' is neither: it ends a branch, and elsewhere it is text.
            EXPECT_EQ(row.command, Command::BranchEnd);
            EXPECT_EQ(fatalOf(cut), "");
        }
    }
}

// The table is the only list: each command has one row, and each row's
// character means one command wherever it is looked up.
TEST_F(CommandTableTest, EachCommandHasOneRowAndEachCharacterOneCommand) {
    std::set<Command> commands;
    std::set<char> characters;
    for (const CommandRow& row : commandRows()) {
        EXPECT_TRUE(commands.insert(row.command).second) << row.name;
        EXPECT_TRUE(characters.insert(row.character).second) << row.character;
        EXPECT_NE(row.command, Command::None);
        EXPECT_EQ(&rowOf(row.command), &row);
        for (const Context context : {Context::Main, Context::Branch, Context::Guarded})
            EXPECT_EQ(findCommand(context, ScriptChar{std::string_view(&row.character, 1)}),
                      row.in(context) ? &row : nullptr);
        // Free text runs to its closing character; a command without one reads none.
        if (row.readsText) {
            EXPECT_NE(row.closing, 0);
        }
    }
    EXPECT_EQ(findCommand(Context::Main, ScriptChar{"x"}), nullptr);
    EXPECT_EQ(findCommand(Context::Main, ScriptChar{"\x82\xa0"}), nullptr) << "a double-byte character is text";
}

} // namespace
