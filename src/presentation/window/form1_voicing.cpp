// Self-voicing in the window: the desktop's speaker, the key that turns it on
// and off (kept in the reader's settings), the repeat key, and what the reader
// is told when the desktop cannot speak or has no voice for the page.

#include "form1.h"
#include "qt_speaker.h"

#include <QAccessible>
#include <QLabel>
#include <iostream>

namespace vorn {

void Form1::setUpVoicing() {
    const ReaderSettings& settings = readerSettings();
    setSpeaker(std::make_unique<QtSpeaker>(settings.speechRate, QString::fromStdString(settings.voice)));
}

void Form1::setSpeaker(std::unique_ptr<Speaker> speaker) {
    const bool on = voicing_ && voicing_->on();
    if (voicing_) voicing_->setOn(false, interpreter_);
    voicing_ = std::make_unique<SelfVoicing>(*speaker, [this](VoicingNotice notice) { tellVoicing(notice); });
    speaker_ = std::move(speaker);
    // The desktop's engine starts on a thread of its own; once it has, the
    // reader hears what waited, or is told that it cannot speak.
    if (auto* desktop = dynamic_cast<QtSpeaker*>(speaker_.get()))
        desktop->setOnSettled([this] { voicing_->speakerSettled(interpreter_); });
    if (on) voicing_->setOn(true, interpreter_);
}

void Form1::toggleVoicing() {
    const bool on = !voicing_->on();
    showNotice(on ? tr("Self-voicing on") : tr("Self-voicing off"));
    voicing_->setOn(on, interpreter_); // a notice that it cannot speak replaces the one above
    ReaderSettings settings = readerSettings();
    settings.selfVoicing = on;
    changeSettings(settings);
}

void Form1::repeatSpeech() { voicing_->repeat(interpreter_); }

void Form1::applySpeechSettings(const ReaderSettings& settings) {
    if (auto* desktop = dynamic_cast<QtSpeaker*>(speaker_.get())) {
        desktop->setRate(settings.speechRate);
        desktop->setVoice(QString::fromStdString(settings.voice));
    }
}

void Form1::tellVoicing(VoicingNotice notice) {
    QString words;
    switch (notice) {
    case VoicingNotice::SpeechUnavailable:
        words = tr("Speech is not available: no speech service answers. The game plays on silent.");
        break;
    case VoicingNotice::NoJapaneseVoice:
        words = tr("No Japanese voice is installed: another voice reads the Japanese text.");
        break;
    case VoicingNotice::NoLatinVoice:
        words = tr("No voice for this text's language is installed: another voice reads it.");
        break;
    }
    std::cerr << "vorn: " << words.toStdString() << std::endl;
    showNotice(words, 6000);
    // A screen reader, which may be all the reader has without speech, hears it as an alert.
    notice_->setAccessibleName(words);
    QAccessibleEvent alert(notice_, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace vorn
