// The picture command `<name>`: the named file becomes the scene picture.

#include "interpreter.h"

namespace vorn {

void Interpreter::showPicture(Table) {
    beginCommand(Command::Picture);
    const std::string name = stream_.decode(readUntil(rowOf(Command::Picture).closing));
    loadPicture(PictureElement::Image1, name, "the picture command", commandOffset_);
}

} // namespace vorn
