#include "reader_marks.h"

#include "text_views.h"

#include <QAccessible>
#include <QLabel>
#include <QWidget>

namespace vorn {
namespace {

QLabel* makeMark(QWidget* owner) {
    auto* mark = new QLabel(owner);
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    mark->hide();
    return mark;
}

void announce(QLabel* mark) {
    QAccessibleEvent event(mark, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace

ReaderMarks::ReaderMarks(QWidget* owner) : QObject(owner) {
    auto_ = makeMark(owner);
    auto_->setText(tr("Auto"));
    auto_->setAccessibleName(tr("Auto mode is on"));
    volume_ = makeMark(owner);
    volumeTimer_.setSingleShot(true);
    volumeTimer_.setInterval(1500);
    connect(&volumeTimer_, &QTimer::timeout, volume_, &QWidget::hide);
}

QString ReaderMarks::volumeText(const ReaderSettings& settings) {
    return settings.musicMuted ? tr("Music muted") : tr("Volume %1 %").arg(settings.musicVolume);
}

void ReaderMarks::place(QRect scene, double scale, int fontPixels) {
    scene_ = scene;
    scale_ = scale;
    for (QLabel* mark : {auto_, volume_}) mark->setFont(gothicFont(fontPixels));
    layOut();
}

void ReaderMarks::setAuto(bool on) {
    if (on) giveMarkLook(auto_, "2px 8px");
    auto_->setVisible(on);
    if (on) auto_->raise();
    announce(auto_);
    layOut();
}

void ReaderMarks::showVolume(const ReaderSettings& settings) {
    giveMarkLook(volume_, "2px 8px");
    volume_->setText(volumeText(settings));
    volume_->setAccessibleName(volume_->text());
    volume_->show();
    volume_->raise();
    layOut();
    announce(volume_);
    volumeTimer_.start();
}

// In the scene's lower-left corner, beside the text box and clear of the
// pictures, the choice box and the notices ("Saved") in the upper-left; the
// volume above the auto mark when both show.
void ReaderMarks::layOut() {
    const int margin = static_cast<int>(8 * scale_);
    int bottom = scene_.bottom() - margin;
    for (QLabel* mark : {auto_, volume_}) {
        // A hidden mark is laid out when it shows: sizing it would look up
        // its font for nothing.
        if (mark->isHidden()) continue;
        mark->adjustSize();
        mark->move(scene_.left() + margin, bottom - mark->height());
        if (mark->isVisible()) bottom -= mark->height() + margin / 2;
    }
}

} // namespace vorn
