// If-set `=` and if-clear `!`: a flag name, one discarded character, blanks,
// then one guarded command that runs or is read over up to its closing character.

#include "interpreter.h"

namespace vorn {

void Interpreter::ifSet(Context) { conditional(true); }
void Interpreter::ifClear(Context) { conditional(false); }

void Interpreter::conditional(bool runWhenSet) {
    const syntax::FlagSyntax name = readFlagName(rowOf(Command::IfSet).name);
    const bool set = name.byte >= 0 && name.bit > 0 && (Flag[name.byte] & (1u << (name.bit - 1))) != 0;
    stream_.readChar(); // the discarded character, as a rule the closing = or !
    ScriptChar first = stream_.readChar();
    while (first.isBlank()) first = stream_.readChar();
    commandOffset_ = stream_.position() - first.bytes.size();

    const CommandRow* guarded = findCommand(Context::Guarded, first);
    if (!guarded) return; // not one of the commands a conditional guards: dropped
    if (set == runWhenSet) {
        pointReportsAt(*guarded);
        (this->*guarded->handler)(Context::Guarded);
        return;
    }
    stream_.setReading(skippedName(*guarded), skippedHint(*guarded), commandOffset_,
                       guarded->readsText ? guarded->closing : 0);
    readUntil(guarded->closing);
}

} // namespace vorn
