#pragma once
// The words a save is refused in, marked for translation: shared by the
// bounded reading of a save's bytes and the checks of its members.

#include "save_format.h"

namespace vorn {

// Why a document is no save this player can read, worded for the reader.
inline constexpr const char* kCutShortAt = VORN_TR("it is cut short or damaged (%1 at byte %2)");
inline constexpr const char* kCutShort = VORN_TR("it is cut short or damaged (%1)");
inline constexpr const char* kTooDeep = VORN_TR("lists and objects nested more than %1 deep");
inline constexpr const char* kNotASave = VORN_TR("it is not a saved game of this player");
inline constexpr const char* kNewerPlayer = VORN_TR("it was made by a newer version of the player (save format %1; this one "
                                             "reads format %2): play it with that version");
inline constexpr const char* kDamaged = VORN_TR("it is damaged: %1");
inline constexpr const char* kIsNot = VORN_TR("\"%1\" is not %2");
inline constexpr const char* kAnObject = VORN_TR("an object");
inline constexpr const char* kAList = VORN_TR("a list");
inline constexpr const char* kAListOf = VORN_TR("a list of %1");
inline constexpr const char* kAText = VORN_TR("a text");
inline constexpr const char* kAWholeNumber = VORN_TR("a whole number from %1 to %2");
inline constexpr const char* kTrueOrFalse = VORN_TR("true or false");
inline constexpr const char* kBacklogEntries = VORN_TR("a list of pages and options chosen");
// The store says so too, in these words, before it reads the file.
inline constexpr const char* kTooLarge = VORN_TR("it is larger than 24 MB, far larger than a saved game");
static_assert(kMaxSaveBytes == 24 * 1024 * 1024, "the words above name the limit");

} // namespace vorn
