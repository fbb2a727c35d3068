#pragma once
// Whether a picture or icon file can be shown, decided from its headers alone,
// with no image library: the WebAssembly build's headless runner checks the
// game's pictures with it (the browser page decodes them itself). Its rules
// are those of the desktop player's decoder (picture_decoder.h), and a test
// holds the two to the same answers on damaged and hostile files.

#include <string>

namespace vorn {

// A Windows bitmap, PNG, JPEG, GIF, icon or portable anymap whose headers are
// sound and whose size the desktop player would decode.
bool isShowablePicture(const std::string& bytes);
// A Windows .ico with one image at least, or any picture as above.
bool isShowableIcon(const std::string& bytes);

} // namespace vorn
