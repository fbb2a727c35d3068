#include "display_surface.h"

namespace vorn {

const char* elementName(PictureElement element) {
    switch (element) {
    case PictureElement::Form1: return "Form1";
    case PictureElement::Image1: return "Image1";
    case PictureElement::Image2: return "Image2";
    }
    return "";
}

} // namespace vorn
