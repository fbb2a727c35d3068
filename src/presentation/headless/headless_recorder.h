#pragma once
// The display surface and music device of `vorn --headless`: every operation
// becomes one JSON line. Pictures are really decoded, so a broken one is the
// same fatal error as in the window.

#include "interpreter/display_surface.h"
#include "interpreter/music_device.h"

#include <ostream>
#include <string>

namespace vorn {

// Whether the bytes of a picture, or of the cursor's icon, can be shown. The
// desktop player decodes them with its image library; a front end without it
// checks them by the same rules.
struct PictureCheck {
    bool (*picture)(const std::string& bytes);
    bool (*icon)(const std::string& bytes);
};

// A music command as the transcript writes it (and the page's music reads it).
inline const char* musicCommandName(MusicCommand command) {
    switch (command) {
    case MusicCommand::Open: return "Open";
    case MusicCommand::Play: return "Play";
    case MusicCommand::Close: return "Close";
    }
    return "Close";
}

class HeadlessRecorder : public DisplaySurface, public MusicDevice {
  public:
    HeadlessRecorder(std::ostream& out, const PictureCheck& pictures) : out_(out), pictures_(pictures) {}

    void setText(const std::string& text) override;
    void setCaption(int label, const std::string& text) override;
    void refreshLabel(int) override {}
    bool setPicture(PictureElement element, const PictureFile& picture) override;
    bool setCursor(const PictureFile& icon) override;
    void resetPicture(PictureElement element) override;
    void showMessage(const std::string& text, const std::string& title) override;

    void setDeviceType(const std::string& value) override { text("DeviceType", value); }
    void setFileName(const std::string& value) override { text("FileName", value); }
    void setCommand(MusicCommand command) override { text("Command", musicCommandName(command)); }
    void setNotify(bool value) override { flag("Notify", value); }
    void setWait(bool value) override { flag("Wait", value); }
    void setShareable(bool value) override { flag("Shareable", value); }

    void line(const std::string& record);

  private:
    void text(const char* property, const std::string& value);
    void flag(const char* property, bool value);

    std::ostream& out_;
    PictureCheck pictures_;
};

} // namespace vorn
