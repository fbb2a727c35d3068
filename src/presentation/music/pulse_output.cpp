#include "presentation/music/pulse_output.h"

#include "shell/run_time_library.h"

#include <pulse/pulseaudio.h>

#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace vorn {
namespace {

#define VORN_PULSE_FUNCTIONS(X)                                                                                        \
    X(pa_strerror)                                                                                                     \
    X(pa_mainloop_new)                                                                                                 \
    X(pa_mainloop_free)                                                                                                \
    X(pa_mainloop_get_api)                                                                                             \
    X(pa_mainloop_prepare)                                                                                             \
    X(pa_mainloop_poll)                                                                                                \
    X(pa_mainloop_dispatch)                                                                                            \
    X(pa_mainloop_iterate)                                                                                             \
    X(pa_mainloop_wakeup)                                                                                              \
    X(pa_context_new)                                                                                                  \
    X(pa_context_connect)                                                                                              \
    X(pa_context_disconnect)                                                                                           \
    X(pa_context_unref)                                                                                                \
    X(pa_context_get_state)                                                                                            \
    X(pa_context_errno)                                                                                                \
    X(pa_stream_new)                                                                                                   \
    X(pa_stream_unref)                                                                                                 \
    X(pa_stream_set_write_callback)                                                                                    \
    X(pa_stream_connect_playback)                                                                                      \
    X(pa_stream_disconnect)                                                                                            \
    X(pa_stream_get_state)                                                                                             \
    X(pa_stream_write)                                                                                                 \
    X(pa_stream_flush)                                                                                                 \
    X(pa_operation_unref)

struct PulseLibrary {
#define VORN_PULSE_POINTER(name) decltype(&::name) name = nullptr;
    VORN_PULSE_FUNCTIONS(VORN_PULSE_POINTER)
#undef VORN_PULSE_POINTER
    bool complete = false;
    std::string why;
};

// libpulse, opened once and kept: FluidSynth holds it open as well.
const PulseLibrary& pulseLibrary() {
    static const PulseLibrary library = [] {
        PulseLibrary opened;
        RunTimeLibrary shared("libpulse.so.0", "libpulse");
#define VORN_PULSE_LOOKUP(name)                                                                                        \
    if (!shared.find(opened.name, #name)) {                                                                            \
        opened.why = shared.why();                                                                                     \
        return opened;                                                                                                 \
    }
        VORN_PULSE_FUNCTIONS(VORN_PULSE_LOOKUP)
#undef VORN_PULSE_LOOKUP
        opened.complete = true;
        return opened;
    }();
    return library;
}

// How long the connection to the server may take before the output gives up.
constexpr auto connectTimeout = std::chrono::seconds(5);

} // namespace

struct PulseOutput::State {
    const PulseLibrary* pa = nullptr;
    PulseOutputOptions options;
    Render render;
    Lost lost;
    pa_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::vector<float> buffer;
    std::atomic<bool> stopping{false};
    std::atomic<bool> renderWanted{false};
    std::thread thread;

    ~State() {
        if (stream) {
            pa->pa_stream_disconnect(stream);
            pa->pa_stream_unref(stream);
        }
        if (context) {
            pa->pa_context_disconnect(context);
            pa->pa_context_unref(context);
        }
        if (loop) pa->pa_mainloop_free(loop);
    }

    std::string contextError() const { return pa->pa_strerror(pa->pa_context_errno(context)); }

    // Runs the loop until `done` says yes (true) or no (false), or the time
    // runs out (false).
    template <typename Done>
    bool runUntil(Done done) {
        const auto until = std::chrono::steady_clock::now() + connectTimeout;
        for (;;) {
            if (const int answer = done(); answer >= 0) return answer > 0;
            const auto left = until - std::chrono::steady_clock::now();
            if (left <= std::chrono::steady_clock::duration::zero()) return false;
            const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
            if (pa->pa_mainloop_prepare(loop, static_cast<int>(std::min<long long>(micros, 100000))) < 0 ||
                pa->pa_mainloop_poll(loop) < 0 || pa->pa_mainloop_dispatch(loop) < 0)
                return false;
        }
    }

    // Renders `frames` and hands them to the server. Sound that replaces
    // the queue goes after a flush, which the server carries out before the
    // write that follows it on the same connection.
    void renderAndWrite(int frames, bool onlyToReplace) {
        buffer.resize(std::size_t(frames) * 2);
        const Rendered rendered = render(buffer.data(), frames, onlyToReplace);
        if (rendered == Rendered::Nothing) return;
        if (rendered == Rendered::Replaces)
            if (pa_operation* op = pa->pa_stream_flush(stream, nullptr, nullptr)) pa->pa_operation_unref(op);
        pa->pa_stream_write(stream, buffer.data(), buffer.size() * sizeof(float), nullptr, 0, PA_SEEK_RELATIVE);
    }

