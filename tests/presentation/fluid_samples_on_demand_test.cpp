// Only the instruments a piece uses are loaded, before it plays: rendered
// offline, music sounds the same as with the whole soundfont in memory.

#include "presentation/music/fluid_music_device.h"

#include "music_fixture.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vorn;
namespace fs = std::filesystem;

namespace {

constexpr int rate = 44100;
constexpr std::size_t chunk = 1024;

// Two seconds at 120 beats a minute that change instruments as they go: a
// channel that plays its default piano, program changes back and forth, a
// bank that the soundfont lacks, drums on channel 10, and a piano note held
// across a program change on its channel.
std::string changingTune() {
    std::string track;
    auto event = [&](unsigned delta, std::initializer_list<int> bytes) {
        test::appendVarLength(track, delta);
        for (int b : bytes) track += static_cast<char>(b);
    };
    event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
    event(0, {0x90, 48, 90}); // channel 1, default piano, held
    event(0, {0xC1, 48});     // channel 2: strings
    event(0, {0x91, 60, 100});
    event(0, {0x99, 36, 110}); // drums: kick
    event(0, {0xB2, 0x00, 8}); // channel 3: bank 8, which FluidR3 lacks for most programs
    event(0, {0xC2, 73});      // flute
    event(0, {0x92, 72, 100});
    event(240, {0xC9, 25}); // a drum kit by program
    event(0, {0x99, 38, 110});
    event(240, {0x81, 60, 64});
    event(0, {0xC1, 56}); // trumpet on the strings' channel
    event(0, {0x91, 67, 100});
    event(0, {0xC0, 19}); // the held piano's channel changes program
    event(480, {0x81, 67, 64});
    event(0, {0xC1, 48}); // back to strings
    event(0, {0x91, 64, 100});
    event(0, {0x90, 52, 90});
    event(960, {0x80, 48, 64});
    event(0, {0x80, 52, 64});
    event(0, {0x81, 64, 64});
    event(0, {0x82, 72, 64});
    event(0, {0xFF, 0x2F, 0x00});
    return test::oneTrackMidiFile(track);
}

std::vector<float> renderPieces(const fs::path& folder, const fs::path& font, bool onDemand,
                                const std::vector<std::string>& pieces, double seconds) {
    FluidMusicOptions options;
    options.output = FluidMusicOptions::Output::Offline;
    options.loadSamplesOnDemand = onDemand;
    FluidMusicDevice device(GameFolder(folder), font, options);
    std::vector<float> sound;
    for (const std::string& piece : pieces) {
        device.setCommand(vorn::MusicCommand::Close);
        device.setFileName(piece);
        device.setCommand(vorn::MusicCommand::Open);
        device.setCommand(vorn::MusicCommand::Play);
        for (std::size_t frames = 0; frames < seconds * rate; frames += chunk) {
            const std::vector<float> part = device.render(chunk);
            sound.insert(sound.end(), part.begin(), part.end());
        }
    }
    return sound;
}

TEST(FluidSamplesOnDemand, SoundsSampleForSampleAsTheWholeSoundfontDoes) {
    const std::optional<fs::path> font = test::installedSoundfont();
    if (!font) GTEST_SKIP() << "no General MIDI soundfont installed";
    const fs::path folder = fs::temp_directory_path() / ("vorn-on-demand-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "changing.mid", std::ios::binary) << changingTune();
    const fs::path demo = fs::path(VORN_SOURCE_DIR) / "examples" / "demo";
    fs::copy_file(demo / "theme.mid", folder / "theme.mid", fs::copy_options::overwrite_existing);
    fs::copy_file(demo / "night.mid", folder / "night.mid", fs::copy_options::overwrite_existing);

    // Each piece replaces the one before, and the last starts over, as a loop does.
    const std::vector<std::string> pieces{"changing.mid", "theme.mid", "night.mid", "changing.mid", "changing.mid"};
    const std::vector<float> whole = renderPieces(folder, *font, false, pieces, 2.5);
    const std::vector<float> onDemand = renderPieces(folder, *font, true, pieces, 2.5);
    ASSERT_EQ(whole.size(), onDemand.size());
    float most = 0;
    for (float s : whole) most = std::max(most, std::fabs(s));
    EXPECT_GT(most, 0.05f) << "the pieces sound";
    // Nearly every sample is equal. From where the drum kit and the held
    // piano change instruments on, some two in a hundred differ, by at most
    // 5e-6 (-106 dB) with FluidR3: FluidSynth's own arithmetic, far below
    // anything heard.
    // The bound is -90 dB of full scale.
    float worst = 0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        worst = std::max(worst, std::fabs(whole[i] - onDemand[i]));
        if (whole[i] != onDemand[i]) ++differing;
    }
    EXPECT_LT(worst, 3e-5f) << differing << " of " << whole.size() << " samples differ";
    fs::remove_all(folder);
}

} // namespace
