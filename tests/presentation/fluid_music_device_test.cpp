// The FluidSynth music device played for real, offline: a MIDI file written
// here goes through the device, and the rendered sound is examined.

#include "presentation/music/fluid_music_device.h"
#include "game_files/game_archive.h"

#include "archive_writer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace vorn;
namespace fs = std::filesystem;

namespace {

constexpr int rate = 44100;
constexpr std::size_t chunk = 512;
constexpr float silence = 3e-3f; // -50 dB at the device's gain of 0.6; a note's release rings at -30 dB

void appendVarLength(std::string& out, unsigned value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    out += bytes;
}

// One second of piano at 120 beats a minute: C4 for half a second, then E4
// for half a second; the end of the track comes with the last note-off.
std::string oneSecondTune() {
    std::string track;
    auto event = [&](unsigned delta, std::initializer_list<int> bytes) {
        appendVarLength(track, delta);
        for (int b : bytes) track += static_cast<char>(b);
    };
    event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}); // 500000 us a quarter note
    event(0, {0xC0, 0x00});
    event(0, {0x90, 60, 100});
    event(480, {0x80, 60, 64});
    event(0, {0x90, 64, 100});
    event(480, {0x80, 64, 64});
    event(0, {0xFF, 0x2F, 0x00});
    std::string file("MThd\0\0\0\x06\0\0\0\x01\x01\xE0", 14); // format 0, one track, 480 ticks a quarter
    file += "MTrk";
    for (int shift = 24; shift >= 0; shift -= 8) file += static_cast<char>((track.size() >> shift) & 0xFF);
    return file + track;
}

double rms(const std::vector<float>& sound) {
    double sum = 0;
    for (float s : sound) sum += double(s) * s;
    return sound.empty() ? 0 : std::sqrt(sum / double(sound.size()));
}

float peak(const std::vector<float>& sound) {
    float most = 0;
    for (float s : sound) most = std::max(most, std::fabs(s));
    return most;
}

std::optional<fs::path> installedSoundfont() {
    for (const fs::path& font : FluidMusicDevice::defaultSoundfonts())
        if (fs::exists(font)) return font;
    return std::nullopt;
}

fs::path makeGameFolder() {
    static int count = 0;
    const fs::path root =
        fs::temp_directory_path() / ("vorn-music-" + std::to_string(::getpid()) + "-" + std::to_string(count++));
    fs::remove_all(root);
    fs::create_directories(root / "Music");
    std::ofstream(root / "Music" / "theme.mid", std::ios::binary) << oneSecondTune();
    std::ofstream(root / "notes.mid", std::ios::binary) << "These are no notes, only words.\n";
    std::ofstream(root / "short.mid", std::ios::binary) << oneSecondTune().substr(0, 30);
    // The same tune as a RIFF MIDI file, as Windows keeps them.
    const std::string smf = oneSecondTune();
    auto le32 = [](std::size_t n) {
        return std::string{char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char(n >> 24)};
    };
    std::ofstream(root / "theme.rmi", std::ios::binary)
        << "RIFF" + le32(12 + smf.size()) + "RMID" + "data" + le32(smf.size()) + smf;
    return root;
}

void playAsTheInterpreterDoes(FluidMusicDevice& device, const std::string& name) {
    device.setCommand(vorn::MusicCommand::Close);
    device.setFileName(name);
    device.setCommand(vorn::MusicCommand::Open);
    device.setCommand(vorn::MusicCommand::Play);
}

// One device for the suite: the soundfont is loaded once, as in the player.
class FluidMusicDeviceTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        font = installedSoundfont();
        if (!font) return;
        root = makeGameFolder();
        FluidMusicOptions options;
        options.output = FluidMusicOptions::Output::Offline;
        device = std::make_unique<FluidMusicDevice>(GameFolder(root), font, options);
    }
    static void TearDownTestSuite() {
        device.reset();
        if (!root.empty()) fs::remove_all(root);
    }
    void SetUp() override {
        if (!font) GTEST_SKIP() << "no General MIDI soundfont installed";
        dones = 0;
        device->setDoneCallback([this] { ++dones; });
        device->setCommand(vorn::MusicCommand::Close);
        device->setLevel(1);
    }
    void TearDown() override {
        if (device) device->setDoneCallback({});
    }

    // Renders up to `seconds`, a chunk at a time as an audio driver asks,
    // stopping early after a Done; the frames rendered.
    std::size_t renderUntilDone(double seconds, std::vector<float>* sound = nullptr) {
        const int before = dones;
        std::size_t frames = 0;
        while (frames < seconds * rate && dones == before) {
            const std::vector<float> part = device->render(chunk);
            if (sound) sound->insert(sound->end(), part.begin(), part.end());
            frames += chunk;
        }
        return frames;
    }

    static inline std::optional<fs::path> font;
    static inline fs::path root;
    static inline std::unique_ptr<FluidMusicDevice> device;
    int dones = 0;
};

