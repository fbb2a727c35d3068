#include "reader_settings.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace vorn {

namespace {

using Json = nlohmann::json;

// No settings document is anywhere near this long; a longer one is not read.
constexpr std::size_t kMaxDocumentBytes = 64 * 1024;

constexpr std::array kLanguages = {"", "en", "ja"};
constexpr std::size_t kMaxVoiceName = 256;

class Reader {
  public:
    explicit Reader(const Json& document) : document_(document) {}

    void number(const char* name, int& value, int lowest, int highest) {
        const Json* member = find(name);
        if (!member) return;
        if (member->is_number_integer() && member->get<long long>() >= lowest && member->get<long long>() <= highest)
            value = static_cast<int>(member->get<long long>());
        else
            wrong(name, "a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest));
    }
    void flag(const char* name, bool& value) {
        const Json* member = find(name);
        if (!member) return;
        if (member->is_boolean())
            value = member->get<bool>();
        else
            wrong(name, "true or false");
    }
    template <typename Accept> void text(const char* name, std::string& value, Accept accept, const char* what) {
        const Json* member = find(name);
        if (!member) return;
        if (member->is_string() && accept(member->get_ref<const std::string&>()))
            value = member->get<std::string>();
        else
            wrong(name, what);
    }
    std::string note() const {
        return wrong_.empty() ? std::string() : "settings not understood, their defaults used: " + wrong_;
    }

  private:
    const Json* find(const char* name) const {
        const auto found = document_.find(name);
        return found == document_.end() ? nullptr : &*found;
    }
    void wrong(const char* name, const std::string& expected) {
        if (!wrong_.empty()) wrong_ += "; ";
        wrong_ += std::string(name) + " (" + expected + ")";
    }

    const Json& document_;
    std::string wrong_;
};

} // namespace

SettingsRead readSettings(std::string_view document) {
    SettingsRead read;
    if (document.size() > kMaxDocumentBytes) {
        read.note = "the settings file is larger than settings can be; the defaults are used";
        return read;
    }
    const Json json = Json::parse(document.begin(), document.end(), nullptr, false);
    if (!json.is_object()) {
        read.note = "the settings file is not a settings document; the defaults are used";
        return read;
    }
    Reader reader(json);
    ReaderSettings& s = read.settings;
    reader.number("musicVolume", s.musicVolume, 0, ReaderSettings::kMaxVolume);
    reader.flag("musicMuted", s.musicMuted);
    reader.number("autoDelay", s.autoDelay, ReaderSettings::kMinAutoDelay, ReaderSettings::kMaxAutoDelay);
    reader.flag("skipUnread", s.skipUnread);
    reader.number("zoom", s.zoom, 0, ReaderSettings::kMaxZoom);
    reader.text(
        "language", s.language,
        [](const std::string& code) { return std::find(kLanguages.begin(), kLanguages.end(), code) != kLanguages.end(); },
        "\"en\", \"ja\" or \"\"");
    reader.flag("selfVoicing", s.selfVoicing);
    reader.number("speechRate", s.speechRate, ReaderSettings::kMinSpeechRate, ReaderSettings::kMaxSpeechRate);
    reader.text(
        "voice", s.voice, [](const std::string& name) { return name.size() <= kMaxVoiceName; },
        "a voice's name");
    read.note = reader.note();
    return read;
}

std::string writeSettings(const ReaderSettings& s) {
    // Members in the order the settings are shown, so the file reads as they do.
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    json["musicVolume"] = s.musicVolume;
    json["musicMuted"] = s.musicMuted;
    json["autoDelay"] = s.autoDelay;
    json["skipUnread"] = s.skipUnread;
    json["zoom"] = s.zoom;
    json["language"] = s.language;
    json["selfVoicing"] = s.selfVoicing;
    json["speechRate"] = s.speechRate;
    json["voice"] = s.voice;
    return json.dump(1, '\t', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

double musicLevel(const ReaderSettings& settings) {
    if (settings.musicMuted) return 0;
    const double fraction =
        std::clamp(settings.musicVolume, 0, ReaderSettings::kMaxVolume) / double(ReaderSettings::kMaxVolume);
    return fraction * fraction;
}

std::size_t pageCharacters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80) continue; // a continuation byte: part of the character before
        if (byte == ' ' || byte == '\n' || byte == '\r' || byte == '\t') continue;
        ++count;
    }
    return count;
}

int autoTurnDelay(std::size_t characters, int autoDelay) {
    constexpr long long kFirstLook = 1000, kLongest = 60000;
    const long long perCharacter = std::clamp(autoDelay, ReaderSettings::kMinAutoDelay, ReaderSettings::kMaxAutoDelay);
    const long long delay = kFirstLook + static_cast<long long>(std::min<std::size_t>(characters, 1u << 20)) * perCharacter;
    return static_cast<int>(std::min(delay, kLongest));
}

int louder(int volume) { return std::min(ReaderSettings::kMaxVolume, volume + ReaderSettings::kVolumeStep); }
int quieter(int volume) { return std::max(0, volume - ReaderSettings::kVolumeStep); }

} // namespace vorn
