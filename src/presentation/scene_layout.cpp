#include "scene_layout.h"

#include <algorithm>
#include <cmath>

namespace vorn {
namespace {

int px(int twips) { return static_cast<int>(std::lround(twips / double(kTwipsPerPixel))); }

SceneRect twipRect(int left, int top, int width, int height) { return {px(left), px(top), px(width), px(height)}; }

} // namespace

SceneRect startSceneRect(SceneElement element) {
    switch (element) {
    case SceneElement::Background: return {0, 0, kSceneWidth, kSceneHeight};
    case SceneElement::Image1: return twipRect(1192, 412, 7230, 4455);
    case SceneElement::Image2: return twipRect(7200, 230, 2400, 1515);
    case SceneElement::Label1: return twipRect(7425, 525, 1935, 375);
    case SceneElement::Label2: return twipRect(7420, 770, 1935, 375);
    case SceneElement::Label3: return twipRect(7420, 1000, 1935, 375);
    case SceneElement::Label4: return twipRect(7420, 1260, 1935, 375);
    case SceneElement::Text1: return twipRect(967, 5107, 7680, 968);
    }
    return {};
}

SceneRect labelSceneRect(int label) {
    static constexpr SceneElement labels[] = {SceneElement::Label1, SceneElement::Label2, SceneElement::Label3,
                                              SceneElement::Label4};
    return startSceneRect(labels[std::clamp(label, 1, 4) - 1]);
}

SceneElement elementAt(int x, int y, int image1Width, int image1Height, int image2Width, int image2Height,
                       int offeredCaptions) {
    if (startSceneRect(SceneElement::Text1).contains(x, y)) return SceneElement::Text1;
    // Each caption's rectangle reaches over the upper part of the next one's
    // text. Label1 is drawn in front, but a click belongs to the option whose
    // line it is on, so the lower caption takes the overlap from its top edge
    // down; a caption that offers nothing leaves the overlap to the one above.
    static constexpr SceneElement labels[] = {SceneElement::Label1, SceneElement::Label2, SceneElement::Label3,
                                              SceneElement::Label4};
    for (int n = 4; n >= 1; --n) {
        if (!labelSceneRect(n).contains(x, y)) continue;
        if (n > offeredCaptions && n > 1 && labelSceneRect(n - 1).contains(x, y)) continue;
        return labels[n - 1];
    }
    const SceneRect image2 = startSceneRect(SceneElement::Image2);
    if (SceneRect{image2.x, image2.y, image2Width, image2Height}.contains(x, y)) return SceneElement::Image2;
    const SceneRect image1 = startSceneRect(SceneElement::Image1);
    if (SceneRect{image1.x, image1.y, image1Width, image1Height}.contains(x, y)) return SceneElement::Image1;
    return SceneElement::Background;
}

} // namespace vorn
