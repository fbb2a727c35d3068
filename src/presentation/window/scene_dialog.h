#pragma once
// Dialogs shown over the scene: their text grows with the scene, as the
// pop-up menu's does, and they sit in the middle of it.

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

class QWidget;

namespace vorn {

// `font` grown by `scale`, whether it is set in pixels or in points.
QFont scaledFont(QFont font, double scale);

// Keeps `dialog` centred over an area of `owner` for as long as it lives:
// when the dialog shows and whenever its size changes, and when the window
// `owner` sits in moves, as it does when a window manager places a window
// that has just been shown. A dialog the reader moves stays where it is put
// until one of those happens.
class CentredOver : public QObject {
  public:
    // `area` gives the area in `owner`'s coordinates.
    CentredOver(QWidget& dialog, QWidget& owner, std::function<QRect()> area);
    ~CentredOver() override;

    // Where the dialog's frame goes for the area as it lies now, on the desktop.
    QPoint place() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void centre();

    QPointer<QWidget> dialog_;
    QPointer<QWidget> owner_;
    QPointer<QWidget> window_;
    std::function<QRect()> area_;
};

} // namespace vorn
