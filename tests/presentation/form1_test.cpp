// The window under Qt's offscreen platform: geometry, start-up look, click
// routing in drawing order, and the fatal report.

#include "headless_fixture.h"
#include "interpreter/music_device.h"
#include "presentation/window/form1.h"
#include "presentation/window/slot_dialog.h"
#include "saves/saves.h"

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TestGame;

namespace {

struct Window {
    explicit Window(const TestGame& game, int zoom = 1) : folder(game.dir()), form(folder, device, zoom) {
        form.setMessagePresenter([this](const QString& title, const QString& text, bool isError) {
            messages.push_back((isError ? "error: " : "") + title + ": " + text);
        });
    }
    bool start() {
        if (!form.load()) return false;
        form.show();
        form.activate();
        return true;
    }
    void click(QPoint scenePoint) {
        clickWidget(form.sceneTransform().toWidget(QRect(scenePoint, QSize(1, 1))).topLeft());
    }
    void clickWidget(QPoint p) {
        QWidget* target = form.childAt(p) ? form.childAt(p) : &form;
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&form, p));
    }
    QString text() const { return form.text1()->toPlainText(); }

    GameFolder folder;
    SilentMusicDevice device;
    Form1 form;
    QStringList messages;
};

} // namespace

TEST(Form1, OpensWithItsStartUpLook) {
    TestGame game("");
    Window w(game);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.form.windowTitle(), "VORN Interpeter");
    EXPECT_EQ(w.form.size(), QSize(632, 425));
    EXPECT_EQ(w.form.text1()->geometry(), QRect(64, 340, 512, 65));
    EXPECT_EQ(w.form.image1Size(), QSize(482, 297)) << "the built-in scene picture";
    EXPECT_TRUE(w.form.image2Empty());
    for (int label = 1; label <= 4; ++label) EXPECT_TRUE(w.form.caption(label).isEmpty());
    EXPECT_TRUE(w.text().isEmpty());
    const QImage shot = w.form.grab().toImage();
    EXPECT_EQ(shot.pixelColor(100, 360), QColor(Qt::black)) << "the text box is black";
    // The built-in pictures are decoded beside the start and arrive with the first paint.
    const QImage scene(":/scene.bmp");
    EXPECT_EQ(shot.pixelColor(79 + 100, 27 + 100), scene.pixelColor(100, 100)) << "the built-in scene";
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.form.windowIcon().isNull());
}

TEST(Form1, AGameThatSetsItsSceneAtOnceNeverShowsTheBuiltInOne) {
    TestGame game("<own.bmp>\"p\"");
    game.write("own.bmp", test::bitmap(482, 297, 10, 200, 30));
    Window w(game);
    ASSERT_TRUE(w.start());
    const QImage shot = w.form.grab().toImage();
    EXPECT_EQ(shot.pixelColor(79 + 100, 27 + 100), QColor(10, 200, 30));
}

// The built-in pictures of a game that replaced its scene are decoded only
// once the first page is up, and then leave the game's own scene on screen.
TEST(Form1, TheBuiltInPicturesComeLaterWhereTheGameReplacedItsScene) {
    TestGame game("<own.bmp>\"p\"");
    game.write("own.bmp", test::bitmap(482, 297, 10, 200, 30));
    Window w(game);
    ASSERT_TRUE(w.start());
    (void)w.form.grab();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.form.windowIcon().isNull()) << "nothing of them before the page is up";
    w.form.takeBuiltInPictures(); // as the window does once the first page is painted
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.form.windowIcon().isNull());
    EXPECT_EQ(w.form.grab().toImage().pixelColor(79 + 100, 27 + 100), QColor(10, 200, 30)) << "the game's own scene";
}

