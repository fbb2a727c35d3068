#include "command_table.h"

#include "interpreter.h"

#include <array>

namespace vorn {
namespace {

constexpr unsigned tables(std::initializer_list<Table> list) {
    unsigned bits = 0;
    for (Table t : list) bits |= static_cast<unsigned>(t);
    return bits;
}

constexpr unsigned kMainBranchGuarded = tables({Table::Main, Table::Branch, Table::Guarded});

} // namespace

std::span<const CommandRow> commandRows() {
    using I = Interpreter;
    static const std::array<CommandRow, 10> rows{{
        {'"', Command::Page, kMainBranchGuarded, '"', VORN_TR("text page"), VORN_TR("end the page with a closing '\"'"),
         &I::showPage},
        {'<', Command::Picture, kMainBranchGuarded, '>', VORN_TR("picture command"),
         VORN_TR("close the file name with '>', as in <room.bmp>"), &I::showPicture},
        {'>', Command::Jump, tables({Table::Main, Table::Guarded}), '<', VORN_TR("jump"),
         VORN_TR("close the label with '<', as in >start<"), &I::jump},
        {'(', Command::Menu, tables({Table::Main}), ')', VORN_TR("choice menu"),
         VORN_TR("end its last option with ')', as in (2 Yes,No)"), &I::showMenu},
        {'[', Command::Music, kMainBranchGuarded, ']', VORN_TR("music command"),
         VORN_TR("close the file name with ']', as in [theme.mid]"), &I::playMusic},
        {'~', Command::Set, kMainBranchGuarded, '~', VORN_TR("set command"), VORN_TR("write it as ~A1~"), &I::setFlag},
        {'-', Command::Clear, kMainBranchGuarded, '-', VORN_TR("clear command"), VORN_TR("write it as -A1-"),
         &I::clearFlag},
        {'=', Command::IfSet, tables({Table::Main}), '=', VORN_TR("conditional command"),
         VORN_TR("write it as =A1= followed by the command it guards"), &I::ifSet},
        {'!', Command::IfClear, tables({Table::Main}), '!', VORN_TR("conditional command"),
         VORN_TR("write it as =A1= followed by the command it guards"), &I::ifClear},
        {'}', Command::BranchEnd, tables({Table::Branch}), 0, VORN_TR("end of a branch"), "", &I::endBranch},
    }};
    return rows;
}

const CommandRow* findCommand(Table table, const ScriptChar& ch) {
    if (ch.bytes.size() != 1) return nullptr;
    for (const CommandRow& row : commandRows())
        if (row.character == ch.bytes[0] && row.in(table)) return &row;
    return nullptr;
}

Command commandIn(Table table, const ScriptChar& ch) {
    const CommandRow* row = findCommand(table, ch);
    return row ? row->command : Command::None;
}

const CommandRow& rowOf(Command command) {
    for (const CommandRow& row : commandRows())
        if (row.command == command) return row;
    return commandRows().front(); // Command::None has no row; no caller asks for it
}

Message skippedName(const CommandRow& row) { return Message(VORN_TR("%1 skipped by a conditional"), {row.name}); }

Message skippedHint(const CommandRow& row) {
    return Message(VORN_TR("close it with '%1'"), {Message::words(std::string(1, row.closing))});
}

bool takesText(Command command) {
    return command == Command::Page || command == Command::Picture || command == Command::Music ||
           command == Command::Jump;
}

} // namespace vorn
