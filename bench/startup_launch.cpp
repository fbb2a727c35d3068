// Starts a program and prints the milliseconds from just before it is started
// until it writes its first line: the whole start as a user waits for it,
// loading the shared libraries included. The programs under test write that
// line once their window is painted. Beside it, the milliseconds of CPU its
// main thread had used by then, which the rest of a busy machine disturbs far
// less than the time on the clock.
//
// Usage: startup_launch PROGRAM [ARGS...]    prints "WALL_MS MAIN_THREAD_CPU_MS"

#include "launch.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The CPU time a thread has run, from the scheduler's own account; -1 when
// the system does not keep one.
double runMilliseconds(pid_t thread) {
    std::FILE* file = std::fopen(("/proc/" + std::to_string(thread) + "/schedstat").c_str(), "r");
    if (!file) return -1;
    unsigned long long ranNs = 0;
    const bool read = std::fscanf(file, "%llu", &ranNs) == 1;
    std::fclose(file);
    return read ? double(ranNs) / 1e6 : -1;
}

} // namespace

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
    // Read before the program goes on to end: the main thread's id is the process's.
    const double mainCpu = painted ? runMilliseconds(child) : -1;
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!painted) {
        std::fprintf(stderr, "startup_launch: %s ended without painting\n", argv[1]);
        return 1;
    }
    std::printf("%.2f %.2f\n", std::chrono::duration<double, std::milli>(end - start).count(), mainCpu);
    return 0;
}
