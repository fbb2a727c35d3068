#include "text_views.h"

#include "interpreter/message.h"

#include <QGuiApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStringList>

namespace vorn {
namespace {

// "MS Gothic" where it is installed; Debian has none, so a metric-compatible
// Japanese Gothic stands in. Only installed families are named, which spares
// the font matcher a search for fallbacks of a missing one. A family is
// looked up by its own name among those installed (it has styles), which
// asks fontconfig nothing, where hasFamily() would have it work out the
// aliases of each name first.
const QStringList& gothicFamilies() {
    static const QStringList families = [] {
        QStringList found;
        for (const char* family : {"MS Gothic", "IPAGothic", "Noto Sans Mono CJK JP"})
            if (!QFontDatabase::styles(family).isEmpty()) found << family;
        return found.isEmpty() ? QStringList{"monospace"} : found;
    }();
    return families;
}

class MoreBelowMark : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        const QRectF r = QRectF(rect()).adjusted(width() * 0.15, height() * 0.2, -width() * 0.15, -height() * 0.2);
        p.drawPolygon(QPolygonF({r.topLeft(), r.topRight(), QPointF(r.center().x(), r.bottom())}));
    }
};

} // namespace

QFont gothicFont(int pixelSize) {
    QFont font;
    font.setFamilies(gothicFamilies());
    font.setPixelSize(pixelSize); // 11.25 pt at 96 dpi is 15 pixels
    font.setWeight(QFont::Normal);
    return font;
}

QPlainTextEdit* makeTextView(QWidget* parent, const QColor& background) {
    // While it is made, a QPlainTextEdit lays out its empty document in the
    // application's font, before it takes its own from its parent: a font
    // look-up (with a search for the desktop font's fallbacks) that the page
    // never shows and that costs the first page more than a tenth of its
    // time. Made while the application's font is the parent's, it looks up
    // only the font it shows; the application's font is put back at once.
    // QGuiApplication's own setFont, which leaves the desktop's fonts for
    // menus, message boxes and the like as they are (QApplication's clears them).
    const QFont desktopFont = QGuiApplication::font();
    if (parent) QGuiApplication::setFont(parent->font());
    auto* view = new QPlainTextEdit(parent);
    if (parent) QGuiApplication::setFont(desktopFont);
    view->setReadOnly(true);
    view->setFrameShape(QFrame::NoFrame);
    view->setContextMenuPolicy(Qt::NoContextMenu);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setWordWrapMode(QTextOption::WrapAnywhere); // Japanese text breaks between any two characters
    view->setFocusPolicy(Qt::NoFocus);
    view->document()->setDocumentMargin(2);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Qt::white);
    view->setPalette(palette);
    return view;
}

void giveMarkLook(QLabel* mark, const char* padding) {
    if (!mark->styleSheet().isEmpty()) return;
    mark->setStyleSheet(QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 190); padding: %1; }")
                            .arg(QLatin1String(padding)));
}

QWidget* makeMoreBelowMark(QWidget* parent) {
    auto* mark = new MoreBelowMark(parent);
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    mark->hide();
    return mark;
}

QString withVisibleControls(const std::string& text) { return QString::fromStdString(escapeControls(text)); }

QString withVisibleControls(const QString& text) { return withVisibleControls(text.toStdString()); }

QString shortenedForDisplay(const QString& message) {
    constexpr qsizetype half = 500;
    if (message.size() <= 2 * half) return message;
    const qsizetype head = message.at(half - 1).isHighSurrogate() ? half - 1 : half;
    const qsizetype tail = message.at(message.size() - half).isLowSurrogate() ? half - 1 : half;
    return message.left(head) + QStringLiteral(" \u2026 ") + message.right(tail);
}

} // namespace vorn
