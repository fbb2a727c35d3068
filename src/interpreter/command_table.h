#pragma once
// The command table: one row for each of the script's commands. The run loop's
// two halves look commands up in it, a conditional finds what it guards and
// how to read over it, an end-of-file report names the command and says how to
// close it, and `vorn check` reads the same rows, so the player and the checker
// word a mistake alike. The rows are the only list of commands: the table's
// size, the lookups and the reports all follow them.

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

// Where a command character is looked up: the main half of a run, the branch
// half while a chosen branch plays, or behind a conditional, which guards only
// some commands. A row lists the contexts in which its character is that
// command; elsewhere it is ordinary text.
enum class Context : unsigned { Main = 1, Branch = 2, Guarded = 4 };

struct CommandRow {
    char character;
    Command command;
    unsigned contexts; // a set of Context bits
    // Where the command's argument ends. A conditional that does not run the
    // command it guards reads over it up to and including this character.
    char closing;
    // Whether the argument is free text up to `closing` (a page, a file name,
    // a label): a missing closing character lets it run on over lines, which
    // an end-of-file report then points out.
    bool readsText;
    const char* name;       // as a report names it: "the jump", "the set command"
    const char* cutOffHint; // what to write when the end of file cuts the command off
    // Carries the command out, its character just read and where an error
    // report points already noted; the context it was found in decides the few
    // things that differ (a page of the branch half leaves NumCmds alone).
    void (Interpreter::*handler)(Context from);

    bool in(Context context) const { return (contexts & static_cast<unsigned>(context)) != 0; }
};

std::span<const CommandRow> commandRows();

// The row of `ch` in `context`, or nullptr when there `ch` is ordinary text.
const CommandRow* findCommand(Context context, const ScriptChar& ch);
// The command of `ch` in `context`; Command::None for ordinary text.
Command commandIn(Context context, const ScriptChar& ch);
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

} // namespace vorn