TEST(Form1, ClicksReachTheTextBoxAndTheFrontCaption) {
    TestGame game("\"Where now?\"(3 North,South,Stay)\r\n{\"N\"}{\"S\"}{\"T\"}\"Night\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.text(), "Where now?");
    w.click({300, 360});
    EXPECT_EQ(w.form.caption(2), "South");
    EXPECT_FALSE(w.form.image2Empty());
    w.click({500, 60});
    EXPECT_EQ(w.text(), "S");
    EXPECT_TRUE(w.form.caption(1).isEmpty()) << "a page clears the captions";
    EXPECT_TRUE(w.form.image2Empty()) << "and the choice box";
    w.click({300, 360});
    EXPECT_EQ(w.text(), "Night");
}

// The captions' rectangles overlap: each reaches over the upper part of the
// next one's text. A click there chooses the option whose text line it is on.
TEST(Form1, AClickOnAnOptionsTextChoosesThatOptionAtEveryZoomAndInFullScreen) {
    TestGame game("*m*\r\n(4 One,Two,Three,Four)\r\n{\"1\"}{\"2\"}{\"3\"}{\"4\"}>m<\r\n");
    for (const int zoom : {1, 2, 0}) { // 0: full screen
        SCOPED_TRACE(zoom ? "zoom " + std::to_string(zoom) : std::string("full screen"));
        Window w(game, std::max(zoom, 1));
        ASSERT_TRUE(w.start());
        if (zoom == 0) {
            w.form.setFullScreen(true);
            QApplication::processEvents();
        }
        const SceneTransform t = w.form.sceneTransform();
        // The branch's page shows the option's number; the next click on the
        // text box plays on to the jump back to the menu.
        const auto choose = [&](int y) {
            w.clickWidget({t.toWidget(labelRect(1)).left() + 8, y});
            const std::string chosen = w.text().toStdString();
            if (!chosen.empty()) w.clickWidget(t.toWidget(startRect(SceneElement::Text1)).center());
            EXPECT_EQ(w.form.caption(4), "Four") << "the menu is back";
            return chosen;
        };
        for (int label = 1; label <= 4; ++label) {
            const QRect caption = t.toWidget(labelRect(label));
            const std::string number = std::to_string(label);
            EXPECT_EQ(choose(caption.top()), number) << "the top edge of caption " << label;
            if (label < 4) {
                const int nextTop = t.toWidget(labelRect(label + 1)).top();
                EXPECT_EQ(choose(nextTop - 1), number) << "just above caption " << label + 1;
                EXPECT_EQ(choose(nextTop), std::to_string(label + 1)) << "the top edge of caption " << label + 1;
            } else {
                EXPECT_EQ(choose(caption.bottom()), number) << "the bottom edge of the last caption";
                EXPECT_EQ(choose(caption.bottom() + 1), "") << "below the last caption";
            }
        }
    }
}

TEST(Form1, AnEmptyCaptionLeavesItsOverlapToTheOptionAboveAndDoesNothingElsewhere) {
    TestGame game("(1 Go on){\"went\"}");
    Window w(game);
    ASSERT_TRUE(w.start());
    w.click({500, labelRect(1).bottom() + 1});
    EXPECT_EQ(w.text(), "") << "below the first caption, the second is empty";
    w.click({500, labelRect(2).top()});
    EXPECT_EQ(w.text(), "went") << "the first caption's own rectangle, under the empty second";
}

TEST(Form1, TextWrapsAtTheBoxWidthAndALongPageScrolls) {
    std::string page = "\"";
    for (int i = 0; i < 40; ++i) page += "\x82\xA0\x82\xA2\x82\xA4"; // あいう
    page += "\\\\\\\\\\\\end\"";
    TestGame game(page);
    Window w(game);
    ASSERT_TRUE(w.start());
    QPlainTextEdit* box = w.form.text1();
    EXPECT_GT(box->document()->documentLayout()->documentSize().height(), 4) << "wrapped over several lines";
    EXPECT_GT(box->verticalScrollBar()->maximum(), 0) << "longer than the box";
    QWheelEvent wheel(QPointF(50, 30), box->viewport()->mapToGlobal(QPointF(50, 30)), {}, QPoint(0, -120), {}, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(box->viewport(), &wheel);
    EXPECT_GT(box->verticalScrollBar()->value(), 0);
}

TEST(Form1, AMissingBackgroundIsReportedAndTheGameDoesNotStart) {
    TestGame game("\"x\"");
    game.remove("back.bmp");
    Window w(game);
    EXPECT_FALSE(w.start());
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].startsWith("error: VORN: ")) << w.messages[0].toStdString();
    EXPECT_TRUE(w.messages[0].contains("back.bmp")) << w.messages[0].toStdString();
}

