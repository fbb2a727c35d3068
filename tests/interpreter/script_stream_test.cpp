#include "interpreter/fatal_error.h"
#include "interpreter/script_stream.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vorn;
namespace fs = std::filesystem;

class ScriptStreamTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(root); }
    void TearDown() override { fs::remove_all(root); }
    ScriptStream& open(const std::string& script) {
        std::ofstream(root / "code.vrn", std::ios::binary) << script;
        stream.open();
        return stream;
    }
    std::vector<std::string> fetchAll() {
        std::vector<std::string> out;
        ScriptChar ch;
        while (stream.fetchCommandChar(ch)) out.emplace_back(ch.bytes);
        return out;
    }
    fs::path root = fs::temp_directory_path() / ("vorn-stream-" + std::to_string(::getpid()));
    GameFolder folder{root};
    ScriptStream stream{folder};
};

TEST_F(ScriptStreamTest, FetchSkipsBlanksButNotTabsAndNeverDispatchesTheLastCharacter) {
    open(" \r\n\"\tx \"");
    EXPECT_EQ(fetchAll(), (std::vector<std::string>{"\"", "\t", "x"}));
    EXPECT_TRUE(stream.atEnd());
    open("ab   \r\n");
    EXPECT_EQ(fetchAll(), (std::vector<std::string>{"a", "b"}));
    open("");
    EXPECT_TRUE(stream.atEnd());
    EXPECT_TRUE(fetchAll().empty());
}

TEST_F(ScriptStreamTest, ReadLineEndsAtCarriageReturnsOnly) {
    open("one\r\ntwo\rthree\nstill three\r\n\r\nlast");
    std::string_view line;
    std::vector<std::string> lines;
    while (stream.readLine(line)) lines.emplace_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three\nstill three", "", "last"}));
    EXPECT_FALSE(stream.readLine(line));
}

TEST_F(ScriptStreamTest, ACarriageReturnAfterALeadByteEndsNoLine) {
    // A lead byte takes the byte after it, even a CR; an even run of lead-range
    // bytes pairs up and leaves the CR a line end.
    open("ab\x82\rcd\r\x82\x82\x82\rx\r\x82\xA0\xE0\x82\ry\r\x83\x5C\r\nz");
    std::string_view line;
    std::vector<std::string> lines;
    while (stream.readLine(line)) lines.emplace_back(line);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"ab\x82\rcd", "\x82\x82\x82\rx", "\x82\xA0\xE0\x82", "y", "\x83\x5C", "z"}));
}

TEST_F(ScriptStreamTest, ReadingPastTheEndIsAFatalErrorNamingTheCommand) {
    open("\"abc");
    ScriptChar ch;
    ASSERT_TRUE(stream.fetchCommandChar(ch));
    stream.setReading("text page", "end the page with a closing '\"'", 0);
    for (int i = 0; i < 3; ++i) stream.readChar();
    try {
        stream.readChar();
        FAIL() << "read past the end";
    } catch (const FatalError& e) {
        EXPECT_NE(std::string(e.what()).find("code.vrn:1:1"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("end of file"), std::string::npos) << e.what();
    }
}

TEST_F(ScriptStreamTest, DoubleByteCharactersHideTheirTrailBytes) {
    open("\x83\x5C\x95\x5C\x9E\x7B\x81\x68x"); // ソ 表 桙 ” then x
    std::vector<std::string> chars;
    while (!stream.atEnd()) chars.emplace_back(stream.readChar().bytes);
    EXPECT_EQ(chars.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(chars[i].size(), 2u);
        EXPECT_FALSE(ScriptChar{chars[i]}.is('\\') || ScriptChar{chars[i]}.is('{') || ScriptChar{chars[i]}.is('"'));
    }
    open("ab\x83");
    stream.readChar(), stream.readChar();
    EXPECT_EQ(stream.readChar().bytes, "\x83") << "a lead byte at the very end is a character of its own";
    EXPECT_TRUE(stream.atEnd());
}

TEST_F(ScriptStreamTest, Utf8ScriptsSkipTheMarkAndReadWholeSequences) {
    open("\xEF\xBB\xBF\"ソ\"");
    std::vector<std::string> chars;
    while (!stream.atEnd()) chars.emplace_back(stream.readChar().bytes);
    EXPECT_EQ(chars, (std::vector<std::string>{"\"", "ソ", "\""}));
    EXPECT_EQ(stream.encoding(), Encoding::Utf8);
}

TEST_F(ScriptStreamTest, ReopenReadsTheFileAfreshFromItsStart) {
    open("abc");
    stream.readChar();
    std::ofstream(root / "code.vrn", std::ios::binary) << "xyz";
    stream.reopen();
    EXPECT_EQ(stream.readChar().bytes, "x");
}

TEST_F(ScriptStreamTest, PlacesCountLinesAsEditorsDo) {
    open("a\r\nb\nc\rd\x83\x5C"
         "e");
    EXPECT_EQ(stream.describe(0), "code.vrn:1:1");
    EXPECT_EQ(stream.describe(3), "code.vrn:2:1");
    EXPECT_EQ(stream.describe(7), "code.vrn:4:1");
    EXPECT_EQ(stream.describe(10), "code.vrn:4:3");
}
