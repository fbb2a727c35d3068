#pragma once
// The windowed player: the application, the window and the music device.

#include "shell/command_line.h"

#include <functional>

namespace vorn {

// `firstPagePainted`, when given, is called once the window has painted its
// first page of text; the start-up benchmark watches for that moment.
int runWindow(int argc, char** argv, const Options& options, std::function<void()> firstPagePainted = {});

} // namespace vorn
