// The picture command `<name>`: the named file becomes the scene picture.

#include "interpreter.h"

namespace vorn {
namespace {

constexpr const char* kPictureCommand = VORN_TR("the picture command"); // as a picture report names it

} // namespace

void Interpreter::showPicture(Context) {
    const std::string name = stream_.decode(readUntil(rowOf(Command::Picture).closing));
    loadPicture(PictureElement::Image1, name, kPictureCommand, commandOffset_);
}

} // namespace vorn
