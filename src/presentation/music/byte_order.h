#pragma once
// Unsigned integers of 1 to 4 bytes as the music's file formats store them:
// big-endian in MIDI files, little-endian in RIFF files (RMID, SoundFont 2).
// The caller has checked that the bytes are there.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vorn {

inline std::uint32_t bigEndian(std::string_view b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | static_cast<unsigned char>(b[at + std::size_t(i)]);
    return value;
}

inline std::uint32_t littleEndian(std::string_view b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(b[at + std::size_t(i)]);
    return value;
}

} // namespace vorn
