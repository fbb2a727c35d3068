// Self-voicing's rules, with a speaker that records what it was asked to say:
// what is said of a page and a menu, when, in which language, and the notices.

#include "headless_fixture.h"
#include "interpreter/interpreter.h"
#include "interpreter/music_device.h"
#include "interpreter/self_voicing.h"
#include "quiet_surface.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TestGame;

namespace {

struct RecordingSpeaker : Speaker {
    bool engine = true;
    bool japaneseVoice = true, latinVoice = true;
    std::vector<std::string> heard; // "say[ja] ...", "stop"
    bool available() override { return engine; }
    bool hasVoice(SpeechLanguage language) override {
        return language == SpeechLanguage::Japanese ? japaneseVoice : latinVoice;
    }
    void say(const std::string& text, SpeechLanguage language) override {
        heard.push_back(std::string("say[") + languageTag(language) + "] " + text);
    }
    void stop() override { heard.push_back("stop"); }
};

struct Playing {
    explicit Playing(const std::string& script)
        : game(script), folder(game.dir()), interpreter(folder, surface, device),
          voicing(speaker, [this](VoicingNotice notice) { notices.push_back(notice); }) {
        interpreter.load();
    }
    // An event, then what the window does after each: tells self-voicing.
    template <typename Event>
    void after(Event event) {
        event();
        voicing.screenShown(interpreter);
    }
    void start() { after([&] { interpreter.playRun(); }); }
    void click() { after([&] { interpreter.resume(); }); }
    void choose(int option) { after([&] { interpreter.chooseOption(option); }); }

    TestGame game;
    GameFolder folder;
    test::QuietSurface surface;
    SilentMusicDevice device;
    Interpreter interpreter;
    RecordingSpeaker speaker;
    std::vector<VoicingNotice> notices;
    SelfVoicing voicing;
};

// "日本語" and "あ" in the scripts' code page.
const std::string kNihongo = "\x93\xfa\x96\x7b\x8c\xea";
const std::string kHiraganaA = "\x82\xa0";

} // namespace

TEST(SpeechLanguage, JapaneseOnceTheTextHoldsKanaOrKanji) {
    struct Case {
        const char* text;
        SpeechLanguage language;
    };
    const Case cases[] = {
        {"The door opens.", SpeechLanguage::Latin},
        {"", SpeechLanguage::Latin},
        {"Caf\xc3\xa9 \xe2\x80\x94 na\xc3\xafve", SpeechLanguage::Latin},                // é — ï
        {"\xef\xbc\xa1\xef\xbc\xa2\xe3\x80\x82", SpeechLanguage::Latin},                 // full-width ＡＢ and 。
        {"Go \xe3\x81\x82", SpeechLanguage::Japanese},                                    // hiragana あ
        {"\xe3\x82\xa2\xe3\x83\xbc", SpeechLanguage::Japanese},                           // katakana アー
        {"\xe6\x97\xa5\xe6\x9c\xac", SpeechLanguage::Japanese},                           // kanji 日本
        {"\xef\xbd\xb1", SpeechLanguage::Japanese},                                       // half-width ｱ
        {"\xe3\x80\x85", SpeechLanguage::Japanese},                                       // 々
        {"\xe6\x97", SpeechLanguage::Latin},                                              // a kanji cut short
        {"\xff\xfe\x80 \xe3\x81\x82", SpeechLanguage::Japanese},                          // damaged, then あ
    };
    for (const Case& c : cases) EXPECT_EQ(speechLanguage(c.text), c.language) << c.text;
    EXPECT_STREQ(languageTag(SpeechLanguage::Japanese), "ja");
    EXPECT_STREQ(languageTag(SpeechLanguage::Latin), "en");
}

