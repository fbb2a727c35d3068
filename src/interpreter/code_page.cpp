#include "code_page.h"

#include <algorithm>
#include <cstdint>

namespace vorn {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Code page 932 as the C library's iconv "CP932" decodes it, which maps the
// wave dash and the NEC rows as Windows does. The table is generated from
// iconv (tools/make_cp932_table.cpp) and kept in the source, so that every
// build decodes alike, also where the C library has no such code page.
#include "cp932_table.inc"

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendCp932(std::string& out, std::uint16_t c) {
    if (c == 0)
        out += kReplacement;
    else
        appendUtf8(out, c);
}

std::size_t rowOf(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

// One UTF-8 character: a well-formed sequence, or else the maximal subpart
// (the longest start of a well-formed sequence, at least one byte), which
// reads as one U+FFFD as Unicode recommends.
struct Utf8Character {
    std::size_t length;
    bool wellFormed;
};

Utf8Character utf8Character(std::string_view bytes, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    std::size_t want = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range, narrowed for some leads
    if (lead < 0x80) return {1, true};
    if (lead >= 0xC2 && lead <= 0xDF)
        want = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        want = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        want = 4;
    else
        return {1, false};         // a continuation byte, C0, C1 or F5..FF
    if (lead == 0xE0) low = 0xA0;  // no overlong forms
    if (lead == 0xED) high = 0x9F; // no surrogates
    if (lead == 0xF0) low = 0x90;  // no overlong forms
    if (lead == 0xF4) high = 0x8F; // nothing past U+10FFFF
    std::size_t len = 1;
    while (len < want && pos + len < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[pos + len]);
        if (b < (len == 1 ? low : 0x80) || b > (len == 1 ? high : 0xBF)) break;
        ++len;
    }
    return {len, len == want};
}

} // namespace

std::size_t characterLength(Encoding encoding, std::string_view bytes, std::size_t pos) {
    if (encoding == Encoding::Utf8) return utf8Character(bytes, pos).length;
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    return (isCp932Lead(lead) && bytes.size() - pos >= 2) ? 2 : 1;
}

std::string toUtf8(Encoding encoding, std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    if (encoding == Encoding::Utf8) {
        for (std::size_t pos = 0; pos < bytes.size();) {
            const Utf8Character ch = utf8Character(bytes, pos);
            if (ch.wellFormed)
                out.append(bytes.substr(pos, ch.length));
            else
                out += kReplacement;
            pos += ch.length;
        }
        return out;
    }
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++pos;
        } else if (characterLength(encoding, bytes, pos) == 2) {
            appendCp932(out, kCp932Pairs[rowOf(lead)][static_cast<unsigned char>(bytes[pos + 1])]);
            pos += 2;
        } else {
            appendCp932(out, kCp932Singles[lead]);
            ++pos;
        }
    }
    return out;
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const Utf8Character ch = utf8Character(bytes, pos);
        if (!ch.wellFormed) return false;
        pos += ch.length;
    }
    return true;
}

bool looksLikeUtf8WithoutMark(std::string_view script) {
    if (script.substr(0, 3) == "\xEF\xBB\xBF") return false;
    const bool multiByte =
        std::any_of(script.begin(), script.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return multiByte && isValidUtf8(script);
}

std::string fileNameReading(std::string_view stored) {
    return isValidUtf8(stored) ? std::string(stored) : toUtf8(Encoding::CodePage932, stored);
}

} // namespace vorn
