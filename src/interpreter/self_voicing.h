#pragma once
// Self-voicing: the player reads each new page and the options it offers
// aloud. What is said, in which language, and when, are decided here, once for
// every front end; the speaking itself is behind the Speaker interface (Qt
// TextToSpeech in the window, the browser's speechSynthesis in the page, a
// recorder in the tests).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class Interpreter;

// The language a text is read in: Japanese as soon as it holds kana or kanji,
// else the Latin letters of English and its neighbours.
enum class SpeechLanguage { Latin, Japanese };
SpeechLanguage speechLanguage(std::string_view utf8);
// The language's tag for a voice list: "ja" or "en".
const char* languageTag(SpeechLanguage language);

// The options a click or a key can take now, 1 to 4 in order: those among the
// captions offered whose option the waiting menu takes.
std::vector<int> offeredOptions(const Interpreter& game);

// What is said of the screen as it waits: the page's text, its line breaks as
// new lines, then one line "N: caption" for each offered option, in order.
// Empty when the screen shows neither.
std::string spokenScreen(const Interpreter& game);

class Speaker {
  public:
    virtual ~Speaker() = default;
    // A speech engine is there to speak with. A speaker whose engine is still
    // starting answers true (and keeps what it is asked to say until it can),
    // and calls SelfVoicing::speakerSettled once it knows.
    virtual bool available() = 0;
    // The engine has a voice for `language` (true while not yet known).
    virtual bool hasVoice(SpeechLanguage language) = 0;
    // Says `text` (UTF-8) in a voice for `language`, cutting off what was being said.
    virtual void say(const std::string& text, SpeechLanguage language) = 0;
    virtual void stop() = 0;
};

// What the reader is told, once each, in the player's language.
enum class VoicingNotice {
    SpeechUnavailable, // no speech engine answers: the game plays on silent
    NoJapaneseVoice,   // a Japanese page, and no Japanese voice: another reads it
    NoLatinVoice,      // a page in Latin letters, and no voice for them
};

class SelfVoicing {
  public:
    using Notify = std::function<void(VoicingNotice)>;
    SelfVoicing(Speaker& speaker, Notify notify);

    bool on() const { return on_; }
    // Turned on, it says the screen as it stands; turned off, it falls silent.
    void setOn(bool on, const Interpreter& game);
    // After every event the reader gave: a new screen (a page turned, a menu
    // offered, an option taken, a game loaded) cuts off what was being said
    // and, while on, is said in its turn.
    void screenShown(const Interpreter& game);
    // Says the screen again from its start, while on.
    void repeat(const Interpreter& game);
    // The speaker has learnt whether it can speak, and with which voices: the
    // reader is told now what could not be known when the screen was said.
    void speakerSettled(const Interpreter& game);

  private:
    void speak(const Interpreter& game);
    void tell(VoicingNotice notice);

    Speaker& speaker_;
    Notify notify_;
    bool on_ = false;
    unsigned long long seenScreen_ = 0; // the screen's change count when last looked at
    bool speaking_ = false;
    unsigned told_ = 0; // the notices given, one bit each
};

} // namespace vorn
