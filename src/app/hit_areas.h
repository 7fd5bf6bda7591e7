// The hit areas of a screen for the gamepad's d-pad: found by sampling the screen's own hit
// test, put in reading order, and stepped through from the pointer. A pure core; the form
// supplies each screen's hit test (app/pad_form.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace orva {

struct HitArea {
    int32_t Id = 0;                   // the element's number in its screen's hit test
    int32_t X = 0, Y = 0, W = 0, H = 0;  // the sampled points' bounding box
    Point Centre() const { return {X + W / 2, Y + H / 2}; }
    bool Contains(Point p) const { return p.X >= X && p.X < X + W && p.Y >= Y && p.Y < Y + H; }
};

// Samples `hitTest` (element id under a point, 0 for none) every `step` pixels over a
// width × height client area and returns one area per element, in reading order: top to
// bottom, left to right within a row. An area's box spans the samples that hit it, so its
// centre lies on the element for every rectangular element at least `step` pixels wide and high.
std::vector<HitArea> CollectHitAreas(int width, int height, int step, const std::function<int32_t(Point)>& hitTest);

// The area the d-pad goes to from `pointer`, over the element `under` (0 for none): from an
// element, the area after it (`forward`) or before it, wrapping round; from outside every area, the first area that comes after the
// pointer in reading order (or before it, going back), wrapping round. None when there are no
// areas.
std::optional<HitArea> StepHitArea(const std::vector<HitArea>& areas, Point pointer, int32_t under, bool forward);

}  // namespace orva
