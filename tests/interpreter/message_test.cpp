// A report kept as an English template and its parts: the English is exactly
// the sentence the transcript has always shown, and a translation rewords the
// template and the sentences in it, never the game's own words.

#include "interpreter/fatal_error.h"
#include "interpreter/message.h"

#include <gtest/gtest.h>
#include <map>

using namespace vorn;

TEST(Message, FillsEachPlaceholderOnceAndNeverLooksIntoAPart) {
    EXPECT_EQ(fillTemplate("%1: %2", {"code.vrn:1:2", "x"}), "code.vrn:1:2: x");
    EXPECT_EQ(fillTemplate("%2 before %1", {"a", "b"}), "b before a");
    EXPECT_EQ(fillTemplate("exactly %1, as in %1.", {"*x*"}), "exactly *x*, as in *x*.");
    // A file name or label may itself hold a percent sign or a placeholder.
    EXPECT_EQ(fillTemplate("the picture \"%1\" of %2", {"%2 100%.bmp", "Image1"}),
              "the picture \"%2 100%.bmp\" of Image1");
    EXPECT_EQ(fillTemplate("100%% sure, %1%", {"x"}), "100% sure, x%");
    EXPECT_EQ(fillTemplate("as in %51.", {"", "", "", "", "A"}), "as in A1.") << "one digit only";
    EXPECT_EQ(fillTemplate("%0 and %3", {"a"}), "%0 and ");
}

TEST(Message, TheEnglishIsTheTemplateFilledAndATranslationRewordsOnlyWhatIsMarked) {
    const Message report(VORN_TR("%1: the %2 that starts here runs into the end of file: %3."),
                         {Message::words("code.vrn:3:1"), VORN_TR("picture command"),
                          Message::sentence("no such file in the game folder")});
    EXPECT_EQ(report.english(), "code.vrn:3:1: the picture command that starts here runs into the end of file: "
                                "no such file in the game folder.");
    const std::map<std::string, std::string> japanese{
        {"%1: the %2 that starts here runs into the end of file: %3.", "%1: ここから始まる%2が終わっていません。%3。"},
        {"picture command", "画像命令"},
        {"no such file in the game folder", "ファイルがありません"},
        {"code.vrn:3:1", "must never be looked up"},
    };
    const auto translate = [&](const std::string& english) {
        auto it = japanese.find(english);
        return it == japanese.end() ? english : it->second;
    };
    EXPECT_EQ(report.render(translate),
              "code.vrn:3:1: ここから始まる画像命令が終わっていません。ファイルがありません。");
    // A sentence the translation does not know stays English rather than being lost.
    EXPECT_EQ(Message(VORN_TR("%1: %2"), {Message::words("a"), Message::sentence("Truncated input")}).render(translate),
              "a: Truncated input");
}

TEST(Message, AFatalErrorCarriesBothItsEnglishAndItsParts) {
    const FatalError error(Message(VORN_TR("cannot load the cursor \"%1\": %2."),
                                   {Message::words("mouse.ico"), Message::sentence("it is not a regular file")}));
    EXPECT_STREQ(error.what(), "cannot load the cursor \"mouse.ico\": it is not a regular file.");
    EXPECT_EQ(error.message().english(), error.what());
    const FatalError plain(std::string("out of memory"));
    EXPECT_EQ(plain.message().render([](const std::string&) { return std::string("メモリ不足"); }), "メモリ不足");
    EXPECT_TRUE(Message().empty());
    EXPECT_FALSE(Message::words("x").empty());
}

TEST(Message, ControlCharactersAreWrittenOutAsEscapesAndNothingElseChanges) {
    // A script's picture name that would retitle and clear a terminal.
    EXPECT_EQ(escapeControls("\x1b]0;TITLE\x07\x1b[2J.bmp"), "\\u001b]0;TITLE\\u0007\\u001b[2J.bmp");
    EXPECT_EQ(escapeControls("a\nb\rc\td\be\ff\x7f"), "a\\nb\\rc\\td\\be\\ff\\u007f");
    // The C1 controls as UTF-8 (U+009B is a one-character CSI), and a lone byte
    // that a terminal in another code page would take for one.
    const std::string csi = "\xc2\x9b", lone = "\x9b", replacement = "\xef\xbf\xbd";
    EXPECT_EQ(escapeControls(csi + "2J \xc2\x80 \xc2\xa0"), "\\u009b2J \\u0080 \xc2\xa0");
    EXPECT_EQ(escapeControls("x" + lone + "2J"), "x" + replacement + "2J");
    EXPECT_EQ(escapeControls(std::string("nul\0end", 7)), "nul\\u0000end");
    // Names and texts as games write them pass unchanged, backslashes included.
    for (const char* same : {"", "pics\\Moon.bmp", "森の奥へ.bmp", "cannot play \"g.zip\": 100%.", "~"})
        EXPECT_EQ(escapeControls(same), same);
}
