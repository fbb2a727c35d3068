#include "shell.h"

namespace vorn {

std::string creditsText() {
    return std::string("VORN interpeter") + " " + "for Linux, by the VORN player's developers, 2026";
}

void Shell::Menu_File_New_Click() { interpreter_.restartScript(); }

void Shell::Menu_File_About_Click() { surface_.showMessage(creditsText(), kCreditsTitle); }

void Shell::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    surface_.showMessage(creditsText(), kCreditsTitle);
    device_.setCommand("Close");
    interpreter_.stream().close();
}

} // namespace vorn