TEST(Form1, ZoomScalesTheTextBoxAndItsFont) {
    TestGame game("\"x\"");
    Window w(game, 2);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.form.size(), QSize(1264, 850));
    EXPECT_EQ(w.form.text1()->geometry(), QRect(128, 680, 1024, 130));
    EXPECT_EQ(w.form.text1()->font().pixelSize(), 30);
}

// The window is made in the page's font without changing the desktop's: the
// application's font, and the fonts the desktop gives menus and the like.
TEST(Form1, TheDesktopsFontsAreLeftAsTheWindowFoundThem) {
    const QFont before = QApplication::font();
    const QFont menuFont("Serif", 13);
    QApplication::setFont(menuFont, "QMenu");
    {
        TestGame game("\"x\"");
        Window w(game);
        ASSERT_TRUE(w.start());
        EXPECT_EQ(QApplication::font(), before);
        EXPECT_EQ(QApplication::font("QMenu"), menuFont);
        EXPECT_EQ(w.form.text1()->font().pixelSize(), 15);
    }
    QApplication::setFont(before, "QMenu");
}

// Presses the mouse at a scene point and reports whether the pop-up menu opened.
bool menuOpensAt(Window& w, QPoint scenePoint, Qt::MouseButtons buttons) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            opened = popup == w.form.popupMenu();
            popup->close();
        }
    });
    const QPoint p = w.form.sceneTransform().toWidget(QRect(scenePoint, QSize(1, 1))).topLeft();
    QWidget* target = w.form.childAt(p) ? w.form.childAt(p) : &w.form;
    const Qt::MouseButton button = buttons & Qt::RightButton ? Qt::RightButton : Qt::LeftButton;
    QMouseEvent press(QEvent::MouseButtonPress, target->mapFrom(&w.form, p),
                      target->mapToGlobal(target->mapFrom(&w.form, p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::processEvents();
    return opened;
}

TEST(Form1, OnlyTheRightButtonAloneOverTheBareBackgroundOpensTheMenu) {
    TestGame game("\"x\"(2 a,b){\"A\"}{\"B\"}");
    Window w(game);
    ASSERT_TRUE(w.start());
    EXPECT_TRUE(menuOpensAt(w, {20, 20}, Qt::RightButton));
    EXPECT_FALSE(menuOpensAt(w, {20, 20}, Qt::LeftButton));
    EXPECT_FALSE(menuOpensAt(w, {20, 20}, Qt::LeftButton | Qt::RightButton));
    EXPECT_FALSE(menuOpensAt(w, {20, 20}, Qt::MiddleButton | Qt::RightButton));
    EXPECT_FALSE(menuOpensAt(w, {200, 200}, Qt::RightButton)) << "over Image1";
    EXPECT_FALSE(menuOpensAt(w, {485, 20}, Qt::RightButton)) << "over Image2";
    EXPECT_FALSE(menuOpensAt(w, {500, 40}, Qt::RightButton)) << "over a caption";
    EXPECT_FALSE(menuOpensAt(w, {200, 360}, Qt::RightButton)) << "over the text box";
    ASSERT_GE(w.form.popupMenu()->actions().size(), 3);
    EXPECT_EQ(w.form.popupMenu()->actions()[0]->text(), "New");
    EXPECT_EQ(w.form.popupMenu()->actions()[1]->text(), "Quit");
    EXPECT_EQ(w.form.popupMenu()->actions()[2]->text(), "About");
}

// Opens the menu with the keys and reports where its top-left corner went, in
// the window's coordinates; nowhere when it did not open.
std::optional<QPoint> menuOpenedByKeysAt(Window& w, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    std::optional<QPoint> at;
    QTimer::singleShot(0, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            if (popup == w.form.popupMenu()) at = w.form.mapFromGlobal(popup->geometry().topLeft());
            popup->close();
        }
    });
    QTest::keyClick(&w.form, key, modifiers);
    QApplication::processEvents();
    return at;
}

