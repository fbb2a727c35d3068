// Saving and loading in the window, under Qt's offscreen platform: F5 and F9,
// the Save… and Load… dialogs, the menu's entries, the place kept at a close
// and offered at the next opening, and the backlog a load brings back.

#include "headless_fixture.h"
#include "mark_look.h"
#include "interpreter/music_device.h"
#include "presentation/window/form1.h"
#include "presentation/window/slot_dialog.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TestGame;
namespace fs = std::filesystem;

namespace {

// A window whose saves go to `saves`, whose message boxes are recorded and
// whose questions get the answers queued in `answers` (yes when none is left).
struct SavingWindow {
    SavingWindow(const TestGame& game, const QString& saves) : folder(game.dir()), form(folder, device, 1) {
        form.setSaveFolder(saves);
        form.setMessagePresenter([this](const QString&, const QString& text, bool isError) {
            messages.push_back((isError ? "error: " : "") + text);
        });
        form.setQuestionPresenter([this](const QString& question, const QString&, const QString&) {
            questions.push_back(question);
            behindQuestions.push_back(scene());
            if (answers.empty()) return true;
            const bool answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        });
    }
    void start() {
        ASSERT_TRUE(form.load());
        form.show();
        form.activate();
    }
    void key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(&form, key, mods); }
    QString text() const { return form.text1()->toPlainText(); }
    QImage scene() { return form.grab().toImage(); }
    // Opens a slot dialog by its keys and hands it to `act` while it is open.
    void withDialog(Qt::Key key, const std::function<void(SlotDialog&)>& act) {
        // A window closed by an earlier test asked the application to quit,
        // which ends every modal loop at once until the application's own
        // loop has run.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<SlotDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            opened = true;
            act(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        this->key(key, Qt::ControlModifier);
        EXPECT_TRUE(opened);
    }

    GameFolder folder;
    SilentMusicDevice device;
    Form1 form;
    QStringList messages, questions;
    std::vector<QImage> behindQuestions; // the scene as each question was asked
    std::vector<bool> answers;
};

QStringList rows(const SlotDialog& dialog) {
    QStringList texts;
    for (int k = 0; k < dialog.slotList()->count(); ++k) texts.push_back(dialog.slotList()->item(k)->text());
    return texts;
}

// The row of a slot; saves made within the same second have no order of their own.
int rowOf(const SlotDialog& dialog, const QString& name) {
    for (int k = 0; k < dialog.slotList()->count(); ++k)
        if (dialog.slotList()->item(k)->text().startsWith(name + "  ")) return k;
    return -1;
}

QPushButton* button(const SlotDialog& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

// Pages with pictures and a menu between them, so the screen changes a lot.
const char* kStory = "<one.bmp>\"First page\"\"Second page\r\nits second line\"(2 Offer coin,Leave)"
                     "{<two.bmp>\"You offer a coin\"}{<>\"You leave\"}\"Night falls\"";

// The story with its two pictures.
struct PicturedStory : TestGame {
    PicturedStory() : TestGame(kStory) {
        write("one.bmp", vorn::test::bitmap(300, 200, 200, 40, 40));
        write("two.bmp", vorn::test::bitmap(400, 250, 40, 200, 40));
    }
};

} // namespace

TEST(WindowSaves, F5KeepsTheSceneAndF9BringsItBackPixelForPixel) {
    PicturedStory game;
    QTemporaryDir saves;
    SavingWindow w(game, saves.path());
    w.start();
    w.key(Qt::Key_F9);
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].contains("no quick save yet")) << w.messages[0].toStdString();

    w.key(Qt::Key_Space);
    ASSERT_EQ(w.text(), "Second page\nits second line");
    const QImage saved = w.scene();
    w.key(Qt::Key_F5);
    EXPECT_TRUE(w.form.notice()->isVisible());
    EXPECT_TRUE(w.form.notice()->text().contains("Saved")) << w.form.notice()->text().toStdString();
    EXPECT_TRUE(hasMarkLook(w.form.notice(), 4, 10));
    EXPECT_TRUE(QFile::exists(saves.filePath("quick.json")));
    ASSERT_EQ(QDir(saves.path()).entryList({"quick.*.png"}).size(), 1) << "with a picture of the scene";

    w.key(Qt::Key_Space);
    w.key(Qt::Key_1);
    ASSERT_EQ(w.text(), "You offer a coin");
    ASSERT_NE(w.scene(), saved);
    w.key(Qt::Key_F9);
    EXPECT_EQ(w.messages.size(), 1) << w.messages.join("; ").toStdString();
    EXPECT_EQ(w.text(), "Second page\nits second line");
    w.form.notice()->hide(); // "Loaded" stays a moment; the scene under it is what counts
    EXPECT_EQ(w.scene(), saved) << "the very screen that was saved";
    w.key(Qt::Key_Space);
    w.key(Qt::Key_2);
    EXPECT_EQ(w.text(), "You leave") << "and the story goes on from there";
}