TEST(SpokenScreen, ThePageThenTheOfferedOptionsWithTheirNumbers) {
    Playing p("\"Page one\\second line\"(3 Go north,,Wait\r\nhere){\"North.\"}{\"Nothing.\"}{\"Waited.\"}\"End\"");
    EXPECT_EQ(spokenScreen(p.interpreter), "") << "nothing shown yet";
    p.start();
    EXPECT_EQ(spokenScreen(p.interpreter), "Page one\nsecond line");
    EXPECT_TRUE(offeredOptions(p.interpreter).empty()) << "a page offers no option";
    p.click();
    EXPECT_EQ(offeredOptions(p.interpreter), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(spokenScreen(p.interpreter), "1: Go north\n2:\n3: Wait here") << "an empty caption is its number alone";
    p.choose(1);
    EXPECT_EQ(spokenScreen(p.interpreter), "North.") << "the menu's options are no longer offered";
}

TEST(SelfVoicing, SaysEachNewPageAndMenuAndFallsSilentAtAPageTurn) {
    Playing p("\"First page\"\"Second page\"(2 Left,Right){\"Went left.\"}{\"Went right.\"}");
    p.start();
    EXPECT_TRUE(p.speaker.heard.empty()) << "off by default";
    p.voicing.setOn(true, p.interpreter);
    EXPECT_EQ(p.speaker.heard, (std::vector<std::string>{"say[en] First page"})) << "the screen as it stands";
    p.speaker.heard.clear();

    p.click();
    EXPECT_EQ(p.speaker.heard, (std::vector<std::string>{"stop", "say[en] Second page"}));
    p.speaker.heard.clear();
    p.click();
    EXPECT_EQ(p.speaker.heard, (std::vector<std::string>{"stop", "say[en] 1: Left\n2: Right"}));
    p.speaker.heard.clear();

    p.click(); // the menu waits: nothing changes, and what is said goes on
    EXPECT_TRUE(p.speaker.heard.empty());
    p.voicing.repeat(p.interpreter);
    EXPECT_EQ(p.speaker.heard, (std::vector<std::string>{"say[en] 1: Left\n2: Right"}));
    p.speaker.heard.clear();

    p.choose(2);
    EXPECT_EQ(p.speaker.heard, (std::vector<std::string>{"stop", "say[en] Went right."}));
    p.speaker.heard.clear();

    p.voicing.setOn(false, p.interpreter);
    EXPECT_EQ(p.speaker.heard, (std::vector<std::string>{"stop"}));
    p.speaker.heard.clear();
    p.voicing.repeat(p.interpreter);
    p.click();
    EXPECT_TRUE(p.speaker.heard.empty()) << "off, nothing is said";
    EXPECT_TRUE(p.notices.empty());
}

TEST(SelfVoicing, ALoadedGameIsSaidAsItsScreenComesBack) {
    Playing p("\"One\"\"Two\"");
    p.start();
    const std::optional<Snapshot> first = p.interpreter.snapshot();
    ASSERT_TRUE(first);
    p.click();
    p.voicing.setOn(true, p.interpreter);
    p.speaker.heard.clear();
    p.after([&] { ASSERT_TRUE(p.interpreter.restore(*first, p.interpreter.stream().contents()).empty()); });
    EXPECT_EQ(p.speaker.heard, (std::vector<std::string>{"stop", "say[en] One"}));
}

TEST(SelfVoicing, AJapanesePageTakesAJapaneseVoiceAndItsAbsenceIsToldOnce) {
    Playing p("\"" + kNihongo + "\"\"" + kHiraganaA + "\"\"Latin\"");
    p.speaker.japaneseVoice = false;
    p.voicing.setOn(true, p.interpreter);
    p.start();
    p.click();
    EXPECT_EQ(p.speaker.heard,
              (std::vector<std::string>{"say[ja] \xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", "stop", "say[ja] \xe3\x81\x82"}))
        << "said all the same, by another voice";
    EXPECT_EQ(p.notices, (std::vector<VoicingNotice>{VoicingNotice::NoJapaneseVoice}));
    p.speaker.latinVoice = false;
    p.click();
    p.voicing.repeat(p.interpreter);
    EXPECT_EQ(p.notices, (std::vector<VoicingNotice>{VoicingNotice::NoJapaneseVoice, VoicingNotice::NoLatinVoice}));
}

TEST(SelfVoicing, WithoutASpeechEngineTheGamePlaysOnAndIsToldOnce) {
    Playing p("\"One\"\"Two\"(1 Go){\"Gone\"}");
    p.speaker.engine = false;
    p.start();
    p.voicing.setOn(true, p.interpreter);
    EXPECT_EQ(p.notices, (std::vector<VoicingNotice>{VoicingNotice::SpeechUnavailable}));
    p.click();
    p.click();
    p.voicing.repeat(p.interpreter);
    p.voicing.setOn(false, p.interpreter);
    p.voicing.setOn(true, p.interpreter);
    p.choose(1);
    EXPECT_EQ(p.interpreter.pageText(), "Gone");
    EXPECT_TRUE(p.speaker.heard.empty());
    EXPECT_EQ(p.notices.size(), 1u);
}

TEST(SelfVoicing, ASpeakerThatLearnsLateIsToldOfOnceItSettles) {
    // Still starting: the speaker counts as able, with every voice.
    Playing p("\"" + kNihongo + "\"\"Two\"\"Three\"");
    p.start();
    p.voicing.setOn(true, p.interpreter);
    EXPECT_TRUE(p.notices.empty());
    // It started without a Japanese voice: told once, though asked again.
    p.speaker.japaneseVoice = false;
    p.voicing.speakerSettled(p.interpreter);
    p.voicing.speakerSettled(p.interpreter);
    EXPECT_EQ(p.notices, (std::vector<VoicingNotice>{VoicingNotice::NoJapaneseVoice}));
    // It failed: told once, and nothing more is stopped or said.
    p.click();
    p.speaker.engine = false;
    p.speaker.heard.clear();
    p.voicing.speakerSettled(p.interpreter);
    p.click();
    p.voicing.speakerSettled(p.interpreter);
    EXPECT_EQ(p.notices, (std::vector<VoicingNotice>{VoicingNotice::NoJapaneseVoice, VoicingNotice::SpeechUnavailable}));
    EXPECT_TRUE(p.speaker.heard.empty());
    // Turned off before the speaker settled: nothing is told.
    Playing q("\"One\"");
    q.start();
    q.voicing.setOn(true, q.interpreter);
    q.voicing.setOn(false, q.interpreter);
    q.speaker.engine = false;
    q.voicing.speakerSettled(q.interpreter);
    EXPECT_TRUE(q.notices.empty());
}
