#pragma once
// The windowed player: the application, the window and the music device.

#include "shell/command_line.h"

#include <functional>
#include <thread>

namespace vorn {

// `firstPagePainted`, when given, is called once the window has painted its
// first page of text; the start-up benchmark watches for that moment.
int runWindow(int argc, char** argv, const Options& options, std::function<void()> firstPagePainted = {});

// Reading the font configuration is the largest cost of a first page; it can
// run beside the set-up of the application, which does not need it yet. Join
// the thread before the first widget is made.
std::thread readFontConfigurationMeanwhile();

} // namespace vorn
