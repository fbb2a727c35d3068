#pragma once
// The windowed player: the application, the window and the music device.

#include "shell/command_line.h"

namespace vorn {

int runWindow(int argc, char** argv, const Options& options);

} // namespace vorn
