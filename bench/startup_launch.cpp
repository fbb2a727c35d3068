// Starts a program and prints the milliseconds from just before it is started
// until it writes its first line: the whole start as a user waits for it,
// loading the shared libraries included. The programs under test write that
// line once their window is painted.
//
// Usage: startup_launch PROGRAM [ARGS...]

#include "launch.h"

#include <chrono>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_launch PROGRAM [ARGS...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int output = -1;
    if (!launchWithOutputPiped(argv + 1, child, output)) {
        std::fprintf(stderr, "startup_launch: cannot start %s\n", argv[1]);
        return 1;
    }
    char byte = 0;
    bool painted = false;
    while (::read(output, &byte, 1) == 1)
        if (byte == '\n') {
            painted = true;
            break;
        }
    const auto end = std::chrono::steady_clock::now();
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!painted) {
        std::fprintf(stderr, "startup_launch: %s ended without painting\n", argv[1]);
        return 1;
    }
    std::printf("%.2f\n", std::chrono::duration<double, std::milli>(end - start).count());
    return 0;
}
