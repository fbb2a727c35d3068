// Going back into play and skipping what was read, in the window: the keys,
// the wheel and the backlog's pages step back to where the reader waited
// before; Ctrl held and S turn the pages already read. Which place is kept,
// what restoring it shows and which page may be skipped are the
// interpreter's rules; the window only asks and marks where the reader is.

#include "form1.h"

#include "text_views.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWheelEvent>

namespace vorn {

void Form1::stepBack() {
    if (finished_ || interpreter_.running()) return;
    stopSkipping();
    closeBacklog();
    Message why;
    guarded([&] { why = interpreter_.stepBack(); });
    if (finished_) return;
    if (!why.empty()) {
        showNotice(tr("Nothing to go back to"));
        return;
    }
    ++stepsBack_;
    pressedLabel_ = 0;
    updatePlaceMark();
}

void Form1::stepBackTo(std::size_t backlogIndex) {
    if (finished_ || interpreter_.running()) return;
    stopSkipping();
    closeBacklog();
    const std::size_t before = interpreter_.placesBehind();
    Message why;
    guarded([&] { why = interpreter_.stepBackTo(backlogIndex); });
    if (finished_) return;
    if (!why.empty()) {
        showNotice(tr("That page is too far back to go to"));
        return;
    }
    stepsBack_ += static_cast<int>(before - std::min(before, interpreter_.placesBehind()));
    pressedLabel_ = 0;
    updatePlaceMark();
}

void Form1::playedOn() {
    if (stepsBack_ == 0) return;
    stepsBack_ = 0;
    updatePlaceMark();
}

// A mark in the scene's upper-right corner: "back 3" while the reader is back
// in play, "Skip" while pages are being skipped; none while the reader reads on.
void Form1::updatePlaceMark() {
    QString text;
    if (skipping())
        text = tr("Skip");
    else if (stepsBack_ > 0)
        text = tr("back %1").arg(stepsBack_);
    if (text.isEmpty() || finished_) {
        placeMark_->hide();
        return;
    }
    giveMarkLook(placeMark_, "4px 10px");
    placeMark_->setFont(gothicFont(fontPixels()));
    placeMark_->setText(text);
    placeMark_->adjustSize();
    const QRect scene = transform_.scene();
    placeMark_->move(scene.topRight() + QPoint(1, 0) - QPoint(placeMark_->width(), 0) +
                     QPoint(-8, 8) * transform_.scale);
    placeMark_->show();
    placeMark_->raise();
}

// A notch of the wheel upwards at the top of the page steps back one place;
// below the top it scrolls the page, as it always did. A touchpad's small
// turns add up to a notch.
void Form1::wheelTurned(QWheelEvent* event) {
    const int turn = event->angleDelta().y();
    if (turn <= 0 || text1_->verticalScrollBar()->value() != 0) {
        wheelBack_ = 0;
        return;
    }
    wheelBack_ += turn;
    while (wheelBack_ >= 120 && !finished_) {
        wheelBack_ -= 120;
        stepBack();
    }
}

void Form1::wheelEvent(QWheelEvent* event) {
    if (backlog_->isVisible()) return;
    wheelTurned(event);
    event->accept();
}

void Form1::toggleSkip() {
    if (skipping() && !skipWhileHeld_)
        stopSkipping();
    else
        startSkipping(false);
}

// Held: Ctrl turns pages for as long as it is held (a stop at a menu or an
// unread page waits for the reader, and skipping goes on after it while Ctrl
// is still down). Toggled: S turns pages until the first stop.
void Form1::startSkipping(bool whileHeld) {
    if (finished_) return;
    skipWhileHeld_ = whileHeld;
    skipDelay_.stop();
    skipTimer_.start();
    updatePlaceMark();
    skipOnce();
}

void Form1::stopSkipping() {
    skipDelay_.stop();
    const bool wasSkipping = skipping();
    skipTimer_.stop();
    skipWhileHeld_ = false;
    if (wasSkipping && placeMark_) updatePlaceMark();
}

void Form1::skipOnce() {
    if (interpreter_.running()) return;
    bool turned = false;
    guarded([&] { turned = interpreter_.skipStep(readerSettings().skipUnread); });
    if (finished_) return;
    if (turned)
        playedOn();
    else if (!skipWhileHeld_)
        stopSkipping(); // S's skipping ends at the first stop; Ctrl's waits while it is held
}

void Form1::setUpSkipping() {
    skipDelay_.setSingleShot(true);
    skipDelay_.setInterval(kSkipHoldDelay);
    connect(&skipDelay_, &QTimer::timeout, this, [this] { startSkipping(true); });
    skipTimer_.setInterval(50);
    connect(&skipTimer_, &QTimer::timeout, this, [this] { skipOnce(); });

    placeMark_ = new QLabel(this);
    placeMark_->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeMark_->hide();
}

} // namespace vorn
