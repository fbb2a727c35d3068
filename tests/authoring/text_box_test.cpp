// The checker's measure of a page against the window's own text box: the same
// widget, font and size, laid out by Qt, must agree on how many lines a page
// takes and on whether its last line is shown (its upper half in the box).

#include "authoring/text_box.h"
#include "presentation/window/scene_geometry.h"
#include "presentation/window/text_views.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <memory>

using namespace vorn;

namespace {

std::string repeated(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

} // namespace

TEST(TextBox, TheCheckerMeasuresPagesAsTheWindowsTextBoxLaysThemOut) {
    authoring::TextBoxMeasure measure;
    ASSERT_TRUE(measure.available());
    EXPECT_EQ(measure.linesShown(), 4);

    // The text box as the window makes it at zoom 1.
    std::unique_ptr<QPlainTextEdit> box(makeTextView(nullptr, Qt::black));
    box->setFont(gothicFont(15));
    box->setGeometry(SceneTransform::fitting(kSceneSize, 1).toWidget(startRect(SceneElement::Text1)));
    box->setAttribute(Qt::WA_DontShowOnScreen);
    box->show();

    const std::vector<std::string> pages = {
        "",
        "One line.",
        "1\r\n2\r\n3\r\n4",
        "1\r\n2\r\n3\r\n4\r\n5",
        "1\r\n2\r\n3\r\n4\r\n",
        "\r\n\r\n\r\n\r\n\r\n\r\n",
        repeated("x", 60),
        repeated("x", 250),
        repeated("x", 300),
        repeated("Mm ", 120),
        repeated("あ", 33),
        repeated("あ", 34),
        repeated("あ", 135),
        repeated("あ", 140),
        repeated("鐘が鳴る。", 20) + "\r\n" + repeated("ｱｲｳ", 30),
    };
    for (const std::string& page : pages) {
        box->setPlainText(QString::fromStdString(page));
        QCoreApplication::processEvents();
        QTextCursor end(box->document());
        end.movePosition(QTextCursor::End);
        const QRect lastLine = box->cursorRect(end);
        const bool scrolls = lastLine.top() + lastLine.height() / 2.0 > box->viewport()->height();
        EXPECT_EQ(measure.needsScrolling(page), scrolls) << page;
        EXPECT_EQ(measure.linesOf(page), box->document()->lineCount()) << page;
    }
}
