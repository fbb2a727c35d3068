#include "interpreter/code_page.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <string>
#include <vector>

using namespace vorn;

TEST(CodePage, DoubleByteCharactersAreOneCharacterWhateverTheirTrailByte) {
    // ソ and 表 end in 0x5C (backslash); 桙 ends in 0x7B ({); 宴 in 0x89.
    const std::string so = "\x83\x5C", hyo = "\x95\x5C", brace = "\x9E\x7B";
    for (const std::string& ch : {so, hyo, brace}) EXPECT_EQ(characterLength(Encoding::CodePage932, ch + "x", 0), 2u);
    EXPECT_EQ(characterLength(Encoding::CodePage932, "A", 0), 1u);
    EXPECT_EQ(characterLength(Encoding::CodePage932, "\xB1", 0), 1u) << "half-width katakana is one byte";
    EXPECT_EQ(characterLength(Encoding::CodePage932, "x\x83", 1), 1u) << "a lead byte at the end stands alone";
}

TEST(CodePage, DecodesAsWindowsCodePage932) {
    EXPECT_EQ(toUtf8(Encoding::CodePage932, "\x83\x5C\x95\x5C"), "ソ表");
    EXPECT_EQ(toUtf8(Encoding::CodePage932, "\x81\x60"), "～") << "the wave dash as Windows maps it (U+FF5E)";
    EXPECT_EQ(toUtf8(Encoding::CodePage932, "\x87\x40"), "①") << "NEC row 13";
    EXPECT_EQ(toUtf8(Encoding::CodePage932, "a\\b~"), "a\\b~");
    EXPECT_EQ(toUtf8(Encoding::CodePage932, "\r\n"), "\r\n");
    EXPECT_EQ(toUtf8(Encoding::CodePage932, "\xB1"), "ｱ");
}

TEST(CodePage, UnmappedSequencesBecomeTheReplacementCharacter) {
    EXPECT_EQ(toUtf8(Encoding::CodePage932, std::string("x\x83", 2)), "x\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(Encoding::CodePage932, "\x85\x40"), "\xEF\xBF\xBD") << "an empty row";
    std::string every;
    for (int b = 0; b < 256; ++b) every += char(b);
    EXPECT_FALSE(toUtf8(Encoding::CodePage932, every).empty());
}

// The decoding table is kept in the source so that the WebAssembly build,
// whose C library has no code page 932, decodes alike: it must be exactly
// what this system's iconv makes of every single byte and every pair.
TEST(CodePage, TheDecodingTableIsTheCLibrarysCodePage932) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    const auto byIconv = [cd](std::string bytes) {
        char out[16];
        char* in = bytes.data();
        char* at = out;
        std::size_t inLeft = bytes.size(), outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &at, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return std::string("\xEF\xBF\xBD");
        return std::string(out, at);
    };
    int differ = 0;
    for (int lead = 0x80; lead < 256; ++lead) {
        const std::string one(1, char(lead));
        if (!isCp932Lead(static_cast<unsigned char>(lead)) && toUtf8(Encoding::CodePage932, one) != byIconv(one))
            ++differ;
        if (!isCp932Lead(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair{char(lead), char(trail)};
            if (toUtf8(Encoding::CodePage932, pair) != byIconv(pair)) {
                if (++differ < 5) ADD_FAILURE() << std::hex << lead << " " << trail;
            }
        }
    }
    iconv_close(cd);
    EXPECT_EQ(differ, 0) << "regenerate src/interpreter/cp932_table.inc with tools/make_cp932_table.cpp";
}

TEST(CodePage, Utf8SequencesAreOneCharacterAndBrokenOnesAreReplaced) {
    EXPECT_EQ(characterLength(Encoding::Utf8, "ソ", 0), 3u);
    EXPECT_EQ(toUtf8(Encoding::Utf8, "表"), "表");
    EXPECT_EQ(toUtf8(Encoding::Utf8, "a\xE3\x82"), "a\xEF\xBF\xBD");
}

namespace {

std::vector<std::string> splitUtf8(const std::string& bytes) {
    std::vector<std::string> chars;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t len = characterLength(Encoding::Utf8, bytes, pos);
        chars.push_back(bytes.substr(pos, len));
        pos += len;
    }
    return chars;
}

const std::string R = "\xEF\xBF\xBD"; // U+FFFD

} // namespace

