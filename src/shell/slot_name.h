#pragma once
// The names of save slots, shared by the saves and by every front end that
// reads them from the reader (the headless driver's `save SLOT` included).

#include <string_view>

namespace vorn {

// Slot names: ASCII letters, digits, '-' and '_', 1 to 32 of them.
bool isSlotName(std::string_view name);

} // namespace vorn
