// Self-voicing in the window: the keys V and R, the page turn that cuts the
// speech off, the setting that keeps it on, the notices, and the voice chosen
// among the desktop's for a page's language.

#include "headless_fixture.h"
#include "interpreter/music_device.h"
#include "presentation/window/form1.h"
#include "presentation/window/qt_speaker.h"
#include "saves/settings_store.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSemaphore>
#include <QTest>
#include <gtest/gtest.h>
#include <mutex>

using namespace vorn;
using vorn::test::TestGame;

namespace {

struct RecordingSpeaker : Speaker {
    struct Heard {
        bool engine = true;
        std::vector<std::string> said; // "say[ja] ...", "stop"
    };
    explicit RecordingSpeaker(std::shared_ptr<Heard> heard) : heard_(std::move(heard)) {}
    bool available() override { return heard_->engine; }
    bool hasVoice(SpeechLanguage language) override { return language == SpeechLanguage::Latin; }
    void say(const std::string& text, SpeechLanguage language) override {
        heard_->said.push_back(std::string("say[") + languageTag(language) + "] " + text);
    }
    void stop() override { heard_->said.push_back("stop"); }
    std::shared_ptr<Heard> heard_;
};

struct Window {
    explicit Window(const TestGame& game) : folder(game.dir()), form(folder, device, 1) {
        form.setMessagePresenter([](const QString&, const QString&, bool) {});
        form.setSpeaker(std::make_unique<RecordingSpeaker>(heard));
        form.useSettings(settings); // kept in the settings file, as the player keeps them
    }
    bool start() {
        if (!form.load()) return false;
        form.show();
        form.activate();
        return true;
    }
    void key(Qt::Key key) { QTest::keyClick(&form, key); }
    std::vector<std::string> said() {
        std::vector<std::string> out;
        out.swap(heard->said);
        return out;
    }

    std::shared_ptr<RecordingSpeaker::Heard> heard = std::make_shared<RecordingSpeaker::Heard>();
    ReaderSettingsKeeper settings{loadSettings().settings, true};
    GameFolder folder;
    SilentMusicDevice device;
    Form1 form;
};

using Said = std::vector<std::string>;

// A desktop engine that starts only when the test lets it, as speech-dispatcher
// takes seconds to list its voices; it hears on the speaker's thread.
struct SlowEngine : SpeechEngine {
    struct Heard {
        QSemaphore started;
        bool canSpeak = true;
        std::mutex lock;
        Said said;
        std::size_t count() {
            std::lock_guard<std::mutex> hold(lock);
            return said.size();
        }
        Said take() {
            std::lock_guard<std::mutex> hold(lock);
            Said out;
            out.swap(said);
            return out;
        }
    };
    explicit SlowEngine(std::shared_ptr<Heard> heard) : heard_(std::move(heard)) {}
    QList<QLocale> locales() override {
        if (!heard_->canSpeak) return {};
        return {QLocale(QLocale::English, QLocale::UnitedStates)};
    }
    QStringList voices() override { return {"slow"}; }
    void say(const QString& text, const std::optional<QLocale>&, const QString&) override {
        std::lock_guard<std::mutex> hold(heard_->lock);
        heard_->said.push_back("say " + text.toStdString());
    }
    void stop() override {
        std::lock_guard<std::mutex> hold(heard_->lock);
        heard_->said.push_back("stop");
    }
    void setRate(double) override {}
    std::shared_ptr<Heard> heard_;

    static std::unique_ptr<QtSpeaker> speaker(const std::shared_ptr<Heard>& heard) {
        return std::make_unique<QtSpeaker>(0, QString(), [heard]() -> std::unique_ptr<SpeechEngine> {
            heard->started.acquire();
            return std::make_unique<SlowEngine>(heard);
        });
    }
};

// Each test starts from no settings file.
struct Form1Voicing : ::testing::Test {
    void SetUp() override { QFile::remove(settingsFile()); }
    void TearDown() override { QFile::remove(settingsFile()); }
};

} // namespace

TEST_F(Form1Voicing, VSpeaksEachPageAndItsOptionsRRepeatsAndAPageTurnCutsItOff) {
    TestGame game("\"The hall.\\A door.\"(2 Open it,Leave){\"It opens.\"}{\"You leave.\"}");
    Window w(game);
    ASSERT_TRUE(w.start());
    EXPECT_TRUE(w.said().empty()) << "off until V";

    w.key(Qt::Key_V);
    EXPECT_TRUE(w.form.selfVoicing());
    EXPECT_EQ(w.said(), (Said{"say[en] The hall.\nA door."}));
    EXPECT_TRUE(loadSettings().settings.selfVoicing) << "the setting keeps it";

    w.key(Qt::Key_Return);
    EXPECT_EQ(w.said(), (Said{"stop", "say[en] 1: Open it\n2: Leave"}));
    w.key(Qt::Key_R);
    EXPECT_EQ(w.said(), (Said{"say[en] 1: Open it\n2: Leave"}));
    w.key(Qt::Key_Return); // the menu waits for its choice
    EXPECT_TRUE(w.said().empty());
    w.key(Qt::Key_2);
    EXPECT_EQ(w.said(), (Said{"stop", "say[en] You leave."}));

    w.key(Qt::Key_V);
    EXPECT_FALSE(w.form.selfVoicing());
    EXPECT_EQ(w.said(), (Said{"stop"}));
    EXPECT_FALSE(loadSettings().settings.selfVoicing);
    w.key(Qt::Key_R);
    EXPECT_TRUE(w.said().empty());
}

