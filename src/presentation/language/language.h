#pragma once
// The reader's language: which one the player speaks, the translations that
// make it speak it, and the core's reports worded in it. The script's own
// texts, the window caption, the pop-up menu's entries and the credits are the
// game's and are never translated.

#include "interpreter/message.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

enum class Language { English, Japanese };

// "en" or "ja", as --language takes it; none for anything else.
std::optional<Language> languageNamed(std::string_view name);

// The language of the reader's desktop, read as C programs read it: LANGUAGE
// (a list, when the locale is not C), then LC_ALL, LC_MESSAGES and LANG.
// Japanese for a locale of the ja language, English for any other.
using EnvironmentLookup = std::function<const char*(const char*)>;
Language desktopLanguage(const EnvironmentLookup& getenv);
Language desktopLanguage();
// The language --language names, or else the desktop's.
Language chosenLanguage(const std::optional<std::string>& named);

// Installs the player's translation and Qt's own (the dialogs' buttons) into
// the running application. English installs nothing. False when a translation
// could not be loaded; the player then speaks English where it lacks one.
bool installTranslations(Language language);

// A report from the core in the reader's language.
QString translated(const Message& message);

// The command line's help in the reader's language.
QString translatedUsage();

} // namespace vorn
