#pragma once
// Where everything sits in the player's 632 x 425 scene, and which element a
// press lands on. Plain C++, shared by the window and the browser page.

namespace vorn {

// Elements of the scene, back to front as they are drawn.
enum class SceneElement { Background, Image1, Image2, Label4, Label3, Label2, Label1, Text1 };

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kSceneWidth = 9480 / kTwipsPerPixel;  // 632
inline constexpr int kSceneHeight = 6375 / kTwipsPerPixel; // 425

struct SceneRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

// An element's rectangle at start, in scene pixels, from its place in twips.
SceneRect startSceneRect(SceneElement element);
// A label's rectangle, label = 1..4.
SceneRect labelSceneRect(int label);

// The element that a press at (x, y) (scene pixels) lands on: the front-most
// one, given the current sizes of the two pictures, whose top-left corners
// stay put; except that where two captions overlap, the lower one takes the
// press when it is among the `offeredCaptions` of the waiting menu.
SceneElement elementAt(int x, int y, int image1Width, int image1Height, int image2Width, int image2Height,
                       int offeredCaptions = 4);

} // namespace vorn
