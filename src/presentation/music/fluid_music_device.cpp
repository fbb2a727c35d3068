// Background music through FluidSynth.
//
// Threads: the window's thread sends the commands; the set-up thread creates
// the synth, loads the soundfont and opens the audio driver; the driver's
// thread renders. FluidSynth's MIDI player runs inside the rendering, on the
// synth's sample timer, so an offline render plays exactly as the sound card
// does. Creating or deleting a player changes the synth's list of sample
// timers, which FluidSynth does not guard against the rendering thread, so the
// rendering and every change of the player take one mutex. The window's
// thread holds it for microseconds only: files are read before it is taken.
//
// Samples: FluidSynth, asked to load samples on demand, loads an
// instrument's samples when a channel selects it, which for a program change
// in the music would be on the audio thread. Opening a music file therefore
// works out every instrument it can select, and a thread of its own gives the
// synth a soundfont of just those (the directory trimmed, the samples read
// from the real file) with all their samples pinned in memory, in place of
// the previous piece's, before the music plays. A restart of the same piece
// finds them all in.
//
// The end of playback is the player's tick reaching the tick of the file's
// last event. FluidSynth's own end comes only once the last notes have died
// away, seconds later, which would leave a hole at every loop. The player
// moves one block of the synth (64 frames) at a time, so the device renders
// block by block and looks at the player's tick after each: the end is
// reported with the buffer that holds it, and the restart can sound in the
// very next buffer.

#include "presentation/music/fluid_music_device.h"

#include "interpreter/message.h"
#include "presentation/music/byte_order.h"
#include "presentation/music/fluid_library.h"
#include "presentation/music/midi_checks.h"
#include "presentation/music/midi_presets.h"
#include "presentation/music/soundfont_directory.h"
#include "presentation/music/trimmed_soundfont.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <malloc.h>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>
#include <utility>

namespace vorn {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t maxMidiBytes = 16 * 1024 * 1024;
// How long the audio thread waits for the restart of a piece that ended
// within the buffer it renders: a fifth of the default buffer.
constexpr int restartWaitMs = 10;

// The one line that tells why the music is silent. A device that cannot play
// would otherwise say so at every music command and every loop.
void reportMusicOff(std::atomic<bool>& reported, const std::string& why) {
    if (!reported.exchange(true)) std::fprintf(stderr, "vorn: music is off: %s\n", escapeControls(why).c_str());
}

// FluidSynth writes its messages to the terminal; the player keeps them and
// quotes the last error when it has to say why the music is off.
std::mutex fluidErrorMutex;
std::string fluidError;

void keepFluidError(int level, const char* message, void*) {
    if (level > FLUID_ERR || !message) return;
    std::lock_guard lock(fluidErrorMutex);
    fluidError = message;
}

std::string takeFluidError() {
    std::lock_guard lock(fluidErrorMutex);
    return std::exchange(fluidError, {});
}

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA's library writes a dozen lines to the terminal on a machine without a
// sound card. It comes with FluidSynth, so its error handler is looked up by
// name instead of linking the library for this one call.
void quietLibraries(const FluidLibrary& fluid) {
    static std::once_flag once;
    std::call_once(once, [&fluid] {
        for (int level = 0; level < LAST_LOG_LEVEL; ++level)
            fluid.fluid_set_log_function(level, keepFluidError, nullptr);
        using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetAlsaErrorHandler = int (*)(AlsaErrorHandler);
        if (void* alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD)) {
            if (void* set = ::dlsym(alsa, "snd_lib_error_set_handler"))
                reinterpret_cast<SetAlsaErrorHandler>(set)(&ignoreAlsaError);
            ::dlclose(alsa); // only drops the count this lookup added
        }
    });
}

std::string inQuotes(const std::string& name) { return "\"" + name + "\""; }

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

} // namespace

class FluidMusicDevice::Impl {
  public:
    Impl(GameFolder folder, std::optional<fs::path> soundfont, FluidMusicOptions options)
        : options_(options), folder_(std::move(folder)), soundfontChoice_(std::move(soundfont)) {
        if (!options_.deferSetUp) startSetUp();
    }

