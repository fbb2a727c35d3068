#pragma once
// `vorn explore`: plays a game with the real interpreter along every path a
// reader can take, choosing every option of every menu depth-first, and
// collects the paths that end in a fatal error as the clicks that reproduce
// them in `vorn --headless`.

#include "interpreter/game_folder.h"

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace vorn::authoring {

struct ExploreOptions {
    std::size_t maxPaths = 10000; // paths played before the exploration stops
    std::size_t maxClicks = 1000; // clicks on one path before it is given up
    // A run that goes on this long without pausing loops without end.
    std::chrono::milliseconds maxRun{3000};
    std::ostream* progress = nullptr; // a terminal for a progress line, or none
};

struct ErrorPath {
    std::vector<std::string> clicks; // event lines for `vorn --headless`
    std::string error;
};

struct ExploreResult {
    std::size_t paths = 0;          // every path played to its end, whatever the end
    std::size_t endings = 0;        // paths that reached the end of the script
    std::size_t rejoined = 0;       // paths cut where they met a state played before
    std::size_t cutAtMaxClicks = 0; // paths given up at the click limit
    std::size_t states = 0;         // distinct states reached
    bool stoppedAtMaxPaths = false;
    std::vector<ErrorPath> errors;
    bool utf8WithoutMark = false; // the script looks like UTF-8 saved without the byte-order mark
};

ExploreResult explore(const GameFolder& folder, const ExploreOptions& options);

// A warning about the script's encoding first, if any; the error paths, each
// a block that `vorn --headless` reads as input (the error on a comment line),
// then a summary, also as comment lines.
void writeExploreReport(const ExploreResult& result, const ExploreOptions& options, std::ostream& out);

} // namespace vorn::authoring
