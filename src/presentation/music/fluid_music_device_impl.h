#pragma once
// The FluidSynth music device's state, shared by its two files:
// fluid_music_device.cpp sets the synth up and takes the window's commands,
// fluid_music_playing.cpp brings each piece's instruments in and renders.

#include "presentation/music/fluid_library.h"
#include "presentation/music/fluid_music_device.h"
#include "presentation/music/midi_presets.h"
#include "presentation/music/pulse_output.h"
#include "presentation/music/soundfont_directory.h"
#include "presentation/music/trimmed_soundfont.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace vorn {
namespace fs = std::filesystem;

constexpr std::size_t maxMidiBytes = 16 * 1024 * 1024;
// How long the audio thread waits for the restart of a piece that ended
// within the buffer it renders: a fifth of the default buffer.
constexpr int restartWaitMs = 10;
// FluidSynth's default gain of 0.2 leaves General MIDI music some 27 dB below
// full scale, far quieter than a Windows synthesizer played it; this is the
// gain at the reader's full volume.
constexpr double kFullGain = 0.6;

// The open file and a render's outcome live outside the device's class, so
// that every compiler sees them complete where the class constructs them.
struct OpenFile {
    std::string smf; // a Standard MIDI File
    std::string name;
    int division = 0; // ticks a quarter note
    MidiPresetUse use;
    std::set<PresetKey> instruments; // found in the soundfont
    std::uint64_t generation = 0;
    bool ready = false;     // the instruments it uses are in memory
    bool pinWanted = false; // ... and the pinning thread is to bring them in
};

// What a rendered stretch brought about, acted on once the mutex is released.
struct Outcome {
    bool ended = false; // a playback reached its end
    std::string failure;
};

// The one line that tells why the music is silent. A device that cannot play
// would otherwise say so at every music command and every loop.
void reportMusicOff(std::atomic<bool>& reported, const std::string& why);
// The last error FluidSynth reported, taken from where the player keeps it.
std::string takeFluidError();
std::string inQuotes(const std::string& name);

class FluidMusicDevice::Impl {
  public:
    Impl(GameFolder folder, std::optional<fs::path> soundfont, FluidMusicOptions options);
    ~Impl();
    void startSetUp();
    void setFileName(const std::string& name) { fileName_ = name; }
    void open();
    void play();
    void close();
    void setDoneCallback(std::function<void()> callback);
    void setLevel(double level);
    bool takeEnd();
    bool waitUntilReady();
    std::vector<float> render(std::size_t frames);

    const FluidMusicOptions options_;

  private:
    void setUp();
    std::string prepare();
    std::string openDriver();
    void prepareLocked();
    void pinInstruments();
    void resetSynthLocked();
    void applyLevelLocked();
    void startPlayerLocked();
    void requestReplaceLocked();
    bool knownOff();
    static int onAudio(void* data, int len, int nfx, float* fx[], int nout, float* out[]);
    PulseOutput::Rendered renderForOutput(float* interleaved, int frames, bool onlyToReplace);
    template <typename RenderBlock>
    void renderWatchedLocked(std::unique_lock<std::mutex>& lock, int frames, Outcome& outcome, RenderBlock renderBlock);
    void watchPlayerLocked(Outcome& outcome);
    double ticksPerBlock() const;
    void deliver(const Outcome& outcome);

    GameFolder folder_;
    std::optional<fs::path> soundfontChoice_;
    std::string fileName_; // the window's thread only
    std::atomic<bool> reported_{false};
    std::mutex mutex_; // guards everything below
    std::condition_variable setUpDone_;
    bool setUpFinished_ = false;
    const FluidLibrary* fl_ = nullptr; // set with settings_, before any of the objects below
    bool off_ = false;                 // no soundfont or no audio output: silent for good
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;      // where the sound server cannot be reached: ALSA
    std::unique_ptr<PulseOutput> output_;         // the sound server, fed from a thread of the player's own
    bool replaceQueued_ = false;                  // the next render replaces the sound queued at the server
    bool closedAtEnd_ = false;                    // the last Close came after its piece's end: a loop's restart
    int blockFrames_ = 64;                        // the synth renders and the player moves by these
    fluid_sfont_t* sfont_ = nullptr;              // on demand: the current piece's soundfont, in the synth
    int sfontId_ = 0;                             // changes each time the reset takes the soundfont out and back in
    std::optional<SoundfontDirectory> directory_; // when loading on demand
    std::string fontName_;                        // of the soundfont in the synth
    std::set<PresetKey> fontPresets_;             // its presets, all pinned
    std::condition_variable pinWanted_;
    std::condition_variable pinsDone_;
    bool stopping_ = false;
    std::uint64_t generation_ = 0; // files opened
    std::uint64_t playerStarts_ = 0;
    std::condition_variable playerStarted_;
    std::optional<OpenFile> open_;
    bool playWanted_ = false;          // Play came before the set-up had finished
    fluid_player_t* player_ = nullptr; // playing open_
    bool playerStopped_ = false;
    double exactTick_ = 0;    // where the player's tick stands at the end of the last block
    bool endReached_ = false; // the playback reached the end of its file
    bool endStands_ = false;  // ... and no Close came since
    bool failed_ = false;
    double level_ = 1; // the reader's volume, as a fraction of kFullGain

    // Held while the callback runs, so that whoever replaces it waits for a
    // call in progress. Never taken with mutex_ held.
    std::mutex callbackMutex_;
    std::function<void()> onDone_;
    std::once_flag setUpStarted_;
    std::thread setUpThread_; // last: start once everything above exists
    std::thread pinThread_;
};

} // namespace vorn
