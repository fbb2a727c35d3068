#pragma once
// The command table: one row for each of the script's commands. The run loop's
// two halves look commands up in it, a conditional finds what it guards and
// how to read over it, an end-of-file report names the command and says how to
// close it, and `vorn check` reads the same rows, so the player and the checker
// word a mistake alike. Adding a command is adding a row.

#include "script_stream.h"

#include <span>

namespace vorn {

class Interpreter;

enum class Command {
    None, // an ordinary character: consumed without effect
    Page,
    Picture,
    Jump,
    Menu,
    Music,
    Set,
    Clear,
    IfSet,
    IfClear,
    BranchEnd,
};

// The tables a command character is looked up in. The main table is in force
// in every main half of a cycle, the branch table in the branch half while a
// chosen branch plays; a conditional guards only the commands of the guarded
// table.
enum class Table : unsigned { Main = 1, Branch = 2, Guarded = 4 };

struct CommandRow {
    char character;
    Command command;
    unsigned tables; // a set of Table bits
    // Where the command's argument ends. A conditional that does not run the
    // command it guards reads over it up to and including this character.
    char closing;
    const char* name;       // as a report names it: "the jump", "the set command"
    const char* cutOffHint; // what to write when the end of file cuts the command off
    // Carries the command out, its character just read; the table it was found
    // in decides the few things that differ (a page of the branch table leaves
    // NumCmds alone).
    void (Interpreter::*handler)(Table from);

    bool in(Table table) const { return (tables & static_cast<unsigned>(table)) != 0; }
};

std::span<const CommandRow> commandRows();

// The row of `ch` in `table`, or nullptr when there `ch` is ordinary text.
const CommandRow* findCommand(Table table, const ScriptChar& ch);
// The command of `ch` in `table`; Command::None for ordinary text.
Command commandIn(Table table, const ScriptChar& ch);
// The row of a command; every command but Command::None has one.
const CommandRow& rowOf(Command command);

// How a report names what is read while a conditional reads over a command.
Message skippedName(const CommandRow& row);
Message skippedHint(const CommandRow& row);

// A menu's branches are read by counting braces; a report of a skip cut off by
// the end of file names them so.
inline constexpr const char* kBranchesName = VORN_TR("branches of the choice menu");
inline constexpr const char* kBranchesHint =
    VORN_TR("write one {...} branch per option behind the menu and balance every brace");

// Whether a command's argument is free text up to its closing character (a
// page, a file name, a label): a missing closing character lets it run on.
bool takesText(Command command);

} // namespace vorn
