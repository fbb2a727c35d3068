// The choice menu `(N opt1,opt2)`: a count, a dropped separator and N option
// texts, each ended by ',' or ')'. Shows them over "text.bmp" and pauses.

#include "command_syntax.h"
#include "interpreter.h"

namespace vorn {
namespace {

constexpr const char* kChoiceBox = VORN_TR("the choice box"); // as a picture report names it

} // namespace

void Interpreter::showMenu(Context) {
    menuOffset_ = commandOffset_;
    const ScriptChar count = stream_.readChar();
    const int n = syntax::menuCount(count);
    if (n > 0)
        NumCmds = static_cast<std::int16_t>(n);
    else
        NumCmds.reset();
    loadPicture(PictureElement::Image2, "text.bmp", kChoiceBox, commandOffset_);
    stream_.readChar(); // separator
    for (int label = 1; label <= 4; ++label) surface_.setCaption(label, "");
    for (int option = 1; option <= n; ++option) {
        std::string text;
        while (true) {
            const ScriptChar ch = stream_.readChar();
            if (syntax::endsOption(ch)) break;
            text.append(ch.bytes);
        }
        surface_.setCaption(option, stream_.decode(text));
        // The run has not returned to the event loop yet: draw the captions now.
        for (int label = 1; label <= 4; ++label) surface_.refreshLabel(label);
    }
    surface_.setText("");
    WaitCmd = -1;
    menuWaiting_ = true;
}

} // namespace vorn
