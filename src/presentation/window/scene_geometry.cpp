#include "scene_geometry.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

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

void setWindowFullScreen(QWidget* window, bool on, int zoom) {
    if (on) {
        window->setMinimumSize(0, 0);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->showFullScreen();
        // Also where no window manager does it.
        if (window->screen()) window->setGeometry(window->screen()->geometry());
    } else {
        window->showNormal();
        window->setFixedSize(kSceneSize * zoom);
    }
}

} // namespace vorn
