// The gap at the loop point of the music, and what playing costs.
//
// A short tune (its first note at its very start, its last event two beats
// later, at tempos that put its end anywhere in a buffer) loops offline
// through the FluidSynth music device, rendered a buffer at a time as an
// audio driver asks for it. When the device reports the end, the restart is
// sent as the interpreter sends it (Close, FileName, Open, Play) before the
// next buffer. The gap is the time from the tune's last event to the first
// sound of its restart, beyond what the file itself holds, for several buffer
// sizes. Then the CPU time the synthesis takes, for the tune or for a MIDI
// file of one's choice.
//
//   music_loop_gap [--soundfont FILE] [MIDI-FILE]

#include "music_bench.h"

#include "presentation/music/fluid_music_device.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vorn;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double rate = 44100;
constexpr float threshold = 1e-3f; // -60 dB: the first sound of a note

struct LoopResult {
    double worstGapFrames = -1e9;
    double leastGapFrames = 1e9; // below zero, a restart would cut the tune's end
    double restartMicros = 0;    // the four commands, on the caller's side
};

// Plays `loops` passes in buffers of `period` frames and measures the gap of
// each restart.
LoopResult measureLoops(const fs::path& folder, const std::optional<fs::path>& font, int period, int loops,
                        double tuneFrames) {
    FluidMusicOptions options;
    options.output = FluidMusicOptions::Output::Offline;
    options.periodSize = period;
    FluidMusicDevice device{GameFolder(folder), font, options};
    bool ended = false;
    device.setDoneCallback([&] { ended = true; });
    if (!device.waitUntilReady()) {
        std::fprintf(stderr, "the device cannot play\n");
        std::exit(1);
    }

    LoopResult result;
    std::vector<long> onsets; // the first sound of each pass, in frames
    long frame = 0;
    long passStart = 0;
    playFromStart(device, "loop.mid");
    while (static_cast<int>(onsets.size()) < loops) {
        const std::vector<float> sound = device.render(static_cast<std::size_t>(period));
        for (int i = 0; i < period && (onsets.empty() || onsets.back() < passStart); ++i) {
            const bool loud = std::fabs(sound[2 * i]) > threshold || std::fabs(sound[2 * i + 1]) > threshold;
            if (loud) onsets.push_back(frame + i);
        }
        frame += period;
        if (ended) {
            ended = false;
            if (!device.takeEnd()) std::fprintf(stderr, "an end did not stand\n");
            const auto before = Clock::now();
            playFromStart(device, "loop.mid");
            result.restartMicros = std::max(result.restartMicros,
                                            std::chrono::duration<double, std::micro>(Clock::now() - before).count());
            passStart = frame;
        }
        if (double(frame) > 2 * tuneFrames * (loops + 1)) {
            std::fprintf(stderr, "the music stopped looping\n");
            std::exit(1);
        }
    }
    // The tune's first sound comes `onsets[0]` frames after its start.
    for (std::size_t k = 1; k < onsets.size(); ++k) {
        const double lastEvent = double(onsets[k - 1] - onsets[0]) + tuneFrames;
        const double restartStart = double(onsets[k] - onsets[0]);
        result.worstGapFrames = std::max(result.worstGapFrames, restartStart - lastEvent);
        result.leastGapFrames = std::min(result.leastGapFrames, restartStart - lastEvent);
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    std::optional<fs::path> font;
    std::optional<fs::path> piece;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--soundfont" && i + 1 < argc)
            font = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && !piece)
            piece = arg;
        else {
            std::fprintf(stderr, "usage: music_loop_gap [--soundfont FILE] [MIDI-FILE]\n");
            return 2;
        }
    }

    const fs::path folder = fs::temp_directory_path() / ("vorn-loop-gap-" + std::to_string(::getpid()));
    fs::create_directories(folder);

    std::printf("gap at the loop point, least and worst of 8 restarts of each of 4 tunes of about 1 s, at %.0f Hz\n",
                rate);
    std::printf("%8s %10s %16s %16s %12s\n", "buffer", "buffer ms", "gap frames", "gap ms", "restart us");
    for (int period : {64, 256, 512, 1024, 2048}) {
        LoopResult r;
        for (std::uint32_t tempo : {500000u, 493827u, 517111u, 455555u}) {
            std::ofstream(folder / "loop.mid", std::ios::binary) << twoBeatTune(tempo);
            const LoopResult one = measureLoops(folder, font, period, 9, 2 * tempo * rate / 1e6);
            r.worstGapFrames = std::max(r.worstGapFrames, one.worstGapFrames);
            r.leastGapFrames = std::min(r.leastGapFrames, one.leastGapFrames);
            r.restartMicros = std::max(r.restartMicros, one.restartMicros);
        }
        std::printf("%8d %10.2f %7.0f .. %5.0f %7.2f .. %5.2f %12.1f  %s\n", period, 1000.0 * period / rate,
                    r.leastGapFrames, r.worstGapFrames, 1000.0 * r.leastGapFrames / rate,
                    1000.0 * r.worstGapFrames / rate, r.restartMicros,
                    r.worstGapFrames <= period ? "within one buffer" : "MORE THAN ONE BUFFER");
    }

    // What the synthesis costs while the music plays (and while it is silent).
    // The audio driver and the sound server cost about as much again.
    {
        if (piece)
            fs::copy_file(*piece, folder / "loop.mid", fs::copy_options::overwrite_existing);
        else
            std::ofstream(folder / "loop.mid", std::ios::binary) << twoBeatTune(500000);
        FluidMusicOptions options;
        options.output = FluidMusicOptions::Output::Offline;
        FluidMusicDevice device{GameFolder(folder), font, options};
        device.waitUntilReady();
        for (bool playing : {true, false}) {
            if (playing)
                playFromStart(device, "loop.mid");
            else
                device.setCommand(vorn::MusicCommand::Close);
            const double seconds = 20;
            const double before = threadCpuSeconds();
            for (double done = 0; done < seconds; done += 512 / rate) {
                device.render(512);
                if (playing && device.takeEnd()) playFromStart(device, "loop.mid");
            }
            const double used = threadCpuSeconds() - before;
            std::printf("synthesis %s: %.2f%% of one core (%.0f s of sound in %.3f s of CPU)\n",
                        playing ? (piece ? "while the piece loops" : "while the tune loops") : "while silent",
                        100 * used / seconds, seconds, used);
        }
    }
    fs::remove_all(folder);
    return 0;
}
