// The start screen and the window around it, under Qt's offscreen platform:
// the list, the keyboard, drops, and the way back from a game.

#include "archive_writer.h"
#include "headless_fixture.h"
#include "presentation/window/player_window.h"
#include "game_files/open_game.h"

#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

QT_BEGIN_NAMESPACE
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using namespace vorn;
using vorn::test::TestGame;
namespace fs = std::filesystem;

namespace {

struct StartScreenTest : ::testing::Test {
    StartScreenTest() {
        listFile = fs::temp_directory_path() / ("vorn-start-screen-" + std::to_string(::getpid()) + ".json");
        fs::remove(listFile);
        games = std::make_unique<GamesList>(QString::fromStdString(listFile.string()));
        options.music = false;
    }
    ~StartScreenTest() override {
        window.reset();
        fs::remove(listFile);
    }
    PlayerWindow& open(int zoom = 1) {
        window = std::make_unique<PlayerWindow>(*games, options, zoom);
        window->setMessagePresenter([this](const QString& title, const QString& text, bool isError) {
            messages.push_back((isError ? "error: " : "") + title + ": " + text);
        });
        window->show();
        QCoreApplication::processEvents();
        return *window;
    }
    QListWidget& list() const { return *window->startScreen()->gamesView(); }
    QStringList rows() const {
        QStringList names;
        for (int i = 0; i < list().count(); ++i) names << list().item(i)->text().section('\n', 0, 0);
        return names;
    }
    fs::path location(int row) const { return window->startScreen()->location(row); }
    static QString nameOf(const TestGame& game) { return QString::fromStdString(gameName(game.dir())); }
    static void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    void drop(const std::vector<fs::path>& paths) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const fs::path& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p.string()));
        mime.setUrls(urls);
        const QPointF at(100, 100);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &dropped);
        settle();
    }

    fs::path listFile;
    std::unique_ptr<GamesList> games;
    Options options;
    std::unique_ptr<PlayerWindow> window;
    QStringList messages;
};

const QDateTime earlier = QDateTime::currentDateTimeUtc().addSecs(-3600);

TEST_F(StartScreenTest, ListsTheGamesPlayedNewestFirstWithTheirBackgrounds) {
    TestGame forest("\"forest\""), sea("\"sea\"");
    sea.write("back.bmp", test::bitmap(632, 425, 200, 30, 30));
    games->add(forest.dir(), earlier);
    games->add(sea.dir(), earlier.addSecs(60));
    games->add("/no/such/game", earlier.addSecs(-60));
    open();
    EXPECT_EQ(rows(), (QStringList{nameOf(sea), nameOf(forest), "game"}));
    EXPECT_TRUE(list().item(0)->text().contains("last played"));
    EXPECT_TRUE(list().item(2)->text().contains("not found at /no/such/game"));
    EXPECT_EQ(list().currentRow(), 0);
    settle();
    const QImage thumbnail = list().item(0)->icon().pixmap(list().iconSize()).toImage();
    EXPECT_EQ(thumbnail.pixelColor(thumbnail.width() / 2, thumbnail.height() / 2), QColor(200, 30, 30));
    EXPECT_TRUE(window->startScreen()->error().isEmpty());
}

TEST_F(StartScreenTest, TheKeyboardPlaysAGameAtTheSameZoomAndQuitComesBack) {
    TestGame forest("\"forest page\"\"forest two\""), sea("\"sea page\"");
    games->add(forest.dir(), earlier);
    games->add(sea.dir(), earlier.addSecs(60));
    PlayerWindow& w = open(2);
    ASSERT_EQ(w.size(), kSceneSize * 2);
    QTest::keyClick(&list(), Qt::Key_Down);
    QTest::keyClick(&list(), Qt::Key_Return);
    settle();
    Form1* game = w.game();
    ASSERT_TRUE(game);
    EXPECT_TRUE(game->isVisible());
    EXPECT_FALSE(w.startScreen()->isVisible());
    EXPECT_EQ(game->text1()->toPlainText(), "forest page");
    EXPECT_EQ(game->zoom(), 2);
    EXPECT_EQ(game->size(), kSceneSize * 2);

    QTest::keyClick(game, Qt::Key_Minus, Qt::ControlModifier); // the zoom the reader leaves the game at stays
    QTest::keyClick(game, Qt::Key_Q, Qt::ControlModifier);
    settle();
    EXPECT_FALSE(w.game());
    EXPECT_TRUE(w.startScreen()->isVisible());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("VORN: VORN interpeter")) << messages[0].toStdString(); // the credits
    EXPECT_EQ(rows(), (QStringList{nameOf(forest), nameOf(sea)})) << "the game just played comes first";
    EXPECT_EQ(list().currentRow(), 0) << "and is the one chosen";
    EXPECT_EQ(w.size(), kSceneSize);
    EXPECT_TRUE(w.startScreen()->error().isEmpty());
    EXPECT_TRUE(list().hasFocus() || QApplication::focusWidget() == nullptr);

    // And a second game after the first, in the same window.
    QTest::keyClick(&list(), Qt::Key_Down);
    QTest::keyClick(&list(), Qt::Key_Enter);
    settle();
    ASSERT_TRUE(w.game());
    EXPECT_EQ(w.game()->text1()->toPlainText(), "sea page");
}

