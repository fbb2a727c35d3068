// A click on option K plays branch K of the waiting menu: the branches before
// it are skipped, brace pairs counted; the branch-end step skips those behind.

#include "command_syntax.h"
#include "interpreter.h"

namespace vorn {

void Interpreter::optionClick(int option) {
    if (running_) return;
    if (valueOr0(NumCmds) <= option - 1) return;
    if (valueOr0(Cmd_Selected) != 0) return;
    // Only the menu that offered the option, while it waits; a blank caption
    // after a branch has ended must not scan on through the script.
    if (!menuWaiting_) return;
    stream_.setReading("branches of the choice menu",
                       "write one {...} branch per option behind the menu and balance every brace", menuOffset_);
    for (int k = 1; k < option; ++k) skipBranch();
    scanToOpenBrace();
    Cmd_Selected = static_cast<std::int16_t>(option);
    Form_Activate();
}

void Interpreter::scanToOpenBrace() {
    while (!stream_.readChar().is(syntax::kOpenBrace)) {
    }
}

// Reads up to and including the '}' that matches the '{' just read. Counts
// depth instead of recursing, so no nesting can exhaust the stack.
void Interpreter::VORN_RecLoop() {
    std::size_t depth = 0;
    while (true) {
        const ScriptChar ch = stream_.readChar();
        if (ch.is(syntax::kCloseBrace)) {
            if (depth == 0) return;
            --depth;
        } else if (ch.is(syntax::kOpenBrace)) {
            ++depth;
        }
    }
}

void Interpreter::skipBranch() {
    scanToOpenBrace();
    VORN_RecLoop();
}

void Interpreter::branchEnd() {
    stream_.setReading("branches of the choice menu",
                       "write one {...} branch per option behind the menu and balance every brace", menuOffset_);
    const int chosen = valueOr0(Cmd_Selected);
    const int count = valueOr0(NumCmds);
    for (int j = chosen; j <= 3; ++j)
        if (count > j) skipBranch();
    Cmd_Selected = 0;
    WaitCmd = 0;
}

} // namespace vorn
