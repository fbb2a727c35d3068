// If-set `=` and if-clear `!`: a flag name, one discarded character, blanks,
// then one guarded command that runs or is read over up to its closing character.

#include "interpreter.h"

namespace vorn {

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
    char closing = 0;
    const char* what = nullptr;
    if (first.is('"')) closing = '"', what = "text page skipped by a conditional";
    else if (first.is('<')) closing = '>', what = "picture command skipped by a conditional";
    else if (first.is('[')) closing = ']', what = "music command skipped by a conditional";
    else if (first.is('~')) closing = '~', what = "set command skipped by a conditional";
    else if (first.is('-')) closing = '-', what = "clear command skipped by a conditional";
    else if (first.is('>')) closing = '<', what = "jump skipped by a conditional";
    if (closing == 0) return; // not one of the six: dropped
    stream_.setReading(what, std::string("close it with '") + closing + "'", commandOffset_);
    readUntil(closing);
}

bool Interpreter::runGuarded(const ScriptChar& first) {
    if (first.bytes.size() != 1) return false;
    switch (first.bytes[0]) {
    case '"': VORN_Print(); return true; // never the branch variant
    case '<': VORN_Pic(); return true;
    case '[': VORN_Mus(); return true;
    case '~': VORN_Set(); return true;
    case '-': VORN_Reset(); return true;
    case '>': VORN_Goto(); return true;
    default: return false;
    }
}

} // namespace vorn
