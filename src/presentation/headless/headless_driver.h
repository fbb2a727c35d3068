#pragma once
// `vorn --headless`: the interpreter driven by events read one per line, with
// everything it shows or plays written as JSON lines.

#include "interpreter/game_folder.h"

#include <istream>
#include <ostream>

namespace vorn {

// Returns the exit status: 0 after an orderly shut-down, 1 after a fatal error,
// 2 for an input line that is no event.
int runHeadless(const GameFolder& folder, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace vorn