    void startSetUp() {
        std::call_once(setUpStarted_, [this] { setUpThread_ = std::thread([this] { setUp(); }); });
    }

    ~Impl() {
        if (setUpThread_.joinable()) setUpThread_.join();
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        pinWanted_.notify_all();
        if (pinThread_.joinable()) pinThread_.join();
        if (driver_) fl_->delete_fluid_audio_driver(driver_); // joins the audio thread: no callback after this
        if (player_) fl_->delete_fluid_player(player_);
        if (synth_) fl_->delete_fluid_synth(synth_);
        if (settings_) fl_->delete_fluid_settings(settings_);
        if (!fontName_.empty()) TrimmedFiles::remove(fontName_);
    }

    void setFileName(const std::string& name) { fileName_ = name; }

    void open() {
        close(); // at most one open file
        if (knownOff()) return;
        const std::string name = fileName_;
        if (name.empty()) return reportMusicOff(reported_, "a music command names no file");
        const FileContents file = folder_.read(name, maxMidiBytes);
        if (!file.error.empty()) return reportMusicOff(reported_, "cannot play " + inQuotes(name) + ": " + file.error);
        const std::string_view smf = unwrapRiffMidi(file.bytes);
        if (const std::string why = midiProblem(smf); !why.empty())
            return reportMusicOff(reported_, "cannot play " + inQuotes(name) + ": " + why);
        const MidiPresetUse use = options_.loadSamplesOnDemand ? midiPresetUse(smf) : MidiPresetUse{};
        std::lock_guard lock(mutex_);
        open_.emplace();
        open_->smf = std::string(smf);
        open_->name = name;
        open_->division = static_cast<int>(bigEndian(smf, 12, 2));
        open_->use = use;
        open_->generation = ++generation_;
        if (setUpFinished_ && !off_) prepareLocked();
    }

    void play() {
        std::lock_guard lock(mutex_);
        if (!open_ || player_) return;
        if (!setUpFinished_ || !open_->ready) {
            playWanted_ = true; // starts when the soundfont and the instruments are in
            return;
        }
        if (!off_) startPlayerLocked();
    }

    void close() {
        std::lock_guard lock(mutex_);
        open_.reset();
        playWanted_ = false;
        endStands_ = false;
        if (player_) {
            fl_->delete_fluid_player(player_);
            player_ = nullptr;
            // Nothing of the old piece may reach the next one. The reset puts
            // back programs, controllers and effects, but it only releases the
            // notes, and a piano's release rings for a second: sounds-off cuts them.
            resetSynthLocked();
            fl_->fluid_synth_all_sounds_off(synth_, -1);
        }
    }

    void setDoneCallback(std::function<void()> callback) {
        std::lock_guard lock(callbackMutex_);
        onDone_ = std::move(callback);
    }

    bool takeEnd() {
        std::lock_guard lock(mutex_);
        return std::exchange(endStands_, false);
    }

    bool waitUntilReady() {
        startSetUp();
        std::unique_lock lock(mutex_);
        setUpDone_.wait(lock, [this] { return setUpFinished_; });
        return !off_;
    }

    std::vector<float> render(std::size_t frames) {
        std::vector<float> sound(frames * 2, 0.0f);
        if (options_.output != FluidMusicOptions::Output::Offline || !waitUntilReady()) return sound;
        Outcome outcome;
        {
            // Offline, the caller's time is the music's: a piece opened waits
            // for its instruments rather than starting late.
            std::unique_lock lock(mutex_);
            pinsDone_.wait(lock, [this] { return !open_ || open_->ready || stopping_; });
            for (std::size_t done = 0; done < frames; done += std::size_t(blockFrames_)) {
                const int n = static_cast<int>(std::min(std::size_t(blockFrames_), frames - done));
                float* at = sound.data() + 2 * done;
                fl_->fluid_synth_write_float(synth_, n, at, 0, 2, at, 1, 2);
                watchPlayerLocked(outcome);
            }
        }
        deliver(outcome);
        return sound;
    }