// Damaged UTF-8 splits into maximal subparts, the longest starts of a
// well-formed sequence, and each of them reads as one U+FFFD.
TEST(CodePage, DamagedUtf8IsOneCharacterPerMaximalSubpart) {
    struct Row {
        std::string bytes;
        std::vector<std::string> chars;
        std::string decoded;
    } rows[] = {
        // truncated sequences, at the end and before an ASCII character
        {"\xC3", {"\xC3"}, R},
        {"\xC3\"", {"\xC3", "\""}, R + "\""},
        {"\xE3\x81", {"\xE3\x81"}, R},
        {"\xE3\x81\"", {"\xE3\x81", "\""}, R + "\""},
        {"\xE3x", {"\xE3", "x"}, R + "x"},
        {"\xF0\x9F\x98", {"\xF0\x9F\x98"}, R},
        {"\xF0\x9F\x98}", {"\xF0\x9F\x98", "}"}, R + "}"},
        {"\xF1\x80", {"\xF1\x80"}, R},
        {"\xE3\x81\xE3\x81\x82", {"\xE3\x81", "\xE3\x81\x82"}, R + "あ"},
        // encoded surrogates: ED takes 80..9F only
        {"\xED\xA0\x80", {"\xED", "\xA0", "\x80"}, R + R + R},
        {"\xED\xBF\xBF", {"\xED", "\xBF", "\xBF"}, R + R + R},
        {"\xED\x80", {"\xED\x80"}, R},
        {"\xED\x9F\xBF", {"\xED\x9F\xBF"}, "\xED\x9F\xBF"},
        // overlong forms: C0 and C1 never start a sequence, E0 takes A0..BF, F0 takes 90..BF
        {"\xC0\xAF", {"\xC0", "\xAF"}, R + R},
        {"\xC1\xBF", {"\xC1", "\xBF"}, R + R},
        {"\xE0\x80\xAF", {"\xE0", "\x80", "\xAF"}, R + R + R},
        {"\xE0\xA0\x80", {"\xE0\xA0\x80"}, "\xE0\xA0\x80"},
        {"\xF0\x8F\xBF\xBF", {"\xF0", "\x8F", "\xBF", "\xBF"}, R + R + R + R},
        {"\xF0\x90\x80\x80", {"\xF0\x90\x80\x80"}, "\xF0\x90\x80\x80"},
        // past U+10FFFF: F4 takes 80..8F
        {"\xF4\x90\x80\x80", {"\xF4", "\x90", "\x80", "\x80"}, R + R + R + R},
        {"\xF4\x8F\xBF\xBF", {"\xF4\x8F\xBF\xBF"}, "\xF4\x8F\xBF\xBF"},
        // lone continuation bytes
        {"\x80", {"\x80"}, R},
        {"\xBF\x80", {"\xBF", "\x80"}, R + R},
        {"a\x80"
         "b",
         {"a", "\x80", "b"},
         "a" + R + "b"},
        // the worked example of the Unicode standard
        {"a\xF1\x80\x80\xE1\x80\xC2"
         "b\x80"
         "c\x80\xBF"
         "d",
         {"a", "\xF1\x80\x80", "\xE1\x80", "\xC2", "b", "\x80", "c", "\x80", "\xBF", "d"},
         "a" + R + R + R + "b" + R + "c" + R + R + "d"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(splitUtf8(row.bytes), row.chars) << testing::PrintToString(row.bytes);
        EXPECT_EQ(toUtf8(Encoding::Utf8, row.bytes), row.decoded) << testing::PrintToString(row.bytes);
    }
    for (int b = 0xF5; b <= 0xFF; ++b) {
        const std::string lead(1, static_cast<char>(b));
        EXPECT_EQ(splitUtf8(lead + "\x80\x80\x80"), (std::vector<std::string>{lead, "\x80", "\x80", "\x80"})) << b;
        EXPECT_EQ(toUtf8(Encoding::Utf8, lead + "\x80"), R + R) << b;
    }
}

TEST(CodePage, AScriptLooksLikeUtf8WithoutTheMarkOnlyWhenItIsWellFormedUtf8BeyondAscii) {
    EXPECT_TRUE(looksLikeUtf8WithoutMark("\"\xE9\x90\x98\xE3\x81\x8C\""));  // "鐘が", UTF-8
    EXPECT_FALSE(looksLikeUtf8WithoutMark("\xEF\xBB\xBF\"\xE9\x90\x98\"")); // with the mark
    EXPECT_FALSE(looksLikeUtf8WithoutMark("\"Plain ASCII.\""));             // nothing beyond ASCII
    EXPECT_FALSE(looksLikeUtf8WithoutMark("\"\x8F\xE0\x82\xAA\""));         // code page 932
    EXPECT_FALSE(looksLikeUtf8WithoutMark("\"\xE9\x90\x98\xE3\x81\""));     // cut off inside a character
    EXPECT_FALSE(looksLikeUtf8WithoutMark(""));
    // A code page 932 name whose last character happens to start a UTF-8
    // sequence is no UTF-8 name.
    EXPECT_FALSE(isValidUtf8("\xE3\x81.bmp"));
    EXPECT_EQ(fileNameReading("\xE3\x81.bmp"), toUtf8(Encoding::CodePage932, "\xE3\x81.bmp"));
}
