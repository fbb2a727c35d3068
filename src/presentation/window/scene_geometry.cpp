#include "scene_geometry.h"

#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vorn {
namespace {

QRect toQRect(SceneRect r) { return QRect(r.x, r.y, r.width, r.height); }

} // namespace

QRect startRect(SceneElement element) { return toQRect(startSceneRect(element)); }

QRect labelRect(int label) { return toQRect(labelSceneRect(label)); }

SceneElement hitTest(QPoint p, QSize image1Size, QSize image2Size, int offeredCaptions) {
    return elementAt(p.x(), p.y(), image1Size.width(), image1Size.height(), image2Size.width(), image2Size.height(),
                     offeredCaptions);
}

namespace {
SceneTransform centred(QSize widgetSize, double scale) {
    SceneTransform t;
    t.scale = scale;
    t.offset = QPoint(static_cast<int>(std::lround((widgetSize.width() - kSceneSize.width() * scale) / 2)),
                      static_cast<int>(std::lround((widgetSize.height() - kSceneSize.height() * scale) / 2)));
    return t;
}
} // namespace

SceneTransform SceneTransform::fitting(QSize widgetSize, int zoom) { return centred(widgetSize, std::max(1, zoom)); }

SceneTransform SceneTransform::filling(QSize widgetSize) {
    const double scale =
        std::min(widgetSize.width() / double(kSceneSize.width()), widgetSize.height() / double(kSceneSize.height()));
    return centred(widgetSize, scale > 0 ? scale : 1);
}

QRect SceneTransform::toWidget(QRect r) const {
    const auto at = [this](int v) { return static_cast<int>(std::lround(v * scale)); };
    const QPoint topLeft(offset.x() + at(r.left()), offset.y() + at(r.top()));
    const QPoint end(offset.x() + at(r.left() + r.width()), offset.y() + at(r.top() + r.height()));
    return QRect(topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y()));
}

// The scene pixel that toWidget draws over widget pixel `p`: scene pixel v
// covers [lround(v * scale), lround((v + 1) * scale)), so at a fractional
// scale a click on an element's first drawn row lands in the element.
QPoint SceneTransform::toScene(QPoint p) const {
    const QPoint q = p - offset;
    const auto back = [this](int w) { return static_cast<int>(std::ceil((w + 0.5) / scale)) - 1; };
    return QPoint(back(q.x()), back(q.y()));
}

int largestZoomFitting(QSize available) {
    int zoom = 1;
    for (int z = 2; z <= 4; ++z)
        if (kSceneSize.width() * z <= available.width() && kSceneSize.height() * z <= available.height()) zoom = z;
    return zoom;
}

int largestZoomOn(const QScreen* screen) {
    return screen ? largestZoomFitting(screen->availableGeometry().size() - kWindowFrame) : 4;
}

namespace {

// Where the window stood before it went full screen, kept on the window
// itself: the start screen and the game played in it take the same window to
// full screen and back, each with its own key.
constexpr const char* kFrameBefore = "vornFrameBeforeFullScreen"; // the frame's rectangle, title bar and all
constexpr const char* kPlaceBefore = "vornPlaceBeforeFullScreen"; // the window's own, inside it

} // namespace

QPoint placeOnScreen(const QRect& available, std::optional<QPoint> before, QSize frameSize) {
    if (!before) return available.center() - QPoint(frameSize.width() / 2, frameSize.height() / 2);
    const int right = std::max(available.left(), available.right() + 1 - frameSize.width());
    const int bottom = std::max(available.top(), available.bottom() + 1 - frameSize.height());
    return QPoint(std::clamp(before->x(), available.left(), right), std::clamp(before->y(), available.top(), bottom));
}

void setWindowFullScreen(QWidget* window, bool on, int zoom) {
    if (on) {
        // A window not yet on screen has no place of its own to go back to;
        // one full screen already (a game started in the start screen's) keeps its own.
        if (!window->isFullScreen()) {
            const bool placed = window->isVisible();
            window->setProperty(kFrameBefore, placed ? QVariant(window->frameGeometry()) : QVariant());
            window->setProperty(kPlaceBefore, placed ? QVariant(window->geometry()) : QVariant());
        }
        window->setMinimumSize(0, 0);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->showFullScreen();
        // Also where no window manager does it.
        if (window->screen()) window->setGeometry(window->screen()->geometry());
        return;
    }
    window->showNormal();
    const QSize size = kSceneSize * zoom;
    window->setFixedSize(size);
    // Back where it stood: a window manager that follows the window's own
    // geometry while full screen would otherwise leave it in the screen's
    // corner, its title bar off the screen. The window's own area is placed,
    // not its frame, whose title bar the window manager may not have put
    // back yet.
    if (!window->screen()) return;
    const QVariant frameBefore = window->property(kFrameBefore), placeBefore = window->property(kPlaceBefore);
    std::optional<QPoint> before;
    QSize frameExtra = kWindowFrame;
    QPoint inFrame(kWindowFrame.width() / 2, kWindowFrame.height() - kWindowFrame.width() / 2);
    if (frameBefore.isValid() && placeBefore.isValid()) {
        const QRect frame = frameBefore.toRect(), place = placeBefore.toRect();
        before = frame.topLeft();
        frameExtra = frame.size() - place.size();
        inFrame = place.topLeft() - frame.topLeft();
    }
    const QPoint frameAt = placeOnScreen(window->screen()->availableGeometry(), before, size + frameExtra);
    window->setGeometry(QRect(frameAt + inFrame, size));
}

} // namespace vorn
