#pragma once
// A game as the window plays it: its music device and its Form1, made alike
// whether the game was named on the command line or picked on the start screen.

#include "form1.h"
#include "presentation/music/fluid_music_device.h"
#include "shell/command_line.h"

#include <memory>

namespace vorn {

struct WindowGame {
    // The form plays in `parent`, or is a window of its own without one. The
    // music's set-up waits for fluid->startSetUp(), which the caller times.
    WindowGame(const GameFolder& folder, const Options& options, int zoom, QWidget* parent = nullptr);
    ~WindowGame();
    WindowGame(const WindowGame&) = delete;
    WindowGame& operator=(const WindowGame&) = delete;

    std::unique_ptr<MusicDevice> music;
    FluidMusicDevice* fluid = nullptr; // `music`, when it really plays
    std::unique_ptr<Form1> form;       // holds a reference to `music`, so it goes first
};

} // namespace vorn
