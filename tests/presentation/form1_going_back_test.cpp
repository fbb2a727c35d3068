// Going back and skipping in the window, under Qt's offscreen platform: the
// keys, the wheel and the backlog's pages step back and show the earlier
// scene to the pixel; Ctrl held and S turn only pages read; the mark.

#include "headless_fixture.h"
#include "mark_look.h"
#include "interpreter/music_device.h"
#include "presentation/window/form1.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <set>

using namespace vorn;
using vorn::test::TestGame;

namespace {

struct Window {
    explicit Window(const TestGame& game) : folder(game.dir()), form(folder, device, 1) {
        form.setMessagePresenter([](const QString&, const QString&, bool) {});
    }
    // `readPages`: the file of pages read, kept across windows.
    bool start(const QString& readPages = {}) {
        if (!readPages.isEmpty()) form.setReadPagesFile(readPages);
        if (!form.load()) return false;
        form.show();
        form.activate();
        return true;
    }
    QString text() const { return form.text1()->toPlainText(); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&form, key, modifiers); }
    QImage scene() { return form.grab().toImage(); }
    // Whether two scenes are the same to the pixel, where the mark stands
    // now (in the scene's corner) left out of both.
    bool sameScene(QImage a, QImage b) const {
        for (QImage* shot : {&a, &b}) {
            QPainter p(shot);
            p.fillRect(form.placeMark()->geometry(), Qt::magenta);
        }
        return a == b;
    }
    void wheel(int delta) {
        QWidget* target = form.text1()->viewport();
        const QPointF at(10, 10);
        QWheelEvent event(at, target->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
    bool markShows(const QString& words) const {
        return form.placeMark()->isVisible() && form.placeMark()->text() == words;
    }
    // Holds Ctrl for `ms` milliseconds.
    void holdCtrl(int ms) {
        QTest::keyPress(&form, Qt::Key_Control, Qt::ControlModifier);
        QTest::qWait(ms);
        QTest::keyRelease(&form, Qt::Key_Control);
    }

    GameFolder folder;
    SilentMusicDevice device;
    Form1 form;
};

std::string pages(int count, const std::string& prefix = "page ") {
    std::string script;
    for (int i = 1; i <= count; ++i) script += "\"" + prefix + std::to_string(i) + "\"";
    return script;
}

} // namespace

TEST(GoingBack, LeftAndPageUpStepBackToTheEarlierSceneToThePixelAndAClickPlaysOn) {
    TestGame game("<red.bmp>\"one\"<blue.bmp>\"two\"(2 a,b){\"A\"}{\"B\"}\"end\"");
    game.write("red.bmp", test::bitmap(482, 297, 255, 0, 0));
    game.write("blue.bmp", test::bitmap(482, 297, 0, 0, 255));
    Window w(game);
    ASSERT_TRUE(w.start());
    const QImage first = w.scene();
    w.key(Qt::Key_Space);
    const QImage second = w.scene();
    w.key(Qt::Key_Space);
    ASSERT_EQ(w.form.caption(2), "b");

    w.key(Qt::Key_Left);
    EXPECT_EQ(w.text(), "two");
    EXPECT_TRUE(w.form.caption(1).isEmpty()) << "the menu is not offered yet";
    EXPECT_TRUE(w.markShows("back 1"));
    EXPECT_TRUE(w.sameScene(w.scene(), second));
    w.key(Qt::Key_PageUp);
    EXPECT_EQ(w.text(), "one");
    EXPECT_TRUE(w.markShows("back 2"));
    EXPECT_TRUE(hasMarkLook(w.form.placeMark(), 4, 10));
    EXPECT_TRUE(w.sameScene(w.scene(), first)) << "the red scene again, the blue one gone";
    EXPECT_FALSE(w.sameScene(w.scene(), second));
    EXPECT_EQ(w.form.interpreter().backlog().size(), 1u);

    w.key(Qt::Key_Left);
    EXPECT_EQ(w.text(), "one") << "nothing before the first page";
    EXPECT_TRUE(w.markShows("back 2"));
    EXPECT_TRUE(w.form.notice()->isVisible()) << "a brief notice says so";
    w.form.notice()->hide();

    w.key(Qt::Key_Space);
    EXPECT_EQ(w.text(), "two");
    EXPECT_FALSE(w.form.placeMark()->isVisible()) << "playing on ends the going back";
    EXPECT_EQ(w.scene(), second) << "the page plays as the first time, the mark gone";
    w.key(Qt::Key_Space);
    w.key(Qt::Key_2);
    EXPECT_EQ(w.text(), "B") << "the menu plays as the first time";
}

TEST(GoingBack, TheWheelUpAtTheTopOfAPageStepsBackAndBelowItScrolls) {
    std::string longPage = "\"";
    for (int line = 1; line <= 12; ++line) longPage += "line " + std::to_string(line) + "\r\n";
    TestGame game("\"short\"" + longPage + "\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    w.key(Qt::Key_Space);
    QScrollBar* lines = w.form.text1()->verticalScrollBar();
    ASSERT_GT(lines->maximum(), 0);
    lines->setValue(lines->maximum());
    w.wheel(120);
    EXPECT_TRUE(w.text().startsWith("line 1")) << "below the top the wheel scrolls";
    lines->setValue(0);
    w.wheel(60);
    EXPECT_TRUE(w.text().startsWith("line 1")) << "half a notch is no step";
    w.wheel(60);
    EXPECT_EQ(w.text(), "short");
    EXPECT_FALSE(w.form.backlog()->isVisible()) << "the wheel no longer opens the backlog";
}

TEST(GoingBack, AClickOnAPageInTheBacklogGoesBackToItAndOnTheLastOnlyClosesIt) {
    TestGame game(pages(5));
    Window w(game);
    ASSERT_TRUE(w.start());
    for (int i = 0; i < 4; ++i) w.key(Qt::Key_Space);
    ASSERT_EQ(w.text(), "page 5");
    const auto clickBacklogLine = [&](const QString& words) {
        w.key(Qt::Key_B);
        QPlainTextEdit* backlog = w.form.backlog();
        EXPECT_TRUE(backlog->isVisible());
        backlog->verticalScrollBar()->setValue(0);
        const QTextBlock block = backlog->document()->find(words).block();
        QTextCursor at(block);
        const QPoint point = backlog->cursorRect(at).center() + QPoint(4, 0);
        QTest::mouseClick(backlog->viewport(), Qt::LeftButton, {}, point);
    };
    clickBacklogLine("page 2");
    EXPECT_FALSE(w.form.backlog()->isVisible());
    EXPECT_EQ(w.text(), "page 2");
    EXPECT_TRUE(w.markShows("back 3"));
    clickBacklogLine("page 2");
    EXPECT_FALSE(w.form.backlog()->isVisible()) << "a click on the page being read closes the backlog";
    EXPECT_EQ(w.text(), "page 2");
    EXPECT_TRUE(w.markShows("back 3"));
}

// Pages read in an earlier play (kept by the store) and in this one are
// skipped; the first unread page and every menu stop it.
TEST(Skipping, HoldingCtrlTurnsOnlyPagesReadAndStopsAtTheFirstUnreadOne) {
    TestGame game(pages(8) + "(2 a,b){\"A\"}{\"B\"}\"after\"");
    QTemporaryDir data;
    const QString read = data.filePath("read.pages.json");
    {
        Window first(game);
        ASSERT_TRUE(first.start(read));
        for (int i = 0; i < 3; ++i) first.key(Qt::Key_Space); // pages 1 to 3 read
    }
    Window w(game);
    ASSERT_TRUE(w.start(read));
    QTest::keyPress(&w.form, Qt::Key_Control, Qt::ControlModifier);
    QTest::qWait(100);
    EXPECT_EQ(w.text(), "page 1") << "a short press turns no page";
    QTest::qWait(1000);
    EXPECT_TRUE(w.markShows("Skip"));
    QTest::keyRelease(&w.form, Qt::Key_Control);
    EXPECT_EQ(w.text(), "page 4") << "it stops at the first page not read before";
    EXPECT_FALSE(w.form.placeMark()->isVisible());

    // Read on to the menu, back to the start, and skip again: it stops at the menu.
    for (int i = 0; i < 5; ++i) w.key(Qt::Key_Space);
    ASSERT_EQ(w.form.caption(1), "a");
    for (int i = 0; i < 8; ++i) w.key(Qt::Key_Left);
    ASSERT_EQ(w.text(), "page 1");
    w.key(Qt::Key_S);
    QTest::qWait(1000);
    EXPECT_EQ(w.form.caption(1), "a") << "it stops at the menu";
    EXPECT_FALSE(w.form.skipping()) << "S's skipping ends at the stop";
    EXPECT_FALSE(w.form.placeMark()->isVisible()) << "skipping played on: no longer back";
}

TEST(Skipping, WithTheSettingHoldingCtrlTurnsEveryPageUpToTheNextChoice) {
    TestGame game(pages(12) + "(2 a,b){\"A\"}{\"B\"}\"after\"");
    Window w(game);
    w.form.setSkipUnread(true);
    ASSERT_TRUE(w.start());
    w.holdCtrl(1500);
    EXPECT_EQ(w.form.caption(1), "a") << "it stops by itself at the menu";
    EXPECT_EQ(w.form.interpreter().backlog().size(), 12u);
}

// Skipping reads twenty pages a second: the file of pages read is written a
// few times, not once a page, and holds every page read once skipping stops.
TEST(Skipping, WritesTheFileOfPagesReadOnlyEveryFewSeconds) {
    TestGame game(pages(400));
    QTemporaryDir data;
    const QString read = data.filePath("read.pages.json");
    std::set<std::pair<qint64, QDateTime>> writes; // each write renames a new file into place
    std::size_t skipped = 0;
    {
        Window w(game);
        w.form.setSkipUnread(true);
        ASSERT_TRUE(w.start(read));
        w.key(Qt::Key_S);
        for (int i = 0; i < 150; ++i) { // 3 s: some 60 pages
            QTest::qWait(20);
            const QFileInfo file(read);
            if (file.exists()) writes.insert({file.size(), file.fileTime(QFileDevice::FileModificationTime)});
        }
        w.key(Qt::Key_S);
        EXPECT_FALSE(w.form.skipping());
        skipped = w.form.interpreter().backlog().size();
        EXPECT_GE(skipped, 30u);
    }
    EXPECT_LE(writes.size(), 3u) << "written once a page while skipping";

    Window again(game); // every page skipped counts as read in the next play
    ASSERT_TRUE(again.start(read));
    again.key(Qt::Key_S);
    for (int i = 0; i < 500 && again.form.skipping(); ++i) QTest::qWait(20);
    EXPECT_GE(again.form.interpreter().backlog().size() + 1, skipped);
}

TEST(Skipping, SStopsAgainAndAKeyOrAClickStopsIt) {
    TestGame game(pages(400));
    Window w(game);
    w.form.setSkipUnread(true);
    ASSERT_TRUE(w.start());
    w.key(Qt::Key_S);
    QTest::qWait(200);
    ASSERT_TRUE(w.form.skipping());
    w.key(Qt::Key_S);
    EXPECT_FALSE(w.form.skipping());
    const QString stoppedAt = w.text();
    QTest::qWait(200);
    EXPECT_EQ(w.text(), stoppedAt);

    w.key(Qt::Key_S);
    QTest::qWait(200);
    QTest::mouseClick(w.form.text1()->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(w.form.skipping());
    const QString clickedAt = w.text();
    QTest::qWait(200);
    EXPECT_EQ(w.text(), clickedAt) << "the click that stops skipping turns no page of its own";
}

// Ctrl comes first in every shortcut: it neither closes the backlog nor
// skips behind it, so Ctrl+C still copies.
TEST(Skipping, CtrlLeavesTheBacklogOpen) {
    TestGame game(pages(3));
    Window w(game);
    w.form.setSkipUnread(true);
    ASSERT_TRUE(w.start());
    w.key(Qt::Key_Space);
    w.key(Qt::Key_B);
    ASSERT_TRUE(w.form.backlog()->isVisible());
    w.holdCtrl(600);
    EXPECT_TRUE(w.form.backlog()->isVisible());
    EXPECT_EQ(w.text(), "page 2");
}
