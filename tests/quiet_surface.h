#pragma once
// A display surface that shows nothing, for tests that drive the interpreter
// only for its state; `onText` is called at each new page, when set.

#include "interpreter/display_surface.h"

#include <functional>
#include <string>

namespace vorn::test {

class QuietSurface : public DisplaySurface {
  public:
    std::function<void()> onText;
    void setText(const std::string&) override {
        if (onText) onText();
    }
    void setCaption(int, const std::string&) override {}
    void refreshLabel(int) override {}
    bool setPicture(PictureElement, const PictureFile&) override { return true; }
    bool setCursor(const PictureFile&) override { return true; }
    void showMessage(const std::string&, const std::string&) override {}
};

} // namespace vorn::test
