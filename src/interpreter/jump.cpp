// The jump `>label<`: reopen the script and read it line by line from the top
// to the first line that is exactly *label*.

#include "fatal_error.h"
#include "interpreter.h"

namespace vorn {

void Interpreter::jump(Table) {
    beginCommand(Command::Jump);
    const std::string label = readUntil(rowOf(Command::Jump).closing);
    const std::string target = "*" + label + "*";
    stream_.reopen();
    std::string_view line;
    while (stream_.readLine(line)) {
        if (line == target) return;
        keepAliveNowAndThen();
    }
    // Placed in the fresh copy of the script, the same file unless it was edited
    // meanwhile: working out a place costs a scan, so only a failure pays it.
    std::string message = stream_.describe(commandOffset_) + ": the jump to \"" + stream_.decode(label) +
                          "\" reached the end of file without finding its marker line \"" +
                          stream_.decode(target) + "\". Add a line that holds exactly " + stream_.decode(target) + ".";
    if (!stream_.hasCarriageReturn())
        message += " (This script has no carriage returns; jumps find marker lines only in files with Windows line ends.)";
    throw FatalError(message);
}

} // namespace vorn
