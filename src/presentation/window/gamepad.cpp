#include "gamepad.h"

#include "keyboard.h"
#include "shell/run_time_library.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <SDL.h>
#include <iostream>
#include <optional>
#include <string>

namespace vorn {

// SDL is opened when the pads are first looked for, not linked: it brings
// the sound servers' and the display servers' libraries with it, which would
// otherwise all be loaded and bound before the first page.
#define VORN_SDL_FUNCTIONS(X)                                                                                          \
    X(SDL_SetHint)                                                                                                     \
    X(SDL_InitSubSystem)                                                                                               \
    X(SDL_QuitSubSystem)                                                                                               \
    X(SDL_PollEvent)                                                                                                   \
    X(SDL_GameControllerOpen)                                                                                          \
    X(SDL_GameControllerClose)                                                                                         \
    X(SDL_GameControllerGetJoystick)                                                                                   \
    X(SDL_JoystickInstanceID)

struct SdlLibrary {
#define VORN_SDL_POINTER(name) decltype(&::name) name = nullptr;
    VORN_SDL_FUNCTIONS(VORN_SDL_POINTER)
#undef VORN_SDL_POINTER
};

namespace {

// Opened once and never closed; nothing, and why, when it cannot be.
std::optional<SdlLibrary> openSdl(std::string& why) {
    RunTimeLibrary library(VORN_SDL2_SONAME, "SDL");
    SdlLibrary functions;
#define VORN_SDL_LOOKUP(name)                                                                                          \
    if (!library.find(functions.name, #name)) {                                                                        \
        why = library.why();                                                                                           \
        return std::nullopt;                                                                                           \
    }
    VORN_SDL_FUNCTIONS(VORN_SDL_LOOKUP)
#undef VORN_SDL_LOOKUP
    return functions;
}

const SdlLibrary* sdlLibrary() {
    static std::string why;
    static const std::optional<SdlLibrary> opened = openSdl(why);
    if (!opened) {
        // Told once: the player plays on, from the keyboard and the mouse.
        static const bool told = (std::cerr << "vorn: gamepads are not read: " << why << '\n', true);
        (void)told;
        return nullptr;
    }
    return &*opened;
}

// Polled often enough that a press feels at once while a pad is there, and
// seldom while none is, only to notice one plugged in.
constexpr int kPollWithPad = 16;
constexpr int kPollWithoutPad = 500;

std::optional<PadButton> padButton(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_CONTROLLER_BUTTON_A: return PadButton::South;
    case SDL_CONTROLLER_BUTTON_B: return PadButton::East;
    case SDL_CONTROLLER_BUTTON_X: return PadButton::West;
    case SDL_CONTROLLER_BUTTON_Y: return PadButton::North;
    case SDL_CONTROLLER_BUTTON_BACK: return PadButton::Select;
    case SDL_CONTROLLER_BUTTON_START: return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PadButton::LeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PadButton::RightShoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadButton::DpadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadButton::DpadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadButton::DpadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadButton::DpadRight;
    default: return std::nullopt;
    }
}

Qt::KeyboardModifiers qtModifiers(unsigned bits) {
    Qt::KeyboardModifiers modifiers;
    if (bits & kCtrl) modifiers |= Qt::ControlModifier;
    if (bits & kShift) modifiers |= Qt::ShiftModifier;
    if (bits & kAlt) modifiers |= Qt::AltModifier;
    return modifiers;
}

// Where a key goes: the open pop-up menu, or what has the focus.
QWidget* keyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    if (QWidget* focus = QApplication::focusWidget()) return focus;
    return QApplication::activeWindow();
}

void sendKey(QEvent::Type type, const PadKey& key) {
    QWidget* target = keyTarget();
    const int qtKey = qtKeyOf(key);
    if (!target || !qtKey) return; // the player is not the active program
    const QString text = std::string_view(key.key).size() == 1 ? QString::fromLatin1(key.key)
                         : qtKey == Qt::Key_Return                 ? QStringLiteral("\r")
                                                                   : QString();
    QKeyEvent event(type, qtKey, qtModifiers(key.modifiers), text);
    QApplication::sendEvent(target, &event);
}

} // namespace

