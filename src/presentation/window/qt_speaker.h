#pragma once
// The window's speaker: Qt TextToSpeech, through the desktop's speech service
// (speech-dispatcher on Debian), with its voices. The engine is made at the
// first use, so a reader who never turns self-voicing on never starts it; a
// desktop without an engine or a voice leaves the speaker unavailable, and the
// game plays on silent.

#include "interpreter/self_voicing.h"

#include <QLocale>
#include <QString>
#include <memory>
#include <optional>

class QTextToSpeech;

namespace vorn {

class QtSpeaker : public Speaker {
  public:
    // `rate` -10 (slowest) to 10 (fastest); `voice` a voice's name, or empty
    // for the chosen language's own.
    QtSpeaker(int rate, QString voice);
    ~QtSpeaker() override;

    void setRate(int rate);
    void setVoice(const QString& voice) { voiceName_ = voice; }
    // The names of the voices of the engine's language, once the engine is
    // made (making it asks the speech service for every voice, which can
    // take seconds); none before.
    QStringList knownVoices() const;

    bool available() override;
    bool hasVoice(SpeechLanguage language) override;
    void say(const std::string& text, SpeechLanguage language) override;
    void stop() override;

    // The locale that reads `language` among those of the engine: for
    // Japanese a Japanese one; for Latin letters the player's language where
    // it writes with them, else English, else any that writes with them.
    static std::optional<QLocale> localeFor(SpeechLanguage language, const QList<QLocale>& locales);

  private:
    QTextToSpeech* engine(); // null when no engine could be made

    std::unique_ptr<QTextToSpeech> engine_;
    bool tried_ = false;
    int rate_ = 0;
    QString voiceName_;
};

} // namespace vorn
