// Set `~` and clear `-`: four characters each, the command character, a flag
// letter A..H, a bit digit 1..8 and a closing character read unexamined.

#include "command_syntax.h"
#include "fatal_error.h"
#include "interpreter.h"

namespace vorn {
namespace {

constexpr const char* kBitNotADigit = VORN_TR("%1: the %2 names flag %3 with the bit \"%4\", which is not a digit. "
                                              "Write a bit digit from 1 to 8, as in %5.");

} // namespace

syntax::FlagSyntax Interpreter::readFlagName(const char* command) {
    const std::size_t digitOffset = stream_.position();
    const ScriptChar letter = stream_.readChar();
    const ScriptChar digit = stream_.readChar();
    const syntax::FlagSyntax name = syntax::flagName(letter, digit);
    if (!name.notADigit) return name;
    throw FatalError(
        Message(kBitNotADigit, {Message::words(stream_.describe(digitOffset + letter.bytes.size())), command,
                                Message::words(std::string(letter.bytes)), Message::words(stream_.decode(digit.bytes)),
                                Message::words(std::string(letter.bytes) + "1")}));
}

void Interpreter::setFlag(Context) {
    const syntax::FlagSyntax name = readFlagName(rowOf(Command::Set).name);
    if (name.byte >= 0 && name.bit > 0) Flag[name.byte] |= static_cast<std::uint8_t>(1u << (name.bit - 1));
    stream_.readChar();
    // The nested run of the set command: the current cycle ends and a new one
    // begins at once, in the mode Cmd_Selected then selects. Done by the run
    // loop rather than by a nested call, so no script can deepen the stack.
    WaitCmd = 0;
    newCycle_ = true;
}

void Interpreter::clearFlag(Context) {
    const syntax::FlagSyntax name = readFlagName(rowOf(Command::Clear).name);
    if (name.byte >= 0 && name.bit > 0) Flag[name.byte] &= static_cast<std::uint8_t>(~(1u << (name.bit - 1)));
    stream_.readChar();
}

} // namespace vorn
