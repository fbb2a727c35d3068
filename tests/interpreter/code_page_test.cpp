#include "interpreter/code_page.h"

#include <gtest/gtest.h>

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

TEST(CodePage, Utf8SequencesAreOneCharacterAndBrokenOnesAreReplaced) {
    EXPECT_EQ(characterLength(Encoding::Utf8, "ソ", 0), 3u);
    EXPECT_EQ(characterLength(Encoding::Utf8, "\xE3\x82", 0), 1u);
    EXPECT_EQ(toUtf8(Encoding::Utf8, "a\xE3\x82"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(Encoding::Utf8, "表"), "表");
}

// Texts leave the player as UTF-8 (transcripts, saves), so a sequence of the
// right shape that encodes no character must not pass through as it is.
TEST(CodePage, Utf8OverlongSurrogateAndTooLargeSequencesAreReplaced) {
    for (const char* bad : {"\xE0\x80\x80", "\xED\xA0\x80", "\xF0\x80\x80\x80", "\xF4\x90\x80\x80"})
        EXPECT_EQ(toUtf8(Encoding::Utf8, bad), "\xEF\xBF\xBD") << bad;
    for (const char* good : {"\xE0\xA0\x80", "\xED\x9F\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_EQ(toUtf8(Encoding::Utf8, good), good);
}
