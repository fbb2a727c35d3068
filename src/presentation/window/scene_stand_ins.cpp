#include "scene_stand_ins.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <cmath>

namespace vorn {
namespace {

// An option as a push button: its words are its name, its key its shortcut,
// and pressing it chooses it as the key would.
class OptionAccessible : public QAccessibleWidget {
  public:
    explicit OptionAccessible(OptionStandIn* option) : QAccessibleWidget(option, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override {
        switch (kind) {
        case QAccessible::Name: return option()->words();
        case QAccessible::Description:
            if (option()->number() > option()->offered()) return {};
            return OptionStandIn::tr("Option %1 of %2, key %1").arg(option()->number()).arg(option()->offered());
        case QAccessible::Accelerator: return QString::number(option()->number());
        default: return QAccessibleWidget::text(kind);
        }
    }
    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction())
            emit option()->chosen(option()->number());
        else
            QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        if (action == pressAction()) return {QString::number(option()->number())};
        return {};
    }

  private:
    OptionStandIn* option() const { return static_cast<OptionStandIn*>(widget()); }
};

QAccessibleInterface* standInInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("vorn::OptionStandIn"))
        return new OptionAccessible(static_cast<OptionStandIn*>(object));
    if (className == QLatin1String("vorn::PictureStandIn"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

OptionStandIn::OptionStandIn(int number, QWidget* parent) : QWidget(parent), number_(number) {
    setAttribute(Qt::WA_TransparentForMouseEvents); // the window hit-tests the painted captions
    setFocusPolicy(Qt::TabFocus);                   // a click chooses at once; Tab only visits
    hide();
}

void OptionStandIn::setWords(const QString& words, const QFont& font) {
    setFont(font);
    if (words == words_) return;
    words_ = words;
    update();
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

// A ring around the words as the window lays them out inside the caption's
// rectangle, its line as thick as the scene's pixels, so the focus shows at
// every zoom; it stands a little out to the sides, where the margin is.
void OptionStandIn::paintEvent(QPaintEvent*) {
    if (!hasFocus()) return;
    QPainter p(this);
    const int line = std::max(1, static_cast<int>(std::lround(font().pixelSize() / 15.0)));
    const int margin = kRingMargin * line;
    const QRect caption = rect().adjusted(margin, 0, -margin, 0);
    const QRect words = QFontMetrics(font()).boundingRect(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                                          words_.isEmpty() ? QStringLiteral(" ") : words_);
    QPen pen(Qt::black, line);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRect ring = words.adjusted(-margin, 0, margin, 0).intersected(rect());
    p.drawRect(QRectF(ring).adjusted(line / 2.0, line / 2.0, -line / 2.0, -line / 2.0));
}

void OptionStandIn::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int key = event->key();
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        // As a focused push button does; every other key goes on to the window.
        if (!event->isAutoRepeat()) emit chosen(number_);
        return;
    }
    event->ignore();
}

void OptionStandIn::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void OptionStandIn::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

PictureStandIn::PictureStandIn(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void PictureStandIn::setFileName(const std::string& name) { setAccessibleName(pictureName(name)); }

QString pictureName(const std::string& fileName) {
    QString name = QString::fromStdString(fileName);
    name = name.mid(std::max(name.lastIndexOf('\\'), name.lastIndexOf('/')) + 1);
    const qsizetype dot = name.lastIndexOf('.');
    return dot > 0 ? name.left(dot) : name;
}

void installStandInAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(standInInterface);
        return true;
    }();
    (void)installed;
}

} // namespace vorn
