#pragma once
// Character rules of a script: where one character ends and the next begins,
// and how a run of script bytes reads as Unicode.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorn {

enum class Encoding {
    CodePage932, // Windows Shift-JIS, the games' native code page
    Utf8,        // scripts that start with the UTF-8 byte-order mark
};

// Length in bytes of the character that starts at `pos` (never past the end).
std::size_t characterLength(Encoding encoding, std::string_view bytes, std::size_t pos);

// Script bytes as UTF-8; a sequence with no mapping becomes U+FFFD.
std::string toUtf8(Encoding encoding, std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

// A file name as stored on disk or in an archive, read as UTF-8: a name that
// is not valid UTF-8 was written by Windows in code page 932.
std::string fileNameReading(std::string_view stored);

} // namespace vorn
