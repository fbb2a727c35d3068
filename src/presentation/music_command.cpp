// The music command `[name]` and the loop at the end of playback.

#include "interpreter/command_syntax.h"
#include "interpreter/interpreter.h"

namespace vorn {

void Interpreter::VORN_Mus() {
    beginCommand("music command", "close the file name with ']', as in [theme.mid]");
    musfile = stream_.decode(readUntil(syntax::closingCharacter(syntax::Command::Music)));
    sendMusic(*musfile);
}

// Close the old music before the new one opens, so two pieces never sound at once.
void Interpreter::sendMusic(const std::string& fileName) {
    device_.setCommand("Close");
    device_.setFileName(fileName);
    device_.setCommand("Open");
    device_.setCommand("Play");
}

} // namespace vorn
