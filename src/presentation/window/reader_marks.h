#pragma once
// The small marks over the scene that say what the reader's controls are
// doing: "Auto" in the scene's lower-left corner while auto mode is on, and
// the music's volume for a moment after a key changes it. Each mark is also
// named to screen readers, which announce the change.

#include "saves/reader_settings.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

class QLabel;
class QWidget;

namespace vorn {

class ReaderMarks : public QObject {
    Q_OBJECT
  public:
    explicit ReaderMarks(QWidget* owner);

    // Where the scene lies in the owner, its scale and the marks' text size in pixels.
    void place(QRect scene, double scale, int fontPixels);
    void setAuto(bool on);
    void showVolume(const ReaderSettings& settings);

    QLabel* autoMark() const { return auto_; }
    QLabel* volumeMark() const { return volume_; }

    // The volume as its mark says it: "Volume 70 %" or "Music muted".
    static QString volumeText(const ReaderSettings& settings);

  private:
    void layOut();

    QLabel* auto_ = nullptr;
    QLabel* volume_ = nullptr;
    QTimer volumeTimer_;
    QRect scene_;
    double scale_ = 1;
};

} // namespace vorn