TEST(Form1, ThePopUpMenuGrowsWithTheZoomAndTheKeysOpenItOverTheScene) {
    TestGame game("\"x\"");
    Window one(game, 1);
    Window two(game, 2);
    ASSERT_TRUE(two.start());
    const QFont small = one.form.popupMenu()->font(), large = two.form.popupMenu()->font();
    if (small.pixelSize() > 0)
        EXPECT_EQ(large.pixelSize(), 2 * small.pixelSize());
    else
        EXPECT_DOUBLE_EQ(large.pointSizeF(), 2 * small.pointSizeF());

    const SceneTransform t = two.form.sceneTransform();
    QCursor::setPos(two.form.mapToGlobal(QPoint(two.form.width() + 200, 10))); // beside the window
    EXPECT_EQ(menuOpenedByKeysAt(two, Qt::Key_F10, Qt::ShiftModifier),
              t.toWidget(startRect(SceneElement::Image1)).center())
        << "over the middle of the scene picture";
    const QPoint pointer = t.toWidget(QRect(20, 20, 1, 1)).topLeft();
    QCursor::setPos(two.form.mapToGlobal(pointer));
    EXPECT_EQ(menuOpenedByKeysAt(two, Qt::Key_Menu, {}), pointer) << "at the pointer over the scene";
}

TEST(Form1, ClosingShowsTheCreditsFirstHoweverItCloses) {
    TestGame game("\"x\"");
    {
        Window w(game);
        ASSERT_TRUE(w.start());
        w.form.close();
        ASSERT_EQ(w.messages.size(), 1);
        EXPECT_TRUE(w.messages[0].startsWith("VORN: VORN interpeter ")) << w.messages[0].toStdString();
        EXPECT_FALSE(w.form.isVisible());
    }
    {
        Window w(game);
        ASSERT_TRUE(w.start());
        w.form.popupMenu()->actions()[1]->trigger(); // "Quit"
        EXPECT_EQ(w.messages.size(), 1);
        w.form.close();
        EXPECT_EQ(w.messages.size(), 1) << "the shut-down runs once";
    }
}

TEST(Form1, ARunThatNeverPausesCanStillBeClosed) {
    TestGame game("*loop*\r\n>loop<\r\n");
    Window w(game);
    ASSERT_TRUE(w.form.load());
    w.form.show();
    QTimer::singleShot(300, &w.form, [&] { w.form.close(); });
    w.form.activate(); // returns only because the close request ends the run
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].startsWith("VORN: VORN interpeter")) << "the credits, as at every close";
    EXPECT_FALSE(w.form.interpreter().running());
}

TEST(Form1, ATerminationSignalEndsAnEndlessRunWithoutTheCreditsBox) {
    TestGame game("*loop*\r\n~A1~>loop<\r\n");
    Window w(game);
    ASSERT_TRUE(w.form.load());
    w.form.show();
    QTimer::singleShot(300, &w.form, [&] { w.form.terminate(); });
    w.form.activate();
    EXPECT_TRUE(w.messages.isEmpty());
    EXPECT_FALSE(w.form.interpreter().stream().isOpen()) << "the script was closed";
}

// A loaded game shows the saved scene with the saved element sizes: the
// built-in scene at its size, an emptied element at its last picture's size.
TEST(Window, ALoadedGameShowsTheSavedPicturesAtTheirSizes) {
    TestGame game("\"start\"<big.bmp>\"one\"(2 a,b){<>\"A\"}{\"B\"}");
    game.write("big.bmp", vorn::test::bitmap(300, 200));
    game.write("text.bmp", vorn::test::bitmap(150, 90));
    Window w(game);
    ASSERT_TRUE(w.start());
    MemorySlotStore store;
    Saves saves(w.form.interpreter(), w.folder, store);
    ASSERT_EQ(saves.save("start").english(), "");
    w.form.resume();
    w.form.resume();
    w.form.chooseOption(1);
    ASSERT_EQ(w.text(), "A");
    ASSERT_EQ(saves.save("branch").english(), "");

    ASSERT_EQ(saves.load("start").english(), "");
    EXPECT_EQ(w.text(), "start");
    EXPECT_EQ(w.form.image1Size(), QSize(482, 297)) << "the built-in scene again";
    EXPECT_EQ(w.form.image2Size(), QSize(160, 101));
    EXPECT_TRUE(w.form.image2Empty());

    ASSERT_EQ(saves.load("branch").english(), "");
    EXPECT_EQ(w.text(), "A");
    EXPECT_EQ(w.form.image1Size(), QSize(300, 200)) << "emptied, with the size of big.bmp";
    EXPECT_EQ(w.form.image2Size(), QSize(150, 90)) << "emptied, with the size of text.bmp";
    EXPECT_TRUE(w.form.image2Empty());
    EXPECT_EQ(w.form.caption(1), "");
}

