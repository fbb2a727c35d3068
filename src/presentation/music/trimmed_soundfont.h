#pragma once
// The soundfont a piece gets when samples are loaded on demand: the
// instruments it can select, and the trimmed soundfont files FluidSynth reads
// through its file callbacks.

#include "presentation/music/midi_presets.h"
#include "presentation/music/soundfont_directory.h"

#include <fluidsynth.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace vorn {

using PresetKey = std::pair<int, int>; // bank, program

// Every instrument of `directory` the piece that makes `use` can select, found
// as the synth finds them.
std::set<PresetKey> instrumentsOf(const SoundfontDirectory& directory, const MidiPresetUse& use);

// The trimmed soundfonts FluidSynth reads through its file callbacks, by the
// names they are registered under. FluidSynth opens a soundfont again each
// time it loads samples, so a name stays registered while its soundfont is
// in the synth.
class TrimmedFiles {
  public:
    static std::string add(std::shared_ptr<const SoundfontDirectory::Trimmed> file);
    static void remove(const std::string& name);

    // FluidSynth's file callbacks.
    static void* open(const char* name);
    static int read(void* buffer, fluid_long_long_t count, void* handle);
    static int seek(void* handle, fluid_long_long_t offset, int origin);
    static fluid_long_long_t tell(void* handle);
    static int close(void* handle);

  private:
    struct Handle {
        std::FILE* source;
        std::shared_ptr<const SoundfontDirectory::Trimmed> file;
        std::uint64_t at;
    };
    static std::mutex& mutex();
    static std::map<std::string, std::shared_ptr<const SoundfontDirectory::Trimmed>>& files();
};

} // namespace vorn
