// The reader's settings in the window, under Qt's offscreen platform: the
// music's volume keys and their mark, auto mode, and the "Settings…" dialog.

#include "headless_fixture.h"
#include "mark_look.h"
#include "interpreter/music_device.h"
#include "presentation/window/form1.h"
#include "presentation/window/reader_marks.h"
#include "presentation/window/settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TestGame;

namespace {

// Plays nothing, and remembers the levels it was given.
class LevelDevice : public SilentMusicDevice {
  public:
    void setLevel(double level) override { levels.push_back(level); }
    std::vector<double> levels;
};

struct Window {
    explicit Window(const TestGame& game, ReaderSettings settings = {})
        : folder(game.dir()), keeper(settings), form(folder, device, 1) {
        form.setMessagePresenter([](const QString&, const QString&, bool) {});
        form.useSettings(keeper);
    }
    void start() {
        ASSERT_TRUE(form.load());
        form.show();
        form.activate();
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&form, Qt::Key(key), modifiers); }
    QString text() const { return form.text1()->toPlainText(); }

    GameFolder folder;
    LevelDevice device;
    ReaderSettingsKeeper keeper;
    Form1 form;
};

// Runs `answer` on the dialog that the next modal exec shows.
void answerNextDialog(std::function<void(QDialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "no dialog shown";
        answer(*dialog);
    });
}

} // namespace

TEST(ReaderControls, VolumeKeysChangeTheLevelKeepItAndShowIt) {
    TestGame game("\"page\"");
    ReaderSettings start;
    start.musicVolume = 50;
    Window w(game, start);
    w.start();
    ASSERT_FALSE(w.device.levels.empty()) << "the kept level is set at once";
    EXPECT_DOUBLE_EQ(w.device.levels.back(), 0.25);

    w.key(Qt::Key_0);
    EXPECT_EQ(w.keeper.settings().musicVolume, 60);
    EXPECT_DOUBLE_EQ(w.device.levels.back(), 0.36);
    EXPECT_TRUE(w.form.marks()->volumeMark()->isVisible());
    EXPECT_EQ(w.form.marks()->volumeMark()->text(), "Volume 60 %");
    EXPECT_TRUE(hasMarkLook(w.form.marks()->volumeMark(), 2, 8));

    w.key(Qt::Key_M);
    EXPECT_TRUE(w.keeper.settings().musicMuted);
    EXPECT_DOUBLE_EQ(w.device.levels.back(), 0.0);
    EXPECT_EQ(w.form.marks()->volumeMark()->text(), "Music muted");

    // Quieter from mute: the step is heard, not kept silent.
    w.key(Qt::Key_9);
    EXPECT_FALSE(w.keeper.settings().musicMuted);
    EXPECT_EQ(w.keeper.settings().musicVolume, 50);
    EXPECT_DOUBLE_EQ(w.device.levels.back(), 0.25);
    for (int i = 0; i < 12; ++i) w.key(Qt::Key_9);
    EXPECT_EQ(w.keeper.settings().musicVolume, 0) << "never below silence";
    EXPECT_EQ(w.text(), "page") << "no key of the volume turns the page";
}

TEST(ReaderControls, AutoModeTurnsPagesByItselfAndWaitsAtTheMenu) {
    TestGame game("\"Where now?\"(2 North,South)\r\n{\"N\"}{\"S\"}\"Night\"");
    ReaderSettings settings;
    settings.autoDelay = ReaderSettings::kMinAutoDelay;
    Window w(game, settings);
    w.start();
    EXPECT_FALSE(w.form.autoTurnPending()) << "off at start";
    w.key(Qt::Key_A);
    ASSERT_TRUE(w.form.autoMode());
    EXPECT_TRUE(w.form.marks()->autoMark()->isVisible());
    EXPECT_TRUE(hasMarkLook(w.form.marks()->autoMark(), 2, 8));
    ASSERT_TRUE(w.form.autoTurnPending());
    EXPECT_EQ(w.form.autoTurnInterval(), autoTurnDelay(pageCharacters("Where now?"), settings.autoDelay));

    // Left alone, the page turns to the menu, which waits.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.form.caption(1) == "North"; }, 5000));
    EXPECT_FALSE(w.form.autoTurnPending()) << "a menu waits for the reader";
    QTest::qWait(100);
    EXPECT_EQ(w.form.caption(1), "North");

    // Auto mode stays on across the choice.
    w.key(Qt::Key_2);
    EXPECT_EQ(w.text(), "S");
    EXPECT_TRUE(w.form.autoTurnPending());
    // A key turns the page at once, and the next page starts its own wait.
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.text(), "Night");
    EXPECT_EQ(w.form.autoTurnInterval(), autoTurnDelay(pageCharacters("Night"), settings.autoDelay));

    w.key(Qt::Key_A);
    EXPECT_FALSE(w.form.autoMode());
    EXPECT_FALSE(w.form.autoTurnPending());
    EXPECT_FALSE(w.form.marks()->autoMark()->isVisible());
}

