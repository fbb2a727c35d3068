#include "presentation/music/midi_presets.h"

#include "presentation/music/byte_order.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace vorn {
namespace {

// Reads a variable-length quantity; false past the end of `track`.
bool readVarLength(std::string_view track, std::size_t& at, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= track.size()) return false;
        const auto byte = static_cast<unsigned char>(track[at++]);
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) return true;
    }
    return true;
}

struct FirstTicks {
    std::array<long long, 16> note;
    std::array<long long, 16> program;
    FirstTicks() {
        note.fill(LLONG_MAX);
        program.fill(LLONG_MAX);
    }
};

void readTrack(std::string_view track, MidiPresetUse& use, FirstTicks& first) {
    std::size_t at = 0;
    long long tick = 0;
    unsigned status = 0; // running status
    while (at < track.size()) {
        std::uint32_t delta = 0;
        if (!readVarLength(track, at, delta) || at >= track.size()) return;
        tick += delta;
        const auto byte = static_cast<unsigned char>(track[at]);
        if (byte == 0xFF) { // meta event
            std::uint32_t length = 0;
            at += 2;
            if (!readVarLength(track, at, length)) return;
            at += length;
            continue;
        }
        if (byte == 0xF0 || byte == 0xF7) { // system exclusive
            std::uint32_t length = 0;
            ++at;
            if (!readVarLength(track, at, length)) return;
            at += length;
            status = 0;
            continue;
        }
        if (byte & 0x80) {
            status = byte;
            ++at;
        }
        if (status < 0x80 || status >= 0xF0) return; // data without a status: damaged
        const unsigned kind = status & 0xF0;
        const int channel = static_cast<int>(status & 0x0F);
        const std::size_t dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (at + dataBytes > track.size()) return;
        const int first_ = static_cast<unsigned char>(track[at]) & 0x7F;
        const int second = dataBytes == 2 ? static_cast<unsigned char>(track[at + 1]) & 0x7F : 0;
        at += dataBytes;
        MidiChannelUse& ch = use.channels[std::size_t(channel)];
        if (kind == 0xC0) {
            ch.programs.insert(first_);
            first.program[std::size_t(channel)] = std::min(first.program[std::size_t(channel)], tick);
        } else if (kind == 0xB0 && first_ == 0) {
            ch.banks.insert(second);
        } else if (kind == 0x90 && second > 0) {
            first.note[std::size_t(channel)] = std::min(first.note[std::size_t(channel)], tick);
        }
    }
}

} // namespace

MidiPresetUse midiPresetUse(std::string_view smf) {
    MidiPresetUse use;
    FirstTicks first;
    if (smf.size() < 14) return use;
    const std::uint32_t tracks = bigEndian(smf, 10, 2);
    std::size_t at = 8 + std::size_t{bigEndian(smf, 4, 4)};
    for (std::uint32_t track = 0; track < tracks && at + 8 <= smf.size(); ++track) {
        const std::size_t length = bigEndian(smf, at + 4, 4);
        const std::size_t start = at + 8;
        if (smf.substr(at, 4) == "MTrk") readTrack(smf.substr(start, std::min(length, smf.size() - start)), use, first);
        at = start + length;
    }
    // A note at the very tick of the first program change may come before it:
    // the tracks' order decides, so the default counts as played.
    for (std::size_t c = 0; c < 16; ++c)
        use.channels[c].playsDefault = first.note[c] != LLONG_MAX && first.note[c] <= first.program[c];
    return use;
}

} // namespace vorn
