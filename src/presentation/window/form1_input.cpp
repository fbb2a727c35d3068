#include "form1.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace vorn {

void Form1::resume() {
    guarded([this] { interpreter_.resume(); });
}

void Form1::chooseOption(int option) {
    guarded([this, option] { interpreter_.chooseOption(option); });
}

void Form1::backgroundPressed(Qt::MouseButtons buttons, QPoint globalPos) {
    if (buttons != Qt::RightButton) return; // the right button alone
    menu_->exec(globalPos);
}

void Form1::newGame() {
    guarded([this] { shell_.newGame(); });
}

void Form1::quit() { close(); }

void Form1::showAbout() { shell_.showCredits(); }

void Form1::perform(KeyAction action) {
    if (backlog_->isVisible()) {
        switch (action) {
        case KeyAction::ToggleBacklog:
        case KeyAction::CloseBacklog: closeBacklog(); return;
        case KeyAction::ScrollUp: backlog_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepSub); return;
        case KeyAction::ScrollDown: backlog_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepAdd); return;
        case KeyAction::Quit:
        case KeyAction::ToggleFullScreen:
        case KeyAction::ZoomIn:
        case KeyAction::ZoomOut:
        case KeyAction::CopyPage: break;
        case KeyAction::QuickSave:
        case KeyAction::QuickLoad:
        case KeyAction::SaveDialog:
        case KeyAction::LoadDialog: closeBacklog(); break;
        default: return; // the backlog only shows pages; the story waits behind it
        }
    }
    switch (action) {
    case KeyAction::None:
    case KeyAction::CloseBacklog: break;
    case KeyAction::ClickText: resume(); break;
    case KeyAction::ClickOption1: chooseOption(1); break;
    case KeyAction::ClickOption2: chooseOption(2); break;
    case KeyAction::ClickOption3: chooseOption(3); break;
    case KeyAction::ClickOption4: chooseOption(4); break;
    case KeyAction::ScrollUp: text1_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepSub); break;
    case KeyAction::ScrollDown: text1_->verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepAdd); break;
    case KeyAction::ToggleBacklog: openBacklog(); break;
    case KeyAction::CopyPage: QGuiApplication::clipboard()->setText(text1_->toPlainText()); break;
    case KeyAction::ZoomIn: setZoom(zoom_ + 1); break;
    case KeyAction::ZoomOut: setZoom(zoom_ - 1); break;
    case KeyAction::ToggleFullScreen: setFullScreen(!fullScreen_); break;
    case KeyAction::PopupMenu: {
        const QPoint at = rect().contains(mapFromGlobal(QCursor::pos())) ? QCursor::pos()
                                                                        : mapToGlobal(transform_.offset);
        backgroundPressed(Qt::RightButton, at);
        break;
    }
    case KeyAction::Quit: quit(); break;
    case KeyAction::QuickSave: quickSave(); break;
    case KeyAction::QuickLoad: quickLoad(); break;
    case KeyAction::SaveDialog: openSaveDialog(); break;
    case KeyAction::LoadDialog: openLoadDialog(); break;
    }
}

void Form1::mousePressEvent(QMouseEvent* event) {
    if (backlog_->isVisible()) return;
    const QPoint at = event->position().toPoint();
    const SceneElement hit = hitTest(transform_.toScene(at), image1Size_, image2Size_, offeredCaptions());
    pressedLabel_ = 0;
    switch (hit) {
    case SceneElement::Label1: pressedLabel_ = 1; break;
    case SceneElement::Label2: pressedLabel_ = 2; break;
    case SceneElement::Label3: pressedLabel_ = 3; break;
    case SceneElement::Label4: pressedLabel_ = 4; break;
    case SceneElement::Background:
        if (transform_.toWidget(QRect(QPoint(0, 0), kSceneSize)).contains(at))
            backgroundPressed(event->buttons(), event->globalPosition().toPoint());
        break;
    default: break;
    }
    if (event->button() != Qt::LeftButton) pressedLabel_ = 0;
}

int Form1::offeredCaptions() const {
    return interpreter_.menuWaiting() ? valueOr0(interpreter_.NumCmds) : 4;
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    const int label = pressedLabel_;
    pressedLabel_ = 0;
    if (event->button() != Qt::LeftButton || label == 0) return;
    const SceneElement hit = hitTest(transform_.toScene(event->position().toPoint()), image1Size_, image2Size_,
                                        offeredCaptions());
    static constexpr SceneElement labels[] = {SceneElement::Label1, SceneElement::Label2, SceneElement::Label3,
                                              SceneElement::Label4};
    if (hit == labels[label - 1]) chooseOption(label); // a click is a press and a release on the same caption
}

void Form1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control) {
        if (!event->isAutoRepeat() && !backlog_->isVisible()) fastForwardDelay_.start();
        return;
    }
    stopFastForward();
    const KeyAction action = keyAction(event->key(), event->modifiers());
    if (action == KeyAction::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    perform(action);
}

void Form1::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control && !event->isAutoRepeat()) stopFastForward();
    QWidget::keyReleaseEvent(event);
}

void Form1::focusOutEvent(QFocusEvent* event) {
    stopFastForward();
    QWidget::focusOutEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && text1_->viewport()->rect().contains(mouse->position().toPoint()))
                resume();
        } else if (event->type() == QEvent::Wheel) {
            // Turning the wheel up at the top of the page opens the backlog.
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->angleDelta().y() > 0 && text1_->verticalScrollBar()->value() == 0) {
                openBacklog();
                return true;
            }
        }
    } else if (watched == backlog_->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
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
