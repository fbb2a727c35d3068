#pragma once
// The directory of a SoundFont 2 file: its presets, instruments and sample
// headers (the "pdta" chunk), read once. FluidSynth keeps a parsed copy of a
// soundfont's whole directory in memory, some 12 MB for Debian's General MIDI
// font; the player hands it instead, for each piece, a soundfont that is the
// same file with a directory of only the presets the piece uses. Such a file
// is served from memory and the real file by FluidSynth's own file
// callbacks: the sample data stays where it is, at the same offsets.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace vorn {

class SoundfontDirectory {
  public:
    // Reads the file's chunks and its directory; nullopt and `why` when it is
    // no SoundFont 2 file or is damaged.
    static std::optional<SoundfontDirectory> read(const std::filesystem::path& file, std::string& why);

    bool hasPreset(int bank, int program) const;

    // The bytes of a soundfont file that is this one with only the presets
    // `keep` (bank, program), the instruments they use and those instruments'
    // samples in its directory.
    struct Trimmed {
        std::filesystem::path source;
        std::uint64_t prefix = 0;                   // bytes of `source` before the directory chunk, served as they are
        std::string header;                         // the file's first 8 bytes with the new size
        std::string directory;                      // the new directory chunk
        std::uint64_t suffixAt = 0, suffixSize = 0; // bytes of `source` after the directory chunk
        std::uint64_t size() const { return prefix + directory.size() + suffixSize; }
        // Copies `n` bytes from offset `at` of the file into `out`; false past its end.
        bool read(std::FILE* source, std::uint64_t at, char* out, std::uint64_t n) const;
    };
    std::shared_ptr<const Trimmed> trimmed(const std::set<std::pair<int, int>>& keep) const;

  private:
    std::filesystem::path file_;
    std::uint64_t fileSize_ = 0, pdtaAt_ = 0, pdtaEnd_ = 0;
    std::string header_;
    // The nine sub-chunks of the directory, in their order, as raw records.
    std::string phdr_, pbag_, pmod_, pgen_, inst_, ibag_, imod_, igen_, shdr_;
};

} // namespace vorn
