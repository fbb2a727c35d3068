#include "form1.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <utility>

namespace vorn {

void Form1::resume() {
    autoTurn_.stop(); // the reader turned the page first; the next page starts its own wait
    const bool playsOn = interpreter_.textClickPlaysOn();
    guarded([this] { interpreter_.resume(); });
    if (playsOn) playedOn();
}

// As a pager does: the keys show the hidden rest of a long page first, a box
// at a time, and turn the page once its end is in view.
void Form1::readOn() {
    QScrollBar* lines = text1_->verticalScrollBar();
    if (!restOfPageHidden()) {
        resume();
        return;
    }
    lines->setValue(lines->value() + std::max(1, lines->pageStep())); // one line at least, in a box too low for one
    autoTurn_.stop();
    scheduleAutoTurn(); // the next box waits as long as its own text asks
}

void Form1::chooseOption(int option) {
    const bool playsOn = interpreter_.offersOption(option);
    guarded([this, option] { interpreter_.chooseOption(option); });
    if (playsOn) playedOn();
}

void Form1::backgroundPressed(Qt::MouseButtons buttons, QPoint globalPos) {
    if (buttons != Qt::RightButton) return; // the right button alone
    menu_->exec(globalPos);
}

void Form1::newGame() {
    stopSkipping();
    guarded([this] { shell_.newGame(); });
    playedOn();
}

void Form1::quit() { close(); }

void Form1::showAbout() { shell_.showCredits(); }

void Form1::perform(KeyAction action) {
    if (backlog_->isVisible()) {
        switch (whileBacklogOpen(action)) {
        case BacklogKey::Ignored: return;
        case BacklogKey::ClosesIt: closeBacklog(); return;
        case BacklogKey::ScrollsIt:
            backlog_->verticalScrollBar()->triggerAction(
                action == KeyAction::ScrollUp ? QScrollBar::SliderSingleStepSub : QScrollBar::SliderSingleStepAdd);
            return;
        case BacklogKey::ClosesFirst: closeBacklog(); break;
        case BacklogKey::ActsAsEver: break;
        }
    }
    switch (action) {
    case KeyAction::None:
    case KeyAction::CloseBacklog: break;
    case KeyAction::ReadOn: readOn(); break;
    case KeyAction::ClickOption1: chooseOption(1); break;
    case KeyAction::ClickOption2: chooseOption(2); break;
    case KeyAction::ClickOption3: chooseOption(3); break;
    case KeyAction::ClickOption4: chooseOption(4); break;
    case KeyAction::ScrollUp: text1_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepSub); break;
    case KeyAction::ScrollDown: text1_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepAdd); break;
    case KeyAction::ToggleBacklog: openBacklog(); break;
    case KeyAction::CopyPage: QGuiApplication::clipboard()->setText(text1_->toPlainText()); break;
    case KeyAction::ZoomIn:
        if (zoom_ < largestZoom()) setZoom(zoom_ + 1);
        break;
    case KeyAction::ZoomOut: setZoom(zoom_ - 1); break;
    case KeyAction::ToggleFullScreen: setFullScreen(!fullScreen_); break;
    case KeyAction::PopupMenu: popUpMenuFromKeyboard(); break;
    case KeyAction::Quit: quit(); break;
    case KeyAction::QuickSave: quickSave(); break;
    case KeyAction::QuickLoad: quickLoad(); break;
    case KeyAction::SaveDialog: openSaveDialog(); break;
    case KeyAction::LoadDialog: openLoadDialog(); break;
    case KeyAction::ToggleAuto: setAutoMode(!autoMode_); break;
    case KeyAction::ToggleMute:
    case KeyAction::VolumeDown:
    case KeyAction::VolumeUp: changeVolumeByKey(action); break;
    case KeyAction::OpenSettings: openSettings(); break;
    case KeyAction::StepBack: stepBack(); break;
    case KeyAction::SkipWhileHeld:
        if (!skipping()) skipDelay_.start(); // skipping starts once Ctrl has been held alone a moment
        break;
    case KeyAction::ToggleSkip: toggleSkip(); break;
    case KeyAction::ToggleVoicing: toggleVoicing(); break;
    case KeyAction::RepeatSpeech: repeatSpeech(); break;
    }
}

// Where the mouse would open it: at the pointer while it is over the scene,
// else over the middle of the scene picture.
void Form1::popUpMenuFromKeyboard() {
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    const bool overScene = transform_.scene().contains(pointer);
    const QPoint at = overScene ? pointer : transform_.toWidget(startRect(SceneElement::Image1)).center();
    backgroundPressed(Qt::RightButton, mapToGlobal(at));
}

