#pragma once
// The pop-up menu's commands and the orderly shut-down, shared by the window
// and the headless driver.

#include "interpreter/interpreter.h"

#include <string>

namespace vorn {

inline constexpr const char* kCreditsTitle = "VORN";
// "VORN interpeter", one blank, and the credit line of this player. The
// misspelling is the original player's own and is kept on purpose.
std::string creditsText();

class Shell {
  public:
    Shell(Interpreter& interpreter, DisplaySurface& surface, MusicDevice& device)
        : interpreter_(interpreter), surface_(surface), device_(device) {}

    void newGame();     // "New": plays the script again from its first character
    void showCredits(); // "About": the credits box
    // Shut-down, however the program ends: the credits (not after a fatal
    // report or a termination signal), music closed, script closed. Runs once;
    // later calls do nothing.
    void shutDown(bool showCredits = true);
    bool isShutDown() const { return shutDown_; }

  private:
    Interpreter& interpreter_;
    DisplaySurface& surface_;
    MusicDevice& device_;
    bool shutDown_ = false;
};

} // namespace vorn
