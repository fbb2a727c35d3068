#include "scene_geometry.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace vorn {
namespace {

int px(int twips) { return static_cast<int>(std::lround(twips / double(kTwipsPerPixel))); }

QRect twipRect(int left, int top, int width, int height) { return QRect(px(left), px(top), px(width), px(height)); }

} // namespace

QRect startRect(SceneElement element) {
    switch (element) {
    case SceneElement::Background: return QRect(QPoint(0, 0), kSceneSize);
    case SceneElement::Image1: return twipRect(1192, 412, 7230, 4455);
    case SceneElement::Image2: return twipRect(7200, 230, 2400, 1515);
    case SceneElement::Label1: return twipRect(7425, 525, 1935, 375);
    case SceneElement::Label2: return twipRect(7420, 770, 1935, 375);
    case SceneElement::Label3: return twipRect(7420, 1000, 1935, 375);
    case SceneElement::Label4: return twipRect(7420, 1260, 1935, 375);
    case SceneElement::Text1: return twipRect(967, 5107, 7680, 968);
    }
    return {};
}

QRect labelRect(int label) {
    static constexpr SceneElement labels[] = {SceneElement::Label1, SceneElement::Label2, SceneElement::Label3,
                                              SceneElement::Label4};
    return startRect(labels[std::clamp(label, 1, 4) - 1]);
}

SceneElement hitTest(QPoint p, QSize image1Size, QSize image2Size, int offeredCaptions) {
    if (startRect(SceneElement::Text1).contains(p)) return SceneElement::Text1;
    // Each caption's rectangle reaches over the upper part of the next one's
    // text. Label1 is drawn in front, but a click belongs to the option whose
    // line it is on, so the lower caption takes the overlap from its top edge
    // down; a caption that offers nothing leaves the overlap to the one above.
    static constexpr SceneElement labels[] = {SceneElement::Label1, SceneElement::Label2, SceneElement::Label3,
                                              SceneElement::Label4};
    for (int n = 4; n >= 1; --n) {
        if (!labelRect(n).contains(p)) continue;
        if (n > offeredCaptions && n > 1 && labelRect(n - 1).contains(p)) continue;
        return labels[n - 1];
    }
    if (QRect(startRect(SceneElement::Image2).topLeft(), image2Size).contains(p)) return SceneElement::Image2;
    if (QRect(startRect(SceneElement::Image1).topLeft(), image1Size).contains(p)) return SceneElement::Image1;
    return SceneElement::Background;
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
