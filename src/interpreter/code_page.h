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
// In UTF-8 a damaged sequence is one character per maximal subpart, the
// longest start of a well-formed sequence: E3 81 is one, ED A0 80 is three.
std::size_t characterLength(Encoding encoding, std::string_view bytes, std::size_t pos);

// Script bytes as UTF-8; a sequence with no mapping, and each maximal subpart
// of damaged UTF-8, becomes one U+FFFD. The result is always valid UTF-8.
std::string toUtf8(Encoding encoding, std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

// A script without the byte-order mark is read in code page 932. One that is
// well-formed UTF-8 with multi-byte characters in it was most likely saved as
// UTF-8 by an editor that leaves the mark out, and plays garbled.
bool looksLikeUtf8WithoutMark(std::string_view script);
// How the player and the authoring tools say so, and what to do about it.
inline constexpr const char* kUtf8WithoutMarkNote =
    "the script looks like UTF-8 saved without the byte-order mark: the player reads it as Shift-JIS, "
    "and its text shows garbled";
inline constexpr const char* kUtf8WithoutMarkHint =
    "save code.vrn as UTF-8 with the byte-order mark (\"UTF-8 with BOM\"), or as Shift-JIS";

// A file name as stored on disk or in an archive, read as UTF-8: a name that
// is not valid UTF-8 was written by Windows in code page 932.
std::string fileNameReading(std::string_view stored);

// A byte that starts a double-byte character of code page 932.
inline bool isCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// A–Z to a–z, every other byte as it is: file names and labels compared
// without letter case, as Windows compares them.
inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = asciiLower(c);
    return out;
}

} // namespace vorn
