// Background music through FluidSynth.
//
// Threads: the window's thread sends the commands; the set-up thread creates
// the synth, loads the soundfont and opens the audio output; the output's
// thread renders (the player's own, feeding the PulseAudio server in large
// blocks; FluidSynth's ALSA driver where no server can be reached). FluidSynth's MIDI player runs inside the rendering, on the
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
#include "presentation/music/fluid_music_device_impl.h"

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

// FluidSynth writes its messages to the terminal; the player keeps them and
// quotes the last error when it has to say why the music is off.
std::mutex fluidErrorMutex;
std::string fluidError;

void keepFluidError(int level, const char* message, void*) {
    if (level > FLUID_ERR || !message) return;
    std::lock_guard lock(fluidErrorMutex);
    fluidError = message;
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

} // namespace

void reportMusicOff(std::atomic<bool>& reported, const std::string& why) {
    if (!reported.exchange(true)) std::fprintf(stderr, "vorn: music is off: %s\n", escapeControls(why).c_str());
}

std::string takeFluidError() {
    std::lock_guard lock(fluidErrorMutex);
    return std::exchange(fluidError, {});
}

std::string inQuotes(const std::string& name) { return "\"" + name + "\""; }

FluidMusicDevice::Impl::Impl(GameFolder folder, std::optional<fs::path> soundfont, FluidMusicOptions options)
    : options_(options), folder_(std::move(folder)), soundfontChoice_(std::move(soundfont)) {
    if (!options_.deferSetUp) startSetUp();
}

void FluidMusicDevice::Impl::startSetUp() {
    std::call_once(setUpStarted_, [this] { setUpThread_ = std::thread([this] { setUp(); }); });
}

FluidMusicDevice::Impl::~Impl() {
    if (setUpThread_.joinable()) setUpThread_.join();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    pinWanted_.notify_all();
    if (pinThread_.joinable()) pinThread_.join();
    output_.reset();                                      // joins the output's thread: no render after this
    if (driver_) fl_->delete_fluid_audio_driver(driver_); // joins the audio thread: no callback after this
    if (player_) fl_->delete_fluid_player(player_);
    if (synth_) fl_->delete_fluid_synth(synth_);
    if (settings_) fl_->delete_fluid_settings(settings_);
    if (!fontName_.empty()) TrimmedFiles::remove(fontName_);
}

void FluidMusicDevice::Impl::open() {
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

void FluidMusicDevice::Impl::play() {
    std::lock_guard lock(mutex_);
    if (!open_ || player_) return;
    if (!setUpFinished_ || !open_->ready) {
        playWanted_ = true; // starts when the soundfont and the instruments are in
        return;
    }
    if (!off_) startPlayerLocked();
}

void FluidMusicDevice::Impl::close() {
    std::lock_guard lock(mutex_);
    open_.reset();
    playWanted_ = false;
    endStands_ = false;
    if (player_) {
        // A piece cut short stops at once, its queued sound dropped; a
        // piece that reached its end has its last notes queued, to be
        // heard up to the restart that follows.
        closedAtEnd_ = endReached_;
        if (!endReached_) requestReplaceLocked();
        fl_->delete_fluid_player(player_);
        player_ = nullptr;
        // Nothing of the old piece may reach the next one. The reset puts
        // back programs, controllers and effects, but it only releases the
        // notes, and a piano's release rings for a second: sounds-off cuts them.
        resetSynthLocked();
        fl_->fluid_synth_all_sounds_off(synth_, -1);
    }
}

void FluidMusicDevice::Impl::setDoneCallback(std::function<void()> callback) {
    std::lock_guard lock(callbackMutex_);
    onDone_ = std::move(callback);
}

bool FluidMusicDevice::Impl::takeEnd() {
    std::lock_guard lock(mutex_);
    return std::exchange(endStands_, false);
}

void FluidMusicDevice::Impl::setLevel(double level) {
    std::lock_guard lock(mutex_);
    level_ = std::clamp(level, 0.0, 1.0);
    if (setUpFinished_ && !off_) applyLevelLocked();
}

void FluidMusicDevice::Impl::applyLevelLocked() {
    if (synth_) fl_->fluid_synth_set_gain(synth_, static_cast<float>(kFullGain * level_));
}

bool FluidMusicDevice::Impl::waitUntilReady() {
    startSetUp();
    std::unique_lock lock(mutex_);
    setUpDone_.wait(lock, [this] { return setUpFinished_; });
    return !off_;
}

void FluidMusicDevice::Impl::setUp() {
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
        output_.reset();
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
        if (!off_) applyLevelLocked(); // before any note sounds
        if (!off_ && open_) prepareLocked();
        if (!off_ && playWanted_ && open_ && open_->ready) startPlayerLocked();
        if (!open_ || off_ || open_->ready) playWanted_ = false;
    }
    setUpDone_.notify_all();
    if (!problem.empty()) reportMusicOff(reported_, problem);
}

// Synth, soundfont, audio driver; why not, when one fails.
std::string FluidMusicDevice::Impl::prepare() {
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
    fl_->fluid_settings_setnum(settings_, "synth.gain", kFullGain);
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

std::string FluidMusicDevice::Impl::openDriver() {
    PulseOutputOptions pulse;
    pulse.sampleRate = options_.sampleRate;
    pulse.blockFrames = options_.periodSize;
    pulse.bufferedFrames = options_.periodSize * std::max(1, options_.periods);
    pulse.renderQuantum = blockFrames_;
    std::string pulseWhy;
    std::unique_ptr<PulseOutput> output = PulseOutput::open(
        pulse,
        [this](float* interleaved, int frames, bool onlyToReplace) {
            return renderForOutput(interleaved, frames, onlyToReplace);
        },
        [this](const std::string& why) { reportMusicOff(reported_, why); }, pulseWhy);
    if (output) {
        std::lock_guard lock(mutex_);
        output_ = std::move(output);
        return {};
    }
    fl_->fluid_settings_setstr(settings_, "audio.driver", "alsa");
    driver_ = fl_->new_fluid_audio_driver2(settings_, &Impl::onAudio, this);
    if (driver_) return {};
    return "no audio output (pulseaudio: " + pulseWhy + "; alsa: " + takeFluidError() + ")";
}

bool FluidMusicDevice::Impl::knownOff() {
    std::lock_guard lock(mutex_);
    return off_;
}

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
void FluidMusicDevice::setLevel(double level) { impl_->setLevel(level); }

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