TEST_F(FluidMusicDeviceTest, PlaysToTheEndRaisesDoneOnceAndPlaysAgainAfterTheRestart) {
    // A Windows-style name, found whatever its case and separators.
    playAsTheInterpreterDoes(*device, "MUSIC\\Theme.MID");

    std::vector<float> first;
    const std::size_t end = renderUntilDone(3.0, &first);
    ASSERT_EQ(dones, 1);
    EXPECT_GT(rms(first), 0.01);
    // The end is the last event at one second, seen within the chunk that holds it.
    EXPECT_GE(end, std::size_t(rate));
    EXPECT_LE(end, std::size_t(rate) + 2 * chunk);

    // Left alone, the ended piece stays ended: no second Done, the sound dies away.
    const std::vector<float> after = device->render(2 * rate);
    EXPECT_EQ(dones, 1);
    EXPECT_LT(peak(std::vector<float>(after.end() - rate / 2, after.end())), 1e-4);
    EXPECT_TRUE(device->takeEnd());
    EXPECT_FALSE(device->takeEnd()) << "one end, one restart";

    playAsTheInterpreterDoes(*device, "MUSIC\\Theme.MID");
    std::vector<float> second;
    const std::size_t secondEnd = renderUntilDone(3.0, &second);
    EXPECT_EQ(dones, 2);
    EXPECT_GT(rms(second), 0.01);
    EXPECT_LE(secondEnd, std::size_t(rate) + 2 * chunk);
    // The restart starts at the beginning: sound within its first chunks.
    EXPECT_GT(peak(std::vector<float>(second.begin(), second.begin() + 2 * 4 * chunk)), 0.01);
}

TEST_F(FluidMusicDeviceTest, CloseDuringPlaybackSilencesAtOnceAndRaisesNoDone) {
    playAsTheInterpreterDoes(*device, "Music/theme.mid");
    EXPECT_GT(rms(device->render(rate * 3 / 4)), 0.01);
    device->setCommand(vorn::MusicCommand::Close);
    // The note held at the moment of the Close does not ring on (what the
    // synth had rendered ahead, less than a chunk, still comes).
    device->render(chunk);
    EXPECT_LT(peak(device->render(2 * rate)), silence);
    EXPECT_EQ(dones, 0);
    EXPECT_FALSE(device->takeEnd());
}

TEST_F(FluidMusicDeviceTest, AnEndThatACloseOvertookDoesNotStand) {
    playAsTheInterpreterDoes(*device, "Music/theme.mid");
    renderUntilDone(3.0);
    ASSERT_EQ(dones, 1);
    // A music command got in before the window's thread heard of the end.
    playAsTheInterpreterDoes(*device, "Music/theme.mid");
    EXPECT_FALSE(device->takeEnd());
}

TEST_F(FluidMusicDeviceTest, TheLevelScalesTheRenderedMusicAndZeroSilencesIt) {
    const auto loudness = [this](double level) {
        device->setLevel(level);
        playAsTheInterpreterDoes(*device, "Music/theme.mid");
        const double measured = rms(device->render(rate / 2));
        device->setCommand(vorn::MusicCommand::Close);
        device->render(rate / 2); // the last notes die away
        return measured;
    };
    const double full = loudness(1);
    ASSERT_GT(full, 0.01);
    // The same piece at a quarter of the level: a quarter of the sound, whatever the notes.
    EXPECT_NEAR(loudness(0.25) / full, 0.25, 0.02);
    EXPECT_LT(loudness(0), silence);
    // Changed while a piece plays: the notes sounding fall silent at once;
    // only the reverb of what was played before still dies away.
    device->setLevel(1);
    playAsTheInterpreterDoes(*device, "Music/theme.mid");
    const double playing = rms(device->render(rate / 4));
    device->setLevel(0);
    device->render(chunk);
    EXPECT_LT(rms(device->render(rate / 4)), playing / 20);
}

TEST_F(FluidMusicDeviceTest, PlaysARiffMidiFile) {
    playAsTheInterpreterDoes(*device, "theme.rmi");
    EXPECT_GT(rms(device->render(rate / 2)), 0.01);
    renderUntilDone(1.0);
    EXPECT_EQ(dones, 1);
}

