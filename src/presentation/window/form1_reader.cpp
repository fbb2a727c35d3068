// The reader's settings in the window: the "Settings…" dialog, the music's
// volume keys and auto mode. The rules (the level a volume gives, how long a
// page waits) are the core's, in saves/reader_settings.h.

#include "form1.h"
#include "interpreter/message.h"
#include "reader_marks.h"
#include "qt_speaker.h"
#include "settings_dialog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <iostream>

namespace vorn {

void Form1::useSettings(ReaderSettingsKeeper& keeper) {
    settings_ = &keeper;
    music_.setLevel(musicLevel(keeper.settings()));
    applySpeechSettings(keeper.settings());
}

void Form1::changeSettings(const ReaderSettings& settings) {
    music_.setLevel(musicLevel(settings));
    applySpeechSettings(settings);
    if (voicing_->on() != settings.selfVoicing) voicing_->setOn(settings.selfVoicing, interpreter_);
    if (const std::string why = settings_->change(settings); !why.empty())
        std::cerr << "vorn: the settings are not kept for the next start: " << escapeControls(why) << std::endl;
}

void Form1::setSkipUnread(bool skipUnread) {
    ReaderSettings settings = readerSettings();
    settings.skipUnread = skipUnread;
    changeSettings(settings);
}

void Form1::openSettings() {
    if (finished_ || interpreter_.running()) return;
    stopSkipping();
    closeBacklog();
    const auto* desktop = dynamic_cast<const QtSpeaker*>(speaker_.get());
    SettingsDialog dialog(
        readerSettings(), [this](const ReaderSettings& shown) { music_.setLevel(musicLevel(shown)); }, this,
        desktop ? desktop->knownVoices() : QStringList());
    if (execOverScene(dialog) == QDialog::Accepted)
        changeSettings(dialog.settings());
    else
        music_.setLevel(musicLevel(readerSettings())); // as it was before the slider moved
}

// A key that changes the volume also unmutes: the reader wants to hear the change.
void Form1::changeVolumeByKey(KeyAction action) {
    ReaderSettings settings = readerSettings();
    switch (action) {
    case KeyAction::ToggleMute: settings.musicMuted = !settings.musicMuted; break;
    case KeyAction::VolumeDown:
        settings.musicVolume = quieter(settings.musicVolume);
        settings.musicMuted = false;
        break;
    case KeyAction::VolumeUp:
        settings.musicVolume = louder(settings.musicVolume);
        settings.musicMuted = false;
        break;
    default: return;
    }
    changeSettings(settings);
    marks_->showVolume(settings);
}

void Form1::setAutoMode(bool on) {
    autoMode_ = on;
    marks_->setAuto(on);
    autoTurn_.stop();
    scheduleAutoTurn();
}

// Auto mode waits on a page that a click would turn. At a menu it waits for
// the reader's choice and starts again on the page the choice brings, as it
// stays on across choices. The box in view waits for its own share of the
// page's characters.
void Form1::scheduleAutoTurn() {
    if (!autoMode_ || finished_ || autoTurn_.isActive()) return;
    if (interpreter_.running() || !interpreter_.textClickPlaysOn()) return;
    std::size_t characters = pageCharacters(text1_->toPlainText().toStdString());
    const QScrollBar* lines = text1_->verticalScrollBar();
    const int total = lines->maximum() + lines->pageStep();
    if (lines->maximum() > 0 && total > 0)
        characters = characters * static_cast<std::size_t>(lines->pageStep()) / static_cast<std::size_t>(total);
    autoTurn_.start(autoTurnDelay(characters, readerSettings().autoDelay));
}

void Form1::autoTurn() {
    if (!autoMode_ || finished_) return;
    // Something over the story (a dialog, the backlog, the pop-up menu): the
    // page waits for it to go, then turns.
    constexpr int kLookAgainMs = 500;
    if (backlog_->isVisible() || QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
        interpreter_.running()) {
        autoTurn_.start(kLookAgainMs);
        return;
    }
    if (!interpreter_.textClickPlaysOn()) return; // a menu waits for the reader
    readOn();
}

} // namespace vorn