TEST(Keyboard, KeysPlayTheStoryAsClicksDo) {
    TestGame game("\"one\"(2 a,b){\"A\"}{\"B\"}\"end\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    QTest::keyClick(&w.form, Qt::Key_3);
    QTest::keyClick(&w.form, Qt::Key_Space);
    EXPECT_EQ(w.form.caption(2), "b");
    QTest::keyClick(&w.form, Qt::Key_Return);
    EXPECT_EQ(w.form.caption(2), "b") << "a click on the text box does nothing while a menu waits";
    QTest::keyClick(&w.form, Qt::Key_3);
    EXPECT_EQ(w.form.caption(2), "b") << "there is no third option";
    QTest::keyClick(&w.form, Qt::Key_2);
    EXPECT_EQ(w.text(), "B");
    QTest::keyClick(&w.form, Qt::Key_PageDown);
    EXPECT_EQ(w.text(), "end");
}

TEST(Keyboard, TheBacklogShowsThePagesReadAndChangesNothing) {
    TestGame game("\"one\"\"two\"\"three\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    QTest::keyClick(&w.form, Qt::Key_Space);
    QTest::keyClick(&w.form, Qt::Key_B);
    ASSERT_TRUE(w.form.backlog()->isVisible());
    EXPECT_EQ(w.form.backlog()->toPlainText(), "one\n\ntwo");
    QTest::keyClick(&w.form, Qt::Key_Space);
    EXPECT_EQ(w.text(), "two") << "the story waits behind the backlog";
    QTest::keyClick(&w.form, Qt::Key_Escape);
    EXPECT_FALSE(w.form.backlog()->isVisible());
    QTest::keyClick(&w.form, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "two");
}

// Pages never read are turned only with the reader's setting to skip them too.
TEST(Keyboard, HoldingCtrlFastForwardsToTheNextChoice) {
    std::string script;
    for (int i = 1; i <= 12; ++i) script += "\"page " + std::to_string(i) + "\"";
    script += "(2 a,b){\"A\"}{\"B\"}\"after\"";
    TestGame game(script);
    Window w(game);
    w.form.setSkipUnread(true);
    ASSERT_TRUE(w.start());
    QTest::keyPress(&w.form, Qt::Key_Control);
    QTest::qWait(100);
    EXPECT_EQ(w.text(), "page 1") << "a short press turns no page";
    QTest::qWait(1500);
    QTest::keyRelease(&w.form, Qt::Key_Control);
    EXPECT_EQ(w.form.caption(1), "a") << "it stops by itself at the menu";
    EXPECT_EQ(w.form.interpreter().backlog().size(), 12);
}

// The tests' screen is 1920 x 1080: zoom 3 would reach below its bottom.
TEST(Keyboard, ZoomInStopsAtTheLargestZoomThatFitsTheScreen) {
    TestGame game("\"x\"");
    Window w(game, 1);
    ASSERT_TRUE(w.start());
    ASSERT_EQ(w.form.largestZoom(), 2);
    for (int press = 0; press < 3; ++press) QTest::keyClick(&w.form, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(w.form.zoom(), 2);
    EXPECT_EQ(w.form.size(), QSize(1264, 850));
    w.form.setFullScreen(true);
    QTest::keyClick(&w.form, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(w.form.zoom(), 2) << "in full screen too";
    w.form.setFullScreen(false);
    EXPECT_EQ(w.form.size(), QSize(1264, 850));
}

// Enter, Space and Page Down read a long page to its end as a pager does,
// then turn it; a click turns it at once, and so does the fast-forward.
TEST(Keyboard, TheKeysShowTheRestOfALongPageBeforeTurningIt) {
    std::string longPage = "\"";
    for (int i = 0; i < 40; ++i) longPage += "\x82\xA0\x82\xA2\x82\xA4"; // あいう
    longPage += "\\\\\\\\\\\\end\"";
    TestGame game(longPage + longPage + "\"short\"" + longPage + longPage + "(2 a,b){\"A\"}{\"B\"}");
    Window w(game);
    w.form.setSkipUnread(true); // the pages after "short" are not read yet
    ASSERT_TRUE(w.start());
    QScrollBar* lines = w.form.text1()->verticalScrollBar();
    const QString first = w.text();
    ASSERT_GT(lines->maximum(), 0);
    EXPECT_TRUE(w.form.moreBelowMark()->isVisible()) << "lines wait below";
    const QRect box = w.form.text1()->rect();
    EXPECT_EQ(w.form.moreBelowMark()->geometry().bottomRight(), box.bottomRight() - QPoint(2, 2))
        << "in the lower-right corner";
    int presses = 0;
    for (; presses < 20 && w.form.moreBelowMark()->isVisible(); ++presses) {
        const int before = lines->value();
        QTest::keyClick(&w.form, presses % 2 ? Qt::Key_Space : Qt::Key_PageDown);
        EXPECT_GT(lines->value(), before);
        EXPECT_EQ(w.text(), first) << "not turned before its end is shown";
    }
    EXPECT_GT(presses, 0);
    EXPECT_LT(presses, 20);
    EXPECT_FALSE(w.form.moreBelowMark()->isVisible()) << "the end is in view";
    // The last line counts as shown while its upper half is in view.
    for (int up = 0; up < 3 && !w.form.moreBelowMark()->isVisible(); ++up) QTest::keyClick(&w.form, Qt::Key_Up);
    EXPECT_TRUE(w.form.moreBelowMark()->isVisible()) << "scrolled back up";
    for (int down = 0; down < 3 && w.form.moreBelowMark()->isVisible(); ++down) QTest::keyClick(&w.form, Qt::Key_Down);
    EXPECT_FALSE(w.form.moreBelowMark()->isVisible());
    QTest::keyClick(&w.form, Qt::Key_Return);
    EXPECT_EQ(w.form.interpreter().backlog().size(), 2) << "the second long page";
    EXPECT_TRUE(w.form.moreBelowMark()->isVisible());
    w.click(startRect(SceneElement::Text1).center());
    EXPECT_EQ(w.text(), "short") << "a click turns the page at once";
    EXPECT_FALSE(w.form.moreBelowMark()->isVisible());
    QTest::keyClick(&w.form, Qt::Key_Space);
    EXPECT_EQ(w.form.interpreter().backlog().size(), 4);
    QTest::keyPress(&w.form, Qt::Key_Control);
    QTest::qWait(800);
    QTest::keyRelease(&w.form, Qt::Key_Control);
    EXPECT_EQ(w.form.caption(1), "a") << "the fast-forward turns long pages as they come";
}

// Old games fill the box with four lines; the box shows the fourth nearly
// whole, so such a page is no long page: no mark, and one key turns it.
TEST(Keyboard, AFourLinePageIsNoLongPage) {
    TestGame game("\"one\\two\\three\\four\"\"next\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    EXPECT_FALSE(w.form.moreBelowMark()->isVisible());
    QTest::keyClick(&w.form, Qt::Key_Space);
    EXPECT_EQ(w.text(), "next");
}

TEST(Form1, TheOptionUnderThePointerIsUnderlinedWhileAClickWouldTakeIt) {
    TestGame game("\"x\"(2 One,Two){\"1\"}{\"2\"}");
    Window w(game);
    ASSERT_TRUE(w.start());
    const SceneTransform t = w.form.sceneTransform();
    const auto pointAt = [&](QPoint scenePoint) {
        QTest::mouseMove(&w.form, t.toWidget(QRect(scenePoint, QSize(1, 1))).topLeft());
        return w.form.markedOption();
    };
    const int x = labelRect(1).left() + 8;
    EXPECT_EQ(pointAt({x, labelRect(1).top() + 2}), 0) << "no menu yet";
    QTest::keyClick(&w.form, Qt::Key_Space);
    EXPECT_EQ(w.form.markedOption(), 1) << "the menu came up under the pointer";
    EXPECT_EQ(pointAt({20, 300}), 0);
    const QImage plain = w.form.grab().toImage();
    EXPECT_EQ(pointAt({x, labelRect(2).top()}), 2) << "the lower caption takes the overlap";
    const QImage marked = w.form.grab().toImage();
    EXPECT_EQ(pointAt({x, labelRect(3).top()}), 2) << "a caption that offers nothing leaves its overlap";
    EXPECT_EQ(pointAt({x, labelRect(3).bottom()}), 0);

    // The underline is drawn in the captions' black, and only under option 2.
    int changed = 0, black = 0;
    const QRect whole = t.toWidget(startRect(SceneElement::Image2)) & w.form.rect();
    for (int y = whole.top(); y <= whole.bottom(); ++y)
        for (int x2 = whole.left(); x2 <= whole.right(); ++x2) {
            if (plain.pixel(x2, y) == marked.pixel(x2, y)) continue;
            ++changed;
            if (marked.pixelColor(x2, y) == QColor(Qt::black)) ++black;
            EXPECT_TRUE(t.toWidget(labelRect(2)).contains(x2, y)) << x2 << "," << y;
        }
    EXPECT_GT(changed, 10);
    EXPECT_GE(black, changed * 3 / 4);

    QTest::mouseClick(&w.form, Qt::LeftButton, {}, t.toWidget(QRect(x, labelRect(2).top() + 4, 1, 1)).topLeft());
    EXPECT_EQ(w.text(), "2");
    EXPECT_EQ(w.form.markedOption(), 0) << "the branch took the menu away";
}

TEST(Keyboard, ZoomAndFullScreenKeepTheSceneWhole) {
    TestGame game("\"x\"");
    Window w(game, 1);
    ASSERT_TRUE(w.start());
    QTest::keyClick(&w.form, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(w.form.size(), QSize(1264, 850));
    QTest::keyClick(&w.form, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(&w.form, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(w.form.size(), QSize(632, 425)) << "1x is the smallest";
    w.form.setFullScreen(true);
    QApplication::processEvents();
    const QSize screen = w.form.size(); // whatever the offscreen screen measures
    const QRect scene = w.form.sceneTransform().toWidget(QRect(QPoint(0, 0), kSceneSize));
    const double scale = std::min(screen.width() / 632.0, screen.height() / 425.0);
    EXPECT_NEAR(scene.width(), 632 * scale, 1);
    EXPECT_NEAR(scene.height(), 425 * scale, 1);
    EXPECT_NEAR(scene.left(), (screen.width() - scene.width()) / 2, 1) << "centred";
    EXPECT_NEAR(scene.top(), (screen.height() - scene.height()) / 2, 1);
    const QPoint bar =
        scene.left() > 1 ? QPoint(scene.left() / 2, screen.height() / 2) : QPoint(screen.width() / 2, scene.top() / 2);
    ASSERT_TRUE(scene.left() > 1 || scene.top() > 1) << "the offscreen screen has other proportions";
    EXPECT_EQ(w.form.grab().toImage().pixelColor(bar), QColor(Qt::black)) << "bars are black";
    EXPECT_EQ(w.form.text1()->geometry(), w.form.sceneTransform().toWidget(startRect(SceneElement::Text1)));
}

// Under it, the page must not show through as ghost text between its lines.
TEST(Keyboard, TheBacklogHidesThePageBehindIt) {
    TestGame game("<red.bmp>\"one\"\"two\"");
    game.write("red.bmp", test::bitmap(482, 297, 255, 0, 0));
    Window w(game);
    ASSERT_TRUE(w.start());
    QTest::keyClick(&w.form, Qt::Key_Space);
    QTest::keyClick(&w.form, Qt::Key_B);
    ASSERT_TRUE(w.form.backlog()->isVisible());
    const QImage shot = w.form.grab(w.form.backlog()->geometry()).toImage();
    int tinted = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() != c.green() || c.green() != c.blue()) ++tinted; // its text is white on black
        }
    EXPECT_EQ(tinted, 0) << "the red scene shows through the backlog";
}

// The window is the scene at a whole zoom: it offers no maximise, which
// could only leave it as it is.
TEST(Form1, TheWindowOffersNoMaximise) {
    TestGame game("\"x\"");
    Window w(game);
    const Qt::WindowFlags flags = w.form.windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
}

TEST(Keyboard, LeavingFullScreenPutsTheWindowBackWhereItStood) {
    TestGame game("\"x\"");
    {
        Window w(game, 2);
        ASSERT_TRUE(w.start());
        w.form.move(150, 80);
        QApplication::processEvents();
        const QRect placed = w.form.geometry();
        ASSERT_EQ(w.form.pos(), QPoint(150, 80));
        for (int round = 0; round < 2; ++round) {
            QTest::keyClick(&w.form, Qt::Key_F11);
            QApplication::processEvents();
            EXPECT_EQ(w.form.geometry(), w.form.screen()->geometry());
            QTest::keyClick(&w.form, Qt::Key_F11);
            QApplication::processEvents();
            EXPECT_EQ(w.form.geometry(), placed) << "round " << round;
        }
    }
    // Started in full screen (vorn --fullscreen), it has no place of its own yet.
    Window w(game, 1);
    ASSERT_TRUE(w.form.load());
    w.form.setFullScreen(true);
    w.form.activate();
    QApplication::processEvents();
    w.form.setFullScreen(false);
    QApplication::processEvents();
    EXPECT_EQ(w.form.size(), kSceneSize);
    const QPoint middle = w.form.screen()->availableGeometry().center();
    EXPECT_LE((w.form.frameGeometry().center() - middle).manhattanLength(), 50) << "in the middle of the screen";
}

namespace {

// The size of a font, in whichever unit it is set.
double sizeOf(const QFont& font) { return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF(); }

// Calls `look` on the modal dialog that `open` brings up, then closes it.
template <typename Dialog>
bool withModal(const std::function<void()>& open, const std::function<void(Dialog&)>& look) {
    // A window closed by an earlier test asked the application to quit, which
    // ends every modal loop at once until the application's own loop has run.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    bool seen = false;
    QTimer::singleShot(50, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        look(*dialog);
        dialog->reject();
    });
    open();
    return seen;
}

} // namespace

// At zoom 2 (and in full screen) the boxes and dialogs grow with the scene
// and sit in its middle.
TEST(Form1, BoxesAndDialogsShowOverTheSceneAsLargeAsItIsDrawn) {
    TestGame game("\"x\"");
    QTemporaryDir saves;
    GameFolder folder(game.dir());
    SilentMusicDevice device;
    Form1 form(folder, device, 2);
    form.setSaveFolder(saves.path());
    ASSERT_TRUE(form.load());
    form.move(200, 100);
    form.show();
    form.activate();
    QApplication::processEvents();
    const auto overTheScene = [&form](QWidget& dialog) {
        EXPECT_DOUBLE_EQ(sizeOf(dialog.font()), 2 * sizeOf(QApplication::font(&dialog)));
        const QPoint middle = form.mapToGlobal(form.sceneTransform().scene().center());
        EXPECT_LE((dialog.frameGeometry().center() - middle).manhattanLength(), 2)
            << "the dialog's middle " << dialog.frameGeometry().center().x() << ","
            << dialog.frameGeometry().center().y();
    };
    EXPECT_TRUE(withModal<QMessageBox>([&] { form.quickLoad(); }, // there is no quick save yet
                                       [&](QMessageBox& box) { overTheScene(box); }));
    EXPECT_TRUE(withModal<SlotDialog>([&] { form.openLoadDialog(); },
                                      [&](SlotDialog& dialog) {
                                          overTheScene(dialog);
                                          EXPECT_EQ(dialog.slotList()->iconSize(), QSize(224, 150));
                                      }));
    form.setFullScreen(true);
    QApplication::processEvents();
    const double scale = form.sceneTransform().scale;
    EXPECT_TRUE(withModal<QMessageBox>(
        [&] { form.quickLoad(); },
        [&](QMessageBox& box) { EXPECT_NEAR(sizeOf(box.font()), scale * sizeOf(QApplication::font(&box)), 0.01); }));
}

// A window closed in a test ends the application, as it ends the player:
// after that, every modal dialog's exec returns at once, unseen, in the tests
// that follow in the same process. Running the application's loop once
// between tests starts it afresh (and delivers what a test left posted).
class ApplicationRestart : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
};

int main(int argc, char** argv) {
    // One screen of 1920 x 1080, the size most desktops have.
    QTemporaryDir dir;
    const QString screens = dir.filePath("screens.json");
    QFile file(screens);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(R"({"screens":[{"name":"test","x":0,"y":0,"width":1920,"height":1080,"logicalDpi":96,"dpr":1}]})") <
            0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).toUtf8());
    // The windows here keep no saves in the user's own data folder.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    // Nor do they read or keep the reader's own settings.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ApplicationRestart);
    return RUN_ALL_TESTS();
}
