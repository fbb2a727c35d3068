#pragma once
// The window's keys: Qt's key codes named as the player's key table names
// them, and looked up there. The keys call the handlers that the mouse calls;
// only Enter, Space and Page Down first show the rest of a long page.

#include "interpreter/reader_keys.h"

#include <Qt>
#include <string>

namespace vorn {

// The name of Qt's key `key` in the key table ("Enter", "ArrowUp", "b"), or
// "" for a key the table cannot name.
std::string keyName(int key);
// The table's modifier bits of Qt's modifiers; the keypad's own counts as none.
unsigned keyModifiers(Qt::KeyboardModifiers modifiers);

KeyAction keyAction(int key, Qt::KeyboardModifiers modifiers);

} // namespace vorn
