// A click on option K plays branch K of the waiting menu: the branches before
// it are skipped, brace pairs counted; the end of the branch skips those behind.

#include "command_syntax.h"
#include "interpreter.h"

namespace vorn {

bool Interpreter::offersOption(int option) const {
    if (running_ || option < 1) return false;
    if (valueOr0(NumCmds) <= option - 1) return false;
    if (valueOr0(Cmd_Selected) != 0) return false;
    // Only the menu that offered the option, while it waits; a blank caption
    // after a branch has ended must not scan on through the script.
    return menuWaiting_;
}

void Interpreter::chooseOption(int option) {
    if (!offersOption(option)) return;
    surface_.keepChoice(option);
    stream_.setReading(kBranchesName, kBranchesHint, menuOffset_);
    for (int k = 1; k < option; ++k) skipBranch();
    if (!syntax::skipPastOpenBrace(stream_)) stream_.failAtEnd();
    Cmd_Selected = static_cast<std::int16_t>(option);
    playRun();
}

void Interpreter::skipBranch() {
    if (!syntax::skipPastOpenBrace(stream_) || !syntax::skipBraces(stream_)) stream_.failAtEnd();
}

void Interpreter::endBranch(Context) {
    stream_.setReading(kBranchesName, kBranchesHint, menuOffset_);
    for (int j = syntax::branchesSkipped(valueOr0(Cmd_Selected), valueOr0(NumCmds)); j > 0; --j) skipBranch();
    Cmd_Selected = 0;
    WaitCmd = 0;
}

} // namespace vorn
