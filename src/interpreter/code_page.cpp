#include "code_page.h"

#include <algorithm>
#include <array>
#include <iconv.h>
#include <vector>

namespace vorn {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Code page 932 decoded with the C library's "CP932" table, which maps the
// wave dash and the NEC rows as Windows does. Each lead byte's row of 256
// pairs is decoded on first use and kept, so start-up pays only for the rows
// a game uses.
class Cp932Table {
  public:
    static Cp932Table& instance() {
        static Cp932Table table;
        return table;
    }
    ~Cp932Table() {
        if (cd_ != invalid()) iconv_close(cd_);
    }
    std::string_view single(unsigned char b) const { return singles_[b]; }
    std::string_view pair(unsigned char lead, unsigned char trail) {
        std::vector<std::string>& row = rows_[index(lead)];
        if (row.empty()) {
            row.resize(256);
            for (int t = 0; t < 256; ++t) {
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(t)};
                row[t] = convert(bytes, 2);
            }
        }
        return row[trail];
    }

  private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    static std::size_t index(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

    Cp932Table() : cd_(iconv_open("UTF-8", "CP932")) {
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            singles_[b] = isCp932Lead(static_cast<unsigned char>(b)) ? std::string(kReplacement) : convert(&c, 1);
        }
    }

    std::string convert(const char* in, std::size_t len) {
        if (cd_ == invalid()) return std::string(kReplacement);
        char buffer[16];
        char* inPtr = const_cast<char*>(in);
        char* outPtr = buffer;
        std::size_t inLeft = len, outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return std::string(kReplacement);
        return std::string(buffer, outPtr);
    }

    iconv_t cd_;
    std::array<std::string, 256> singles_;
    std::array<std::vector<std::string>, 60> rows_;
};

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
    if (lead >= 0xC2 && lead <= 0xDF) want = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) want = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) want = 4;
    else return {1, false}; // a continuation byte, C0, C1 or F5..FF
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
    Cp932Table& table = Cp932Table::instance();
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++pos;
        } else if (characterLength(encoding, bytes, pos) == 2) {
            out += table.pair(lead, static_cast<unsigned char>(bytes[pos + 1]));
            pos += 2;
        } else {
            out += table.single(lead);
            ++pos;
        }
    }
    return out;
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t len = characterLength(Encoding::Utf8, bytes, pos);
        // A damaged sequence is one character too, but shorter than its lead byte says.
        const unsigned char lead = static_cast<unsigned char>(bytes[pos]);
        const std::size_t whole = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (len != whole || (len == 1 && lead >= 0x80)) return false;
        pos += len;
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
