#pragma once
// What the interpreter needs of a screen. The window and the headless recorder
// implement it; texts are UTF-8, decoded from the script by the interpreter.

#include <optional>
#include <string>

namespace vorn {

enum class PictureElement { Form1, Image1, Image2 };

const char* elementName(PictureElement element);

// A picture file as read from the game folder; no bytes for the empty picture.
struct PictureFile {
    std::string name; // exactly as the script or the program gave it
    std::optional<std::string> bytes;
};

class DisplaySurface {
  public:
    virtual ~DisplaySurface() = default;

    virtual void setText(const std::string& text) = 0;               // Text1's Text
    virtual void setCaption(int label, const std::string& text) = 0; // LabelN's Caption, N = 1..4
    virtual void refreshLabel(int label) = 0;                        // redraw LabelN at once
    // Returns false when the bytes are no picture the surface can decode.
    virtual bool setPicture(PictureElement element, const PictureFile& picture) = 0;
    virtual bool setCursor(const PictureFile& icon) = 0; // MouseIcon, MousePointer 99
    // Puts an element back as it was at start-up, size included: Image1 shows
    // its built-in scene again, Image2 nothing. Only a loaded game asks for it;
    // a surface that shows nothing may ignore it.
    virtual void resetPicture(PictureElement) {}
    virtual void showMessage(const std::string& text, const std::string& title) = 0;

    // Called now and then while a run goes on without pausing, so a front end
    // can keep the window alive; it may throw to end the run (a close request).
    virtual void keepAlive() {}
};

} // namespace vorn
