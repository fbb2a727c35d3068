#pragma once
// The reader's settings, the same in every front end: what they are, their
// defaults and limits, and their JSON document. The desktop keeps the document
// in $XDG_CONFIG_HOME/vorn/settings.json (settings_store.h); the browser page
// keeps it in the browser's storage. A damaged document never stops the
// player: each value that cannot be read is its default, and the reader is told.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorn {

struct ReaderSettings {
    static constexpr int kMaxVolume = 100;
    static constexpr int kVolumeStep = 10;
    static constexpr int kMinAutoDelay = 10, kMaxAutoDelay = 300;
    static constexpr int kMaxZoom = 8;
    static constexpr int kMinSpeechRate = -10, kMaxSpeechRate = 10;

    int musicVolume = kMaxVolume; // percent of the music's own level
    bool musicMuted = false;
    int autoDelay = 60;      // milliseconds an auto-turned page waits for each of its characters
    bool skipUnread = false; // skipping turns pages never read as well
    int zoom = 0;            // the window's zoom at start; 0: as large as the screen allows
    std::string language;    // "en", "ja"; empty: the desktop's language
    bool selfVoicing = false;
    int speechRate = 0; // -10 slowest to 10 fastest
    std::string voice;  // a voice's name; empty: one for the page's language

    bool operator==(const ReaderSettings&) const = default;
};

struct SettingsRead {
    ReaderSettings settings;
    std::string note; // empty, or what could not be read and was set to its default
};

// The settings a document holds. Members missing are their defaults, unknown
// members are passed over (a later player's settings); a member of the wrong
// type or out of range is its default and named in the note; a document that
// is no JSON object at all (or larger than any settings could be) gives every
// default and a note.
SettingsRead readSettings(std::string_view document);

// The document of `settings`, every member written, one per line.
std::string writeSettings(const ReaderSettings& settings);

// The volume one step louder or quieter, within 0 to 100.
int louder(int volume);
int quieter(int volume);

// How loud the music plays, from 0 (silent) to 1 (its own level): nothing
// when muted, else the square of the volume's fraction, so that each step of
// the slider sounds about as much quieter as the one before (50 % is some
// 12 dB below the full level, 10 % some 40 dB).
double musicLevel(const ReaderSettings& settings);

// Auto mode. The characters of a page as the reader counts them: its UTF-8
// text's code points, line breaks and spaces left out.
std::size_t pageCharacters(std::string_view utf8);
// How long a page (or a box of a long page) of `characters` characters stays
// before auto mode turns it: a moment to take it in, then `autoDelay`
// milliseconds per character, and never longer than a minute.
int autoTurnDelay(std::size_t characters, int autoDelay);

} // namespace vorn