    const FluidMusicOptions options_;

  private:
    void setUp() {
        // The soundfont load yields to the window's thread, which is busy
        // showing the first page meanwhile. The audio thread that FluidSynth
        // starts later is its own and keeps the normal priority.
        setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
        pthread_setname_np(pthread_self(), "music set-up"); // as the benchmarks and top name it
        const std::string problem = prepare();
        // Reading the soundfont's directory leaves megabytes of freed
        // scaffolding in this thread's heap; give them back.
        ::malloc_trim(0);
        if (!problem.empty()) {
            // Give back the soundfont's memory at once; the device stays silent.
            if (driver_) fl_->delete_fluid_audio_driver(driver_);
            if (synth_) fl_->delete_fluid_synth(synth_);
            driver_ = nullptr;
            synth_ = nullptr;
        }
        if (problem.empty() && options_.loadSamplesOnDemand) pinThread_ = std::thread([this] { pinInstruments(); });
        {
            std::lock_guard lock(mutex_);
            setUpFinished_ = true;
            off_ = !problem.empty();
            if (!off_ && open_) prepareLocked();
            if (!off_ && playWanted_ && open_ && open_->ready) startPlayerLocked();
            if (!open_ || off_ || open_->ready) playWanted_ = false;
        }
        setUpDone_.notify_all();
        if (!problem.empty()) reportMusicOff(reported_, problem);
    }

    // Synth, soundfont, audio driver; why not, when one fails.
    std::string prepare() {
        std::string why;
        fl_ = fluidLibrary(why);
        if (!fl_) return why;
        quietLibraries(*fl_);
        settings_ = fl_->new_fluid_settings();
        if (!settings_) return "FluidSynth cannot start";
        fl_->fluid_settings_setnum(settings_, "synth.sample-rate", options_.sampleRate);
        fl_->fluid_settings_setint(settings_, "audio.period-size", options_.periodSize);
        fl_->fluid_settings_setint(settings_, "audio.periods", options_.periods);
        fl_->fluid_settings_setstr(settings_, "player.timing-source", "sample");
        // FluidSynth's default gain of 0.2 leaves General MIDI music some 27 dB
        // below full scale, far quieter than a Windows synthesizer played it.
        fl_->fluid_settings_setnum(settings_, "synth.gain", 0.6);
        if (options_.loadSamplesOnDemand) fl_->fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        synth_ = fl_->new_fluid_synth(settings_);
        if (!synth_) return "FluidSynth cannot start: " + takeFluidError();
        blockFrames_ = std::max(1, fl_->fluid_synth_get_internal_bufsize(synth_));

        std::optional<fs::path> font = soundfontChoice_;
        if (!font) {
            for (const fs::path& candidate : defaultSoundfonts()) {
                std::error_code ec;
                if (fs::is_regular_file(candidate, ec)) {
                    font = candidate;
                    break;
                }
            }
        }
        if (!font)
            return "no General MIDI soundfont is installed (fluid-soundfont-gm has one; --soundfont FILE names "
                   "another)";
        std::error_code ec;
        if (!fs::is_regular_file(*font, ec)) return "no soundfont file " + inQuotes(font->string());
        if (options_.loadSamplesOnDemand) {
            // Only the directory is read now; each piece gets a soundfont of
            // its own instruments when it is opened.
            std::string problem;
            std::optional<SoundfontDirectory> directory = SoundfontDirectory::read(*font, problem);
            if (!directory) return "cannot load the soundfont " + inQuotes(font->string()) + ": " + problem;
            fluid_sfloader_t* loader = fl_->new_fluid_defsfloader(settings_);
            if (!loader) return "FluidSynth cannot start";
            fl_->fluid_sfloader_set_callbacks(loader, &TrimmedFiles::open, &TrimmedFiles::read, &TrimmedFiles::seek,
                                              &TrimmedFiles::tell, &TrimmedFiles::close);
            fl_->fluid_synth_add_sfloader(synth_, loader); // the synth owns it
            std::lock_guard lock(mutex_);
            directory_ = std::move(directory);
        } else if (fl_->fluid_synth_sfload(synth_, font->c_str(), 1) == FLUID_FAILED) {
            return "cannot load the soundfont " + inQuotes(font->string()) + ": " + takeFluidError();
        }

        // The driver comes last: nothing renders while the soundfont loads.
        if (options_.output == FluidMusicOptions::Output::AudioDriver) return openDriver();
        return {};
    }

