#pragma once
// The authoring tools on the player's command line: `vorn check` and
// `vorn explore`.

#include <ostream>
#include <string>
#include <vector>

namespace vorn {

// `args` are the command line's words after the program name, the first being
// "check" or "explore". Returns the exit status: 0 when nothing was found,
// 1 when errors (check) or error paths (explore) were found, 2 for a usage error.
int runAuthoringTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The application object the tools need, made unless one exists: a GUI one on
// the offscreen platform, for the fonts that measure pages.
void ensureToolApplication();

} // namespace vorn