TEST_F(StartScreenTest, DeleteForgetsAGameAndNothingElse) {
    TestGame forest("\"forest\""), sea("\"sea\""), hill("\"hill\""); // three scripts: three games
    games->add(forest.dir(), earlier);
    games->add(sea.dir(), earlier.addSecs(60));
    games->add(hill.dir(), earlier.addSecs(120));
    open();
    QTest::keyClick(&list(), Qt::Key_Down);
    QTest::keyClick(&list(), Qt::Key_Delete);
    EXPECT_EQ(rows(), (QStringList{nameOf(hill), nameOf(forest)}));
    EXPECT_EQ(list().currentRow(), 1) << "the next game is chosen";
    EXPECT_EQ(GamesList(QString::fromStdString(listFile.string())).games().size(), 2u);
    EXPECT_TRUE(fs::exists(sea.dir() / "code.vrn"));
    QTest::keyClick(&list(), Qt::Key_Delete);
    QTest::keyClick(&list(), Qt::Key_Delete);
    EXPECT_EQ(list().count(), 0);
    EXPECT_FALSE(window->game());
}

TEST_F(StartScreenTest, ADroppedFolderOrScriptPlaysAndWhatIsNoGameSaysWhy) {
    TestGame forest("\"dropped\"");
    open();
    forest.write("notes.txt", "no game");
    forest.write("story.zip", "PK");
    fs::create_directory(forest.dir() / "sub");
    drop({forest.dir() / "notes.txt"});
    EXPECT_FALSE(window->game());
    EXPECT_TRUE(window->startScreen()->error().contains("cannot play")) << window->startScreen()->error().toStdString();
    drop({forest.dir() / "story.zip"});
    EXPECT_TRUE(window->startScreen()->error().contains("cannot play"));
    drop({forest.dir() / "sub"});
    EXPECT_TRUE(window->startScreen()->error().contains("holds no code.vrn"));

    drop({forest.dir() / "notes.txt", forest.dir()}); // the first game among the things dropped
    ASSERT_TRUE(window->game());
    EXPECT_EQ(window->game()->text1()->toPlainText(), "dropped");
    EXPECT_TRUE(window->startScreen()->error().isEmpty());
    EXPECT_EQ(games->games().front().location, fs::canonical(forest.dir()));

    QMimeData mime; // nothing is taken while a game plays
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(forest.dir().string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(StartScreenTest, AnArchiveIsListedByItsNameWithThePictureInside) {
    TestGame source("\"from the archive\"");
    source.write("back.bmp", test::bitmap(632, 425, 30, 200, 30));
    const fs::path zip = source.dir().parent_path() / (source.dir().filename().string() + "-lantern.zip");
    test::writeArchive(zip, test::entriesOf(source.dir(), "lantern/"), test::ArchiveFormat::Zip);
    open();
    drop({zip});
    ASSERT_TRUE(window->game()) << window->startScreen()->error().toStdString();
    EXPECT_EQ(window->game()->text1()->toPlainText(), "from the archive");
    QTest::keyClick(window->game(), Qt::Key_Q, Qt::ControlModifier);
    settle();
    EXPECT_EQ(rows(), QStringList{QString::fromStdString(zip.filename().string())});
    EXPECT_EQ(location(0), fs::canonical(zip));
    const QImage thumbnail = list().item(0)->icon().pixmap(list().iconSize()).toImage();
    EXPECT_EQ(thumbnail.pixelColor(thumbnail.width() / 2, thumbnail.height() / 2), QColor(30, 200, 30));
    fs::remove(zip);
}

// One script is one game: opened from two archives, and listed by an older
// player from its folder, it is one row, with the place it was last opened
// from and when it was left.
TEST_F(StartScreenTest, OneGameIsListedOnceWhateverArchiveOrFolderItCameFrom) {
    TestGame source("\"the lantern\"");
    games->add(source.dir(), earlier); // as an older player listed it: its script not noted
    std::vector<fs::path> zips;
    for (const char* name : {"-first.zip", "-second.zip"}) {
        zips.push_back(source.dir().parent_path() / (source.dir().filename().string() + name));
        test::writeArchive(zips.back(), test::entriesOf(source.dir(), "game/"), test::ArchiveFormat::Zip);
    }
    open();
    for (const fs::path& zip : zips) {
        drop({zip});
        ASSERT_TRUE(window->game()) << window->startScreen()->error().toStdString();
        QTest::keyClick(window->game(), Qt::Key_Q, Qt::ControlModifier);
        settle();
    }
    for (int i = 0; i < 20 && list().count() > 1; ++i) settle(); // the folder is identified as its picture loads
    EXPECT_EQ(rows(), QStringList{QString::fromStdString(zips.back().filename().string())});
    EXPECT_EQ(location(0), fs::canonical(zips.back()));
    ASSERT_EQ(games->games().size(), 1u);
    EXPECT_TRUE(games->games().front().lastLeft.isValid()) << "when it was left is noted";
    for (const fs::path& zip : zips) fs::remove(zip);
}

TEST_F(StartScreenTest, PicturesOfEveryShapeTakeTheSameRoomBesideTheText) {
    TestGame wide("\"wide\""), narrow("\"narrow\"");
    wide.write("back.bmp", test::bitmap(632, 425, 200, 30, 30));
    narrow.write("back.bmp", test::bitmap(100, 425, 30, 30, 200));
    games->add(wide.dir(), earlier);
    games->add(narrow.dir(), earlier.addSecs(60));
    open(2);
    settle();
    ASSERT_EQ(rows(), (QStringList{nameOf(narrow), nameOf(wide)}));
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(list().item(row)->icon().pixmap(list().iconSize()).size(), list().iconSize()) << row;
    const QImage thumbnail = list().item(0)->icon().pixmap(list().iconSize()).toImage();
    EXPECT_EQ(thumbnail.pixelColor(thumbnail.width() / 2, thumbnail.height() / 2), QColor(30, 30, 200));
    EXPECT_EQ(thumbnail.pixelColor(1, thumbnail.height() / 2), QColor(Qt::black)) << "centred, not at the left";
}

// Whatever stops an archive, on opening it or on reading the files its game
// starts with, the report names the archive and what is wrong with it, and
// gives no advice meant for a folder.
TEST_F(StartScreenTest, EveryRefusalOfAnArchiveHasOneHeading) {
    TestGame source("\"x\"");
    const fs::path scratch = source.dir().parent_path() / (source.dir().filename().string() + "-archives");
    fs::create_directories(scratch);
    std::vector<test::ArchiveEntry> bomb = test::entriesOf(source.dir(), "game/");
    for (test::ArchiveEntry& e : bomb)
        if (e.name == "game/mouse.ico") e.content = std::string(17 * 1024 * 1024, '\0'); // past the 16 MB limit
    test::writeArchive(scratch / "bomb.zip", bomb, test::ArchiveFormat::Zip);
    test::writeArchive(scratch / "nogame.zip", {{"readme.txt", "hello"}}, test::ArchiveFormat::Zip);
    open();
    for (const char* name : {"bomb.zip", "nogame.zip"}) {
        const fs::path zip = scratch / name;
        window->play(zip);
        settle();
        EXPECT_FALSE(window->game()) << name;
        const QString error = window->startScreen()->error();
        EXPECT_TRUE(error.startsWith("cannot play \"" + QString::fromStdString(zip.string()) + "\": "))
            << error.toStdString();
        EXPECT_FALSE(error.contains("Start the player")) << error.toStdString();
    }
    EXPECT_EQ(window->startScreen()->error(), "cannot play \"" +
                                                  QString::fromStdString((scratch / "nogame.zip").string()) +
                                                  "\": the archive holds no game: there is no code.vrn in it.");
    window->play(scratch / "bomb.zip");
    settle();
    EXPECT_EQ(window->startScreen()->error(),
              "cannot play \"" + QString::fromStdString((scratch / "bomb.zip").string()) +
                  "\": the cursor \"mouse.ico\" in it cannot be read: the file is larger than 16 MB.");
    EXPECT_TRUE(rows().isEmpty()) << "a game that never started is not listed";
    fs::remove_all(scratch);
}

// The dialog opens a folder that holds a game as its code.vrn; of another
// folder, which it enters, it says that no game is there.
TEST_F(StartScreenTest, TheDialogSaysWhenTheFolderChosenHoldsNoGame) {
    TestGame game("\"x\"");
    const fs::path pictures = game.dir() / "pictures";
    fs::create_directories(pictures);
    QString told;
    auto choose = [&](const fs::path& folder) {
        QTimer::singleShot(0, [&told, folder] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            dialog->selectFile(QString::fromStdString(folder.string()));
            // Of a folder with a game, the dialog is gone (accepted) when this runs.
            QTimer::singleShot(0, dialog, [&told, dialog] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    told = box->text();
                    box->accept();
                }
                QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
            });
            QMetaObject::invokeMethod(dialog, "accept"); // as its Open button does
        });
        return askForGameFile(nullptr);
    };
    EXPECT_EQ(choose(pictures), QString());
    EXPECT_EQ(told, noGameIn(QString::fromStdString(pictures.string())));
    EXPECT_TRUE(told.startsWith("There is no game in")) << told.toStdString();

    told.clear();
    EXPECT_EQ(choose(game.dir()), QString::fromStdString(game.dir().string()));
    EXPECT_TRUE(told.isEmpty()) << told.toStdString();
}

