#include "qt_speaker.h"

#include <QTextToSpeech>
#include <QThread>
#include <QVoice>
#include <algorithm>

namespace vorn {

namespace {

// The desktop's default engine.
class DesktopEngine : public SpeechEngine {
  public:
    QList<QLocale> locales() override {
        return tts_.state() == QTextToSpeech::Error ? QList<QLocale>() : tts_.availableLocales();
    }
    QStringList voices() override {
        QStringList names;
        if (tts_.state() != QTextToSpeech::Error)
            for (const QVoice& voice : tts_.availableVoices()) names << voice.name();
        return names;
    }
    void say(const QString& text, const std::optional<QLocale>& locale, const QString& voice) override {
        if (tts_.state() == QTextToSpeech::Error) return;
        tts_.stop();
        if (locale) {
            if (tts_.locale() != *locale) tts_.setLocale(*locale);
            // The reader's voice where it speaks this language; else the language's own.
            if (!voice.isEmpty()) {
                const QList<QVoice> voices = tts_.availableVoices();
                const auto chosen =
                    std::find_if(voices.begin(), voices.end(), [&](const QVoice& v) { return v.name() == voice; });
                if (chosen != voices.end() && tts_.voice() != *chosen) tts_.setVoice(*chosen);
            }
        }
        tts_.say(text);
    }
    void stop() override { tts_.stop(); }
    void setRate(double rate) override { tts_.setRate(rate); }

  private:
    QTextToSpeech tts_;
};

std::unique_ptr<SpeechEngine> makeDesktopEngine() {
    // Without an engine installed the list is empty.
    if (QTextToSpeech::availableEngines().isEmpty()) return nullptr;
    return std::make_unique<DesktopEngine>();
}

} // namespace

struct QtSpeaker::Worker : QObject {
    std::unique_ptr<SpeechEngine> engine; // made, used and destroyed on the engine's thread
};

QtSpeaker::QtSpeaker(int rate, QString voice, SpeechEngineMaker maker)
    : maker_(maker ? std::move(maker) : SpeechEngineMaker(makeDesktopEngine)), voiceName_(std::move(voice)) {
    setRate(rate);
}

QtSpeaker::~QtSpeaker() {
    if (!thread_) return;
    // The engine goes on its own thread (a start still under way ends first).
    QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->engine.reset(); }, Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
    delete worker_;
    delete thread_;
}

void QtSpeaker::start() {
    if (state_ != State::NotStarted) return;
    state_ = State::Starting;
    thread_ = new QThread;
    thread_->setObjectName("speech");
    worker_ = new Worker;
    worker_->moveToThread(thread_);
    thread_->start();
    const double rate = rate_ / 10.0;
    QMetaObject::invokeMethod(
        worker_,
        [this, worker = worker_, maker = maker_, rate] {
            worker->engine = maker();
            QList<QLocale> locales;
            QStringList voices;
            if (worker->engine) {
                locales = worker->engine->locales();
                voices = worker->engine->voices();
                worker->engine->setRate(rate);
            }
            const bool ready = !locales.isEmpty();
            if (!ready) worker->engine.reset();
            QMetaObject::invokeMethod(
                &window_, [this, ready, locales, voices] { started(ready, locales, voices); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void QtSpeaker::started(bool ready, const QList<QLocale>& locales, const QStringList& voices) {
    state_ = ready ? State::Ready : State::Failed;
    locales_ = locales;
    voices_ = voices;
    std::optional<Said> waiting;
    waiting.swap(waiting_);
    if (ready && waiting) send(*waiting);
    if (onSettled_) onSettled_();
}

void QtSpeaker::onEngine(std::function<void(SpeechEngine&)> job) {
    QMetaObject::invokeMethod(
        worker_,
        [worker = worker_, job = std::move(job)] {
            if (worker->engine) job(*worker->engine);
        },
        Qt::QueuedConnection);
}

void QtSpeaker::setRate(int rate) {
    rate_ = std::clamp(rate, -10, 10);
    if (state_ == State::Starting || state_ == State::Ready)
        onEngine([rate = rate_ / 10.0](SpeechEngine& engine) { engine.setRate(rate); });
}

bool QtSpeaker::available() {
    start();
    return state_ != State::Failed; // not yet known counts as able
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
    start();
    if (state_ != State::Ready) return state_ == State::Starting;
    return localeFor(language, locales_).has_value();
}

void QtSpeaker::say(const std::string& text, SpeechLanguage language) {
    start();
    if (state_ == State::Starting) waiting_ = Said{text, language}; // only the latest screen waits
    else if (state_ == State::Ready) send(Said{text, language});
}

void QtSpeaker::send(const Said& said) {
    onEngine([text = QString::fromStdString(said.text), locale = localeFor(said.language, locales_),
              voice = voiceName_](SpeechEngine& engine) { engine.say(text, locale, voice); });
}

void QtSpeaker::stop() {
    waiting_.reset();
    if (state_ == State::Ready) onEngine([](SpeechEngine& engine) { engine.stop(); });
}

} // namespace vorn
