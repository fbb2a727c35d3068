#pragma once
// What the music tests share: the soundfont they play through, and MIDI
// files written for a test.

#include "presentation/music/fluid_music_device.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vorn::test {

// The General MIDI soundfont the device would choose, if one is installed.
inline std::optional<std::filesystem::path> installedSoundfont() {
    for (const std::filesystem::path& font : FluidMusicDevice::defaultSoundfonts())
        if (std::filesystem::exists(font)) return font;
    return std::nullopt;
}

inline void appendVarLength(std::string& out, unsigned value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    out += bytes;
}

// A Standard MIDI File of `track`: format 0, one track, 480 ticks a quarter.
inline std::string oneTrackMidiFile(const std::string& track) {
    std::string file("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18);
    for (int shift = 24; shift >= 0; shift -= 8) file += static_cast<char>((track.size() >> shift) & 0xFF);
    return file + track;
}

} // namespace vorn::test
