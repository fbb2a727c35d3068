// The reader's language, run under LANG=ja_JP.UTF-8: what is the player's own
// is told in Japanese, what is the game's stays as the game has it.

#include "archive_writer.h"
#include "headless_fixture.h"
#include "interpreter/fatal_error.h"
#include "interpreter/music_device.h"
#include "presentation/language/language.h"
#include "presentation/window/form1.h"
#include "presentation/window/start_screen.h"
#include "game_files/open_game.h"
#include "shell/shell.h"

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace vorn;
using vorn::test::TestGame;

namespace {

struct Window {
    explicit Window(const TestGame& game) : folder(game.dir()), form(folder, device, 1) {
        form.setMessagePresenter([this](const QString& title, const QString& text, bool isError) {
            messages.push_back({title, text, isError});
        });
    }
    bool start() {
        if (!form.load()) return false;
        form.show();
        form.activate();
        return true;
    }
    struct Box {
        QString title, text;
        bool isError;
    };
    GameFolder folder;
    SilentMusicDevice device;
    Form1 form;
    std::vector<Box> messages;
};

bool translationsInstalled = false;

// Each test that needs Japanese asks first: the process runs under LANG=ja_JP.UTF-8.
#define ASSERT_JAPANESE()                                                                                              \
    ASSERT_EQ(desktopLanguage(), Language::Japanese) << "run under LANG=ja_JP.UTF-8";                                  \
    ASSERT_TRUE(translationsInstalled) << "the player's translation, or Qt's (qt6-translations-l10n), did not load"

Language languageOf(std::map<std::string, std::string> env) {
    return desktopLanguage([&env](const char* name) -> const char* {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

} // namespace

TEST(Language, FollowsTheDesktopsLocaleInTheCLibrarysOrder) {
    EXPECT_EQ(languageOf({}), Language::English);
    EXPECT_EQ(languageOf({{"LANG", "ja_JP.UTF-8"}}), Language::Japanese);
    EXPECT_EQ(languageOf({{"LANG", "ja"}}), Language::Japanese);
    EXPECT_EQ(languageOf({{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.eucJP"}}), Language::Japanese);
    EXPECT_EQ(languageOf({{"LANG", "ja_JP.UTF-8"}, {"LC_MESSAGES", "C"}}), Language::English);
    EXPECT_EQ(languageOf({{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}), Language::English);
    EXPECT_EQ(languageOf({{"LANG", "jam_JM"}}), Language::English) << "another language whose code starts with ja";
    // LANGUAGE lists preferences, and counts only when the locale is not C.
    EXPECT_EQ(languageOf({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "fr:ja:en"}}), Language::Japanese);
    EXPECT_EQ(languageOf({{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "en_GB:ja"}}), Language::English);
    EXPECT_EQ(languageOf({{"LANG", "C.UTF-8"}, {"LANGUAGE", "ja"}}), Language::English);
    EXPECT_EQ(languageOf({{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "de:fr"}}), Language::Japanese);

    EXPECT_EQ(languageNamed("ja"), Language::Japanese);
    EXPECT_EQ(languageNamed("en"), Language::English);
    EXPECT_EQ(languageNamed("JA"), std::nullopt);
    EXPECT_EQ(chosenLanguage(std::string("en")), Language::English) << "--language overrides the desktop";
}

TEST(Language, TheGamesOwnWordsStayWhileThePlayersOwnAreTranslated) {
    ASSERT_JAPANESE();
    TestGame game("\"Hello, reader\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.form.windowTitle(), "VORN Interpeter");
    EXPECT_EQ(w.form.text1()->toPlainText(), "Hello, reader");
    QStringList entries;
    for (QAction* action : w.form.popupMenu()->actions())
        if (!action->isSeparator()) entries << action->text();
    // The original program's three entries, then the player's own, translated.
    EXPECT_EQ(entries,
              QStringList({"New", "Quit", "About", QString::fromUtf8("セーブ…"), QString::fromUtf8("ロード…"),
                           QString::fromUtf8("設定…")}));
    EXPECT_EQ(w.form.popupMenu()->title(), "File");

    w.form.showAbout();
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].title, "VORN");
    EXPECT_EQ(w.messages[0].text, QString::fromStdString(creditsText()));
    EXPECT_TRUE(w.messages[0].text.startsWith("VORN interpeter "));

    // Qt's own words come from Qt's translation.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("キャンセル"));
}

TEST(Language, AFatalReportIsToldInJapaneseWithTheGamesNamesUnchanged) {
    ASSERT_JAPANESE();
    TestGame game("\xEF\xBB\xBF\"Page\"<洞窟.bmp>"); // UTF-8, for the picture's Japanese name
    Window w(game);
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.messages.empty());
    w.form.resume(); // the click on the page goes on to a picture that is not there

    ASSERT_FALSE(w.messages.empty());
    const Window::Box& box = w.messages.back();
    EXPECT_TRUE(box.isError);
    EXPECT_EQ(box.title, "VORN");
    EXPECT_EQ(box.text, QString::fromUtf8("code.vrn:1:7 の画像命令: 画像「洞窟.bmp」を読み込めません。"
                                          "ゲームのフォルダにそのファイルがありません。"));
}

TEST(Language, AReportBuiltOfSeveralSentencesIsTranslatedInEachOfThem) {
    ASSERT_JAPANESE();
    TestGame game("\"abc\r\nde\r\nfg");
    Window w(game);
    ASSERT_TRUE(w.start());
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text,
              QString::fromUtf8("code.vrn:1:1: ここから始まるテキストが、閉じないままファイルの終わりに達しています。"
                                "ページの終わりに「\"」を書いてください。3 行にわたって続いているので、閉じる「\"」"
                                "が抜けているようです。"));
}

TEST(Language, TheStartScreensButtonsAreInJapanese) {
    ASSERT_JAPANESE();
    QTemporaryDir config;
    GamesList games(config.filePath("games.json"));
    StartScreen start(games);
    QStringList buttons, tips;
    for (const QPushButton* b : start.findChildren<QPushButton*>()) {
        buttons << b->text();
        tips << b->toolTip();
    }
    EXPECT_TRUE(buttons.contains(QString::fromUtf8("続きから"))) << buttons.join(", ").toStdString();
    for (const QString& tip : tips) {
        // Only key names stay in Latin letters.
        QString words = tip;
        for (const char* key : {"Ctrl+Enter", "Ctrl+O", "Enter", "Delete", "code.vrn"}) words.remove(key);
        EXPECT_FALSE(words.contains(QRegularExpression("[A-Za-z]{3,}"))) << tip.toStdString();
    }
}

// A reason inside a report is the player's own words too: in Japanese, with
// only the archive's name and libarchive's own words left as they are.
TEST(Language, AnArchivesRefusalIsInJapaneseReasonsIncluded) {
    ASSERT_JAPANESE();
    TestGame source("\"x\"");
    const std::string scratch = source.dir().string() + "-archives";
    std::filesystem::create_directories(scratch);
    test::writeArchive(scratch + "/nogame.zip", {{"readme.txt", "hello"}}, test::ArchiveFormat::Zip);
    std::vector<test::ArchiveEntry> bomb = test::entriesOf(source.dir(), "");
    for (test::ArchiveEntry& e : bomb)
        if (e.name == "mouse.ico") e.content = std::string(17 * 1024 * 1024, '\0');
    test::writeArchive(scratch + "/bomb.zip", bomb, test::ArchiveFormat::Zip);

    EXPECT_EQ(translated(openGame(scratch + "/nogame.zip").problem),
              QString::fromUtf8("「") + QString::fromStdString(scratch) +
                  QString::fromUtf8(
                      "/nogame.zip」では遊べません。アーカイブにゲームがありません（code.vrn が入っていません）。"));

    const OpenedGame opened = openGame(scratch + "/bomb.zip");
    ASSERT_TRUE(opened.folder) << opened.error;
    SilentMusicDevice device;
    Form1 form(*opened.folder, device, 1);
    QString told;
    form.setMessagePresenter([&](const QString&, const QString& text, bool) { told = text; });
    EXPECT_FALSE(form.load());
    EXPECT_EQ(told, QString::fromUtf8("「") + QString::fromStdString(scratch) +
                        QString::fromUtf8("/bomb.zip」では遊べません。アーカイブ内のカーソル「mouse.ico」を読めません: "
                                          "ファイルが 16 MB を超えています。"));
    std::filesystem::remove_all(scratch);
}

// A save that cannot be loaded is told in Japanese, built of its parts, while
// the transcript keeps the English.
TEST(Language, ASaveThatCannotBeLoadedIsToldInJapanese) {
    ASSERT_JAPANESE();
    TestGame game("\"one\"\"two\"");
    const auto saves = game.dir() / "saves";
    ASSERT_EQ(game.play("save q\n", saves).status, 0);
    std::string document = vorn::test::readFile(saves / "q.json");
    document.replace(document.find("\"NumCmds\":0"), 11, "\"NumCmds\":9");
    vorn::test::writeFile(saves / "q.json", document);
    Window w(game);
    w.form.setSaveFolder(QString::fromStdString(saves.string()));
    ASSERT_TRUE(w.start());
    w.form.loadFrom("q");
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text, QString::fromUtf8("スロット「q」のセーブはロードできません: NumCmds が 9 です。"
                                                    "選択肢メニューの選択肢は 4 つまでです"));
    EXPECT_TRUE(vorn::test::has(game.play("load q\n", saves).afterEvent(1).front(),
                                "cannot be loaded: NumCmds holds 9, where a choice menu has at most 4 options"));
}

TEST(Language, TheHelpIsTranslatedAndKeepsEveryOption) {
    ASSERT_JAPANESE();
    const QString help = translatedUsage();
    EXPECT_TRUE(help.startsWith(QString::fromUtf8("使い方: vorn [OPTIONS]")));
    for (const char* option :
         {"--headless", "--no-music", "--soundfont FILE", "--zoom N", "--fullscreen", "--save-dir DIR",
          "--language LANG", "--help", "--version", "vorn check", "vorn explore"})
        EXPECT_TRUE(help.contains(option)) << option;
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows here neither read nor keep the reader's own settings.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    // As the player does: the desktop's language, which ctest sets to Japanese.
    translationsInstalled = installTranslations(desktopLanguage());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
