#pragma once
// The reader's settings as the window holds them while it runs: read once at
// start, and each change kept at once. The player keeps them in the settings
// file; tests and a window made without one keep them in memory only.

#include "saves/reader_settings.h"

#include <string>

namespace vorn {

class ReaderSettingsKeeper {
  public:
    // `toFile`: each change is written to the settings file (settings_store.h).
    explicit ReaderSettingsKeeper(ReaderSettings settings = {}, bool toFile = false)
        : settings_(std::move(settings)), toFile_(toFile) {}

    const ReaderSettings& settings() const { return settings_; }
    // Takes `settings` as the reader's; empty, or why they could not be kept
    // for the next start (they hold for this one all the same).
    std::string change(const ReaderSettings& settings);

  private:
    ReaderSettings settings_;
    bool toFile_;
};

} // namespace vorn
