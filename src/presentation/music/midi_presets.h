#pragma once
// What a Standard MIDI File asks of the soundfont: the programs it selects on
// each channel, with the banks it may select them from, and the channels it
// plays before selecting any program there, which sound with the channel's
// default instrument. Read when a music file is opened, so that those
// instruments' samples are in memory before the music plays.

#include <array>
#include <cstdint>
#include <set>
#include <string_view>

namespace vorn {

struct MidiChannelUse {
    std::set<int> banks{0};    // bank select values (controller 0) sent on the channel, and 0
    std::set<int> programs;    // program changes sent on the channel
    bool playsDefault = false; // a note sounds before (or without) a program change
};

struct MidiPresetUse {
    std::array<MidiChannelUse, 16> channels;
};

// Reads every track of `smf` (a Standard MIDI File whose header is sound);
// a track cut short or damaged is read up to where it fails.
MidiPresetUse midiPresetUse(std::string_view smf);

} // namespace vorn
