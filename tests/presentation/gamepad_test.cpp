// A pad in the window, driven through SDL's virtual joystick: its buttons do
// what the keys do, over the story and over a menu, and a pad plugged in or
// out while playing is taken or let go.

#include "headless_fixture.h"
#include "interpreter/music_device.h"
#include "presentation/window/form1.h"
#include "presentation/window/gamepad.h"
#include "presentation/window/scene_stand_ins.h"

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <SDL.h>
#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TestGame;

namespace {

// A pad of SDL's own making, with every button and axis of a game controller.
class VirtualPad {
  public:
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "test pad";
        index_ = SDL_JoystickAttachVirtualEx(&desc);
        if (index_ >= 0) joystick_ = SDL_JoystickOpen(index_);
    }
    ~VirtualPad() { unplug(); }
    bool plugged() const { return joystick_ != nullptr; }
    void unplug() {
        if (!joystick_) return;
        SDL_JoystickClose(joystick_);
        SDL_JoystickDetachVirtual(index_);
        joystick_ = nullptr;
    }
    void set(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
    }
    void leftStick(Sint16 x, Sint16 y) {
        SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, x);
        SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTY, y);
    }

  private:
    int index_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

struct Window {
    explicit Window(const TestGame& game) : folder(game.dir()), form(folder, device, 1) {
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
    QString text() const { return form.text1()->toPlainText(); }
    int focused() const {
        for (int label = 1; label <= 4; ++label)
            if (form.optionStandIn(label)->hasFocus()) return label;
        return 0;
    }
    GameFolder folder;
    SilentMusicDevice device;
    Form1 form;
};

bool storyHasTheKeyboard(const Form1& form) {
    return !QApplication::activePopupWidget() && !QApplication::activeModalWidget() && !form.backlog()->isVisible();
}

} // namespace

TEST(Gamepad, APadPlaysThroughPagesAndAMenuAndIsTakenAndLetGo) {
    TestGame game("\"first\"\"second\"(2 Left,Right){\"went left\"}{\"went right\"}\"end\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    GamepadReader reader([&w] { return storyHasTheKeyboard(w.form); });
    ASSERT_TRUE(reader.available()) << SDL_GetError();
    VirtualPad pad;
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();
    reader.poll();
    ASSERT_EQ(reader.padsOpen(), 1) << "a pad of a known mapping is taken";
    const auto click = [&](SDL_GameControllerButton button) {
        pad.set(button, true);
        reader.poll();
        pad.set(button, false);
        reader.poll();
    };

    EXPECT_EQ(w.text(), "first");
    click(SDL_CONTROLLER_BUTTON_A); // south
    EXPECT_EQ(w.text(), "second");
    click(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(w.form.interpreter().offeredCaptions(), 2);
    click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(w.focused(), 1);
    pad.leftStick(0, 30000); // the stick walks as the d-pad does
    reader.poll();
    pad.leftStick(0, 0);
    reader.poll();
    EXPECT_EQ(w.focused(), 2);
    click(SDL_CONTROLLER_BUTTON_DPAD_UP);
    EXPECT_EQ(w.focused(), 1);
    click(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_EQ(w.focused(), 2);

    // Unplugged and plugged again in the middle of the menu: the focus stays,
    // and the new pad chooses.
    pad.unplug();
    reader.poll();
    EXPECT_EQ(reader.padsOpen(), 0);
    VirtualPad again;
    reader.poll();
    ASSERT_EQ(reader.padsOpen(), 1);
    again.set(SDL_CONTROLLER_BUTTON_A, true);
    reader.poll();
    again.set(SDL_CONTROLLER_BUTTON_A, false);
    reader.poll();
    EXPECT_EQ(w.text(), "went right");

    // West opens the backlog and, over it, closes it again.
    again.set(SDL_CONTROLLER_BUTTON_X, true);
    reader.poll();
    again.set(SDL_CONTROLLER_BUTTON_X, false);
    reader.poll();
    EXPECT_TRUE(w.form.backlog()->isVisible());
    again.set(SDL_CONTROLLER_BUTTON_X, true);
    reader.poll();
    again.set(SDL_CONTROLLER_BUTTON_X, false);
    reader.poll();
    EXPECT_FALSE(w.form.backlog()->isVisible());
}

// North opens the pop-up menu; over it the d-pad walks it and east closes it
// without reaching the story.
TEST(Gamepad, NorthOpensTheMenuAndEastClosesIt) {
    TestGame game("\"first\"\"second\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    GamepadReader reader([&w] { return storyHasTheKeyboard(w.form); });
    VirtualPad pad;
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();
    reader.poll();
    bool menuSeen = false, closed = false;
    // The menu runs a loop of its own: what happens in it is done from a timer.
    QTimer::singleShot(100, [&] {
        menuSeen = qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr;
        pad.set(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        reader.poll();
        pad.set(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
        reader.poll();
        pad.set(SDL_CONTROLLER_BUTTON_B, true);
        reader.poll();
        pad.set(SDL_CONTROLLER_BUTTON_B, false);
        reader.poll();
        closed = QApplication::activePopupWidget() == nullptr;
    });
    pad.set(SDL_CONTROLLER_BUTTON_Y, true);
    reader.poll();
    pad.set(SDL_CONTROLLER_BUTTON_Y, false);
    reader.poll();
    QTest::qWait(200);
    EXPECT_TRUE(menuSeen);
    EXPECT_TRUE(closed);
    EXPECT_EQ(w.text(), "first") << "neither the menu's buttons nor its closing turned the page";
}

// The menu walked to "Save…" and the slot dialog it opens answered, by the
// d-pad, south and east alone.
TEST(Gamepad, TheMenuAndTheSlotDialogAreWalkedAndAnswered) {
    TestGame game("\"first\"\"second\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    GamepadReader reader([&w] { return storyHasTheKeyboard(w.form); });
    VirtualPad pad;
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();
    reader.poll();
    const auto click = [&](SDL_GameControllerButton button) {
        pad.set(button, true);
        reader.poll();
        pad.set(button, false);
        reader.poll();
    };
    QString chosen, dialog;
    bool dialogClosed = false;
    // The menu and the dialog each run a loop of their own: each step is a timer's.
    QTimer::singleShot(100, [&] {
        for (int step = 0; step < 4; ++step) click(SDL_CONTROLLER_BUTTON_DPAD_DOWN); // New, Quit, About, Save…
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()); menu && menu->activeAction())
            chosen = menu->activeAction()->text();
        QTimer::singleShot(150, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) dialog = modal->metaObject()->className();
            click(SDL_CONTROLLER_BUTTON_B); // east: cancel
            dialogClosed = QApplication::activeModalWidget() == nullptr;
        });
        click(SDL_CONTROLLER_BUTTON_A); // south: take "Save…"
    });
    click(SDL_CONTROLLER_BUTTON_START);
    QTest::qWait(400);
    EXPECT_EQ(chosen, QString::fromUtf8("Save…"));
    EXPECT_EQ(dialog, "vorn::SlotDialog");
    EXPECT_TRUE(dialogClosed);
    EXPECT_EQ(w.text(), "first");
}
