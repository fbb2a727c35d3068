// The window under Qt's offscreen platform: geometry, start-up look, click
// routing in drawing order, and the fatal report.

#include "headless_fixture.h"
#include "interpreter/music_device.h"
#include "presentation/window/form1.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TestGame;

namespace {

struct Window {
    explicit Window(const TestGame& game, int zoom = 1) : folder(game.dir()), form(folder, device, zoom) {
        form.setMessagePresenter([this](const QString& title, const QString& text, bool isError) {
            messages.push_back((isError ? "error: " : "") + title + ": " + text);
        });
    }
    bool start() {
        if (!form.load()) return false;
        form.show();
        form.activate();
        return true;
    }
    void click(QPoint scenePoint) {
        const QPoint p = form.sceneTransform().toWidget(QRect(scenePoint, QSize(1, 1))).topLeft();
        QWidget* target = form.childAt(p) ? form.childAt(p) : &form;
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&form, p));
    }
    QString text() const { return form.text1()->toPlainText(); }

    GameFolder folder;
    SilentMusicDevice device;
    Form1 form;
    QStringList messages;
};

} // namespace

TEST(SceneGeometry, ElementsStandWhereTheirTwipsPutThem) {
    EXPECT_EQ(kSceneSize, QSize(632, 425));
    EXPECT_EQ(startRect(SceneElement::Image1), QRect(79, 27, 482, 297));
    EXPECT_EQ(startRect(SceneElement::Image2), QRect(480, 15, 160, 101));
    EXPECT_EQ(startRect(SceneElement::Label1), QRect(495, 35, 129, 25));
    EXPECT_EQ(startRect(SceneElement::Label2), QRect(495, 51, 129, 25));
    EXPECT_EQ(startRect(SceneElement::Label3), QRect(495, 67, 129, 25));
    EXPECT_EQ(startRect(SceneElement::Label4), QRect(495, 84, 129, 25));
    EXPECT_EQ(startRect(SceneElement::Text1), QRect(64, 340, 512, 65));
}

TEST(SceneGeometry, PressesGoToTheFrontMostElement) {
    const QSize image1(482, 297), image2(160, 101);
    struct Case {
        QPoint at;
        SceneElement expected;
    } cases[] = {
        {{500, 55}, SceneElement::Label1}, // Label1 over Label2
        {{500, 70}, SceneElement::Label2}, // Label2 over Label3
        {{500, 88}, SceneElement::Label3}, // Label3 over Label4
        {{500, 100}, SceneElement::Label4},
        {{485, 20}, SceneElement::Image2},
        {{100, 100}, SceneElement::Image1},
        {{100, 350}, SceneElement::Text1},
        {{5, 5}, SceneElement::Background},
        {{600, 200}, SceneElement::Background},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hitTest(c.at, image1, image2), c.expected) << c.at.x() << "," << c.at.y();
    EXPECT_EQ(hitTest({100, 100}, QSize(10, 10), image2), SceneElement::Background)
        << "a smaller scene picture leaves the background bare";
}

TEST(SceneGeometry, ZoomScalesTheSceneAsOneAndCentresIt) {
    const SceneTransform t = SceneTransform::fitting(QSize(1920, 1080), 2);
    EXPECT_EQ(t.toWidget(QRect(0, 0, 632, 425)), QRect(328, 115, 1264, 850));
    EXPECT_EQ(t.toScene(QPoint(328 + 2 * 495, 115 + 2 * 35)), QPoint(495, 35));
    EXPECT_EQ(largestZoomFitting(QSize(1920, 1040)), 2);
    EXPECT_EQ(largestZoomFitting(QSize(3840, 2100)), 4);
    EXPECT_EQ(largestZoomFitting(QSize(800, 600)), 1);
}

TEST(Form1, OpensWithItsStartUpLook) {
    TestGame game("");
    Window w(game);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.form.windowTitle(), "VORN Interpeter");
    EXPECT_EQ(w.form.size(), QSize(632, 425));
    EXPECT_EQ(w.form.text1()->geometry(), QRect(64, 340, 512, 65));
    EXPECT_EQ(w.form.image1Size(), QSize(482, 297)) << "the built-in scene picture";
    EXPECT_TRUE(w.form.image2Empty());
    for (int label = 1; label <= 4; ++label) EXPECT_TRUE(w.form.caption(label).isEmpty());
    EXPECT_TRUE(w.text().isEmpty());
    const QImage shot = w.form.grab().toImage();
    EXPECT_EQ(shot.pixelColor(100, 360), QColor(Qt::black)) << "the text box is black";
}

TEST(Form1, ClicksReachTheTextBoxAndTheFrontCaption) {
    TestGame game("\"Where now?\"(3 North,South,Stay)\r\n{\"N\"}{\"S\"}{\"T\"}\"Night\"");
    Window w(game);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.text(), "Where now?");
    w.click({300, 360});
    EXPECT_EQ(w.form.caption(2), "South");
    EXPECT_FALSE(w.form.image2Empty());
    w.click({500, 70}); // where Label2 overlaps Label3
    EXPECT_EQ(w.text(), "S");
    EXPECT_TRUE(w.form.caption(1).isEmpty()) << "a page clears the captions";
    EXPECT_TRUE(w.form.image2Empty()) << "and the choice box";
    w.click({300, 360});
    EXPECT_EQ(w.text(), "Night");
}

TEST(Form1, TextWrapsAtTheBoxWidthAndALongPageScrolls) {
    std::string page = "\"";
    for (int i = 0; i < 40; ++i) page += "\x82\xA0\x82\xA2\x82\xA4"; // あいう
    page += "\\\\\\\\\\\\end\"";
    TestGame game(page);
    Window w(game);
    ASSERT_TRUE(w.start());
    QPlainTextEdit* box = w.form.text1();
    EXPECT_GT(box->document()->documentLayout()->documentSize().height(), 4) << "wrapped over several lines";
    EXPECT_GT(box->verticalScrollBar()->maximum(), 0) << "longer than the box";
    QWheelEvent wheel(QPointF(50, 30), box->viewport()->mapToGlobal(QPointF(50, 30)), {}, QPoint(0, -120), {}, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(box->viewport(), &wheel);
    EXPECT_GT(box->verticalScrollBar()->value(), 0);
}

TEST(Form1, AMissingBackgroundIsReportedAndTheGameDoesNotStart) {
    TestGame game("\"x\"");
    game.remove("back.bmp");
    Window w(game);
    EXPECT_FALSE(w.start());
    ASSERT_EQ(w.messages.size(), 1);
    EXPECT_TRUE(w.messages[0].startsWith("error: VORN: ")) << w.messages[0].toStdString();
    EXPECT_TRUE(w.messages[0].contains("back.bmp")) << w.messages[0].toStdString();
}

TEST(Form1, ZoomScalesTheTextBoxAndItsFont) {
    TestGame game("\"x\"");
    Window w(game, 2);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.form.size(), QSize(1264, 850));
    EXPECT_EQ(w.form.text1()->geometry(), QRect(128, 680, 1024, 130));
    EXPECT_EQ(w.form.text1()->font().pixelSize(), 30);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
