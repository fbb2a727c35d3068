#pragma once
// The "Settings…" dialog: the music's volume and mute, auto mode's delay,
// whether skipping turns unread pages too, the window's zoom at start and the
// language. It edits a copy of the reader's settings; the window takes them
// when the dialog is accepted. The music's level is heard while the slider
// moves, through `preview`.
//
// A new setting is one more row: a control made in the constructor and put in
// the form with addRow() (its label names it for screen readers too), set
// from the settings there, and read back in settings().

#include "saves/reader_settings.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QSlider;
class QSpinBox;

namespace vorn {

class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    using Preview = std::function<void(const ReaderSettings&)>;
    // `voices`: the names of the voices the speaker knows, offered for the
    // reader to choose among (any other name can be typed).
    SettingsDialog(const ReaderSettings& settings, Preview preview, QWidget* parent, const QStringList& voices = {});

    // The settings as the dialog shows them now.
    ReaderSettings settings() const;

    QSlider* volumeSlider() const { return volume_; }
    QCheckBox* muteBox() const { return mute_; }
    QSpinBox* autoDelayBox() const { return autoDelay_; }
    QCheckBox* skipUnreadBox() const { return skipUnread_; }
    QComboBox* zoomBox() const { return zoom_; }
    QComboBox* languageBox() const { return language_; }
    QCheckBox* selfVoicingBox() const { return selfVoicing_; }
    QSpinBox* speechRateBox() const { return speechRate_; }
    QComboBox* voiceBox() const { return voice_; }

  private:
    // Labels `field` for the eye and for screen readers alike.
    void addRow(const QString& label, QWidget* field, QWidget* accessible = nullptr);
    void changed();

    ReaderSettings original_; // members the dialog shows no control for are kept as they were
    Preview preview_;
    QFormLayout* form_ = nullptr;
    QSlider* volume_ = nullptr;
    QLabel* volumeValue_ = nullptr;
    QCheckBox* mute_ = nullptr;
    QSpinBox* autoDelay_ = nullptr;
    QCheckBox* skipUnread_ = nullptr;
    QComboBox* zoom_ = nullptr;
    QComboBox* language_ = nullptr;
    QCheckBox* selfVoicing_ = nullptr;
    QSpinBox* speechRate_ = nullptr;
    QComboBox* voice_ = nullptr;
};

} // namespace vorn
