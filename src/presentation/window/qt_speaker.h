#pragma once
// The window's speaker: Qt TextToSpeech, through the desktop's speech service
// (speech-dispatcher on Debian), with its voices. The engine is made at the
// first use, so a reader who never turns self-voicing on never starts it; a
// desktop without an engine or a voice leaves the speaker unavailable, and the
// game plays on silent.
//
// Making the engine asks the speech service for every voice, which takes
// seconds with espeak-ng's thousands of variants. So the engine lives on a
// thread of its own, made there and spoken to by queued calls: the window goes
// on answering keys and painting meanwhile. Until the engine has started the
// speaker counts as able to speak with every voice; what is said meanwhile
// waits, the latest screen only, and a stop drops it. Once the engine has
// started (or failed to), `onSettled` is called on the window's thread, so
// that the reader can be told what could not be known before.

#include "interpreter/self_voicing.h"

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QThread;

namespace vorn {

// What speaks, on the speaker's thread: the desktop's engine, or a test's.
class SpeechEngine {
  public:
    virtual ~SpeechEngine() = default;
    // The languages it has voices for; none when it cannot speak.
    virtual QList<QLocale> locales() = 0;
    // The names of the voices of its current language.
    virtual QStringList voices() = 0;
    // Cuts off what is being said and says `text` in a voice of `locale`
    // (when one was found), the voice named `voice` where it has one.
    virtual void say(const QString& text, const std::optional<QLocale>& locale, const QString& voice) = 0;
    virtual void stop() = 0;
    // -1 (slowest) to 1 (fastest).
    virtual void setRate(double rate) = 0;
};

// Makes the engine, on the speaker's thread; null when the desktop has none.
using SpeechEngineMaker = std::function<std::unique_ptr<SpeechEngine>()>;

class QtSpeaker : public Speaker {
  public:
    // `rate` -10 (slowest) to 10 (fastest); `voice` a voice's name, or empty
    // for the chosen language's own. Without `maker`, the desktop's engine.
    QtSpeaker(int rate, QString voice, SpeechEngineMaker maker = {});
    ~QtSpeaker() override;

    void setRate(int rate);
    void setVoice(const QString& voice) { voiceName_ = voice; }
    // The names of the voices of the engine's language, once the engine has
    // started; none before.
    QStringList knownVoices() const { return voices_; }
    // Called on the window's thread when the engine has started or failed to.
    void setOnSettled(std::function<void()> settled) { onSettled_ = std::move(settled); }
    // The engine is still starting.
    bool starting() const { return state_ == State::Starting; }

    bool available() override;
    bool hasVoice(SpeechLanguage language) override;
    void say(const std::string& text, SpeechLanguage language) override;
    void stop() override;

    // The locale that reads `language` among those of the engine: for
    // Japanese a Japanese one; for Latin letters the player's language where
    // it writes with them, else English, else any that writes with them.
    static std::optional<QLocale> localeFor(SpeechLanguage language, const QList<QLocale>& locales);

  private:
    enum class State { NotStarted, Starting, Ready, Failed };
    struct Said {
        std::string text;
        SpeechLanguage language;
    };
    void start();
    void started(bool ready, const QList<QLocale>& locales, const QStringList& voices);
    void send(const Said& said);
    // Runs `job` on the engine's thread, after the jobs sent before it.
    void onEngine(std::function<void(SpeechEngine&)> job);

    struct Worker; // the engine's thread's side
    SpeechEngineMaker maker_;
    QThread* thread_ = nullptr;
    Worker* worker_ = nullptr;
    QObject window_; // the window's side, to which the engine's thread answers
    State state_ = State::NotStarted;
    QList<QLocale> locales_;
    QStringList voices_;
    std::optional<Said> waiting_; // said while the engine was starting
    std::function<void()> onSettled_;
    int rate_ = 0;
    QString voiceName_;
};

} // namespace vorn
