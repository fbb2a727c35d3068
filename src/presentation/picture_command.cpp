// The picture command `<name>`: the named file becomes the scene picture.

#include "interpreter/command_syntax.h"
#include "interpreter/interpreter.h"

namespace vorn {

void Interpreter::VORN_Pic() {
    beginCommand("picture command", "close the file name with '>', as in <room.bmp>");
    const std::string name = stream_.decode(readUntil(syntax::closingCharacter(syntax::Command::Picture)));
    loadPicture(PictureElement::Image1, name, "the picture command", commandOffset_);
}

} // namespace vorn