    std::string openDriver() {
        std::string failures;
        for (const char* name : {"pulseaudio", "alsa"}) {
            fl_->fluid_settings_setstr(settings_, "audio.driver", name);
            driver_ = fl_->new_fluid_audio_driver2(settings_, &Impl::onAudio, this);
            if (driver_) return {};
            failures += std::string(failures.empty() ? "" : "; ") + name + ": " + takeFluidError();
        }
        return "no audio output (" + failures + ")";
    }

    // The open file is ready at once when the soundfont in the synth holds
    // all its instruments (a restart of the same piece); else the pinning
    // thread makes one that does.
    void prepareLocked() {
        if (!options_.loadSamplesOnDemand || !directory_) {
            open_->ready = true;
            return;
        }
        open_->instruments = instrumentsOf(*directory_, open_->use);
        open_->ready = sfont_ && std::includes(fontPresets_.begin(), fontPresets_.end(), open_->instruments.begin(),
                                               open_->instruments.end());
        open_->pinWanted = !open_->ready;
        if (open_->pinWanted) pinWanted_.notify_all();
    }

    // The pinning thread: gives the synth a soundfont of the opened file's
    // instruments, with their samples in memory, in place of the previous
    // piece's, and starts the piece if Play came meanwhile. The synth finds
    // in it every instrument it would find in the whole soundfont for this
    // piece, falling back alike where one is missing. FluidSynth's own lock
    // guards the loading; the device's mutex is never held while the disk is
    // read, so the audio thread renders on meanwhile.
    void pinInstruments() {
        pthread_setname_np(pthread_self(), "music samples");
        std::unique_lock lock(mutex_);
        for (;;) {
            pinWanted_.wait(lock, [this] { return stopping_ || (open_ && open_->pinWanted); });
            if (stopping_) return;
            open_->pinWanted = false;
            const std::uint64_t generation = open_->generation;
            const std::set<PresetKey> wanted = open_->instruments;
            lock.unlock();
            const std::string name = TrimmedFiles::add(directory_->trimmed(wanted));
            const int id = fl_->fluid_synth_sfload(synth_, name.c_str(), 0);
            if (id != FLUID_FAILED)
                for (const PresetKey& key : wanted) fl_->fluid_synth_pin_preset(synth_, id, key.first, key.second);
            lock.lock();
            if (!open_ || open_->generation != generation || id == FLUID_FAILED) {
                // Another file came meanwhile, or this one cannot be made.
                if (id != FLUID_FAILED) fl_->fluid_synth_sfunload(synth_, id, 0);
                TrimmedFiles::remove(name);
                if (id == FLUID_FAILED && open_ && open_->generation == generation) {
                    reportMusicOff(reported_, "cannot load the soundfont: " + takeFluidError());
                    open_->ready = true; // plays without it: silence
                    playWanted_ = false;
                    pinsDone_.notify_all();
                }
                continue;
            }
            if (sfont_) {
                fl_->fluid_synth_sfunload(synth_, sfontId_, 0);
                TrimmedFiles::remove(fontName_);
            }
            sfontId_ = id;
            sfont_ = fl_->fluid_synth_get_sfont_by_id(synth_, id);
            fontName_ = name;
            fontPresets_ = wanted;
            open_->ready = true;
            if (playWanted_ && !player_ && !off_) startPlayerLocked();
            playWanted_ = false;
            pinsDone_.notify_all();
            lock.unlock();
            ::malloc_trim(0); // the previous piece's samples
            lock.lock();
        }
    }

