#pragma once
// The display surface and music device of `vorn --headless`: every operation
// becomes one JSON line. Pictures are really decoded, so a broken one is the
// same fatal error as in the window.

#include "interpreter/display_surface.h"
#include "interpreter/music_device.h"

#include <ostream>

namespace vorn {

class HeadlessRecorder : public DisplaySurface, public MusicDevice {
  public:
    explicit HeadlessRecorder(std::ostream& out) : out_(out) {}

    void setText(const std::string& text) override;
    void setCaption(int label, const std::string& text) override;
    void refreshLabel(int) override {}
    bool setPicture(PictureElement element, const PictureFile& picture) override;
    bool setCursor(const PictureFile& icon) override;
    void resetPicture(PictureElement element) override;
    void showMessage(const std::string& text, const std::string& title) override;

    void setDeviceType(const std::string& value) override { text("DeviceType", value); }
    void setFileName(const std::string& value) override { text("FileName", value); }
    void setCommand(const std::string& value) override { text("Command", value); }
    void setNotify(bool value) override { flag("Notify", value); }
    void setWait(bool value) override { flag("Wait", value); }
    void setShareable(bool value) override { flag("Shareable", value); }

    void line(const std::string& record);

  private:
    void text(const char* property, const std::string& value);
    void flag(const char* property, bool value);

    std::ostream& out_;
};

} // namespace vorn
