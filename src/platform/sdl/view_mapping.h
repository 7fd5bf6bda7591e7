// Coordinate mapping between a window's pixels on screen and the engine's logical client
// pixels (800×600, 800×184, ...): the picture is fitted into the window with its aspect kept
// and centred, black bars filling the rest, by whole pixels unless smooth scaling is asked for.
// Pure functions, so the SDL backend's drawing, its mouse events and its cursor queries all go
// through one mapping.
#pragma once

#include "platform/platform.h"

namespace orva {

// Where a logical LogicalW × LogicalH picture lies inside a window of WindowW × WindowH
// pixels: the picture's top-left corner and the size of one logical pixel.
struct ViewFit {
    double OffsetX = 0;    // left bar, in window pixels
    double OffsetY = 0;    // top bar, in window pixels
    double Scale = 1;      // window pixels per logical pixel (> 0)
};

// The largest aspect-keeping fit, centred. A degenerate size (zero or negative) gives the
// identity fit rather than a division by zero.
ViewFit FitView(int logicalW, int logicalH, int windowW, int windowH);

// The fit the SDL backend draws with, in the renderer's output pixels. Smooth: FitView.
// Otherwise the largest whole scale that fits, with the bars rounded to whole pixels, so every
// logical pixel is a sharp square of output pixels; an output smaller than the picture gets
// the shrinking FitView (no whole scale fits there).
ViewFit FitPicture(int logicalW, int logicalH, int outputW, int outputH, bool smooth);

// A fit in output pixels restated in window units. On a HiDPI display the renderer's output
// (the drawable) has more pixels than the window has units, and mouse positions come in window
// units. Degenerate sizes leave the fit unchanged.
ViewFit ToWindowUnits(const ViewFit& outputFit, int outputW, int outputH, int windowW, int windowH);

// A window pixel to a logical pixel, rounding towards minus infinity, so a point in the left or
// top bar gives a negative coordinate and one in the right or bottom bar lies past the picture
// (hit tests, being half-open rectangles of the picture, miss both).
Point WindowToLogical(const ViewFit& fit, Point window);

// A logical pixel to the first window pixel that shows it (its top-left corner).
Point LogicalToWindow(const ViewFit& fit, Point logical);

// Presses in the detached message window's top strip (logical rows 0 … 32) drag the window.
constexpr int kMsgDragStripLast = 32;
inline bool InMsgDragStrip(int windowY, int scale) {
    return windowY >= 0 && windowY / (scale > 0 ? scale : 1) <= kMsgDragStripLast;
}

// Top-left of a box of size `inner` centred over a box of size `outer` placed at `origin`.
Point CentreOver(Point origin, Point outerSize, Point innerSize);

}  // namespace orva