    // Back to the state of a new synth. On demand, the reset runs with the
    // soundfont out of the synth, so that no channel selects its default
    // instrument (and loads its samples) before a piece plays it.
    void resetSynthLocked() {
        if (!options_.loadSamplesOnDemand || !sfont_) {
            fl_->fluid_synth_system_reset(synth_);
            return;
        }
        fl_->fluid_synth_all_sounds_off(synth_, -1);
        fl_->fluid_synth_remove_sfont(synth_, sfont_);
        fl_->fluid_synth_system_reset(synth_);
        for (int c = 0; c < 16; ++c) fl_->fluid_synth_unset_program(synth_, c);
        sfontId_ = fl_->fluid_synth_add_sfont(synth_, sfont_);
    }

    void startPlayerLocked() {
        if (options_.loadSamplesOnDemand && sfont_) {
            // The channels the piece plays before choosing an instrument get
            // their default one, as a reset gives it.
            for (int c = 0; c < 16; ++c)
                if (open_->use.channels[std::size_t(c)].playsDefault) fl_->fluid_synth_program_change(synth_, c, 0);
        }
        player_ = fl_->new_fluid_player(synth_);
        if (!player_) return;
        ++playerStarts_;
        playerStarted_.notify_all();
        fl_->fluid_player_add_mem(player_, open_->smf.data(), open_->smf.size());
        playerStopped_ = false;
        exactTick_ = 0;
        endReached_ = false;
        failed_ = false;
        fl_->fluid_player_play(player_);
    }

    bool knownOff() {
        std::lock_guard lock(mutex_);
        return off_;
    }

    // The audio driver's thread asks for the next buffer.
    static int onAudio(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
        auto* self = static_cast<Impl*>(data);
        // PulseAudio and ALSA ask for two buffers and no effect buffers; more
        // than this many stay silent.
        constexpr int most = 16;
        nout = std::min(nout, most);
        nfx = fx ? std::min(nfx, most) : 0;
        for (int i = 0; i < nout; ++i)
            if (out[i]) std::memset(out[i], 0, sizeof(float) * static_cast<std::size_t>(len));
        for (int i = 0; i < nfx; ++i)
            if (fx[i]) std::memset(fx[i], 0, sizeof(float) * static_cast<std::size_t>(len));

        Outcome outcome;
        {
            std::unique_lock lock(self->mutex_);
            float* outAt[most];
            float* fxAt[most];
            for (int done = 0; done < len; done += self->blockFrames_) {
                const int n = std::min(self->blockFrames_, len - done);
                for (int i = 0; i < nout; ++i) outAt[i] = out[i] ? out[i] + done : nullptr;
                for (int i = 0; i < nfx; ++i) fxAt[i] = fx[i] ? fx[i] + done : nullptr;
                // Without effect buffers of its own the driver gets reverb and
                // chorus mixed into the output.
                if (nfx == 0)
                    self->fl_->fluid_synth_process(self->synth_, n, nout, outAt, nout, outAt);
                else
                    self->fl_->fluid_synth_process(self->synth_, n, nfx, fxAt, nout, outAt);
                self->watchPlayerLocked(outcome);
                if (outcome.ended && done + n < len) {
                    // The end lies within this buffer. The window's thread
                    // restarts the piece as soon as it hears of it, in well
                    // under a millisecond when idle; the buffer waits that
                    // long for the restart, which then sounds right after the
                    // end instead of a buffer later. The sound server still
                    // holds a whole buffer, so the wait is never heard.
                    const std::uint64_t startsBefore = self->playerStarts_;
                    lock.unlock();
                    self->deliver(outcome);
                    outcome = {};
                    lock.lock();
                    self->playerStarted_.wait_for(lock, std::chrono::milliseconds(restartWaitMs),
                                                  [&] { return self->playerStarts_ != startsBefore; });
                }
            }
        }
        self->deliver(outcome);
        return FLUID_OK;
    }

