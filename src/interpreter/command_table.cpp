#include "command_table.h"

#include "interpreter.h"

#include <initializer_list>

namespace vorn {
namespace {

constexpr unsigned contexts(std::initializer_list<Context> list) {
    unsigned bits = 0;
    for (Context c : list) bits |= static_cast<unsigned>(c);
    return bits;
}

constexpr unsigned kEverywhere = contexts({Context::Main, Context::Branch, Context::Guarded});
constexpr bool kReadsText = true;

} // namespace

std::span<const CommandRow> commandRows() {
    using I = Interpreter;
    // character, command, contexts, closing character, reads text up to it,
    // name, cut-off hint, handler
    static const CommandRow rows[] = {
        {'"', Command::Page, kEverywhere, '"', kReadsText, VORN_TR("text page"),
         VORN_TR("end the page with a closing '\"'"), &I::showPage},
        {'<', Command::Picture, kEverywhere, '>', kReadsText, VORN_TR("picture command"),
         VORN_TR("close the file name with '>', as in <room.bmp>"), &I::showPicture},
        {'>', Command::Jump, contexts({Context::Main, Context::Guarded}), '<', kReadsText, VORN_TR("jump"),
         VORN_TR("close the label with '<', as in >start<"), &I::jump},
        {'(', Command::Menu, contexts({Context::Main}), ')', !kReadsText, VORN_TR("choice menu"),
         VORN_TR("end its last option with ')', as in (2 Yes,No)"), &I::showMenu},
        {'[', Command::Music, kEverywhere, ']', kReadsText, VORN_TR("music command"),
         VORN_TR("close the file name with ']', as in [theme.mid]"), &I::playMusic},
        {'~', Command::Set, kEverywhere, '~', !kReadsText, VORN_TR("set command"), VORN_TR("write it as ~A1~"),
         &I::setFlag},
        {'-', Command::Clear, kEverywhere, '-', !kReadsText, VORN_TR("clear command"), VORN_TR("write it as -A1-"),
         &I::clearFlag},
        {'=', Command::IfSet, contexts({Context::Main}), '=', !kReadsText, VORN_TR("conditional command"),
         VORN_TR("write it as =A1= followed by the command it guards"), &I::ifSet},
        {'!', Command::IfClear, contexts({Context::Main}), '!', !kReadsText, VORN_TR("conditional command"),
         VORN_TR("write it as !A1! followed by the command it guards"), &I::ifClear},
        {'}', Command::BranchEnd, contexts({Context::Branch}), 0, !kReadsText, VORN_TR("end of a branch"), "",
         &I::endBranch},
    };
    return rows;
}

const CommandRow* findCommand(Context context, const ScriptChar& ch) {
    if (ch.bytes.size() != 1) return nullptr;
    for (const CommandRow& row : commandRows())
        if (row.character == ch.bytes[0] && row.in(context)) return &row;
    return nullptr;
}

Command commandIn(Context context, const ScriptChar& ch) {
    const CommandRow* row = findCommand(context, ch);
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

} // namespace vorn