int qtKeyOf(const PadKey& key) {
    const std::string_view name = key.key;
    if (name == "Tab" && (key.modifiers & kShift)) return Qt::Key_Backtab;
    if (name == "Enter") return Qt::Key_Return;
    if (name.size() == 1) {
        const char c = name[0];
        return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    }
    for (int k = Qt::Key_Escape; k <= Qt::Key_Menu; ++k)
        if (keyName(k) == name) return k;
    for (int k = Qt::Key_F1; k <= Qt::Key_F35; ++k)
        if (keyName(k) == name) return k;
    if (name == "Control") return Qt::Key_Control;
    return 0;
}

GamepadReader::GamepadReader(std::function<bool()> inPlay, QObject* parent)
    : QObject(parent), inPlay_(std::move(inPlay)) {
    // SDL reads the pads and nothing else: the program's signals stay its
    // own, and buttons are read by their place (south, east…) whatever the
    // pad prints on them, as the pad table names them.
    sdl_ = sdlLibrary();
    if (!sdl_) return;
    sdl_->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl_->SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    sdl_->SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    available_ = sdl_->SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!available_) return;
    connect(&timer_, &QTimer::timeout, this, &GamepadReader::poll);
    timer_.start(kPollWithoutPad);
}

GamepadReader::~GamepadReader() {
    if (!available_) return;
    for (auto& [id, pad] : pads_) sdl_->SDL_GameControllerClose(pad);
    sdl_->SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void GamepadReader::poll() {
    if (!available_) return;
    SDL_Event event;
    while (sdl_->SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            if (SDL_GameController* pad = sdl_->SDL_GameControllerOpen(event.cdevice.which))
                pads_[sdl_->SDL_JoystickInstanceID(sdl_->SDL_GameControllerGetJoystick(pad))] = pad;
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (auto found = pads_.find(event.cdevice.which); found != pads_.end()) {
                sdl_->SDL_GameControllerClose(found->second);
                pads_.erase(found);
                sticks_.erase(event.cdevice.which);
                stickPressed_.erase(event.cdevice.which);
                if (pads_.empty()) releaseAll(); // a pad pulled out with a button down
            }
            break;
        case SDL_CONTROLLERBUTTONDOWN:
            if (auto button = padButton(event.cbutton.button)) press(*button);
            break;
        case SDL_CONTROLLERBUTTONUP:
            if (auto button = padButton(event.cbutton.button)) release(*button);
            break;
        case SDL_CONTROLLERAXISMOTION: {
            auto& [x, y] = sticks_[event.caxis.which];
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) x = event.caxis.value;
            else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) y = event.caxis.value;
            else break;
            stickMoved(event.caxis.which, x, y);
            break;
        }
        default: break;
        }
    }
    const int interval = pads_.empty() ? kPollWithoutPad : kPollWithPad;
    if (timer_.interval() != interval) timer_.setInterval(interval);
}

void GamepadReader::press(PadButton button) {
    const PadRow& row = padRow(button);
    const std::optional<PadKey>& key = inPlay_() ? row.inPlay : row.inDialog;
    if (!key) return;
    sendKey(QEvent::KeyPress, *key);
    if (row.held)
        held_[button] = *key;
    else
        sendKey(QEvent::KeyRelease, *key);
}

void GamepadReader::release(PadButton button) {
    const auto found = held_.find(button);
    if (found == held_.end()) return;
    // The release of Ctrl carries no Ctrl, as the keyboard's does.
    PadKey key = found->second;
    key.modifiers = kNoModifier;
    held_.erase(found);
    sendKey(QEvent::KeyRelease, key);
}

void GamepadReader::releaseAll() {
    while (!held_.empty()) release(held_.begin()->first);
}

void GamepadReader::stickMoved(int pad, int x, int y) {
    std::optional<PadButton>& was = stickPressed_[pad];
    const std::optional<PadButton> now = stickDirection(x, y, was);
    if (now == was) return;
    was = now;
    if (now) press(*now);
}

} // namespace vorn
