#pragma once
// `vorn --headless`: the interpreter driven by events read one per line, with
// everything it shows or plays written as JSON lines.

#include "interpreter/game_folder.h"

#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>

namespace vorn {

// Where `save` and `load` keep their slots: files in the folder, or, without
// one, the memory of the process, so headless play writes nothing.
struct HeadlessOptions {
    std::optional<std::filesystem::path> saveDir;
};

// Returns the exit status: 0 after an orderly shut-down, 1 after a fatal error,
// 2 for an input line that is no event.
int runHeadless(const GameFolder& folder, std::istream& in, std::ostream& out, std::ostream& err,
                const HeadlessOptions& options = {});

} // namespace vorn
