#pragma once
// `vorn check`: reads "code.vrn" without playing it and reports what would
// stop or mislead the player. The script is walked with the interpreter's own
// stream, fetch and command syntax, in the modes the run loop would play it
// in, so each finding is something the player itself would do.

#include "interpreter/game_folder.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vorn::authoring {

enum class Severity { Error, Warning };

struct Finding {
    Severity severity = Severity::Error;
    std::string file = "code.vrn";
    std::size_t line = 0; // 0: the finding is about the file as a whole
    std::size_t column = 0;
    std::string message;
    std::string hint; // what to write instead; may be empty
};

struct CheckReport {
    // The findings about the fixed files first, then those in "code.vrn" in
    // the order of their places; past a limit, a note of how many more.
    std::vector<Finding> findings;
    std::size_t errors = 0; // all of them, also those past the limit
    std::size_t warnings = 0;
    // What the script holds, as the check read it: for the summary of a clean check.
    std::size_t pages = 0;
    std::size_t menus = 0;
    std::size_t jumps = 0;
};

CheckReport checkGame(const GameFolder& folder);

// "code.vrn:3:5: error: message", then the hint on an indented line.
std::string formatFinding(const Finding& finding);

} // namespace vorn::authoring