TEST_F(Form1Voicing, KeptOnItSaysTheFirstPageOfTheNextStart) {
    ReaderSettings settings;
    settings.selfVoicing = true;
    ASSERT_EQ(keepSettings(settings), "");
    TestGame game("\"First.\"\"Second.\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.said(), (Said{"say[en] First."}));
    w.key(Qt::Key_Space);
    EXPECT_EQ(w.said(), (Said{"stop", "say[en] Second."}));
}

TEST_F(Form1Voicing, WithoutSpeechTheReaderIsToldOnceAndPlaysOn) {
    TestGame game("\"One.\"\"Two.\"\"Three.\"");
    Window w(game);
    w.heard->engine = false;
    ASSERT_TRUE(w.start());
    w.key(Qt::Key_V);
    EXPECT_TRUE(w.form.notice()->isVisible());
    EXPECT_TRUE(w.form.notice()->text().contains("Speech is not available")) << w.form.notice()->text().toStdString();
    w.form.notice()->hide();
    w.key(Qt::Key_Return);
    w.key(Qt::Key_R);
    EXPECT_FALSE(w.form.notice()->isVisible()) << "told once";
    EXPECT_EQ(w.form.text1()->toPlainText(), "Two.");
    EXPECT_TRUE(w.said().empty());
}

TEST_F(Form1Voicing, TheWindowPlaysOnWhileTheEngineStartsAndThenSaysTheLatestScreen) {
    TestGame game("\"One.\"\"Two.\"\"Three.\"");
    Window w(game);
    auto heard = std::make_shared<SlowEngine::Heard>();
    w.form.setSpeaker(SlowEngine::speaker(heard));
    ASSERT_TRUE(w.start());
    w.key(Qt::Key_V); // the engine starts, and goes on starting
    EXPECT_TRUE(w.form.selfVoicing());
    EXPECT_TRUE(w.form.notice()->text().contains("Self-voicing on")) << w.form.notice()->text().toStdString();
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.form.text1()->toPlainText(), "Two.") << "the key was handled at once";
    QTest::qWait(50);
    EXPECT_TRUE(heard->take().empty());
    heard->started.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard->count() == 1; }, 5000));
    EXPECT_EQ(heard->take(), (Said{"say Two."})) << "only the page shown once it could speak";
    w.key(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard->count() == 2; }, 5000));
    EXPECT_EQ(heard->take(), (Said{"stop", "say Three."}));
}

TEST_F(Form1Voicing, TurnedOffWhileTheEngineStartsItSaysNothing) {
    TestGame game("\"One.\"\"Two.\"");
    Window w(game);
    auto heard = std::make_shared<SlowEngine::Heard>();
    w.form.setSpeaker(SlowEngine::speaker(heard));
    ASSERT_TRUE(w.start());
    w.key(Qt::Key_V);
    w.key(Qt::Key_V);
    EXPECT_FALSE(w.form.selfVoicing());
    heard->started.release();
    QTest::qWait(200);
    EXPECT_TRUE(heard->take().empty());
    w.key(Qt::Key_V); // started by now: said at once
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard->count() == 1; }, 5000));
    EXPECT_EQ(heard->take(), (Said{"say One."}));
}

TEST_F(Form1Voicing, AnEngineThatFailsToStartIsToldOnceWhenItFails) {
    TestGame game("\"One.\"\"Two.\"\"Three.\"");
    Window w(game);
    auto heard = std::make_shared<SlowEngine::Heard>();
    heard->canSpeak = false;
    w.form.setSpeaker(SlowEngine::speaker(heard));
    ASSERT_TRUE(w.start());
    w.key(Qt::Key_V);
    w.key(Qt::Key_Return);
    EXPECT_FALSE(w.form.notice()->text().contains("Speech is not available")) << "not known yet";
    heard->started.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.form.notice()->text().contains("Speech is not available"); }, 5000));
    w.form.notice()->hide();
    w.key(Qt::Key_Return);
    w.key(Qt::Key_R);
    EXPECT_FALSE(w.form.notice()->isVisible()) << "told once";
    EXPECT_EQ(w.form.text1()->toPlainText(), "Three.");
    EXPECT_TRUE(heard->take().empty());
}

TEST(QtSpeaker, ChoosesAJapaneseVoiceForJapaneseAndAnotherForLatinLetters) {
    const QLocale ja(QLocale::Japanese, QLocale::Japan), en(QLocale::English, QLocale::UnitedStates),
        de(QLocale::German, QLocale::Germany), zh(QLocale::Chinese, QLocale::China);
    const QList<QLocale> both = {de, ja, en};
    EXPECT_EQ(QtSpeaker::localeFor(SpeechLanguage::Japanese, both), ja);
    EXPECT_EQ(QtSpeaker::localeFor(SpeechLanguage::Latin, both), en) << "English before others";
    EXPECT_EQ(QtSpeaker::localeFor(SpeechLanguage::Latin, {zh, de, ja}), de) << "any that writes Latin letters";
    EXPECT_EQ(QtSpeaker::localeFor(SpeechLanguage::Latin, {zh, ja}), std::nullopt);
    EXPECT_EQ(QtSpeaker::localeFor(SpeechLanguage::Japanese, {zh, de}), std::nullopt) << "no Chinese voice for kanji";
}
