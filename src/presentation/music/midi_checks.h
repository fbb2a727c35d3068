#pragma once
// What the music device checks of a music file before FluidSynth plays it:
// the Standard MIDI File inside a RIFF MIDI file, and whether its header and
// its tracks' starts look sound.

#include <string>
#include <string_view>

namespace vorn {

// The Standard MIDI File carried in `bytes`: the "data" chunk of a RIFF MIDI
// file (.rmi), else `bytes` as they are.
std::string_view unwrapRiffMidi(std::string_view bytes);

// Why FluidSynth could not play `smf`, or empty when it looks like a Standard
// MIDI File.
std::string midiProblem(std::string_view smf);

} // namespace vorn
