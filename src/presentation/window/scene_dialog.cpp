#include "scene_dialog.h"

#include <QEvent>
#include <QWidget>
#include <cmath>

namespace vorn {

QFont scaledFont(QFont font, double scale) {
    if (font.pixelSize() > 0)
        font.setPixelSize(static_cast<int>(std::lround(font.pixelSize() * scale)));
    else
        font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

CentredOver::CentredOver(QWidget& dialog, QWidget& owner, std::function<QRect()> area)
    : dialog_(&dialog), owner_(&owner), window_(owner.window()), area_(std::move(area)) {
    dialog.installEventFilter(this);
    window_->installEventFilter(this);
    if (dialog.isVisible()) centre();
}

CentredOver::~CentredOver() {
    if (dialog_) dialog_->removeEventFilter(this);
    if (window_) window_->removeEventFilter(this);
}

QPoint CentredOver::place() const {
    const QRect area = area_();
    const QPoint middle = owner_->mapToGlobal(area.center());
    // The dialog's frame is taken to be as large as the window's until the
    // window manager has framed the dialog itself.
    QSize frame = dialog_->frameGeometry().size();
    if (!dialog_->isVisible() || frame == dialog_->size())
        frame = dialog_->size() + (window_->frameGeometry().size() - window_->size());
    return middle - QPoint(frame.width() / 2, frame.height() / 2);
}

void CentredOver::centre() {
    if (!dialog_ || !owner_ || !window_) return;
    dialog_->move(place());
}

bool CentredOver::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == dialog_ && (type == QEvent::Show || type == QEvent::Resize))
        centre();
    else if (watched == window_ && (type == QEvent::Move || type == QEvent::Resize) && dialog_ && dialog_->isVisible())
        centre();
    return false;
}

} // namespace vorn
