// A soundfont cut down to the presets one piece uses: the same file, with a
// directory of only those presets, their instruments and their samples.

#include "presentation/music/fluid_music_device.h"
#include "presentation/music/soundfont_directory.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <unistd.h>

using namespace vorn;
namespace fs = std::filesystem;

namespace {

std::optional<fs::path> installedSoundfont() {
    for (const fs::path& font : FluidMusicDevice::defaultSoundfonts())
        if (fs::exists(font)) return font;
    return std::nullopt;
}

std::string whole(const SoundfontDirectory::Trimmed& trimmed) {
    std::FILE* source = std::fopen(trimmed.source.c_str(), "rb");
    std::string bytes(trimmed.size(), '\0');
    const bool read = source && trimmed.read(source, 0, bytes.data(), bytes.size());
    if (source) std::fclose(source);
    return read ? bytes : std::string();
}

TEST(SoundfontDirectory, ATrimmedSoundfontHoldsTheKeptPresetsAndTheSameSampleData) {
    const std::optional<fs::path> font = installedSoundfont();
    if (!font) GTEST_SKIP() << "no General MIDI soundfont installed";
    std::string why;
    const std::optional<SoundfontDirectory> directory = SoundfontDirectory::read(*font, why);
    ASSERT_TRUE(directory) << why;
    EXPECT_TRUE(directory->hasPreset(0, 0));
    EXPECT_TRUE(directory->hasPreset(128, 0));
    EXPECT_FALSE(directory->hasPreset(77, 0));

    const auto trimmed = directory->trimmed({{0, 0}, {128, 0}, {0, 49}});
    const std::string bytes = whole(*trimmed);
    ASSERT_EQ(bytes.size(), trimmed->size());
    EXPECT_LT(trimmed->directory.size(), 200000u) << "a fraction of the whole directory";
    // The sample data lies where it lay, byte for byte.
    std::ifstream original(*font, std::ios::binary);
    std::string head(trimmed->prefix, '\0');
    original.read(head.data(), std::streamsize(head.size()));
    EXPECT_EQ(bytes.compare(8, head.size() - 8, head, 8, head.size() - 8), 0);
    EXPECT_FALSE(trimmed->read(nullptr, trimmed->size() - 4, head.data(), 8)) << "a read past the end fails";

    // Read as a soundfont of its own, it has those presets and no others.
    const fs::path copy = fs::temp_directory_path() / ("vorn-trimmed-" + std::to_string(::getpid()) + ".sf2");
    std::ofstream(copy, std::ios::binary) << bytes;
    const std::optional<SoundfontDirectory> again = SoundfontDirectory::read(copy, why);
    fs::remove(copy);
    ASSERT_TRUE(again) << why;
    EXPECT_TRUE(again->hasPreset(0, 0));
    EXPECT_TRUE(again->hasPreset(128, 0));
    EXPECT_TRUE(again->hasPreset(0, 49));
    EXPECT_FALSE(again->hasPreset(0, 1));
    EXPECT_FALSE(again->hasPreset(0, 48));
}

TEST(SoundfontDirectory, FilesThatAreNoSoundfontOrAreCutShortAreRefused) {
    const fs::path dir = fs::temp_directory_path() / ("vorn-sf-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "words.sf2", std::ios::binary) << "These are no instruments.\n";
    std::string why;
    EXPECT_FALSE(SoundfontDirectory::read(dir / "words.sf2", why));
    EXPECT_EQ(why, "it is no SoundFont 2 file");
    EXPECT_FALSE(SoundfontDirectory::read(dir / "absent.sf2", why));
    if (const std::optional<fs::path> font = installedSoundfont()) {
        std::ifstream in(*font, std::ios::binary);
        std::string head(64 * 1024, '\0');
        in.read(head.data(), std::streamsize(head.size()));
        std::ofstream(dir / "cut.sf2", std::ios::binary) << head;
        EXPECT_FALSE(SoundfontDirectory::read(dir / "cut.sf2", why));
        EXPECT_EQ(why, "it has no preset directory");
    }
    fs::remove_all(dir);
}

} // namespace