    // After each rendered block: has the playback reached its end, or has the
    // player stopped short of it, finding nothing it could play?
    void watchPlayerLocked(Outcome& outcome) {
        if (!player_ || playerStopped_) return;
        // Zero until the player has read the file, and for a file whose last
        // event lies at its start, which has no length to loop over.
        const int total = fl_->fluid_player_get_total_ticks(player_);
        const int tick = fl_->fluid_player_get_current_tick(player_);
        // The player's tick runs on a clock of whole milliseconds and lags by
        // up to one; the tick at the end of this block, counted exactly, tells
        // whether the last event falls within it.
        exactTick_ += ticksPerBlock();
        if (total > 0 && !endReached_ && (tick >= total || exactTick_ >= total)) {
            endReached_ = true;
            endStands_ = true;
            outcome.ended = true;
        }
        if (total > 0 && tick >= total) {
            playerStopped_ = true;
            fl_->fluid_player_stop(player_);
        } else if (!endReached_ && !failed_ && fl_->fluid_player_get_status(player_) == FLUID_PLAYER_DONE) {
            failed_ = true;
            outcome.failure = "cannot play " + inQuotes(open_->name) + ": FluidSynth finds nothing to play in it";
        }
    }

    double ticksPerBlock() const {
        const int tempo = fl_->fluid_player_get_midi_tempo(player_); // microseconds a quarter note
        if (tempo <= 0) return 0;
        return blockFrames_ * 1e6 * open_->division / (options_.sampleRate * tempo);
    }

    void deliver(const Outcome& outcome) {
        if (outcome.ended) {
            std::lock_guard lock(callbackMutex_);
            if (onDone_) onDone_();
        }
        if (!outcome.failure.empty()) reportMusicOff(reported_, outcome.failure);
    }

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
    fluid_audio_driver_t* driver_ = nullptr;
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

    // Held while the callback runs, so that whoever replaces it waits for a
    // call in progress. Never taken with mutex_ held.
    std::mutex callbackMutex_;
    std::function<void()> onDone_;

    std::once_flag setUpStarted_;
    std::thread setUpThread_; // last: start once everything above exists
    std::thread pinThread_;
};

FluidMusicDevice::FluidMusicDevice(GameFolder folder, std::optional<std::filesystem::path> soundfont,
                                   FluidMusicOptions options)
    : impl_(std::make_unique<Impl>(std::move(folder), std::move(soundfont), options)) {}

FluidMusicDevice::~FluidMusicDevice() = default;

// The device type, Notify, Wait and Shareable change nothing: this device
// plays MIDI files, and Play always returns at once.
void FluidMusicDevice::setDeviceType(const std::string&) {}
void FluidMusicDevice::setNotify(bool) {}
void FluidMusicDevice::setWait(bool) {}
void FluidMusicDevice::setShareable(bool) {}

void FluidMusicDevice::setFileName(const std::string& value) { impl_->setFileName(value); }

void FluidMusicDevice::setCommand(MusicCommand command) {
    switch (command) {
    case MusicCommand::Open: impl_->open(); break;
    case MusicCommand::Play: impl_->play(); break;
    case MusicCommand::Close: impl_->close(); break;
    }
}

void FluidMusicDevice::setDoneCallback(std::function<void()> callback) { impl_->setDoneCallback(std::move(callback)); }
bool FluidMusicDevice::takeEnd() { return impl_->takeEnd(); }
std::vector<float> FluidMusicDevice::render(std::size_t frames) { return impl_->render(frames); }
void FluidMusicDevice::startSetUp() { impl_->startSetUp(); }
bool FluidMusicDevice::waitUntilReady() { return impl_->waitUntilReady(); }
int FluidMusicDevice::periodSize() const { return impl_->options_.periodSize; }
double FluidMusicDevice::sampleRate() const { return impl_->options_.sampleRate; }

std::vector<std::filesystem::path> FluidMusicDevice::defaultSoundfonts() {
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
            "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"};
}

} // namespace vorn