TEST(WindowSaves, TheBacklogShowsTheOptionsChosenAndALoadBringsBackItsOwn) {
    PicturedStory game;
    QTemporaryDir saves;
    SavingWindow w(game, saves.path());
    w.start();
    w.key(Qt::Key_Space);
    w.key(Qt::Key_F5);
    w.key(Qt::Key_Space);
    w.key(Qt::Key_1);
    w.key(Qt::Key_B);
    ASSERT_TRUE(w.form.backlog()->isVisible());
    EXPECT_EQ(w.form.backlog()->toPlainText(),
              "First page\n\nSecond page\nits second line\n\n\u25B6 Offer coin\n\nYou offer a coin");
    w.key(Qt::Key_F9);
    EXPECT_FALSE(w.form.backlog()->isVisible()) << "F9 closes the backlog and loads";
    w.key(Qt::Key_B);
    EXPECT_EQ(w.form.backlog()->toPlainText(), "First page\n\nSecond page\nits second line");
}

TEST(WindowSaves, TheMenuOffersSaveLoadAndSettingsBelowTheOriginalThree) {
    TestGame game("\"x\"");
    QTemporaryDir saves;
    SavingWindow w(game, saves.path());
    w.start();
    const QList<QAction*> entries = w.form.popupMenu()->actions();
    ASSERT_EQ(entries.size(), 7);
    EXPECT_EQ(entries[0]->text(), "New");
    EXPECT_EQ(entries[1]->text(), "Quit");
    EXPECT_EQ(entries[2]->text(), "About");
    EXPECT_TRUE(entries[3]->isSeparator());
    EXPECT_EQ(entries[4]->text(), "Save\u2026");
    EXPECT_EQ(entries[5]->text(), "Load\u2026");
    EXPECT_EQ(entries[4]->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(entries[5]->shortcut(), QKeySequence("Ctrl+L"));
    EXPECT_EQ(entries[6]->text(), "Settings\u2026");
    EXPECT_EQ(entries[6]->shortcut(), QKeySequence("Ctrl+,"));
}

TEST(WindowSaves, TheSaveDialogListsTheSlotsAndOverwritesAndDeletesThem) {
    TestGame game("\"Page one\"\"Page two\"\"Page three\"\"Page four\"");
    QTemporaryDir saves;
    SavingWindow w(game, saves.path());
    w.start();
    w.key(Qt::Key_F5);
    for (const char* page : {"two", "three"}) {
        w.key(Qt::Key_Space);
        w.withDialog(Qt::Key_S, [](SlotDialog& d) {
            EXPECT_EQ(d.slotList()->currentRow(), 0) << "the new save is picked first";
            d.takeSelected();
        });
        ASSERT_TRUE(w.form.notice()->text().contains("slot-")) << page;
    }
    w.key(Qt::Key_Space);
    ASSERT_EQ(w.text(), "Page four");

    w.withDialog(Qt::Key_S, [&](SlotDialog& d) {
        const QStringList listed = rows(d);
        ASSERT_EQ(listed.size(), 4) << listed.join(" | ").toStdString();
        EXPECT_EQ(listed[0], "New save");
        ASSERT_GT(rowOf(d, "slot-2"), 0);
        EXPECT_TRUE(listed[rowOf(d, "slot-2")].endsWith("\nPage three"));
        EXPECT_TRUE(listed[rowOf(d, "slot-1")].endsWith("\nPage two"));
        EXPECT_TRUE(listed[rowOf(d, "Quick save")].endsWith("\nPage one"));
        EXPECT_FALSE(d.slotList()->item(1)->icon().isNull()) << "a small picture of the scene";

        // Saving over slot-1 asks first; "no" keeps the dialog open and the slot as it was.
        d.slotList()->setCurrentRow(rowOf(d, "slot-1"));
        w.answers = {false};
        d.takeSelected();
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(w.questions.size(), 1);
        EXPECT_TRUE(w.questions[0].contains("slot-1")) << w.questions[0].toStdString();
        d.takeSelected(); // and "yes" saves over it
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(w.form.saves().find("slot-1")->firstLine, "Page four");

    w.withDialog(Qt::Key_L, [&](SlotDialog& d) {
        ASSERT_EQ(d.slotList()->count(), 3) << "Load lists only the slots";
        d.slotList()->setCurrentRow(rowOf(d, "slot-2"));
        QTest::keyClick(d.slotList(), Qt::Key_Delete);
        EXPECT_EQ(d.slotList()->count(), 2);
        EXPECT_EQ(rowOf(d, "slot-2"), -1);
        d.slotList()->setCurrentRow(rowOf(d, "Quick save"));
        d.takeSelected();
    });
    EXPECT_EQ(w.text(), "Page one");
    EXPECT_FALSE(QFile::exists(saves.filePath("slot-2.json")));
    EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join("; ").toStdString();
}

TEST(WindowSaves, AnUnreadableSlotShowsItsProblemAndIsLeftAlone) {
    TestGame game("\"Page one\"\"Page two\"");
    QTemporaryDir saves;
    SavingWindow w(game, saves.path());
    w.start();
    w.key(Qt::Key_F5);
    std::ofstream(saves.filePath("broken.json").toStdString()) << "{\"format\":";
    w.withDialog(Qt::Key_L, [&](SlotDialog& d) {
        const QStringList listed = rows(d);
        ASSERT_EQ(listed.size(), 2);
        EXPECT_TRUE(listed[1].startsWith("broken\n")) << "slots that cannot be read come last";
        EXPECT_TRUE(listed[1].contains("cut short or damaged")) << listed[1].toStdString();
        d.slotList()->setCurrentRow(1);
        EXPECT_FALSE(button(d, "Load")->isEnabled());
        d.takeSelected();
        EXPECT_TRUE(d.isVisible()) << "it cannot be loaded";
        EXPECT_TRUE(button(d, "Delete")->isEnabled()) << "but the reader may delete it";
    });
    EXPECT_TRUE(QFile::exists(saves.filePath("broken.json")));
    EXPECT_TRUE(w.messages.isEmpty());
}

// A picture that no longer decodes refuses the load: the game goes on with
// the screen it had.
TEST(WindowSaves, ALoadWhosePictureNoLongerDecodesIsToldAndTheGameGoesOn) {
    PicturedStory game;
    QTemporaryDir saves;
    SavingWindow w(game, saves.path());
    w.start();
    w.key(Qt::Key_F5);
    w.key(Qt::Key_Space);
    w.key(Qt::Key_Space);
    w.key(Qt::Key_1);
    const QImage before = w.scene();
    game.write("one.bmp", "BM this is no longer a picture");
    w.key(Qt::Key_F9);
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].startsWith("error: ")) << w.messages[0].toStdString();
    EXPECT_TRUE(w.messages[0].contains("one.bmp")) << w.messages[0].toStdString();
    EXPECT_EQ(w.text(), "You offer a coin");
    EXPECT_EQ(w.form.image1Size(), QSize(400, 250));
    EXPECT_EQ(w.scene(), before);
    // The script plays on as it would have: the branch's page emptied NumCmds,
    // so the branch behind it is not skipped.
    w.key(Qt::Key_Space);
    EXPECT_EQ(w.text(), "You leave");
    EXPECT_TRUE(w.form.isVisible());
}

TEST(WindowSaves, ASaveThatCannotBeWrittenIsToldAndTheGameGoesOn) {
    TestGame game("\"Page one\"\"Page two\"\"Page three\"");
    QTemporaryDir home;
    const QString blocked = home.filePath("blocked"); // a file where the folder of saves would be made
    std::ofstream(blocked.toStdString()) << "";
    SavingWindow w(game, blocked + "/saves");
    w.start();
    w.key(Qt::Key_F5);
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].startsWith("error: the game cannot be saved to slot \"quick\""))
        << w.messages[0].toStdString();
    w.key(Qt::Key_Space);
    EXPECT_EQ(w.text(), "Page two");
    w.form.close(); // the place cannot be kept either: said after the credits
    ASSERT_EQ(w.messages.size(), 3);
    EXPECT_TRUE(w.messages[1].startsWith("VORN interpeter"));
    EXPECT_TRUE(w.messages[2].contains("could not be kept")) << w.messages[2].toStdString();
    EXPECT_FALSE(w.form.isVisible());
}

