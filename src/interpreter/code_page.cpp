#include "code_page.h"

#include <array>
#include <iconv.h>
#include <mutex>
#include <vector>

namespace vorn {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

bool isCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Every single byte and every lead/trail pair of code page 932, decoded once
// with the C library's "CP932" table (which maps the wave dash and the NEC
// rows as Windows does) and kept for table look-ups.
class Cp932Table {
  public:
    static const Cp932Table& instance() {
        static const Cp932Table table;
        return table;
    }
    std::string_view single(unsigned char b) const { return singles_[b]; }
    std::string_view pair(unsigned char lead, unsigned char trail) const {
        return pairs_[index(lead) * 256 + trail];
    }

  private:
    static std::size_t index(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

    Cp932Table() : pairs_(60 * 256) {
        iconv_t cd = iconv_open("UTF-8", "CP932");
        auto convert = [cd](const char* in, std::size_t len) -> std::string {
            if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(kReplacement);
            char buffer[16];
            char* inPtr = const_cast<char*>(in);
            char* outPtr = buffer;
            std::size_t inLeft = len, outLeft = sizeof buffer;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
                return std::string(kReplacement);
            return std::string(buffer, outPtr);
        };
        for (int b = 0; b < 256; ++b) {
            char c = static_cast<char>(b);
            singles_[b] = isCp932Lead(static_cast<unsigned char>(b)) ? std::string(kReplacement) : convert(&c, 1);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isCp932Lead(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0; trail < 256; ++trail) {
                const char pairBytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pairs_[index(static_cast<unsigned char>(lead)) * 256 + trail] = convert(pairBytes, 2);
            }
        }
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }

    std::array<std::string, 256> singles_;
    std::vector<std::string> pairs_;
};

std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

} // namespace

std::size_t characterLength(Encoding encoding, std::string_view bytes, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    const std::size_t left = bytes.size() - pos;
    if (encoding == Encoding::CodePage932) return (isCp932Lead(lead) && left >= 2) ? 2 : 1;
    const std::size_t want = utf8SequenceLength(lead);
    if (want > left) return 1;
    for (std::size_t i = 1; i < want; ++i)
        if (!isContinuation(static_cast<unsigned char>(bytes[pos + i]))) return 1;
    return want;
}

std::string toUtf8(Encoding encoding, std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    if (encoding == Encoding::Utf8) {
        for (std::size_t pos = 0; pos < bytes.size();) {
            const std::size_t len = characterLength(encoding, bytes, pos);
            const auto lead = static_cast<unsigned char>(bytes[pos]);
            if (len == 1 && lead >= 0x80)
                out += kReplacement;
            else
                out.append(bytes.substr(pos, len));
            pos += len;
        }
        return out;
    }
    const Cp932Table& table = Cp932Table::instance();
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

} // namespace vorn
