#pragma once
// Starting a program under measurement, its standard output into a pipe of
// ours (read for a signal, or merely kept off the benchmark's own output).

#include <spawn.h>
#include <unistd.h>

extern char** environ;

// Starts `program` (program[0] its path, null-terminated); the child's id and
// the pipe's read end, or false when it cannot start.
inline bool launchWithOutputPiped(char** program, pid_t& child, int& output) {
    int out[2];
    if (::pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const bool started = posix_spawn(&child, program[0], &actions, nullptr, program, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (!started) {
        ::close(out[0]);
        return false;
    }
    output = out[0];
    return true;
}
