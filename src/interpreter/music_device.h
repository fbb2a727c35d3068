#pragma once
// What the interpreter needs of a music player: the properties it sets, in the
// order it sets them. The device reports the end of playback by calling the
// interpreter's musicEnded, on the window's thread, between handlers.

#include <string>

namespace vorn {

// What the music is told to do, in the order the interpreter tells it: open
// the file named last, play it from its beginning, close it (silence).
enum class MusicCommand { Open, Play, Close };

class MusicDevice {
  public:
    virtual ~MusicDevice() = default;
    virtual void setDeviceType(const std::string& value) = 0;
    virtual void setFileName(const std::string& value) = 0;
    virtual void setCommand(MusicCommand command) = 0;
    virtual void setNotify(bool value) = 0;
    virtual void setWait(bool value) = 0;
    virtual void setShareable(bool value) = 0;
    // How loud the music plays, from 0 (silent) to 1 (its own level), set by
    // the reader rather than the script; a device that plays nothing ignores it.
    virtual void setLevel(double level) { (void)level; }
};

// A device that plays nothing, for --no-music and for tools.
class SilentMusicDevice : public MusicDevice {
  public:
    void setDeviceType(const std::string&) override {}
    void setFileName(const std::string&) override {}
    void setCommand(MusicCommand) override {}
    void setNotify(bool) override {}
    void setWait(bool) override {}
    void setShareable(bool) override {}
};

} // namespace vorn
