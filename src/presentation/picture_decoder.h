#pragma once
// Decoding of the game's picture and icon files, shared by the window and the
// headless recorder so that both accept and refuse exactly the same files.

#include <QImage>
#include <optional>
#include <string>

namespace vorn {

// A Windows bitmap (or another format the image library knows); nothing when
// the bytes are no picture or would need an unreasonable amount of memory.
std::optional<QImage> decodePicture(const std::string& bytes);
// The icon of a Windows .ico file, the 32 x 32 image where there is one.
std::optional<QImage> decodeIcon(const std::string& bytes);

} // namespace vorn
