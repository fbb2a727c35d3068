// The window as assistive technology finds it: the offered options as push
// buttons named by their words with their keys, the keyboard's focus among
// them, the whole page in the text box and the scene picture's name.

#include "headless_fixture.h"
#include "interpreter/music_device.h"
#include "presentation/window/form1.h"
#include "presentation/window/scene_stand_ins.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TestGame;

namespace {

struct Window {
    explicit Window(const TestGame& game, int zoom = 1) : folder(game.dir()), form(folder, device, zoom) {
        form.setMessagePresenter([](const QString&, const QString&, bool) {});
    }
    bool start() {
        if (!form.load()) return false;
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form)) return false;
        form.activate();
        return true;
    }
    // A key as the reader types it: to whichever widget has the focus.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
        QTest::keyClick(target, key, modifiers);
    }
    // The options a screen reader finds, in order: "name [key]".
    QStringList offered() const {
        QStringList found;
        for (int label = 1; label <= 4; ++label) {
            OptionStandIn* option = form.optionStandIn(label);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(option);
            if (a == nullptr || a->state().invisible) continue;
            found << a->text(QAccessible::Name) + " [" + a->text(QAccessible::Accelerator) + "]";
        }
        return found;
    }
    int focused() const {
        for (int label = 1; label <= 4; ++label)
            if (form.optionStandIn(label)->hasFocus()) return label;
        return 0;
    }
    QString text() const { return form.text1()->toPlainText(); }

    GameFolder folder;
    SilentMusicDevice device;
    Form1 form;
};

} // namespace

TEST(Accessibility, OnlyTheOfferedOptionsAreButtonsNamedByTheirWordsWithTheirKeys) {
    TestGame game("\"x\"(3 \x97\xe9 Ring bell,Two,Three){\"1\"}{\"2\"}{\"3\"}\"after\"");
    Window w(game, 2);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.offered(), QStringList()) << "a page offers nothing";
    EXPECT_EQ(w.form.accessibleDescription(), "x") << "the window describes the page";
    w.key(Qt::Key_Space);
    EXPECT_EQ(w.offered(), QStringList({"鈴 Ring bell [1]", "Two [2]", "Three [3]"}));
    EXPECT_EQ(w.form.accessibleDescription(), "Options: 1 鈴 Ring bell, 2 Two, 3 Three")
        << "and the menu, which empties the text box";

    QAccessibleInterface* second = QAccessible::queryAccessibleInterface(w.form.optionStandIn(2));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->role(), QAccessible::PushButton);
    EXPECT_EQ(second->text(QAccessible::Description), "Option 2 of 3, key 2");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.form.optionStandIn(4))->text(QAccessible::Description), "")
        << "an option not offered says nothing of itself";
    EXPECT_TRUE(second->state().focusable);
    ASSERT_NE(second->actionInterface(), nullptr);
    EXPECT_EQ(second->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
              QStringList({"2"}));
    // Over the caption as it is drawn, at the zoom.
    EXPECT_TRUE(w.form.optionStandIn(2)->geometry().contains(w.form.sceneTransform().toWidget(labelRect(2))));
    EXPECT_EQ(w.form.optionStandIn(2)->geometry().top(), w.form.sceneTransform().toWidget(labelRect(2)).top());
    EXPECT_EQ(w.form.childAt(w.form.optionStandIn(2)->geometry().center()), nullptr)
        << "clicks go through to the window's own hit test";

    // A screen reader's "press" chooses as a click does, and the options go.
    second->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(w.text(), "2");
    EXPECT_EQ(w.offered(), QStringList());
}

