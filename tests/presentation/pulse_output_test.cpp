// The music's own output to a PulseAudio server: a private server with a
// null sink is started for the tests that play.

#include "presentation/music/pulse_output.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vorn {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Sets an environment variable for the life of the object.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// A PulseAudio server of the test's own, with a null sink, reached through
// PULSE_SERVER while the object lives.
class PrivateServer {
  public:
    PrivateServer() {
        dir_ = fs::temp_directory_path() / ("vorn-pulse-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        const std::string socket = (dir_ / "native").string();
        std::vector<std::string> args{"pulseaudio",
                                      "-n",
                                      "--daemonize=no",
                                      "--exit-idle-time=-1",
                                      "--log-target=file:" + (dir_ / "log").string(),
                                      "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
                                      "--load=module-null-sink sink_name=test"};
        std::vector<std::string> env{"HOME=" + dir_.string(), "PULSE_RUNTIME_PATH=" + dir_.string()};
        if (const char* path = std::getenv("PATH")) env.push_back(std::string("PATH=") + path);
        std::vector<char*> argv, envp;
        for (std::string& a : args) argv.push_back(a.data());
        for (std::string& e : env) envp.push_back(e.data());
        argv.push_back(nullptr), envp.push_back(nullptr);
        if (::posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, argv.data(), envp.data()) != 0) {
            pid_ = 0;
            return;
        }
        server_.emplace("PULSE_SERVER", "unix:" + socket);
        for (int i = 0; i < 100 && !fs::exists(socket); ++i) std::this_thread::sleep_for(50ms);
        std::this_thread::sleep_for(100ms); // the socket is made before the sink is loaded
        ready_ = fs::exists(socket);
    }
    ~PrivateServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    bool ready() const { return ready_; }
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

  private:
    fs::path dir_;
    pid_t pid_ = 0;
    bool ready_ = false;
    std::optional<ScopedVariable> server_;
};

bool havePulseaudio() {
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "/usr/bin:/bin";
    for (std::size_t at = 0; at <= rest.size();) {
        const std::size_t end = std::min(rest.find(':', at), rest.size());
        if (fs::exists(fs::path(rest.substr(at, end - at)) / "pulseaudio")) return true;
        at = end + 1;
    }
    return false;
}

// What the output asked of its renderer.
struct Calls {
    std::mutex mutex;
    std::vector<std::pair<int, bool>> renders; // frames, onlyToReplace
    bool replaceWanted = false;