TEST(WindowContinue, ClosingMidGameKeepsThePlaceAndTheNextOpeningOffersIt) {
    PicturedStory game;
    QTemporaryDir saves;
    QImage left;
    {
        SavingWindow w(game, saves.path());
        w.start();
        w.form.close();
        EXPECT_FALSE(QFile::exists(saves.filePath("continue.json"))) << "nothing played, nothing kept";
    }
    QImage fresh; // the scene of the game's first page
    {
        SavingWindow w(game, saves.path());
        w.start();
        fresh = w.scene();
        w.key(Qt::Key_Space);
        w.key(Qt::Key_Space);
        w.key(Qt::Key_1);
        left = w.scene();
        w.key(Qt::Key_Q, Qt::ControlModifier);
        EXPECT_EQ(w.messages.size(), 1) << "the credits, as always";
        EXPECT_TRUE(QFile::exists(saves.filePath("continue.json")));
    }
    {
        SavingWindow w(game, saves.path());
        w.answers = {true};
        w.start();
        ASSERT_EQ(w.questions.size(), 1);
        EXPECT_TRUE(w.questions[0].contains("You offer a coin")) << w.questions[0].toStdString();
        EXPECT_EQ(w.behindQuestions[0], left) << "asked over the place it would go on from";
        EXPECT_EQ(w.text(), "You offer a coin");
        EXPECT_EQ(w.scene(), left);
        w.key(Qt::Key_B);
        EXPECT_TRUE(w.form.backlog()->toPlainText().contains("\u25B6 Offer coin"));
        w.form.close();
    }
    {
        SavingWindow w(game, saves.path());
        w.answers = {false};
        w.start();
        ASSERT_EQ(w.questions.size(), 1);
        EXPECT_EQ(w.behindQuestions[0], left);
        EXPECT_EQ(w.text(), "First page") << "started anew";
        EXPECT_EQ(w.scene(), fresh) << "nothing of the kept place is left on screen";
        EXPECT_EQ(w.form.interpreter().backlog().size(), 1) << "nor in the backlog";
        w.form.close();
        EXPECT_TRUE(QFile::exists(saves.filePath("continue.json"))) << "closed at once: the kept place stays";
    }
    {
        SavingWindow w(game, saves.path());
        w.form.setContinueAtOnce(true); // vorn --continue
        w.start();
        EXPECT_TRUE(w.questions.isEmpty());
        EXPECT_EQ(w.text(), "You offer a coin");
    }
}

