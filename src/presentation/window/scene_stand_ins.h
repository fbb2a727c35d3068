#pragma once
// Stand-ins in the widget tree for what the window paints itself: the four
// option captions and the scene picture. They let the mouse through to the
// window, which keeps hit-testing the painted scene, and tell assistive
// technology (a screen reader, through the desktop's accessibility bus) what
// a sighted reader sees. An offered option can take the keyboard focus, which
// it shows with a ring around its words.

#include <QFont>
#include <QString>
#include <QWidget>

namespace vorn {

class OptionStandIn : public QWidget {
    Q_OBJECT
  public:
    // Option `number`, 1..4, hidden until it is offered.
    OptionStandIn(int number, QWidget* parent);
    int number() const { return number_; }
    const QString& words() const { return words_; }
    // The caption's words and the font the window draws them in; the name
    // screen readers read follows the words.
    void setWords(const QString& words, const QFont& font);
    // How many options the menu offers, for the spoken description.
    void setOffered(int offered) { offered_ = offered; }
    int offered() const { return offered_; }
    // Scene pixels the stand-in reaches out beyond each side of the caption,
    // room for the focus ring.
    static constexpr int kRingMargin = 3;

  signals:
    // Enter or Space while it has the focus, or a screen reader's "press".
    void chosen(int number);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    int number_;
    int offered_ = 0;
    QString words_;
};

// The scene picture, named after its file.
class PictureStandIn : public QWidget {
    Q_OBJECT
  public:
    explicit PictureStandIn(QWidget* parent);
    // "pictures\\Gate.BMP" is named "Gate"; an empty name leaves it unnamed.
    void setFileName(const std::string& name);
};

// The name a picture is known by: its file name without folders or extension.
QString pictureName(const std::string& fileName);

// Registers the accessibility interfaces of the stand-ins; once is enough.
void installStandInAccessibility();

} // namespace vorn
