#include "shell.h"

namespace vorn {

std::string creditsText() {
    // The credit line names no system: the same words are shown in the
    // window and in the browser's page.
    return std::string("VORN interpeter") + " " + "by the VORN player's developers, 2026";
}

void Shell::newGame() { interpreter_.restartScript(); }

void Shell::showCredits() { surface_.showMessage(creditsText(), kCreditsTitle); }

void Shell::shutDown(bool showCredits) {
    if (shutDown_) return;
    shutDown_ = true;
    if (showCredits) surface_.showMessage(creditsText(), kCreditsTitle);
    device_.setCommand(MusicCommand::Close);
    interpreter_.close();
}

} // namespace vorn
