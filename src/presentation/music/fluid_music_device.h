#pragma once
// The music device that really plays: MIDI files through FluidSynth's synth
// and MIDI file player, to the sound server.
//
// The synth, the audio output and the soundfont are set up once, on a thread
// of their own started by the constructor, so the window never waits for the
// soundfont. Commands given before that is done are remembered and carried
// out when it is. Any failure (no soundfont, no audio output, a file that is
// missing or no MIDI file) leaves the music silent and writes one line to
// standard error; the caller never sees it.

#include "interpreter/game_folder.h"
#include "interpreter/music_device.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

struct FluidMusicOptions {
    enum class Output {
        AudioDriver, // the PulseAudio server, or ALSA where none can be reached
        Offline,     // no audio driver: the caller pulls the sound with render()
    };
    Output output = Output::AudioDriver;
    double sampleRate = 44100;
    // The least the audio output renders at a time (46 ms). Background music
    // needs no quick answer, and larger blocks wake the output's thread and
    // the sound server less often; a stop or a new piece is still heard at
    // once, since it replaces the sound queued at the server.
    int periodSize = 2048;
    int periods = 4; // blocks the sound server or the ALSA driver keeps queued (186 ms)
    // The set-up starts with startSetUp() rather than in the constructor. The
    // window starts it once its first page is painted: loading a soundfont of
    // a hundred megabytes beside the first page slows that page by a third.
    bool deferSetUp = false;
    // Only the samples of the instruments the music uses are kept in memory,
    // loaded when a music file is opened and before it plays; false loads the
    // whole soundfont (some 140 MB for Debian's), which sounds the same.
    bool loadSamplesOnDemand = true;
};

class FluidMusicDevice : public MusicDevice {
  public:
    // `soundfont` empty: the first of defaultSoundfonts() that exists.
    FluidMusicDevice(GameFolder folder, std::optional<std::filesystem::path> soundfont, FluidMusicOptions options = {});
    ~FluidMusicDevice() override;
    FluidMusicDevice(const FluidMusicDevice&) = delete;
    FluidMusicDevice& operator=(const FluidMusicDevice&) = delete;

    void setDeviceType(const std::string& value) override;
    void setFileName(const std::string& value) override;
    void setCommand(MusicCommand command) override;
    void setNotify(bool value) override;
    void setWait(bool value) override;
    void setShareable(bool value) override;
    // Scales the synth's gain; heard within one audio buffer. Thread-safe.
    void setLevel(double level) override;

    // Called once each time a playback reaches the end of its file by itself;
    // never for a Close, an Open or a playback that a Close cut short. It runs
    // on the audio thread (inside render() when offline) and should only hand
    // the news on to the window's thread; it must not set the callback itself.
    // Setting it waits for a call in progress: once setDoneCallback({})
    // returns, the old callback is not called again.
    void setDoneCallback(std::function<void()> callback);

    // On the window's thread, when the news of the callback arrives: true if
    // the end it reported still stands, that is no Close or Open came since,
    // and only once per end. A report that lost this race must not restart
    // the music, or the piece that replaced it would start over.
    bool takeEnd();

    // Offline only: the next `frames` frames of sound, stereo interleaved.
    // Waits for the set-up (the soundfont load) to finish first; silence when
    // the device is off.
    std::vector<float> render(std::size_t frames);

    // Starts the set-up if it has not started yet. Commands given before it
    // has finished wait for it, as they do for the soundfont.
    void startSetUp();

    // Starts the set-up if need be, and blocks until it has finished, well or
    // not; true when music can play.
    bool waitUntilReady();

    // The frames of one block of the audio output.
    int periodSize() const;
    double sampleRate() const;

    // Debian's General MIDI soundfonts, in the order they are tried.
    static std::vector<std::filesystem::path> defaultSoundfonts();

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vorn
