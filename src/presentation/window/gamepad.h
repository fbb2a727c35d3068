#pragma once
// Gamepads for the window, read through SDL's game controller API (SDL for
// the pads alone: no SDL window, no SDL video). SDL's own database of mappings
// names the buttons of common pads, so they work unconfigured. Each button
// presses the key its row in the pad table (interpreter/pad_buttons.h) names,
// delivered as a Qt key event to whatever has the keyboard's focus, so a pad
// does exactly what the keyboard does: in the story, over a dialog, in the
// pop-up menu and on the start screen. A pad plugged in or out while playing
// is taken or let go without a word.

#include "interpreter/pad_buttons.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>

struct _SDL_GameController;

namespace vorn {
struct SdlLibrary;
}

namespace vorn {

class GamepadReader : public QObject {
    Q_OBJECT
  public:
    // `inPlay` tells whether the story has the keyboard now (not a dialog, a
    // menu or the backlog); the buttons' keys differ between the two.
    explicit GamepadReader(std::function<bool()> inPlay, QObject* parent = nullptr);
    ~GamepadReader() override;

    // Whether SDL's game controller part could start; without it no pad is read.
    bool available() const { return available_; }
    int padsOpen() const { return static_cast<int>(pads_.size()); }

    // Reads what the pads did since the last call; the timer calls it.
    void poll();

  private:
    void press(PadButton button);
    void release(PadButton button);
    void stickMoved(int pad, int x, int y);
    void releaseAll();

    std::function<bool()> inPlay_;
    const SdlLibrary* sdl_ = nullptr; // SDL's functions, once it could be opened
    bool available_ = false;
    QTimer timer_;
    std::map<int, _SDL_GameController*> pads_; // by SDL's instance id
    std::map<int, std::pair<int, int>> sticks_; // the left stick's position, per pad
    std::map<int, std::optional<PadButton>> stickPressed_;
    // The key each held button pressed, released with the button even when
    // the focus moved to a dialog meanwhile.
    std::map<PadButton, PadKey> held_;
};

// The Qt key a key of the table is: "Tab" with Shift is Qt's Backtab.
int qtKeyOf(const PadKey& key);

} // namespace vorn
