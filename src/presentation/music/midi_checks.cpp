#include "presentation/music/midi_checks.h"

#include "presentation/music/byte_order.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vorn {

// A RIFF MIDI file (.rmi), as Windows' sequencer plays them, carries a
// Standard MIDI File in its "data" chunk.
std::string_view unwrapRiffMidi(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "RMID") return bytes;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::size_t length = littleEndian(bytes, at + 4, 4);
        if (bytes.substr(at, 4) == "data") return bytes.substr(at + 8, std::min(length, bytes.size() - at - 8));
        at += 8 + length + (length & 1);
    }
    return bytes;
}

// Why FluidSynth could not play `smf`, or empty when it looks like a Standard
// MIDI File: the header, and the start of every track it announces. What lies
// within the tracks is for FluidSynth to judge (a last track that claims more
// bytes than there are, but ends in time, plays).
std::string midiProblem(std::string_view smf) {
    if (smf.size() < 14 || smf.substr(0, 4) != "MThd") return "it is not a MIDI file";
    const std::uint32_t headerLength = bigEndian(smf, 4, 4);
    const std::uint32_t tracks = bigEndian(smf, 10, 2);
    if (headerLength < 6 || tracks == 0) return "its MIDI header is damaged";
    if (static_cast<unsigned char>(smf[12]) & 0x80)
        return "it counts time in SMPTE frames, which FluidSynth cannot play";
    std::size_t at = 8 + std::size_t{headerLength};
    for (std::uint32_t track = 0; track < tracks; ++track) {
        if (at + 8 > smf.size()) return "the MIDI file is cut short";
        at += 8 + std::size_t{bigEndian(smf, at + 4, 4)};
    }
    return {};
}

} // namespace vorn
