// A soundfont cut down to the presets one piece uses: the same file, with a
// directory of only those presets, their instruments and their samples.

#include "presentation/music/soundfont_directory.h"

#include "music_fixture.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <unistd.h>

using namespace vorn;
namespace fs = std::filesystem;

namespace {

std::string readTrimmed(const SoundfontDirectory::Trimmed& trimmed, std::uint64_t at, std::size_t n) {
    std::FILE* source = std::fopen(trimmed.source.c_str(), "rb");
    std::string bytes(n, '\0');
    const bool read = source && trimmed.read(source, at, bytes.data(), n);
    if (source) std::fclose(source);
    return read ? bytes : std::string();
}

TEST(SoundfontDirectory, ATrimmedSoundfontHoldsTheKeptPresetsAndTheSameSampleData) {
    const std::optional<fs::path> font = test::installedSoundfont();
    if (!font) GTEST_SKIP() << "no General MIDI soundfont installed";
    std::string why;
    const std::optional<SoundfontDirectory> directory = SoundfontDirectory::read(*font, why);
    ASSERT_TRUE(directory) << why;
    EXPECT_TRUE(directory->hasPreset(0, 0));
    EXPECT_TRUE(directory->hasPreset(128, 0));
    EXPECT_FALSE(directory->hasPreset(77, 0));

    const auto trimmed = directory->trimmed({{0, 0}, {128, 0}, {0, 49}});
    EXPECT_LT(trimmed->directory.size(), 200000u) << "a fraction of the whole directory";
    // The file's first megabyte, sample data included, is the original's
    // byte for byte (the size in its header aside); the new directory comes
    // right after the sample data.
    std::ifstream original(*font, std::ios::binary);
    std::string head(1 << 20, '\0');
    original.read(head.data(), std::streamsize(head.size()));
    const std::string bytes = readTrimmed(*trimmed, 0, head.size());
    ASSERT_EQ(bytes.size(), head.size());
    EXPECT_EQ(bytes.compare(8, head.size() - 8, head, 8, head.size() - 8), 0);
    EXPECT_EQ(readTrimmed(*trimmed, trimmed->prefix - 4, 16).substr(4, 12), trimmed->directory.substr(0, 12));
    EXPECT_EQ(readTrimmed(*trimmed, trimmed->size() - 4, 8), "") << "a read past the end fails";

    // Its directory, read as a soundfont of its own, has those presets and
    // no others.
    const fs::path copy = fs::temp_directory_path() / ("vorn-trimmed-" + std::to_string(::getpid()) + ".sf2");
    std::string directoryOnly = bytes.substr(0, 12) + trimmed->directory;
    std::ofstream(copy, std::ios::binary) << directoryOnly;
    const std::optional<SoundfontDirectory> again = SoundfontDirectory::read(copy, why);
    ASSERT_TRUE(again) << why;
    EXPECT_TRUE(again->hasPreset(0, 0));
    EXPECT_TRUE(again->hasPreset(128, 0));
    EXPECT_TRUE(again->hasPreset(0, 49));
    EXPECT_FALSE(again->hasPreset(0, 1));
    EXPECT_FALSE(again->hasPreset(0, 48));

    // A preset bag that points past the generators is refused, not followed.
    const std::size_t pbag = directoryOnly.find("pbag");
    ASSERT_NE(pbag, std::string::npos);
    directoryOnly[pbag + 8] = '\xFF';
    directoryOnly[pbag + 9] = '\x7F';
    std::ofstream(copy, std::ios::binary) << directoryOnly;
    EXPECT_FALSE(SoundfontDirectory::read(copy, why));
    EXPECT_EQ(why, "its preset directory is damaged");
    fs::remove(copy);
}

TEST(SoundfontDirectory, FilesThatAreNoSoundfontOrAreCutShortAreRefused) {
    const fs::path dir = fs::temp_directory_path() / ("vorn-sf-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "words.sf2", std::ios::binary) << "These are no instruments.\n";
    std::string why;
    EXPECT_FALSE(SoundfontDirectory::read(dir / "words.sf2", why));
    EXPECT_EQ(why, "it is no SoundFont 2 file");
    EXPECT_FALSE(SoundfontDirectory::read(dir / "absent.sf2", why));
    if (const std::optional<fs::path> font = test::installedSoundfont()) {
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
