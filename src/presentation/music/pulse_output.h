#pragma once
// Sound out to a PulseAudio server from one thread of the player's own.
//
// FluidSynth's PulseAudio driver writes small buffers through libpulse's
// simple API, whose own thread also asks the server for timing updates: two
// threads woke well over a hundred times a second for background music. Here
// a single thread runs libpulse's plain main loop and renders only when the
// server asks for more, in blocks of tens of milliseconds, with a server-side
// buffer of some 190 ms, so it wakes about twenty times a second.
//
// libpulse is opened when the output is, like FluidSynth (which brings it in
// anyway), so nothing of it loads before the first page.

#include <functional>
#include <memory>
#include <string>

namespace vorn {

struct PulseOutputOptions {
    double sampleRate = 44100;
    int blockFrames = 2048;    // the least the server asks for at a time
    int bufferedFrames = 8192; // what the server keeps queued ahead
    int renderQuantum = 64;    // every render covers a whole number of these
};

class PulseOutput {
  public:
    // What a render gave: nothing, sound that follows what the server holds
    // queued, or sound that replaces it (a stop, or a new piece's start,
    // heard at once instead of after the queue).
    enum class Rendered { Nothing, Follows, Replaces };
    // Fills `frames` frames of stereo float samples, interleaved; `frames`
    // is a multiple of the render quantum. With `onlyToReplace`, renders
    // only sound that replaces the queue, else nothing. Runs on the
    // output's thread.
    using Render = std::function<Rendered(float* interleaved, int frames, bool onlyToReplace)>;

    // Told once, on the output's thread, why the sound stopped for good (the
    // server went away).
    using Lost = std::function<void(const std::string& why)>;

    // A stream connected to the default server and playing, or null with
    // `why` telling what failed (no libpulse, no server, no stream).
    static std::unique_ptr<PulseOutput> open(const PulseOutputOptions& options, Render render, Lost lost,
                                             std::string& why);

    // Stops the thread and closes the stream: `render` is not called once
    // this returns.
    ~PulseOutput();
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // From any thread: asks for a render at once, before the server asks
    // for more, with `onlyToReplace`. The renderer calls it when it has
    // sound that replaces the queue.
    void renderSoon();

    struct State;

  private:
    explicit PulseOutput(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace vorn
