#pragma once
// What the music benchmarks share: a tune to loop, the restart as the
// interpreter sends it, and the CPU time of the calling thread.

#include "presentation/music/fluid_music_device.h"

#include <cstdint>
#include <ctime>
#include <string>

// Two beats of `tempo` microseconds: C4 for 480 ticks, E4 for 480, end; the
// first note at the very start.
inline std::string twoBeatTune(std::uint32_t tempo) {
    unsigned char track[] = {
        0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, // tempo, set below
        0x00, 0xC0, 0x00,                         // piano
        0x00, 0x90, 60,   100,                    // C4 on
        0x83, 0x60, 0x80, 60,   64,               // 480 ticks later, off
        0x00, 0x90, 64,   100,                    // E4 on
        0x83, 0x60, 0x80, 64,   64,               // 480 ticks later, off
        0x00, 0xFF, 0x2F, 0x00,                   // end of track
    };
    track[4] = static_cast<unsigned char>(tempo >> 16);
    track[5] = static_cast<unsigned char>(tempo >> 8);
    track[6] = static_cast<unsigned char>(tempo);
    std::string file("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk\0\0\0", 21);
    file += static_cast<char>(sizeof track);
    return file + std::string(reinterpret_cast<const char*>(track), sizeof track);
}

// Plays `name` from its start, with the commands the interpreter sends.
inline void playFromStart(vorn::FluidMusicDevice& device, const std::string& name) {
    device.setCommand(vorn::MusicCommand::Close);
    device.setFileName(name);
    device.setCommand(vorn::MusicCommand::Open);
    device.setCommand(vorn::MusicCommand::Play);
}

// Seconds of CPU time the calling thread spent.
inline double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