TEST_F(StartScreenTest, OpenGameTakesWhatTheDialogChose) {
    TestGame forest("\"opened\"");
    open();
    window->startScreen()->chooseGameFile = [] { return QString(); }; // cancelled
    auto* button = window->startScreen()->findChild<QPushButton*>();
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), "Open game\u2026");
    QTest::keyClick(window->startScreen(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_FALSE(window->game());
    window->startScreen()->chooseGameFile = [&] {
        return QString::fromStdString((forest.dir() / "code.vrn").string());
    };
    button->click();
    settle();
    ASSERT_TRUE(window->game());
    EXPECT_EQ(window->game()->text1()->toPlainText(), "opened");
}

TEST_F(StartScreenTest, AFatalErrorComesBackToTheListWithTheErrorAboveIt) {
    TestGame broken("\"first\"<missing.bmp>\"never\""), noBackground("\"p\"");
    noBackground.remove("back.bmp");
    open();
    window->play(broken.dir());
    settle();
    ASSERT_TRUE(window->game());
    QTest::keyClick(window->game(), Qt::Key_Return);
    settle();
    EXPECT_FALSE(window->game());
    EXPECT_TRUE(window->startScreen()->isVisible());
    const QString error = window->startScreen()->error();
    EXPECT_TRUE(error.startsWith(nameOf(broken) + " stopped with an error")) << error.toStdString();
    EXPECT_TRUE(error.contains("missing.bmp")) << error.toStdString();
    EXPECT_TRUE(messages.isEmpty()) << "no box: the report is on the start screen";
    EXPECT_EQ(rows(), QStringList{nameOf(broken)});

    // A game that cannot even start is reported the same way, and not listed.
    window->play(noBackground.dir());
    settle();
    EXPECT_FALSE(window->game());
    EXPECT_TRUE(window->startScreen()->error().contains("back.bmp")) << window->startScreen()->error().toStdString();
    EXPECT_EQ(rows(), QStringList{nameOf(broken)});

    // Choosing another game takes the old report away.
    window->play(broken.dir());
    EXPECT_TRUE(window->startScreen()->error().isEmpty());
}

TEST_F(StartScreenTest, TheCloseBoxEndsTheProgramAfterTheCredits) {
    TestGame forest("\"page\"");
    open();
    window->play(forest.dir());
    settle();
    ASSERT_TRUE(window->game());
    QTimer hung; // ends the event loop with 99 if nothing else ends it
    hung.setSingleShot(true);
    QObject::connect(&hung, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    hung.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("VORN: VORN interpeter"));

    // On the start screen, the close box ends the program at once.
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    hung.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(StartScreenTest, ContinueIsOfferedForAGameLeftInTheMiddleAndPlaysOnWithoutAsking) {
    TestGame left("\"left one\"\"left two\"\"left three\""), other("\"other one\"\"other two\"");
    QTemporaryDir saves; // --save-dir: every game's saves in the one folder
    options.saveDir = saves.path().toStdString();
    games->add(other.dir(), earlier);
    games->add(left.dir(), earlier.addSecs(60));
    open();
    QStringList questions;
    window->setQuestionPresenter([&](const QString& question, const QString&, const QString&) {
        questions << question;
        return false; // "Start anew"
    });
    QPushButton* continueButton = nullptr;
    for (QPushButton* b : window->startScreen()->findChildren<QPushButton*>())
        if (b->text() == "Continue") continueButton = b;
    ASSERT_TRUE(continueButton);
    settle();
    EXPECT_FALSE(continueButton->isVisible()) << "nothing kept yet";
    EXPECT_FALSE(window->startScreen()->canContinue(0));

    // Left in the middle: the place is kept, and the list says so.
    window->play(left.dir());
    settle();
    ASSERT_TRUE(window->game());
    QTest::keyClick(window->game(), Qt::Key_Return);
    EXPECT_EQ(window->game()->text1()->toPlainText(), "left two");
    QTest::keyClick(window->game(), Qt::Key_Q, Qt::ControlModifier);
    settle();
    ASSERT_FALSE(window->game());
    EXPECT_EQ(rows(), (QStringList{nameOf(left), nameOf(other)}));
    EXPECT_TRUE(window->startScreen()->canContinue(0));
    EXPECT_TRUE(list().item(0)->text().contains("can be continued")) << list().item(0)->text().toStdString();
    EXPECT_TRUE(continueButton->isVisible());
    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_FALSE(window->startScreen()->canContinue(1)) << "the place kept is the other game's";
    EXPECT_FALSE(list().item(1)->text().contains("can be continued"));
    EXPECT_FALSE(continueButton->isVisible());
    QTest::keyClick(&list(), Qt::Key_Return, Qt::ControlModifier); // nothing to go on from: nothing happens
    EXPECT_FALSE(window->game());

    // Ctrl+Enter goes on where the game was left, without a question.
    QTest::keyClick(&list(), Qt::Key_Up);
    EXPECT_TRUE(continueButton->isVisible());
    QTest::keyClick(&list(), Qt::Key_Return, Qt::ControlModifier);
    settle();
    ASSERT_TRUE(window->game());
    EXPECT_EQ(window->game()->text1()->toPlainText(), "left two");
    EXPECT_TRUE(questions.isEmpty());
    QTest::keyClick(window->game(), Qt::Key_Q, Qt::ControlModifier);
    settle();

    // "Play" still asks; here the reader starts anew.
    ASSERT_TRUE(continueButton->isVisible()) << "closed where it opened: the kept place stays";
    QTest::keyClick(&list(), Qt::Key_Return);
    settle();
    ASSERT_TRUE(window->game());
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(window->game()->text1()->toPlainText(), "left one");
    QTest::keyClick(window->game(), Qt::Key_Q, Qt::ControlModifier);
    settle();

    // The button does what the keys do.
    continueButton->click();
    settle();
    ASSERT_TRUE(window->game());
    EXPECT_EQ(window->game()->text1()->toPlainText(), "left two");
    EXPECT_EQ(questions.size(), 1);
}

} // namespace

namespace {

// On the tests' 1920 x 1080 screen, zoom 3 would reach below its bottom.
TEST_F(StartScreenTest, ZoomInStopsAtTheLargestZoomThatFitsTheScreen) {
    open();
    for (int press = 0; press < 3; ++press) QTest::keyClick(&list(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(window->zoom(), 2);
    EXPECT_EQ(window->size(), kSceneSize * 2);
}

// Full screen entered on the start screen and left in the game: the window
// goes back where it stood, and it never offers a maximise.
TEST_F(StartScreenTest, LeavingFullScreenInTheGameGoesBackWhereTheStartScreenStood) {
    TestGame forest("\"page\"");
    games->add(forest.dir(), earlier);
    open();
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    window->move(120, 90);
    settle();
    const QRect placed = window->geometry();
    QTest::keyClick(&list(), Qt::Key_F11);
    settle();
    QTest::keyClick(&list(), Qt::Key_Return);
    settle();
    ASSERT_TRUE(window->game());
    QTest::keyClick(window->game(), Qt::Key_F11);
    settle();
    EXPECT_EQ(window->geometry(), placed);
}

TEST_F(StartScreenTest, FullScreenCarriesOverIntoTheGameAndBack) {
    TestGame forest("\"page\"");
    games->add(forest.dir(), earlier);
    open();
    QTest::keyClick(&list(), Qt::Key_F11);
    settle();
    const QSize screen = window->size();
    EXPECT_NE(screen, kSceneSize);
    QTest::keyClick(&list(), Qt::Key_Return);
    settle();
    ASSERT_TRUE(window->game());
    EXPECT_TRUE(window->game()->fullScreen());
    EXPECT_EQ(window->game()->size(), screen);
    QTest::keyClick(window->game(), Qt::Key_F11); // the reader leaves full screen in the game
    settle();
    EXPECT_EQ(window->size(), kSceneSize);
    QTest::keyClick(window->game(), Qt::Key_Q, Qt::ControlModifier);
    settle();
    EXPECT_FALSE(window->game());
    EXPECT_EQ(window->size(), kSceneSize) << "the start screen comes back as the game was left";
}

} // namespace
