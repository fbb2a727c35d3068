#include "settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vorn {
namespace {

constexpr int kLargestOfferedZoom = 4; // as the window's own zoom keys go

} // namespace

SettingsDialog::SettingsDialog(const ReaderSettings& settings, Preview preview, QWidget* parent,
                               const QStringList& voices)
    : QDialog(parent), original_(settings), preview_(std::move(preview)) {
    setWindowTitle(tr("Settings"));
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    layout->addLayout(form_);

    // Music: the slider with its value beside it, and mute.
    volume_ = new QSlider(Qt::Horizontal, this);
    volume_->setRange(0, ReaderSettings::kMaxVolume);
    volume_->setSingleStep(1);
    volume_->setPageStep(ReaderSettings::kVolumeStep);
    volume_->setValue(settings.musicVolume);
    volumeValue_ = new QLabel(this);
    volumeValue_->setMinimumWidth(volumeValue_->fontMetrics().horizontalAdvance(tr("%1 %").arg(100)));
    auto* volumeRow = new QWidget(this);
    auto* volumeLayout = new QHBoxLayout(volumeRow);
    volumeLayout->setContentsMargins(0, 0, 0, 0);
    volumeLayout->addWidget(volume_, 1);
    volumeLayout->addWidget(volumeValue_);
    addRow(tr("Music volume"), volumeRow, volume_);

    mute_ = new QCheckBox(tr("Mute the music"), this);
    mute_->setChecked(settings.musicMuted);
    form_->addRow(QString(), mute_);

    autoDelay_ = new QSpinBox(this);
    autoDelay_->setRange(ReaderSettings::kMinAutoDelay, ReaderSettings::kMaxAutoDelay);
    autoDelay_->setSingleStep(10);
    autoDelay_->setSuffix(tr(" ms per character"));
    autoDelay_->setValue(settings.autoDelay);
    addRow(tr("Auto mode waits"), autoDelay_);

    skipUnread_ = new QCheckBox(tr("Skipping turns unread pages too"), this);
    skipUnread_->setChecked(settings.skipUnread);
    form_->addRow(QString(), skipUnread_);

    zoom_ = new QComboBox(this);
    zoom_->addItem(tr("As large as the screen allows"), 0);
    for (int zoom = 1; zoom <= kLargestOfferedZoom; ++zoom) zoom_->addItem(tr("%1 \u00d7").arg(zoom), zoom);
    zoom_->setCurrentIndex(std::max(0, zoom_->findData(std::min(settings.zoom, kLargestOfferedZoom))));
    addRow(tr("Window size at start"), zoom_);

    // Each language by its own name, as a reader who cannot read the other finds it.
    language_ = new QComboBox(this);
    language_->addItem(tr("The desktop's"), QString());
    language_->addItem(QStringLiteral("English"), QStringLiteral("en"));
    language_->addItem(QStringLiteral("\u65e5\u672c\u8a9e"), QStringLiteral("ja"));
    language_->setCurrentIndex(std::max(0, language_->findData(QString::fromStdString(settings.language))));
    addRow(tr("Language (from the next start)"), language_);

    // Self-voicing (V): the player reads each page and its options aloud.
    selfVoicing_ = new QCheckBox(tr("Read each page aloud (self-voicing)"), this);
    selfVoicing_->setChecked(settings.selfVoicing);
    form_->addRow(QString(), selfVoicing_);

    speechRate_ = new QSpinBox(this);
    speechRate_->setRange(ReaderSettings::kMinSpeechRate, ReaderSettings::kMaxSpeechRate);
    speechRate_->setValue(settings.speechRate);
    speechRate_->setToolTip(tr("From -10, the slowest, to 10, the fastest; 0 is the voice's own rate"));
    addRow(tr("Speech rate"), speechRate_);

    // The voice by name; empty, one for the page's language.
    voice_ = new QComboBox(this);
    voice_->setEditable(true);
    voice_->addItem(tr("One for the page's language"), QString());
    for (const QString& name : voices) voice_->addItem(name, name);
    const QString voice = QString::fromStdString(settings.voice);
    if (!voice.isEmpty() && voice_->findData(voice) < 0) voice_->addItem(voice, voice);
    voice_->setCurrentIndex(std::max(0, voice_->findData(voice)));
    addRow(tr("Voice"), voice_);

    // The gamepad's mapping, named: it is the same for every pad, so nothing to set.
    auto* pad = new QLabel(tr("Buttons by their place, as SDL maps the pad: south reads on or chooses, east "
                              "steps back, west the backlog, north and Start the menu, Select a quick save, "
                              "the left shoulder skips while held, the right one auto mode."),
                           this);
    pad->setWordWrap(true);
    pad->setMaximumWidth(fontMetrics().averageCharWidth() * 48);
    addRow(tr("Gamepad"), pad);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(volume_, &QSlider::valueChanged, this, [this] { changed(); });
    connect(mute_, &QCheckBox::toggled, this, [this] { changed(); });
    volumeValue_->setText(tr("%1 %").arg(volume_->value()));
    volume_->setAccessibleDescription(volumeValue_->text());
    volume_->setFocus();
}

void SettingsDialog::addRow(const QString& label, QWidget* field, QWidget* accessible) {
    auto* name = new QLabel(label, this);
    name->setBuddy(accessible ? accessible : field);
    (accessible ? accessible : field)->setAccessibleName(label);
    form_->addRow(name, field);
}

void SettingsDialog::changed() {
    volumeValue_->setText(tr("%1 %").arg(volume_->value()));
    volume_->setAccessibleDescription(volumeValue_->text());
    if (preview_) preview_(settings());
}

ReaderSettings SettingsDialog::settings() const {
    ReaderSettings s = original_;
    s.musicVolume = volume_->value();
    s.musicMuted = mute_->isChecked();
    s.autoDelay = autoDelay_->value();
    s.skipUnread = skipUnread_->isChecked();
    s.zoom = zoom_->currentData().toInt();
    s.language = language_->currentData().toString().toStdString();
    s.selfVoicing = selfVoicing_->isChecked();
    s.speechRate = speechRate_->value();
    // A name typed in is taken as it stands; the first entry means none.
    const QString typed = voice_->currentText().trimmed();
    s.voice = voice_->currentIndex() == 0 && typed == voice_->itemText(0) ? std::string() : typed.toStdString();
    return s;
}

} // namespace vorn
