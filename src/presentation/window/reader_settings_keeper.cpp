#include "reader_settings_keeper.h"

#include "saves/settings_store.h"

namespace vorn {

std::string ReaderSettingsKeeper::change(const ReaderSettings& settings) {
    if (settings == settings_) return "";
    settings_ = settings;
    return toFile_ ? keepSettings(settings_) : "";
}

} // namespace vorn
