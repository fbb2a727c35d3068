// If-set `=` and if-clear `!`: a flag name, one discarded character, blanks,
// then one guarded command that runs or is read over up to its closing character.

#include "command_syntax.h"
#include "interpreter.h"

namespace vorn {
namespace {

const char* skippedName(syntax::Command guarded) {
    switch (guarded) {
    case syntax::Command::Page: return "text page skipped by a conditional";
    case syntax::Command::Picture: return "picture command skipped by a conditional";
    case syntax::Command::Music: return "music command skipped by a conditional";
    case syntax::Command::Set: return "set command skipped by a conditional";
    case syntax::Command::Clear: return "clear command skipped by a conditional";
    default: return "jump skipped by a conditional";
    }
}

} // namespace

void Interpreter::VORN_Ifset() { conditional(true); }
void Interpreter::VORN_Ifreset() { conditional(false); }

void Interpreter::conditional(bool runWhenSet) {
    beginCommand("conditional command", "write it as =A1= followed by the command it guards");
    const FlagName name = readFlagName("conditional command");
    const bool set = name.byte >= 0 && name.bit > 0 && (Flag[name.byte] & (1u << (name.bit - 1))) != 0;
    stream_.readChar(); // the discarded character, as a rule the closing = or !
    ScriptChar first = stream_.readChar();
    while (first.isBlank()) first = stream_.readChar();
    commandOffset_ = stream_.position() - first.bytes.size();

    if (set == runWhenSet) {
        runGuarded(first);
        return;
    }
    const syntax::Command guarded = syntax::guardedCommand(first);
    if (guarded == syntax::Command::None) return; // not one of the six: dropped
    const char closing = syntax::closingCharacter(guarded);
    stream_.setReading(skippedName(guarded), std::string("close it with '") + closing + "'", commandOffset_);
    readUntil(closing);
}

void Interpreter::runGuarded(const ScriptChar& first) {
    using syntax::Command;
    switch (syntax::guardedCommand(first)) {
    case Command::Page: VORN_Print(); break; // never the branch variant
    case Command::Picture: VORN_Pic(); break;
    case Command::Music: VORN_Mus(); break;
    case Command::Set: VORN_Set(); break;
    case Command::Clear: VORN_Reset(); break;
    case Command::Jump: VORN_Goto(); break;
    default: break; // not one of the six: dropped
    }
}

} // namespace vorn
