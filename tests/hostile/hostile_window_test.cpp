// Hostile scripts in the window, under Qt's offscreen platform: what the
// reader would see of them.

#include "headless_fixture.h"
#include "interpreter/music_device.h"
#include "presentation/window/form1.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorn;
using vorn::test::TestGame;

namespace {

struct HostileWindow {
    explicit HostileWindow(const TestGame& game) : folder(game.dir()), form(folder, device, 1) {
        form.setMessagePresenter([this](const QString&, const QString& text, bool isError) {
            if (isError) errors.push_back(text);
        });
    }
    GameFolder folder;
    SilentMusicDevice device;
    Form1 form;
    QStringList errors;
};

} // namespace

// A report quoting a megabyte of script would take the message box a minute
// to lay out; the box shows its start and its end.
TEST(HostileWindow, AReportQuotingAMegabyteOfScriptStaysReadable) {
    const std::string label(1024 * 1024, 'L');
    for (const std::string& script : {">" + label + "<", "<" + label + ">"}) {
        TestGame game(script);
        HostileWindow w(game);
        ASSERT_TRUE(w.form.load());
        w.form.show();
        w.form.activate();
        ASSERT_EQ(w.errors.size(), 1);
        const QString& shown = w.errors.front();
        EXPECT_LE(shown.size(), 1100);
        EXPECT_TRUE(shown.startsWith("code.vrn:1:1: ")) << shown.left(80).toStdString();
        EXPECT_TRUE(shown.contains(QStringLiteral(" \u2026 ")));
        EXPECT_TRUE(shown.endsWith(".") || shown.endsWith(".)")) << "the end of the report is kept";
    }
}

// The backlog keeps every page read, but not without end: a script that shows a
// huge page over and over must not fill the memory.
TEST(HostileWindow, TheBacklogOfHugePagesShownOverAndOverStaysBounded) {
    TestGame game("*a*\r\n\"" + std::string(200 * 1024, 'w') + "\"\r\n>a<\r\n");
    HostileWindow w(game);
    ASSERT_TRUE(w.form.load());
    w.form.show();
    w.form.activate();
    for (int click = 0; click < 12; ++click) w.form.resume();
    std::size_t characters = 0;
    for (const BacklogEntry& page : w.form.interpreter().backlog()) characters += page.text.size();
    EXPECT_LE(characters, 1024 * 1024);
    EXPECT_EQ(w.form.interpreter().backlog().size(), 5) << "the latest pages stay";
    EXPECT_TRUE(w.errors.isEmpty());
}

// A report quoting a name with terminal escapes in it shows them written out.
TEST(HostileWindow, AReportShowsControlCharactersAsVisibleEscapes) {
    TestGame game("<\x1b]0;TITLE\x07\x1b[2J.bmp>");
    HostileWindow w(game);
    ASSERT_TRUE(w.form.load());
    w.form.show();
    w.form.activate();
    ASSERT_EQ(w.errors.size(), 1);
    const QString& shown = w.errors.front();
    EXPECT_TRUE(shown.contains("\"\\u001b]0;TITLE\\u0007\\u001b[2J.bmp\"")) << shown.toStdString();
    EXPECT_FALSE(std::any_of(shown.begin(), shown.end(), [](QChar c) { return c.unicode() < 0x20; }));
}
