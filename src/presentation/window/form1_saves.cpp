// Saving and loading in the window: F5 and F9 and the "Save…" and "Load…"
// dialogs. The place kept at a close is in form1_kept_place.cpp.

#include "form1.h"
#include "presentation/language/language.h"
#include "slot_dialog.h"
#include "text_views.h"

#include <QBuffer>
#include <QLabel>
#include <QTimer>

namespace vorn {

Saves& Form1::saves() {
    if (!saves_) {
        store_ =
            std::make_unique<FolderSlotStore>(saveFolder_.isEmpty() ? saveFolder(folder_, std::nullopt) : saveFolder_);
        saves_ = std::make_unique<Saves>(interpreter_, folder_, *store_);
    }
    return *saves_;
}

void Form1::setSaveFolder(const QString& folder) {
    saves_.reset();
    store_.reset();
    saveFolder_ = folder;
}

// F5 and F9 use the game's own quick slot: see Saves::ownSlot().
void Form1::quickSave() {
    if (!finished_) saveTo(saves().ownSlot(kQuickSlot, true));
}

void Form1::quickLoad() {
    if (finished_ || interpreter_.running()) return;
    const std::string slot = saves().ownSlot(kQuickSlot, false);
    if (!saves().find(slot)) {
        presentMessage_("VORN", tr("There is no quick save yet: F5 makes one."), false);
        return;
    }
    loadFrom(slot);
}

void Form1::openSaveDialog() { openSlotDialog(true); }

void Form1::openLoadDialog() { openSlotDialog(false); }

void Form1::openSlotDialog(bool saving) {
    if (finished_ || interpreter_.running()) return;
    stopSkipping();
    closeBacklog();
    SlotDialog dialog(
        saving ? SlotDialog::Purpose::Save : SlotDialog::Purpose::Load, saves(),
        [this](const QString& question, const QString& yes) { return presentQuestion_(question, yes, tr("Cancel")); },
        [this](const QString& message) { presentMessage_("VORN", message, true); }, this, transform_.scale);
    if (execOverScene(dialog) != QDialog::Accepted) return;
    if (saving)
        saveTo(dialog.chosenSlot());
    else
        loadFrom(dialog.chosenSlot());
}

void Form1::saveTo(const std::string& slot) {
    if (finished_) return;
    stopSkipping();
    closeBacklog();
    const Message why = saves().save(slot, scenePicture().toStdString());
    if (!why.empty()) {
        presentMessage_("VORN", translated(why), true); // the game goes on as it was
        return;
    }
    showNotice(tr("Saved: %1").arg(SlotDialog::displayName(slot)));
}

void Form1::loadFrom(const std::string& slot) {
    if (finished_) return;
    stopSkipping();
    closeBacklog();
    // A load that cannot be done changes nothing and is told; only a screen
    // that cannot even be put back as it was ends the game, as a fatal error.
    guarded([&] {
        const Message why = saves().load(slot);
        if (!why.empty()) {
            presentMessage_("VORN", translated(why), true);
            return;
        }
        pressedLabel_ = 0;
        playedOn();
        showNotice(tr("Loaded: %1").arg(SlotDialog::displayName(slot)));
    });
}

// A small picture of the scene as the reader sees it, without the notice and the mark.
QByteArray Form1::scenePicture() {
    const bool noticeShown = notice_->isVisible(), markShown = placeMark_->isVisible();
    notice_->hide();
    placeMark_->hide();
    const QImage scene =
        grab(transform_.scene()).toImage().scaled(kSceneSize / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    notice_->setVisible(noticeShown);
    placeMark_->setVisible(markShown);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    scene.save(&buffer, "PNG");
    return png;
}

void Form1::showNotice(const QString& text, int milliseconds) {
    giveMarkLook(notice_, "4px 10px");
    notice_->setFont(gothicFont(fontPixels()));
    notice_->setText(text);
    notice_->adjustSize();
    const QRect scene = transform_.scene();
    notice_->move(scene.topLeft() + QPoint(8, 8) * transform_.scale);
    notice_->show();
    notice_->raise();
    noticeTimer_.start(milliseconds);
}

} // namespace vorn
