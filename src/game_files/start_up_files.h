#pragma once
// The files every game reads first, before its window can show anything: an
// archive unpacks them ahead of the rest. The page's build writes this list
// into its archive reader (start-up-files.js), which unpacks them while the
// compiled player is still starting. Keep the names on the one line below;
// the player checks them against the names it reads them by.

#include <array>

namespace vorn {

inline constexpr std::array<const char*, 3> kStartUpFiles{"code.vrn", "back.bmp", "mouse.ico"};

} // namespace vorn
