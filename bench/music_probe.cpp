// Measurements for bench/music_cost.sh, each in a mode of its own:
//
//   music_probe synthesis [--soundfont FILE] MIDI-FILE SECONDS
//       the CPU the synthesis alone takes to play MIDI-FILE in a loop, offline
//       through the music device, in percent of one core
//   music_probe start [--soundfont FILE] GAME_DIR FIRST.mid SECOND.mid
//       through the real audio output, as the window does: the device set up
//       from nothing, and the milliseconds from the first music command to
//       its first sound; then, the music closed and silent, from a second
//       music command to its first sound; and from the Close to the last
//       sound heard
//   music_probe loop [--soundfont FILE] FOLDER SECONDS
//       a tune of one second loops through the real audio output for SECONDS,
//       restarted as the window restarts it; prints the silences heard at
//       its loop points (FOLDER receives the tune)
//   music_probe launch PROGRAM [ARGS...]
//       starts a player and prints the milliseconds from its start to its
//       first sound
//
// The sound is heard on the default PulseAudio source, the monitor of the
// sink the music plays to, in fragments of 5 ms.

#include "launch.h"
#include "music_bench.h"

#include "presentation/music/fluid_music_device.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace vorn;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double rate = 44100;
constexpr float threshold = 1e-3f; // -60 dB

double ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Listens on the monitor and keeps the moment of the first sound since arm().
class Listener {
  public:
    Listener() {
        const pa_sample_spec format{PA_SAMPLE_FLOAT32LE, static_cast<uint32_t>(rate), 2};
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = fragment * 2 * sizeof(float);
        int error = 0;
        stream_ = pa_simple_new(nullptr, "vorn music probe", PA_STREAM_RECORD, nullptr, "monitor", &format, nullptr,
                                &attr, &error);
        if (!stream_) {
            std::fprintf(stderr, "music_probe: cannot listen to the sound: %s\n", pa_strerror(error));
            std::exit(1);
        }
        // A null sink plays in blocks of two seconds until a stream asks for
        // less; a sound card does not. A stream of silence that asks for 10 ms
        // keeps it as quick as a card, so that a new stream is heard at once.
        pa_buffer_attr keepAttr{};
        keepAttr.maxlength = static_cast<uint32_t>(-1);
        keepAttr.tlength = 441 * 2 * sizeof(float);
        keepAttr.prebuf = static_cast<uint32_t>(-1);
        keepAttr.minreq = static_cast<uint32_t>(-1);
        keepAlive_ = pa_simple_new(nullptr, "vorn music probe", PA_STREAM_PLAYBACK, nullptr, "silence", &format,
                                   nullptr, &keepAttr, &error);
        if (!keepAlive_) {
            std::fprintf(stderr, "music_probe: cannot play to the sink: %s\n", pa_strerror(error));
            std::exit(1);
        }
        thread_ = std::thread([this] { listen(); });
        keepThread_ = std::thread([this] {
            const std::vector<float> silence(441 * 2, 0.0f);
            int error = 0;
            while (!stop_) {
                pa_simple_write(keepAlive_, silence.data(), silence.size() * sizeof(float), &error);
                ++written_;
            }
        });
        // Once the silence flows in 10 ms steps, the sink has left its long blocks.
        while (written_ < 20) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~Listener() {
        stop_ = true;
        thread_.join();
        keepThread_.join();
        pa_simple_free(stream_);
        pa_simple_free(keepAlive_);
    }
    void arm() {
        heard_ = false;
        armed_ = true;
    }
    // Waits up to `seconds` for a sound; the moment it was heard, if any.
    std::optional<Clock::time_point> waitForSound(double seconds) {
        const auto until = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < until) {
            if (heard_) return Clock::time_point(Clock::duration(when_.load()));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::nullopt;
    }
    bool silentFor(double seconds) {
        arm();
        return !waitForSound(seconds);
    }
    // Waits, up to `timeout` seconds, for `seconds` of silence in a row.
    bool waitForSilence(double seconds, double timeout) {
        const auto until = Clock::now() + std::chrono::duration<double>(timeout);
        while (Clock::now() < until)
            if (silentFor(seconds)) return true;
        return false;
    }

    // The moment of the last sound heard.
    Clock::time_point lastSound() const { return Clock::time_point(Clock::duration(lastLoud_.load())); }

    void record(bool on) { recording_ = on; }
    std::vector<float> recorded() {
        std::lock_guard lock(recordMutex_);
        return recorded_;
    }

  private:
    static constexpr int fragment = 220;
    std::atomic<bool> recording_{false};
    std::mutex recordMutex_;
    std::vector<float> recorded_;

    void listen() {
        std::vector<float> buffer(fragment * 2);
        while (!stop_) {
            int error = 0;
            if (pa_simple_read(stream_, buffer.data(), buffer.size() * sizeof(float), &error) < 0) return;
            const auto now = Clock::now();
            if (recording_) {
                std::lock_guard lock(recordMutex_);
                recorded_.insert(recorded_.end(), buffer.begin(), buffer.end());
            }
            for (int i = fragment - 1; i >= 0; --i)
                if (std::fabs(buffer[2 * i]) > threshold || std::fabs(buffer[2 * i + 1]) > threshold) {
                    const auto at = now - std::chrono::microseconds(long((fragment - 1 - i) * 1e6 / rate));
                    lastLoud_ = at.time_since_epoch().count();
                    break;
                }
            if (!armed_ || heard_) continue;
            for (int i = 0; i < fragment; ++i)
                if (std::fabs(buffer[2 * i]) > threshold || std::fabs(buffer[2 * i + 1]) > threshold) {
                    // The fragment's last frame was heard just now.
                    const auto at = now - std::chrono::microseconds(long((fragment - i) * 1e6 / rate));
                    when_ = at.time_since_epoch().count();
                    heard_ = true;
                    armed_ = false;
                    break;
                }
        }
    }

    pa_simple* stream_ = nullptr;
    pa_simple* keepAlive_ = nullptr;
    std::thread thread_;
    std::thread keepThread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> written_{0};
    std::atomic<bool> armed_{false};
    std::atomic<bool> heard_{false};
    std::atomic<Clock::duration::rep> when_{0};
    std::atomic<Clock::duration::rep> lastLoud_{0};
};

int synthesis(const std::optional<fs::path>& font, const fs::path& piece, double seconds) {
    FluidMusicOptions options;
    options.output = FluidMusicOptions::Output::Offline;
    FluidMusicDevice device{GameFolder(piece.parent_path()), font, options};
    if (!device.waitUntilReady()) return 1;
    playFromStart(device, piece.filename().string());
    device.render(4096); // the instruments are in
    const double before = threadCpuSeconds();
    for (double done = 0; done < seconds; done += 1024 / rate) {
        device.render(1024);
        if (device.takeEnd()) playFromStart(device, piece.filename().string());
    }
    std::printf("%.3f\n", 100 * (threadCpuSeconds() - before) / seconds);
    return 0;
}

int start(const std::optional<fs::path>& font, const fs::path& game, const std::string& first,
          const std::string& second) {
    Listener listener;
    if (!listener.silentFor(0.5)) {
        std::fprintf(stderr, "music_probe: the sink is not silent to begin with\n");
        return 1;
    }
    listener.arm();
    FluidMusicOptions options;
    options.deferSetUp = true;
    const auto command = Clock::now();
    FluidMusicDevice device{GameFolder(game), font, options};
    playFromStart(device, first);
    device.startSetUp();
    const auto firstSound = listener.waitForSound(5);
    if (!firstSound) {
        std::fprintf(stderr, "music_probe: the first music was not heard\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto stopCommand = Clock::now();
    device.setCommand(vorn::MusicCommand::Close);
    if (!listener.waitForSilence(1.0, 5)) {
        std::fprintf(stderr, "music_probe: the music did not stop\n");
        return 1;
    }
    const double stopped = std::max(0.0, ms(stopCommand, listener.lastSound()));
    listener.arm();
    const auto secondCommand = Clock::now();
    playFromStart(device, second);
    const auto secondSound = listener.waitForSound(5);
    if (!secondSound) {
        std::fprintf(stderr, "music_probe: the second music was not heard\n");
        return 1;
    }
    std::printf("%.1f %.1f %.1f\n", ms(command, *firstSound), ms(secondCommand, *secondSound), stopped);
    return 0;
}

// The tune loops through the real audio output, restarted from this thread
// as the window's thread restarts it; the silences heard at the loop points.
int loop(const std::optional<fs::path>& font, const fs::path& folder, double seconds) {
    fs::create_directories(folder);
    std::ofstream(folder / "loop.mid", std::ios::binary) << twoBeatTune(500000); // 120 a minute
    Listener listener;
    std::atomic<bool> ended{false};
    FluidMusicDevice device{GameFolder(folder), font, {}};
    device.setDoneCallback([&] { ended = true; });
    if (!device.waitUntilReady()) return 1;
    listener.record(true);
    playFromStart(device, "loop.mid");
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < until) {
        if (ended.exchange(false) && device.takeEnd()) playFromStart(device, "loop.mid");
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    listener.record(false);
    device.setDoneCallback({});
    const std::vector<float> sound = listener.recorded();
    // Silences of 1 ms and more between the first and the last sound.
    std::size_t first = 0, last = 0;
    for (std::size_t i = 0; i < sound.size() / 2; ++i)
        if (std::fabs(sound[2 * i]) > threshold || std::fabs(sound[2 * i + 1]) > threshold) {
            if (!first) first = i;
            last = i;
        }
    std::vector<double> gaps;
    std::size_t quiet = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const bool loud = std::fabs(sound[2 * i]) > threshold || std::fabs(sound[2 * i + 1]) > threshold;
        if (!loud)
            ++quiet;
        else {
            if (quiet >= rate / 1000) gaps.push_back(1000.0 * double(quiet) / rate);
            quiet = 0;
        }
    }
    const double passes = double(last - first) / rate; // about one a second
    std::printf("%.0f s of loops, %zu silences of 1 ms or more:", passes, gaps.size());
    for (double g : gaps) std::printf(" %.1f", g);
    std::printf(" ms\n");
    return 0;
}

int launch(char** program) {
    Listener listener;
    if (!listener.silentFor(0.5)) {
        std::fprintf(stderr, "music_probe: the sink is not silent to begin with\n");
        return 1;
    }
    listener.arm();
    const auto begin = Clock::now();
    pid_t child = 0;
    int output = -1; // the player's own lines, kept off ours
    if (!launchWithOutputPiped(program, child, output)) return 1;
    const auto sound = listener.waitForSound(10);
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!sound) {
        std::fprintf(stderr, "music_probe: the player's music was not heard\n");
        return 1;
    }
    std::printf("%.1f\n", ms(begin, *sound));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::optional<fs::path> font;
    if (args.size() >= 3 && args[1] == "--soundfont") {
        font = args[2];
        args.erase(args.begin() + 1, args.begin() + 3);
    }
    if (args.size() == 3 && args[0] == "synthesis") return synthesis(font, args[1], std::atof(args[2].c_str()));
    if (args.size() == 4 && args[0] == "start") return start(font, args[1], args[2], args[3]);
    if (args.size() >= 2 && args[0] == "launch") return launch(argv + 2);
    if (args.size() == 3 && args[0] == "loop") return loop(font, args[1], std::atof(args[2].c_str()));
    std::fprintf(stderr, "usage: music_probe synthesis|start|launch ...\n");
    return 2;
}
