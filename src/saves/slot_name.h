#pragma once
// The names of save slots, shared by the saves and by every front end that
// reads them from the reader (the headless driver's `save SLOT` included).

#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// Slot names: ASCII letters, digits, '-' and '_', 1 to 32 of them.
bool isSlotName(std::string_view name);

// The name a new save gets among the slots `inUse`: "slot-N", N one above the
// highest "slot-N" in use (N of up to seven digits; others are the reader's own
// names and do not count).
std::string newSlotName(const std::vector<std::string>& inUse);

} // namespace vorn