TEST(ReaderControls, AutoModeShowsALongPageABoxAtATimeFirst) {
    std::string longPage = "\"";
    for (int i = 0; i < 40; ++i) longPage += "\x82\xA0\x82\xA2\x82\xA4"; // あいう
    longPage += "\\\\\\\\\\\\end\"";
    TestGame game(longPage + "\"short\"");
    ReaderSettings settings;
    settings.autoDelay = ReaderSettings::kMinAutoDelay;
    Window w(game, settings);
    w.start();
    QScrollBar* lines = w.form.text1()->verticalScrollBar();
    ASSERT_GT(lines->maximum(), 0);
    w.key(Qt::Key_A);
    // The first box waits for its own share of the page, less than the whole page would.
    EXPECT_LT(w.form.autoTurnInterval(), autoTurnDelay(pageCharacters(w.text().toStdString()), settings.autoDelay));
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines->value() > 0; }, 5000));
    EXPECT_NE(w.text(), "short") << "scrolled, not turned";
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.text() == "short"; }, 20000));
}

TEST(ReaderControls, TheSettingsDialogChangesAndKeepsTheSettingsAndCancelPutsTheLevelBack) {
    TestGame game("\"page\"");
    Window w(game);
    w.start();
    const QList<QAction*> entries = w.form.popupMenu()->actions();
    ASSERT_EQ(entries.back()->text(), "Settings\u2026");

    // Cancelled: the level heard while the slider moved goes back.
    answerNextDialog([](QDialog& dialog) {
        auto& settings = dynamic_cast<SettingsDialog&>(dialog);
        settings.volumeSlider()->setValue(20);
        dialog.reject();
    });
    w.key(Qt::Key_Comma, Qt::ControlModifier);
    ASSERT_GE(w.device.levels.size(), 2u);
    EXPECT_DOUBLE_EQ(w.device.levels[w.device.levels.size() - 2], 0.04) << "heard while the slider moved";
    EXPECT_DOUBLE_EQ(w.device.levels.back(), 1.0);
    EXPECT_EQ(w.keeper.settings(), ReaderSettings{});

    // Accepted: every row taken; each control is named for screen readers.
    answerNextDialog([](QDialog& dialog) {
        auto& settings = dynamic_cast<SettingsDialog&>(dialog);
        for (QWidget* control : std::initializer_list<QWidget*>{settings.volumeSlider(), settings.autoDelayBox(),
                                                                settings.zoomBox(), settings.languageBox()})
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
        settings.volumeSlider()->setValue(70);
        settings.muteBox()->setChecked(true);
        settings.autoDelayBox()->setValue(150);
        settings.skipUnreadBox()->setChecked(true);
        settings.zoomBox()->setCurrentIndex(settings.zoomBox()->findData(2));
        settings.languageBox()->setCurrentIndex(settings.languageBox()->findData("ja"));
        dialog.accept();
    });
    entries.back()->trigger();
    ReaderSettings expected;
    expected.musicVolume = 70;
    expected.musicMuted = true;
    expected.autoDelay = 150;
    expected.skipUnread = true;
    expected.zoom = 2;
    expected.language = "ja";
    EXPECT_EQ(w.keeper.settings(), expected);
    EXPECT_DOUBLE_EQ(w.device.levels.back(), 0.0);
    EXPECT_EQ(w.text(), "page");
}
