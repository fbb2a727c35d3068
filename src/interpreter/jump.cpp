// The jump `>label<`: reopen the script and read it line by line from the top
// to the first line that is exactly *label*.

#include "fatal_error.h"
#include "interpreter.h"

namespace vorn {
namespace {

constexpr const char* kNoMarker = VORN_TR("%1: the jump to \"%2\" reached the end of file without finding its marker "
                                          "line \"%3\". Add a line that holds exactly %3.");
constexpr const char* kNoMarkerNoCarriageReturns =
    VORN_TR("%1: the jump to \"%2\" reached the end of file without finding its marker line \"%3\". Add a line "
            "that holds exactly %3. (This script has no carriage returns; jumps find marker lines only in files with "
            "Windows line ends.)");

} // namespace

void Interpreter::jump(Context) {
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
    throw FatalError(Message(stream_.hasCarriageReturn() ? kNoMarker : kNoMarkerNoCarriageReturns,
                             {Message::words(stream_.describe(commandOffset_)), Message::words(stream_.decode(label)),
                              Message::words(stream_.decode(target))}));
}

} // namespace vorn