void Form1::mousePressEvent(QMouseEvent* event) {
    if (backlog_->isVisible()) return;
    stopSkipping();
    const QPoint at = event->position().toPoint();
    pressedLabel_ = event->button() == Qt::LeftButton ? labelAt(at) : 0;
    const bool onBackground =
        hitTest(transform_.toScene(at), image1Size_, image2Size_, offeredCaptions()) == SceneElement::Background;
    if (onBackground && transform_.scene().contains(at))
        backgroundPressed(event->buttons(), event->globalPosition().toPoint());
}

int Form1::offeredCaptions() const { return interpreter_.offeredCaptions(); }

int Form1::labelAt(QPoint widgetPoint) const {
    switch (hitTest(transform_.toScene(widgetPoint), image1Size_, image2Size_, offeredCaptions())) {
    case SceneElement::Label1: return 1;
    case SceneElement::Label2: return 2;
    case SceneElement::Label3: return 3;
    case SceneElement::Label4: return 4;
    default: return 0;
    }
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    const int label = pressedLabel_;
    pressedLabel_ = 0;
    if (event->button() != Qt::LeftButton || label == 0) return;
    if (labelAt(event->position().toPoint()) == label) chooseOption(label); // a press and a release on the same caption
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = event->position().toPoint();
    updateMarkedOption();
    QWidget::mouseMoveEvent(event);
}

void Form1::leaveEvent(QEvent* event) {
    pointer_.reset();
    updateMarkedOption();
    QWidget::leaveEvent(event);
}

// The caption under the pointer is underlined when a click there would take
// its option: the menu waits and offers it, and the backlog does not cover it.
void Form1::updateMarkedOption() {
    int marked = 0;
    if (pointer_ && !backlog_->isVisible()) {
        const int label = labelAt(*pointer_);
        if (interpreter_.offersOption(label)) marked = label;
    }
    if (marked == markedOption_) return;
    for (const int label : {markedOption_, marked})
        if (label != 0) update(transform_.toWidget(labelRect(label)));
    markedOption_ = marked;
}

void Form1::keyPressEvent(QKeyEvent* event) {
    // The Ctrl key itself is pressed with Ctrl held, whatever the platform reports.
    const bool ctrlItself = event->key() == Qt::Key_Control;
    if (ctrlItself && event->isAutoRepeat()) return;
    const KeyAction action =
        keyAction(event->key(), ctrlItself ? event->modifiers() | Qt::ControlModifier : event->modifiers());
    // Any other key ends skipping: a key held with Ctrl is a shortcut, and
    // S toggles it itself.
    if (action != KeyAction::ToggleSkip) stopSkipping();
    if (action == KeyAction::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    perform(action);
}

void Form1::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control && !event->isAutoRepeat() && (skipWhileHeld_ || skipDelay_.isActive()))
        stopSkipping();
    QWidget::keyReleaseEvent(event);
}

void Form1::focusOutEvent(QFocusEvent* event) {
    stopSkipping();
    QWidget::focusOutEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            // A click while skipping stops it, and turns no page of its own.
            pressStoppedSkipping_ = skipping();
            stopSkipping();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const bool stoppedSkipping = std::exchange(pressStoppedSkipping_, false);
            if (mouse->button() == Qt::LeftButton && !stoppedSkipping &&
                text1_->viewport()->rect().contains(mouse->position().toPoint()))
                resume();
        } else if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->angleDelta().y() > 0 && text1_->verticalScrollBar()->value() == 0) {
                wheelTurned(wheel); // at the top of the page the wheel up steps back
                return true;
            }
        }
    } else if (watched == backlog_->viewport()) {
        // A click on a page in the backlog goes back to that page; on the page
        // being read, or with some text selected, it only closes the backlog.
        if (event->type() == QEvent::MouseButtonPress) {
            backlogPress_ = static_cast<QMouseEvent*>(event)->position().toPoint();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = mouse->position().toPoint();
            const bool aClick = mouse->button() == Qt::LeftButton &&
                                (at - backlogPress_).manhattanLength() < QApplication::startDragDistance();
            const std::size_t entry = backlogEntryAt(at);
            if (aClick && entry + 1 < interpreter_.backlog().size())
                stepBackTo(entry);
            else
                closeBacklog();
            return true;
        }
        if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            QScrollBar* bar = backlog_->verticalScrollBar();
            if (wheel->angleDelta().y() < 0 && bar->value() == bar->maximum()) {
                closeBacklog(); // turned down past the end
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vorn
