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