    // The server asks for `bytes` more: rendered in whole quanta, as much as
    // fits. Whatever is left over is asked for again with the next request.
    static void onWritable(pa_stream*, std::size_t bytes, void* data) {
        auto* self = static_cast<State*>(data);
        const int quantum = std::max(1, self->options.renderQuantum);
        int frames = static_cast<int>(bytes / (2 * sizeof(float)));
        frames -= frames % quantum;
        if (frames > 0) self->renderAndWrite(frames, false);
    }

    void run() {
        pthread_setname_np(pthread_self(), "music output"); // as the benchmarks and top name it
        // The thread that opened the output runs at a low priority (the
        // music's set-up yields to the window), and this one inherits it;
        // but the queue must be topped up in time on a busy machine. Real
        // time where the system allows it, as audio threads are; else the
        // normal priority where allowed. Rendering takes about 1 % of a core.
        sched_param realTime{};
        realTime.sched_priority = sched_get_priority_min(SCHED_FIFO) + 9;
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &realTime) != 0)
            setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 0);
        while (!stopping.load()) {
            // A whole buffer, to stand in for the queue it replaces.
            if (renderWanted.exchange(false)) renderAndWrite(options.bufferedFrames, true);
            if (pa->pa_mainloop_iterate(loop, 1, nullptr) < 0 || pa->pa_stream_get_state(stream) != PA_STREAM_READY) {
                // The server went away: nothing more can be heard.
                if (lost && !stopping.load()) lost("the sound server went away: " + contextError());
                return;
            }
        }
    }
};

std::unique_ptr<PulseOutput> PulseOutput::open(const PulseOutputOptions& options, Render render, Lost lost,
                                               std::string& why) {
    const PulseLibrary& pa = pulseLibrary();
    if (!pa.complete) {
        why = pa.why;
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->pa = &pa;
    state->options = options;
    state->render = std::move(render);
    state->lost = std::move(lost);
    state->loop = pa.pa_mainloop_new();
    if (!state->loop) {
        why = "libpulse cannot start";
        return nullptr;
    }
    state->context = pa.pa_context_new(pa.pa_mainloop_get_api(state->loop), "vorn");
    if (!state->context) {
        why = "libpulse cannot start";
        return nullptr;
    }
    if (pa.pa_context_connect(state->context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) {
        why = "cannot reach the sound server: " + state->contextError();
        return nullptr;
    }
    const bool connected = state->runUntil([&] {
        switch (pa.pa_context_get_state(state->context)) {
        case PA_CONTEXT_READY: return 1;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED: return 0;
        default: return -1;
        }
    });
    if (!connected) {
        why = "cannot reach the sound server: " + state->contextError();
        return nullptr;
    }

    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(options.sampleRate), 2};
    state->stream = pa.pa_stream_new(state->context, "music", &format, nullptr);
    if (!state->stream) {
        why = "the sound server refuses the music: " + state->contextError();
        return nullptr;
    }
    const auto frameBytes = static_cast<std::uint32_t>(2 * sizeof(float));
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(options.bufferedFrames) * frameBytes;
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(options.blockFrames) * frameBytes;
    attr.fragsize = static_cast<std::uint32_t>(-1);
    pa.pa_stream_set_write_callback(state->stream, &State::onWritable, state.get());
    // No automatic timing updates: nothing here asks where the playback
    // stands, and they would wake the thread many times a second.
    if (pa.pa_stream_connect_playback(state->stream, nullptr, &attr, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0) {
        why = "the sound server refuses the music: " + state->contextError();
        return nullptr;
    }
    const bool playing = state->runUntil([&] {
        switch (pa.pa_stream_get_state(state->stream)) {
        case PA_STREAM_READY: return 1;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED: return 0;
        default: return -1;
        }
    });
    if (!playing) {
        why = "the sound server refuses the music: " + state->contextError();
        return nullptr;
    }
    State* running = state.get();
    running->thread = std::thread([running] { running->run(); });
    return std::unique_ptr<PulseOutput>(new PulseOutput(std::move(state)));
}

PulseOutput::PulseOutput(std::unique_ptr<State> state) : state_(std::move(state)) {}

PulseOutput::~PulseOutput() {
    state_->stopping = true;
    state_->pa->pa_mainloop_wakeup(state_->loop);
    if (state_->thread.joinable()) state_->thread.join();
}

void PulseOutput::renderSoon() {
    state_->renderWanted = true;
    state_->pa->pa_mainloop_wakeup(state_->loop);
}

} // namespace vorn
