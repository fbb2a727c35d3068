#pragma once
// Where everything sits in the player's 632 x 425 scene, and how the scene maps
// onto a window that shows it zoomed or in full screen with bars.

#include "presentation/scene_layout.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

class QScreen;
class QWidget;

namespace vorn {

inline constexpr QSize kSceneSize(kSceneWidth, kSceneHeight);

// An element's rectangle at start, in scene pixels, from its place in twips.
QRect startRect(SceneElement element);
// A label's rectangle, label = 1..4.
QRect labelRect(int label);

// The element that a press at `p` (scene pixels) lands on: see elementAt.
SceneElement hitTest(QPoint p, QSize image1Size, QSize image2Size, int offeredCaptions = 4);

// The scene drawn at a whole zoom, centred in a widget of `widgetSize` with
// black bars around it where the proportions differ.
struct SceneTransform {
    double scale = 1;
    QPoint offset;

    static SceneTransform fitting(QSize widgetSize, int zoom);
    // Full screen: as large as the screen allows, proportions kept.
    static SceneTransform filling(QSize widgetSize);
    QRect toWidget(QRect sceneRect) const;
    // Where the whole scene lies in the widget.
    QRect scene() const { return toWidget(QRect(QPoint(0, 0), kSceneSize)); }
    QPoint toScene(QPoint widgetPoint) const;
};

// The largest whole zoom, 1 to 4, at which the scene fits into `available`.
int largestZoomFitting(QSize available);

// Room for a window manager's title bar and borders around the scene.
inline constexpr QSize kWindowFrame(16, 48);

// The largest whole zoom at which the window, frame and all, fits the
// available area of `screen`; 4 where there is no screen to ask.
int largestZoomOn(const QScreen* screen);

// The player's window: a title bar with its menu, minimise and close, and no
// maximise. The window is the scene at a whole zoom and cannot take another
// size; it grows by the zoom keys and fills the screen by full screen.
inline constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

// Where a window whose frame measures `frameSize` goes back to from full
// screen: its frame's top-left `before`, moved in only as far as it takes for
// the whole frame, its title bar above all, to lie on the screen's `available`
// area; in the middle of it for a window that went full screen before it was
// ever placed (none `before`).
QPoint placeOnScreen(const QRect& available, std::optional<QPoint> before, QSize frameSize);

// Takes `window` to full screen, or back to the fixed size of the scene at
// `zoom` and to where it stood before.
void setWindowFullScreen(QWidget* window, bool on, int zoom);

} // namespace vorn
