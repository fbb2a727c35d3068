#include "qt_speaker.h"

#include <QTextToSpeech>
#include <QVoice>
#include <algorithm>

namespace vorn {

QtSpeaker::QtSpeaker(int rate, QString voice) : voiceName_(std::move(voice)) { setRate(rate); }

QtSpeaker::~QtSpeaker() = default;

void QtSpeaker::setRate(int rate) {
    rate_ = std::clamp(rate, -10, 10);
    if (engine_) engine_->setRate(rate_ / 10.0);
}

QTextToSpeech* QtSpeaker::engine() {
    if (!tried_) {
        tried_ = true;
        // The desktop's default engine; without one installed the list is empty.
        if (!QTextToSpeech::availableEngines().isEmpty()) {
            engine_ = std::make_unique<QTextToSpeech>();
            engine_->setRate(rate_ / 10.0);
        }
    }
    if (!engine_ || engine_->state() == QTextToSpeech::Error) return nullptr;
    return engine_.get();
}

QStringList QtSpeaker::knownVoices() const {
    QStringList names;
    if (engine_ && engine_->state() != QTextToSpeech::Error)
        for (const QVoice& voice : engine_->availableVoices()) names << voice.name();
    return names;
}

bool QtSpeaker::available() {
    QTextToSpeech* tts = engine();
    return tts && !tts->availableLocales().isEmpty();
}

std::optional<QLocale> QtSpeaker::localeFor(SpeechLanguage language, const QList<QLocale>& locales) {
    if (language == SpeechLanguage::Japanese) {
        for (const QLocale& locale : locales)
            if (locale.language() == QLocale::Japanese) return locale;
        return std::nullopt;
    }
    const auto latin = [](const QLocale& locale) { return locale.script() == QLocale::LatinScript; };
    for (const QLocale::Language wanted : {QLocale().language(), QLocale::English})
        for (const QLocale& locale : locales)
            if (locale.language() == wanted && latin(locale)) return locale;
    for (const QLocale& locale : locales)
        if (latin(locale)) return locale;
    return std::nullopt;
}

bool QtSpeaker::hasVoice(SpeechLanguage language) {
    QTextToSpeech* tts = engine();
    return tts && localeFor(language, tts->availableLocales()).has_value();
}

void QtSpeaker::say(const std::string& text, SpeechLanguage language) {
    QTextToSpeech* tts = engine();
    if (!tts) return;
    tts->stop();
    if (const std::optional<QLocale> locale = localeFor(language, tts->availableLocales())) {
        if (tts->locale() != *locale) tts->setLocale(*locale);
        // The reader's voice where it speaks this language; else the language's own.
        if (!voiceName_.isEmpty()) {
            const QList<QVoice> voices = tts->availableVoices();
            const auto chosen =
                std::find_if(voices.begin(), voices.end(), [&](const QVoice& v) { return v.name() == voiceName_; });
            if (chosen != voices.end() && tts->voice() != *chosen) tts->setVoice(*chosen);
        }
    }
    tts->say(QString::fromStdString(text));
}

void QtSpeaker::stop() {
    if (engine_) engine_->stop();
}

} // namespace vorn
