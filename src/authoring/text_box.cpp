#include "text_box.h"

#include "presentation/window/scene_geometry.h"
#include "presentation/window/text_views.h"

#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <cmath>

namespace vorn::authoring {

// The window's text box is a QPlainTextEdit made by makeTextView, without a
// frame, so its viewport is the box itself. The edit splits the page into
// blocks as QTextDocument does, and QPlainTextDocumentLayout lays each block
// out in the viewport's width less the document margin on both sides, lines
// with their leading, the first line a margin below the top. That layout is
// repeated here with the same font, width and options.
//
// A line counts as shown when its upper half lies inside the box. At zoom 1
// IPAGothic's lines are 17 pixels apart in a box 65 pixels high: the fourth
// line's lowest pixel or two are cut off, but it reads, as the four lines the
// games were written for did.
TextBoxMeasure::TextBoxMeasure() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    const QRect box = SceneTransform::fitting(kSceneSize, 1).toWidget(startRect(SceneElement::Text1));
    document_ = std::make_unique<QTextDocument>();
    document_->setDocumentLayout(new QPlainTextDocumentLayout(document_.get())); // lays out nothing unasked
    font_ = std::make_unique<QFont>(gothicFont(15));
    lineWidth_ = box.width() - 2 * kMargin;
    boxHeight_ = box.height();
    std::string lines = "x";
    while (!needsScrolling(lines) && linesShown_ < 100) {
        ++linesShown_;
        lines += "\r\nx";
    }
}

TextBoxMeasure::~TextBoxMeasure() = default;

TextBoxMeasure::Layout TextBoxMeasure::layOut(const std::string& page) {
    document_->setPlainText(QString::fromUtf8(page.data(), static_cast<qsizetype>(page.size())));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    Layout result;
    double blockTop = kMargin;
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        QTextLayout layout(block.text(), *font_);
        layout.setTextOption(option);
        layout.beginLayout();
        double y = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(lineWidth_);
            line.setPosition(QPointF(kMargin, y));
            result.lastLineMiddle = blockTop + y + line.height() / 2;
            y += line.height();
            if (line.leading() < 0) y += std::ceil(line.leading());
            ++result.lines;
        }
        layout.endLayout();
        blockTop += layout.boundingRect().bottom();
    }
    return result;
}

bool TextBoxMeasure::needsScrolling(const std::string& page) { return layOut(page).lastLineMiddle > boxHeight_; }

int TextBoxMeasure::linesOf(const std::string& page) { return layOut(page).lines; }

} // namespace vorn::authoring