TEST(WindowContinue, AGameWhoseEndHasBeenReachedHasNoPlaceToGoOnFrom) {
    TestGame game("\"one\"\"two\"\r\n");
    QTemporaryDir saves;
    {
        SavingWindow w(game, saves.path());
        w.start();
        w.key(Qt::Key_Space);
        w.form.close();
        ASSERT_TRUE(QFile::exists(saves.filePath("continue.json")));
    }
    SavingWindow w(game, saves.path());
    w.start();
    ASSERT_EQ(w.text(), "two");
    w.key(Qt::Key_Space); // the run reaches the end of the script
    EXPECT_EQ(w.text(), "two");
    w.form.close();
    EXPECT_FALSE(QFile::exists(saves.filePath("continue.json")));
    EXPECT_TRUE(QDir(saves.path()).entryList({"continue.*"}).isEmpty()) << "its picture went with it";

    SavingWindow again(game, saves.path());
    again.start();
    EXPECT_TRUE(again.questions.isEmpty());
    EXPECT_EQ(again.text(), "one");
}

TEST(WindowContinue, AKeptPlaceThatCannotBeReadIsToldAndTheGameStartsAnew) {
    TestGame game("\"one\"\"two\"");
    QTemporaryDir saves;
    std::ofstream(saves.filePath("continue.json").toStdString()) << "{";
    SavingWindow w(game, saves.path());
    w.start();
    EXPECT_TRUE(w.questions.isEmpty());
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].contains("cut short or damaged")) << w.messages[0].toStdString();
    EXPECT_EQ(w.text(), "one");
    EXPECT_TRUE(QFile::exists(saves.filePath("continue.json")));
}

TEST(WindowContinue, TheStartScreenCanAskWhetherAGameHasAPlaceKept) {
    TestGame game("\"one\"\"two\"\"three\"");
    QTemporaryDir saves;
    const GameFolder folder(game.dir());
    const fs::path dir = saves.path().toStdString();
    EXPECT_FALSE(hasContinueSlot(folder, dir));
    {
        SavingWindow w(game, saves.path());
        w.start();
        w.key(Qt::Key_Space);
        w.form.close();
    }
    EXPECT_TRUE(hasContinueSlot(folder, dir));
    TestGame other("\"one\"");
    EXPECT_FALSE(hasContinueSlot(GameFolder(other.dir()), dir))
        << "the place kept in a shared folder is another game's";
}
