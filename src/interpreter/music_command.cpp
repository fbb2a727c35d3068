// The music command `[name]` and the loop at the end of playback.

#include "interpreter.h"

namespace vorn {

void Interpreter::playMusic(Context) {
    musfile = stream_.decode(readUntil(rowOf(Command::Music).closing));
    sendMusic(*musfile);
}

// Close the old music before the new one opens, so two pieces never sound at once.
void Interpreter::sendMusic(const std::string& fileName) {
    device_.setCommand(MusicCommand::Close);
    device_.setFileName(fileName);
    device_.setCommand(MusicCommand::Open);
    device_.setCommand(MusicCommand::Play);
}

} // namespace vorn
