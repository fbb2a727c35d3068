// The text page `"...":` its text up to the closing quote, a backslash standing
// for a line break, shown in the text box; the choice display is cleared.

#include "interpreter/command_syntax.h"
#include "interpreter/interpreter.h"

namespace vorn {

void Interpreter::VORN_Print() { showPage(true); }
void Interpreter::VORN_Prt() { showPage(false); }

void Interpreter::showPage(bool resetsNumCmds) {
    beginCommand("text page", "end the page with a closing '\"'");
    std::string page;
    while (true) {
        const ScriptChar ch = stream_.readChar();
        if (ch.is(syntax::closingCharacter(syntax::Command::Page))) break;
        if (ch.is(syntax::kLineBreakMark))
            page += "\r\n";
        else
            page.append(ch.bytes);
    }
    surface_.setText(stream_.decode(page));
    if (resetsNumCmds) NumCmds = 0;
    for (int label = 1; label <= 4; ++label) surface_.setCaption(label, "");
    surface_.setPicture(PictureElement::Image2, {"", std::nullopt});
    WaitCmd = -1;
}

} // namespace vorn
