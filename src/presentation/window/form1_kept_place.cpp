// The place kept when the reader closes the window in the middle of a game,
// offered again the next time the game opens.

#include "form1.h"
#include "presentation/language/language.h"
#include "text_views.h"

#include <QEventLoop>
#include <QTimer>
#include <QWindow>
#include <iostream>

namespace vorn {

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
    if (notBack.empty()) {
        interpreter_.forgetPlaces(); // starting anew: the kept place is no place to go back to
        return false;
    }
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

} // namespace vorn
