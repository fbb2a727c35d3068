// Saving and loading in the window: F5 and F9, the "Save…" and "Load…"
// dialogs, and the place kept when the reader closes the window in the middle
// of a game, offered again the next time the game opens.

#include "form1.h"
#include "presentation/language/language.h"
#include "slot_dialog.h"
#include "text_views.h"

#include <QBuffer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <iostream>

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
    stopFastForward();
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
    stopFastForward();
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
    stopFastForward();
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
        showNotice(tr("Loaded: %1").arg(SlotDialog::displayName(slot)));
    });
}

// At the start: a place kept from the last close is offered (or, with
// --continue, taken at once). False when the game starts from its beginning.
bool Form1::goOnFromKeptPlace() {
    const std::string slot = saves().ownSlot(kContinueSlot, false);
    const std::optional<SlotSummary> kept = saves().find(slot);
    if (!kept) {
        if (continueAtOnce_) std::cerr << "vorn: no place has been kept for this game; it starts from the beginning\n";
        return false;
    }
    const QString fromTheStart = tr("The game starts from the beginning.");
    if (!kept->problem.empty()) {
        presentMessage_("VORN",
                        tr("The place kept when this game was last closed cannot be gone on from: %1")
                                .arg(withVisibleControls(translated(kept->problem))) +
                            "\n\n" + fromTheStart,
                        false);
        return false;
    }
    // The kept place is shown before the question, so that the reader sees
    // the game's own scene behind it and where it would go on from.
    const std::optional<Snapshot> start = interpreter_.snapshot();
    if (!start) return false; // in the middle of a run, where nothing is loaded
    const Message why = saves().load(slot);
    if (!why.empty()) {
        presentMessage_("VORN", withVisibleControls(translated(why)) + "\n\n" + fromTheStart, true);
        return false;
    }
    if (continueAtOnce_) return true;
    waitUntilPlaced();
    if (finished_) return true; // closed meanwhile: nothing more to play
    QString question = tr("Go on from where you left this game?");
    if (!kept->firstLine.empty())
        question +=
            "\n\n\u201c" + withVisibleControls(QString::fromStdString(kept->firstLine).simplified()) + "\u201d";
    if (presentQuestion_(question, tr("Go on"), tr("Start anew"))) return true;
    // Back to the game as it stood before the kept place was shown.
    const Message notBack = interpreter_.restore(*start, interpreter_.stream().contents());
    if (notBack.empty()) return false;
    presentMessage_("VORN",
                    tr("The game cannot start from the beginning: %1\n\nIt goes on from where you left it.")
                        .arg(withVisibleControls(translated(notBack))),
                    true);
    return true;
}

// A window just shown is placed by the window manager a moment later; a
// dialog centred over it before then lands where the window was not. The
// reader's input waits meanwhile, and at most a second.
void Form1::waitUntilPlaced() {
    QWindow* shown = window()->windowHandle();
    if (!isVisible() || !shown || shown->isExposed()) return;
    QEventLoop loop;
    QTimer enough;
    enough.setSingleShot(true);
    connect(&enough, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer check; // the window has no signal of its own for its first exposure
    connect(&check, &QTimer::timeout, &loop, [&] {
        if (shown->isExposed()) loop.quit();
    });
    enough.start(1000);
    check.start(10);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// At a close by the reader: the place is kept to go on from next time, unless
// the story has reached its end (then there is none) or nothing has been
// played since the window opened (then the kept place stays as it was).
std::string Form1::keepPlaceToGoOn() {
    if (!interpreter_.stream().isOpen() || interpreter_.running()) return "";
    // Only the game's own kept place is written or deleted, never one of
    // another game or version kept under the same name.
    const std::string slot = saves().ownSlot(kContinueSlot, true);
    if (interpreter_.stream().atEnd()) return translated(saves().remove(slot)).toStdString();
    const std::optional<Snapshot> now = interpreter_.snapshot();
    if (!now || now == startPlace_) return "";
    closeBacklog();
    const Message why = saves().save(slot, scenePicture().toStdString());
    if (why.empty()) return "";
    return tr("Your place in the game could not be kept for next time: %1")
        .arg(translated(why))
        .toStdString();
}

// A small picture of the scene as the reader sees it, without the notice.
QByteArray Form1::scenePicture() {
    const bool noticeShown = notice_->isVisible();
    notice_->hide();
    const QImage scene =
        grab(transform_.scene()).toImage().scaled(kSceneSize / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    notice_->setVisible(noticeShown);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    scene.save(&buffer, "PNG");
    return png;
}

void Form1::showNotice(const QString& text) {
    notice_->setFont(gothicFont(fontPixels()));
    notice_->setText(text);
    notice_->adjustSize();
    const QRect scene = transform_.scene();
    notice_->move(scene.topLeft() + QPoint(8, 8) * transform_.scale);
    notice_->show();
    notice_->raise();
    noticeTimer_.start();
}

} // namespace vorn