TEST(Accessibility, TabMovesAmongTheOfferedOptionsAndEnterOrSpaceChoosesTheFocusedOne) {
    TestGame game("*m*\r\n\"x\"(2 One,Two){\"1\"}{\"2\"}>m<\r\n");
    Window w(game);
    ASSERT_TRUE(w.start());
    w.key(Qt::Key_Tab);
    EXPECT_EQ(w.focused(), 0) << "nothing to focus on a page";
    w.key(Qt::Key_Return);
    ASSERT_EQ(w.offered().size(), 2);
    w.key(Qt::Key_Tab);
    EXPECT_EQ(w.focused(), 1);
    w.key(Qt::Key_Tab);
    EXPECT_EQ(w.focused(), 2);
    w.key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(w.focused(), 1);
    w.key(Qt::Key_Down); // scrolls the page as ever: the focused option passes it on
    EXPECT_EQ(w.focused(), 1);

    w.key(Qt::Key_Return);
    EXPECT_EQ(w.text(), "1") << "Enter chose the focused option";
    EXPECT_EQ(w.focused(), 0);
    EXPECT_EQ(QApplication::focusWidget(), &w.form) << "the focus went back to the page, not to a hidden option";
    w.key(Qt::Key_Return); // the branch's page; the jump comes back to the page before the menu
    w.key(Qt::Key_Return);
    ASSERT_EQ(w.offered().size(), 2);
    w.key(Qt::Key_Tab);
    w.key(Qt::Key_Tab);
    w.key(Qt::Key_Space);
    EXPECT_EQ(w.text(), "2") << "Space chose the focused option";

    w.key(Qt::Key_Return);
    w.key(Qt::Key_Return);
    w.key(Qt::Key_Tab);
    w.key(Qt::Key_2);
    EXPECT_EQ(w.text(), "2") << "the number keys still choose their own option";
}

TEST(Accessibility, TheFocusedOptionHasARingAtEveryZoom) {
    TestGame game("(2 One,Two){\"1\"}{\"2\"}");
    for (const int zoom : {1, 3}) {
        SCOPED_TRACE(zoom);
        Window w(game, zoom);
        ASSERT_TRUE(w.start());
        const QImage plain = w.form.grab().toImage();
        w.key(Qt::Key_Tab);
        ASSERT_EQ(w.focused(), 1);
        const QImage ringed = w.form.grab().toImage();
        const QRect caption = w.form.optionStandIn(1)->geometry();
        EXPECT_GE(caption.left(), w.form.sceneTransform().toWidget(startRect(SceneElement::Image2)).left())
            << "inside the choice box";
        int changed = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                if (plain.pixel(x, y) == ringed.pixel(x, y)) continue;
                ++changed;
                EXPECT_TRUE(caption.contains(x, y)) << x << "," << y;
            }
        // Around the words, a line a scene pixel thick at least.
        EXPECT_GT(changed, 40 * zoom) << "the ring is seen";
    }
}

TEST(Accessibility, TheTextBoxHoldsTheWholePageAndTheSceneIsNamedAfterItsPicture) {
    TestGame game("<Moon.bmp>\"one\\two\\three\\four\\five\\six\"");
    QFile back(QString::fromStdString((game.dir() / "back.bmp").string()));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    game.write("Moon.bmp", back.readAll().toStdString());
    Window w(game);
    ASSERT_TRUE(w.start());
    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(w.form.text1());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->text(QAccessible::Name), "Page");
    ASSERT_NE(page->textInterface(), nullptr);
    const int all = page->textInterface()->characterCount();
    EXPECT_EQ(page->textInterface()->text(0, all), "one\ntwo\nthree\nfour\nfive\nsix")
        << "the lines below the box too";
    EXPECT_EQ(w.form.accessibleDescription(), "one\ntwo\nthree\nfour\nfive\nsix")
        << "the window, which has the focus while a page waits, describes the page";
    QAccessibleInterface* scene = QAccessible::queryAccessibleInterface(const_cast<PictureStandIn*>(w.form.image1StandIn()));
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->role(), QAccessible::Graphic);
    EXPECT_EQ(scene->text(QAccessible::Name), "Moon");
}

TEST(Accessibility, APictureIsNamedByItsFileWithoutFoldersOrExtension) {
    EXPECT_EQ(pictureName("pictures\\Gate.BMP"), "Gate");
    EXPECT_EQ(pictureName("a/b.c.bmp"), "b.c");
    EXPECT_EQ(pictureName("noext"), "noext");
    EXPECT_EQ(pictureName(".bmp"), ".bmp") << "a name that is all extension keeps it";
    EXPECT_EQ(pictureName("\xe7\xa5\x9e\xe7\xa4\xbe.bmp"), "\xe7\xa5\x9e\xe7\xa4\xbe");
    EXPECT_EQ(pictureName(""), "");
}
