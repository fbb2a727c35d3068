// Which instruments a MIDI file can ask for, read from the file's events.

#include "presentation/music/midi_presets.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

using namespace vorn;

namespace {

// A track from (delta, bytes...) events, as a file would hold it.
std::string track(std::initializer_list<std::vector<int>> events) {
    std::string body;
    for (const std::vector<int>& event : events) {
        body += static_cast<char>(event[0]); // deltas below 128 take one byte
        for (std::size_t i = 1; i < event.size(); ++i) body += static_cast<char>(event[i]);
    }
    std::string chunk = "MTrk";
    for (int shift = 24; shift >= 0; shift -= 8) chunk += static_cast<char>((body.size() >> shift) & 0xFF);
    return chunk + body;
}

std::string file(std::initializer_list<std::string> tracks) {
    std::string smf("MThd\0\0\0\x06\0\x01\0", 11);
    smf += static_cast<char>(tracks.size());
    smf += std::string("\x01\xE0", 2);
    for (const std::string& t : tracks) smf += t;
    return smf;
}

TEST(MidiPresets, FindsProgramsBanksAndTheChannelsPlayedWithTheirDefault) {
    const MidiPresetUse use = midiPresetUse(file({
        track({{0, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, // tempo
               {0, 0xB0, 0, 8},
               {0, 0xC0, 5}, // channel 1: bank 8, program 5
               {10, 0x90, 60, 100},
               {0, 60, 0},                        // running status, a note-off as velocity 0
               {10, 0xC0, 7},                     // a second program on the same channel
               {0, 0xF0, 0x03, 0x7E, 0x7F, 0xF7}, // system exclusive in between
               {0, 0x99, 36, 100},                // drums, no program change
               {0, 0xFF, 0x2F, 0x00}}),
        // A second track: channel 3 plays before its program change comes.
        track({{0, 0x92, 64, 90}, {5, 0xC2, 40}, {0, 0x91, 50, 0}, {0, 0xFF, 0x2F, 0x00}}),
    }));
    EXPECT_EQ(use.channels[0].programs, (std::set<int>{5, 7}));
    EXPECT_EQ(use.channels[0].banks, (std::set<int>{0, 8}));
    EXPECT_FALSE(use.channels[0].playsDefault) << "its first note comes after its program change";
    EXPECT_TRUE(use.channels[9].playsDefault);
    EXPECT_TRUE(use.channels[9].programs.empty());
    EXPECT_TRUE(use.channels[2].playsDefault);
    EXPECT_EQ(use.channels[2].programs, (std::set<int>{40}));
    EXPECT_FALSE(use.channels[1].playsDefault) << "a note-on of velocity 0 plays nothing";
    EXPECT_FALSE(use.channels[5].playsDefault);
}

TEST(MidiPresets, ANoteAtTheTickOfTheProgramChangeInAnotherTrackCountsAsPlayedWithTheDefault) {
    const MidiPresetUse use = midiPresetUse(file({
        track({{20, 0xC3, 30}, {0, 0xFF, 0x2F, 0x00}}),
        track({{20, 0x93, 60, 100}, {0, 0xFF, 0x2F, 0x00}}),
    }));
    EXPECT_TRUE(use.channels[3].playsDefault);
    EXPECT_EQ(use.channels[3].programs, (std::set<int>{30}));
}

TEST(MidiPresets, DamagedTracksAreReadUpToWhereTheyFail) {
    std::string cut = file({track({{0, 0xC4, 11}, {0, 0x94, 60, 100}, {0, 0xC4}})});
    cut.resize(cut.size() - 1); // the last program change loses its data byte, the track its length
    const MidiPresetUse use = midiPresetUse(cut);
    EXPECT_EQ(use.channels[4].programs, (std::set<int>{11}));

    // Data with no status before it, a header that claims more tracks than
    // there are, and too few bytes to hold a header at all.
    EXPECT_NO_THROW(midiPresetUse(file({track({{0, 0x40, 0x40}})})));
    std::string many = file({track({{0, 0xC0, 1}})});
    many[11] = 9;
    EXPECT_EQ(midiPresetUse(many).channels[0].programs, (std::set<int>{1}));
    EXPECT_NO_THROW(midiPresetUse("MThd"));
}

} // namespace
