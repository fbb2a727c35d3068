// The player's start, through the same code as `vorn GAME_DIR`, writing a
// line once the first page of the game is painted. bench/startup.sh starts it
// with startup_launch beside the empty window and compares the two.

#include "presentation/window/window_app.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe GAME_DIR [vorn options]\n");
        return 2;
    }
    const vorn::ParsedOptions parsed = vorn::parseCommandLine({argv + 1, argv + argc});
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "startup_probe: %s\n", parsed.error.c_str());
        return 2;
    }
    return vorn::runWindow(argc, argv, parsed.options, [] {
        std::puts("painted");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
}
