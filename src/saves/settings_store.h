#pragma once
// The desktop's settings file: $XDG_CONFIG_HOME/vorn/settings.json, read at
// start and written whole (under a temporary name, then renamed) when the
// reader changes a setting. Qt Core only.

#include "reader_settings.h"

#include <QString>

namespace vorn {

QString settingsFile();

// The kept settings; the defaults when there is no file. A file that cannot be
// read or understood gives the defaults (each value it holds well is kept) and
// a note, never a refusal.
SettingsRead loadSettings();

// Writes the settings; empty, or why they could not be kept.
std::string keepSettings(const ReaderSettings& settings);

} // namespace vorn