    PulseOutput::Render renderer() {
        return [this](float* out, int frames, bool onlyToReplace) {
            std::lock_guard lock(mutex);
            renders.emplace_back(frames, onlyToReplace);
            if (onlyToReplace && !replaceWanted) return PulseOutput::Rendered::Nothing;
            std::fill(out, out + 2 * frames, 0.0f);
            return std::exchange(replaceWanted, false) ? PulseOutput::Rendered::Replaces
                                                       : PulseOutput::Rendered::Follows;
        };
    }
    std::size_t count() {
        std::lock_guard lock(mutex);
        return renders.size();
    }
    // Waits up to two seconds for a render that `wanted` accepts.
    template <typename Wanted>
    bool waitFor(Wanted wanted) {
        for (int i = 0; i < 200; ++i) {
            {
                std::lock_guard lock(mutex);
                for (const auto& r : renders)
                    if (wanted(r)) return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
};

PulseOutputOptions smallOptions() {
    PulseOutputOptions options;
    options.blockFrames = 1024;
    options.bufferedFrames = 4096;
    options.renderQuantum = 64;
    return options;
}

TEST(PulseOutput, WithoutAServerSaysWhyAndRendersNothing) {
    ScopedVariable server("PULSE_SERVER", "unix:/nonexistent/vorn-no-such-socket");
    Calls calls;
    std::string why;
    EXPECT_EQ(PulseOutput::open(smallOptions(), calls.renderer(), {}, why), nullptr);
    EXPECT_EQ(why.rfind("cannot reach the sound server: ", 0), 0u) << why;
    EXPECT_EQ(calls.count(), 0u);
}

TEST(PulseOutput, RendersWholeQuantaInLargeBlocksAndStopsWhenClosed) {
    if (!havePulseaudio()) GTEST_SKIP() << "no pulseaudio";
    PrivateServer server;
    if (!server.ready()) GTEST_SKIP() << "the private sound server did not start";
    Calls calls;
    std::string why;
    std::unique_ptr<PulseOutput> output = PulseOutput::open(smallOptions(), calls.renderer(), {}, why);
    ASSERT_NE(output, nullptr) << why;
    // The queue fills, then drains and is topped up, block by block.
    ASSERT_TRUE(calls.waitFor([](const auto&) { return true; }));
    const std::size_t first = calls.count();
    ASSERT_TRUE(calls.waitFor([&](const auto&) { return calls.renders.size() > first + 2; }));
    output.reset();
    const std::size_t closedAt = calls.count();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(calls.count(), closedAt) << "a render after the output was closed";
    for (const auto& [frames, onlyToReplace] : calls.renders) {
        EXPECT_EQ(frames % 64, 0) << frames;
        // A request for less than a block would wake the thread too often.
        EXPECT_GE(frames, 1024) << frames;
        EXPECT_FALSE(onlyToReplace);
    }
}

TEST(PulseOutput, RenderSoonReplacesTheQueueOnlyWhenTheRendererHasSoundToReplaceIt) {
    if (!havePulseaudio()) GTEST_SKIP() << "no pulseaudio";
    PrivateServer server;
    if (!server.ready()) GTEST_SKIP() << "the private sound server did not start";
    Calls calls;
    std::string why;
    std::unique_ptr<PulseOutput> output = PulseOutput::open(smallOptions(), calls.renderer(), {}, why);
    ASSERT_NE(output, nullptr) << why;
    ASSERT_TRUE(calls.waitFor([](const auto&) { return true; }));
    // Nothing to replace: the renderer says so and the stream plays on.
    output->renderSoon();
    ASSERT_TRUE(calls.waitFor([](const auto& r) { return r.second; }));
    const std::size_t after = calls.count();
    ASSERT_TRUE(calls.waitFor([&](const auto&) { return calls.renders.size() > after + 1; }))
        << "the stream stopped asking for sound";
    // Sound that replaces the queue: a whole buffer of it, at once.
    {
        std::lock_guard lock(calls.mutex);
        calls.replaceWanted = true;
        calls.renders.clear();
    }
    output->renderSoon();
    ASSERT_TRUE(calls.waitFor([](const auto& r) { return r.second; }));
    {
        std::lock_guard lock(calls.mutex);
        EXPECT_FALSE(calls.replaceWanted);
        for (const auto& [frames, onlyToReplace] : calls.renders)
            if (onlyToReplace) EXPECT_EQ(frames, 4096);
    }
    // The stream goes on after the flush.
    const std::size_t replacedAt = calls.count();
    EXPECT_TRUE(calls.waitFor([&](const auto&) { return calls.renders.size() > replacedAt + 1; }));
}

TEST(PulseOutput, SaysOnceThatTheServerWentAway) {
    if (!havePulseaudio()) GTEST_SKIP() << "no pulseaudio";
    PrivateServer server;
    if (!server.ready()) GTEST_SKIP() << "the private sound server did not start";
    Calls calls;
    std::mutex mutex;
    std::vector<std::string> told;
    std::string why;
    std::unique_ptr<PulseOutput> output = PulseOutput::open(
        smallOptions(), calls.renderer(),
        [&](const std::string& lost) {
            std::lock_guard lock(mutex);
            told.push_back(lost);
        },
        why);
    ASSERT_NE(output, nullptr) << why;
    ASSERT_TRUE(calls.waitFor([](const auto&) { return true; }));
    server.stop();
    for (int i = 0; i < 200; ++i) {
        {
            std::lock_guard lock(mutex);
            if (!told.empty()) break;
        }
        std::this_thread::sleep_for(10ms);
    }
    output->renderSoon(); // asked of a thread that has ended: nothing happens
    output.reset();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].rfind("the sound server went away: ", 0), 0u) << told[0];
}

} // namespace
} // namespace vorn