TEST_F(FluidMusicDeviceTest, FilesThatCannotPlayLeaveSilenceAndNoDoneAndSayWhyOnce) {
    testing::internal::CaptureStderr();
    for (const char* name : {"notes.mid", "short.mid", "", "absent.mid", "Music"}) {
        // Each replaces music that was playing.
        playAsTheInterpreterDoes(*device, "Music/theme.mid");
        EXPECT_GT(rms(device->render(rate / 4)), 0.01);
        EXPECT_NO_THROW(playAsTheInterpreterDoes(*device, name));
        device->render(chunk);
        EXPECT_LT(peak(device->render(2 * rate)), silence) << '"' << name << '"';
    }
    EXPECT_EQ(dones, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "vorn: music is off: cannot play \"notes.mid\": it is not a MIDI file\n");
}

TEST(FluidMusicDeviceWithoutSoundfont, IsSilentAndSaysWhyOnce) {
    const fs::path root = makeGameFolder();
    FluidMusicOptions options;
    options.output = FluidMusicOptions::Output::Offline;
    testing::internal::CaptureStderr();
    {
        FluidMusicDevice device(GameFolder(root), root / "missing.sf2", options);
        int dones = 0;
        device.setDoneCallback([&] { ++dones; });
        // Sent at once, before the set-up has found out there is no soundfont.
        playAsTheInterpreterDoes(device, "Music/theme.mid");
        EXPECT_FALSE(device.waitUntilReady());
        for (int loop = 0; loop < 3; ++loop) {
            playAsTheInterpreterDoes(device, "Music/theme.mid");
            EXPECT_EQ(peak(device.render(rate)), 0.0f);
        }
        EXPECT_EQ(dones, 0);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "vorn: music is off: no soundfont file \"" + (root / "missing.sf2").string() + "\"\n");
    fs::remove_all(root);
}

TEST(FluidMusicDeviceSetUp, PlayBeforeTheSoundfontIsInStartsWhenItIs) {
    const std::optional<fs::path> font = installedSoundfont();
    if (!font) GTEST_SKIP() << "no General MIDI soundfont installed";
    const fs::path root = makeGameFolder();
    FluidMusicOptions options;
    options.output = FluidMusicOptions::Output::Offline;
    FluidMusicDevice device(GameFolder(root), font, options);
    playAsTheInterpreterDoes(device, "Music/theme.mid"); // the soundfont takes far longer to load
    EXPECT_GT(rms(device.render(rate / 2)), 0.01);
    fs::remove_all(root);
}

// A game played from an archive: the tune is unpacked into memory and played from there.
TEST(FluidMusicDeviceSetUp, ATuneInsideAnArchivePlays) {
    const std::optional<fs::path> font = installedSoundfont();
    if (!font) GTEST_SKIP() << "no General MIDI soundfont installed";
    const fs::path root = makeGameFolder();
    const fs::path zip = root / "game.zip";
    vorn::test::writeArchive(zip, {{"Game/code.vrn", ""}, {"Game/Music/theme.mid", oneSecondTune()}},
                             vorn::test::ArchiveFormat::Zip);
    const ArchiveGame game = openArchive(zip);
    ASSERT_TRUE(game.folder) << game.error;
    FluidMusicOptions options;
    options.output = FluidMusicOptions::Output::Offline;
    FluidMusicDevice device(*game.folder, font, options);
    playAsTheInterpreterDoes(device, "music\\THEME.MID");
    EXPECT_GT(rms(device.render(rate / 2)), 0.01);
    fs::remove_all(root);
}

// The window defers the set-up until its first page is painted: nothing is
// loaded or said before then, commands given meanwhile are kept, and a device
// closed before it ever started ends at once.
TEST(FluidMusicDeviceSetUp, ADeferredSetUpWaitsForItsStartAndKeepsTheCommandsGivenMeanwhile) {
    const std::optional<fs::path> font = installedSoundfont();
    const fs::path root = makeGameFolder();
    FluidMusicOptions options;
    options.output = FluidMusicOptions::Output::Offline;
    options.deferSetUp = true;
    testing::internal::CaptureStderr();
    {
        FluidMusicDevice neverStarted(GameFolder(root), root / "missing.sf2", options);
        playAsTheInterpreterDoes(neverStarted, "Music/theme.mid");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a set-up that never started has nothing to say";

    if (!font) {
        fs::remove_all(root);
        GTEST_SKIP() << "no General MIDI soundfont installed";
    }
    FluidMusicDevice device(GameFolder(root), font, options);
    playAsTheInterpreterDoes(device, "Music/theme.mid");
    device.startSetUp();
    device.startSetUp(); // a second start changes nothing
    EXPECT_TRUE(device.waitUntilReady());
    EXPECT_GT(rms(device.render(rate / 2)), 0.01);
    fs::remove_all(root);
}

} // namespace
