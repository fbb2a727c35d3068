// The music device's playing: the pinning thread that gives the synth each
// piece's instruments, the start of a piece, and the rendering, offline or on
// the audio driver's thread, block by block with the player's end watched.

#include "presentation/music/fluid_music_device_impl.h"

#include <malloc.h>
#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace vorn {

std::vector<float> FluidMusicDevice::Impl::render(std::size_t frames) {
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

// The open file is ready at once when the soundfont in the synth holds
// all its instruments (a restart of the same piece); else the pinning
// thread makes one that does.
void FluidMusicDevice::Impl::prepareLocked() {
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
void FluidMusicDevice::Impl::pinInstruments() {
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
void FluidMusicDevice::Impl::resetSynthLocked() {
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

void FluidMusicDevice::Impl::startPlayerLocked() {
    if (options_.loadSamplesOnDemand && sfont_) {
        // The channels the piece plays before choosing an instrument get
        // their default one, as a reset gives it.
        for (int c = 0; c < 16; ++c)
            if (open_->use.channels[std::size_t(c)].playsDefault) fl_->fluid_synth_program_change(synth_, c, 0);
    }
    player_ = fl_->new_fluid_player(synth_);
    if (!player_) return;
    // A piece that starts from silence (or after a cut) is heard at once; a
    // restart after the end follows the end's last notes, queued.
    if (!std::exchange(closedAtEnd_, false)) requestReplaceLocked();
    ++playerStarts_;
    playerStarted_.notify_all();
    fl_->fluid_player_add_mem(player_, open_->smf.data(), open_->smf.size());
    playerStopped_ = false;
    exactTick_ = 0;
    endReached_ = false;
    failed_ = false;
    fl_->fluid_player_play(player_);
}

// Renders `frames` frames block by block, `renderBlock(done, n)` rendering
// n frames from frame `done`, with the player's end watched after each block.
template <typename RenderBlock>
void FluidMusicDevice::Impl::renderWatchedLocked(std::unique_lock<std::mutex>& lock, int frames, Outcome& outcome,
                                                 RenderBlock renderBlock) {
    for (int done = 0; done < frames; done += blockFrames_) {
        const int n = std::min(blockFrames_, frames - done);
        renderBlock(done, n);
        watchPlayerLocked(outcome);
        if (outcome.ended && done + n < frames) {
            // The end lies within this buffer. The window's thread restarts
            // the piece as soon as it hears of it, in well under a
            // millisecond when idle; the buffer waits that long for the
            // restart, which then sounds right after the end instead of a
            // buffer later. The sound server still holds what was queued
            // before, so the wait is never heard.
            const std::uint64_t startsBefore = playerStarts_;
            lock.unlock();
            deliver(outcome);
            outcome = {};
            lock.lock();
            playerStarted_.wait_for(lock, std::chrono::milliseconds(restartWaitMs),
                                    [&] { return playerStarts_ != startsBefore; });
        }
    }
}

// The output's thread asks for the next block, stereo interleaved.
PulseOutput::Rendered FluidMusicDevice::Impl::renderForOutput(float* interleaved, int frames, bool onlyToReplace) {
    Outcome outcome;
    bool replaces = false;
    {
        std::unique_lock lock(mutex_);
        if (onlyToReplace && !replaceQueued_) return PulseOutput::Rendered::Nothing;
        replaces = std::exchange(replaceQueued_, false);
        renderWatchedLocked(lock, frames, outcome, [&](int done, int n) {
            float* at = interleaved + 2 * done;
            fl_->fluid_synth_write_float(synth_, n, at, 0, 2, at, 1, 2);
        });
    }
    deliver(outcome);
    return replaces ? PulseOutput::Rendered::Replaces : PulseOutput::Rendered::Follows;
}

// FluidSynth's ALSA driver's thread asks for the next buffer.
int FluidMusicDevice::Impl::onAudio(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
    auto* self = static_cast<Impl*>(data);
    // ALSA asks for two buffers and no effect buffers; more than this many
    // stay silent.
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
        self->renderWatchedLocked(lock, len, outcome, [&](int done, int n) {
            for (int i = 0; i < nout; ++i) outAt[i] = out[i] ? out[i] + done : nullptr;
            for (int i = 0; i < nfx; ++i) fxAt[i] = fx[i] ? fx[i] + done : nullptr;
            // Without effect buffers of its own the driver gets reverb and
            // chorus mixed into the output.
            if (nfx == 0)
                self->fl_->fluid_synth_process(self->synth_, n, nout, outAt, nout, outAt);
            else
                self->fl_->fluid_synth_process(self->synth_, n, nfx, fxAt, nout, outAt);
        });
    }
    self->deliver(outcome);
    return FLUID_OK;
}

// The next render of the output replaces the sound queued at the server,
// and comes at once rather than when the server asks for more.
void FluidMusicDevice::Impl::requestReplaceLocked() {
    replaceQueued_ = true;
    if (output_) output_->renderSoon();
}

// After each rendered block: has the playback reached its end, or has the
// player stopped short of it, finding nothing it could play?
void FluidMusicDevice::Impl::watchPlayerLocked(Outcome& outcome) {
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

double FluidMusicDevice::Impl::ticksPerBlock() const {
    const int tempo = fl_->fluid_player_get_midi_tempo(player_); // microseconds a quarter note
    if (tempo <= 0) return 0;
    return blockFrames_ * 1e6 * open_->division / (options_.sampleRate * tempo);
}

void FluidMusicDevice::Impl::deliver(const Outcome& outcome) {
    if (outcome.ended) {
        std::lock_guard lock(callbackMutex_);
        if (onDone_) onDone_();
    }
    if (!outcome.failure.empty()) reportMusicOff(reported_, outcome.failure);
}

} // namespace vorn
