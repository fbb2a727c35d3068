// Where the elements stand in the scene, which one a press lands on, and how
// the scene maps onto a zoomed or full-screen window.

#include "presentation/window/scene_geometry.h"

#include <gtest/gtest.h>

using namespace vorn;

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

TEST(SceneGeometry, PressesGoToTheFrontMostElementAndOverlappingCaptionsToTheLowerOne) {
    const QSize image1(482, 297), image2(160, 101);
    struct Case {
        QPoint at;
        SceneElement expected;
    } cases[] = {
        {{500, 50}, SceneElement::Label1},
        {{500, 51}, SceneElement::Label2}, // Label1's lower part, from Label2's top down
        {{500, 59}, SceneElement::Label2},
        {{500, 66}, SceneElement::Label2},
        {{500, 67}, SceneElement::Label3}, // Label2's lower part, from Label3's top down
        {{500, 83}, SceneElement::Label3},
        {{500, 84}, SceneElement::Label4}, // Label3's lower part, from Label4's top down
        {{500, 100}, SceneElement::Label4},
        {{485, 20}, SceneElement::Image2},
        {{100, 100}, SceneElement::Image1},
        {{100, 350}, SceneElement::Text1},
        {{5, 5}, SceneElement::Background},
        {{600, 200}, SceneElement::Background},
    };
    for (const Case& c : cases) EXPECT_EQ(hitTest(c.at, image1, image2), c.expected) << c.at.x() << "," << c.at.y();
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

// Coming back from full screen: where the window stood, unless that would
// leave part of its frame, the title bar above all, off the screen.
TEST(SceneGeometry, AWindowLeavingFullScreenGoesBackWhereItStoodWithItsTitleBarOnTheScreen) {
    const QRect available(0, 30, 1920, 1050); // a panel above
    const QSize frame(1266, 872);             // zoom 2 and a title bar
    EXPECT_EQ(placeOnScreen(available, QPoint(300, 100), frame), QPoint(300, 100));
    EXPECT_EQ(placeOnScreen(available, QPoint(-1, -20), frame), QPoint(0, 30)) << "a title bar above the screen";
    EXPECT_EQ(placeOnScreen(available, QPoint(1000, 500), frame), QPoint(654, 208))
        << "larger since (zoomed in full screen): moved in as far as it takes";
    EXPECT_EQ(placeOnScreen(available, std::nullopt, frame), QPoint(326, 118)) << "never placed: in the middle";
    EXPECT_EQ(placeOnScreen(QRect(100, 0, 1000, 700), QPoint(500, 300), frame), QPoint(100, 0))
        << "larger than the screen: its title bar and left edge stay on it";
}
