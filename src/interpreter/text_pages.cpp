// The text page `"...":` its text up to the closing quote, a backslash standing
// for a line break, shown in the text box; the choice display is cleared.

#include "command_syntax.h"
#include "interpreter.h"

namespace vorn {

// A page of the main table sets NumCmds to 0; one of the branch table leaves
// it, so the branch's end still skips the branches behind it.
void Interpreter::showPage(Context from) {
    const std::string raw = readUntil(rowOf(Command::Page).closing);
    surface_.setText(stream_.decode(syntax::pageText(stream_.encoding(), raw)));
    if (from != Context::Branch) NumCmds = 0;
    for (int label = 1; label <= 4; ++label) surface_.setCaption(label, "");
    surface_.setPicture(PictureElement::Image2, {"", std::nullopt});
    WaitCmd = -1;
}

} // namespace vorn
