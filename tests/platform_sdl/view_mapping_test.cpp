// Fitting logical pictures into windows: integer scales, letterboxing, the drag strip.
#include "platform/sdl/view_mapping.h"
#include "platform/screen_layout.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

TEST(ViewMapping, FitKeepsAspectAndCentres) {
    const ViewFit twice = FitView(800, 600, 1600, 1200);
    EXPECT_DOUBLE_EQ(twice.Scale, 2.0);
    EXPECT_DOUBLE_EQ(twice.OffsetX, 0.0);
    EXPECT_DOUBLE_EQ(twice.OffsetY, 0.0);

    // A 16:9 desktop: bars left and right.
    const ViewFit wide = FitView(800, 600, 1920, 1080);
    EXPECT_DOUBLE_EQ(wide.Scale, 1.8);
    EXPECT_DOUBLE_EQ(wide.OffsetX, 240.0);
    EXPECT_DOUBLE_EQ(wide.OffsetY, 0.0);

    // A portrait screen: bars above and below.
    const ViewFit tall = FitView(800, 600, 800, 1000);
    EXPECT_DOUBLE_EQ(tall.Scale, 1.0);
    EXPECT_DOUBLE_EQ(tall.OffsetX, 0.0);
    EXPECT_DOUBLE_EQ(tall.OffsetY, 200.0);

    // Degenerate sizes (a minimised window reports 0 × 0) give the identity, never a division by 0.
    for (const ViewFit& f : {FitView(800, 600, 0, 0), FitView(0, 0, 800, 600), FitView(800, 600, -5, 600)}) {
        EXPECT_DOUBLE_EQ(f.Scale, 1.0);
        EXPECT_DOUBLE_EQ(f.OffsetX, 0.0);
        EXPECT_DOUBLE_EQ(f.OffsetY, 0.0);
    }
}

TEST(ViewMapping, WindowPixelsMapToLogicalPixelsAndBarsFallOutside) {
    const ViewFit twice = FitView(800, 600, 1600, 1200);
    EXPECT_EQ(WindowToLogical(twice, {0, 0}), (Point{0, 0}));
    EXPECT_EQ(WindowToLogical(twice, {1, 1}), (Point{0, 0}));
    EXPECT_EQ(WindowToLogical(twice, {2, 3}), (Point{1, 1}));
    EXPECT_EQ(WindowToLogical(twice, {1599, 1199}), (Point{799, 599}));
    // Left of and above the window round down, not towards zero.
    EXPECT_EQ(WindowToLogical(twice, {-1, -3}), (Point{-1, -2}));

    const ViewFit wide = FitView(800, 600, 1920, 1080);
    EXPECT_EQ(WindowToLogical(wide, {240, 0}), (Point{0, 0}));
    EXPECT_EQ(WindowToLogical(wide, {239, 540}), (Point{-1, 300}));      // left bar
    EXPECT_EQ(WindowToLogical(wide, {1679, 1079}), (Point{799, 599}));   // last picture pixel
    EXPECT_EQ(WindowToLogical(wide, {1680, 0}).X, 800);                  // right bar

    // Both directions agree on every column, also at a fractional scale.
    for (int x = 0; x < 800; ++x) {
        const Point w = LogicalToWindow(wide, {x, x % 600});
        ASSERT_EQ(WindowToLogical(wide, w), (Point{x, x % 600})) << "x = " << x;
    }
    EXPECT_EQ(LogicalToWindow(twice, {0, kMsgWindowTop}), (Point{0, 2 * kMsgWindowTop}));
    EXPECT_EQ(LogicalToWindow(wide, {0, 0}), (Point{240, 0}));
}

TEST(ViewMapping, WholePixelFitTakesTheLargestIntegerScaleAndCentresOnWholePixels) {
    struct Case {
        int OutW, OutH;
        bool Smooth;
        double Scale, OffsetX, OffsetY;
    };
    const Case cases[] = {
        {2560, 1440, false, 2.0, 480, 120},  // 2.4 fits: whole pixels give 2, 1600 × 1200
        {2560, 1440, true, 2.4, 320, 0},     // smooth fills the height, 1920 wide
        {2400, 1800, false, 3.0, 0, 0},      // an exact fit stays exact
        {1601, 1203, false, 2.0, 0, 1},      // odd spare pixels go right and down: whole-pixel start
        {1920, 1080, false, 1.0, 560, 240},  // 1.8 fits: 1, centred
        {400, 300, false, 0.5, 0, 0},        // smaller than the picture: shrinks like smooth
        {0, 0, false, 1.0, 0, 0},            // degenerate: the identity
    };
    for (const Case& c : cases) {
        const ViewFit fit = FitPicture(800, 600, c.OutW, c.OutH, c.Smooth);
        EXPECT_DOUBLE_EQ(fit.Scale, c.Scale) << c.OutW << "x" << c.OutH << (c.Smooth ? " smooth" : "");
        EXPECT_DOUBLE_EQ(fit.OffsetX, c.OffsetX) << c.OutW << "x" << c.OutH;
        EXPECT_DOUBLE_EQ(fit.OffsetY, c.OffsetY) << c.OutW << "x" << c.OutH;
    }
}

TEST(ViewMapping, HiDpiOutputMapsBackToWindowUnitsForTheMouse) {
    // A 1280 × 720 full-screen window on a display of twice the density: the renderer draws
    // 2560 × 1440 and puts the picture at 2× (480, 120); the mouse speaks window units.
    const ViewFit out = FitPicture(800, 600, 2560, 1440, false);
    const ViewFit win = ToWindowUnits(out, 2560, 1440, 1280, 720);
    EXPECT_DOUBLE_EQ(win.Scale, 1.0);
    EXPECT_DOUBLE_EQ(win.OffsetX, 240.0);
    EXPECT_DOUBLE_EQ(win.OffsetY, 60.0);
    EXPECT_EQ(WindowToLogical(win, {240, 60}), (Point{0, 0}));
    EXPECT_EQ(WindowToLogical(win, {1039, 659}), (Point{799, 599}));
    EXPECT_EQ(WindowToLogical(win, {239, 60}).X, -1);  // left bar
    EXPECT_EQ(WindowToLogical(win, {1040, 60}).X, 800);  // right bar

    // A --scale 2 window of 1600 × 1200 units drawn at 3200 × 2400: a logical pixel is 2 units.
    const ViewFit dense = ToWindowUnits(FitPicture(800, 600, 3200, 2400, false), 3200, 2400, 1600, 1200);
    EXPECT_DOUBLE_EQ(dense.Scale, 2.0);
    for (int x = 0; x < 800; x += 7) {
        const Point w = LogicalToWindow(dense, {x, x % 600});
        ASSERT_EQ(WindowToLogical(dense, w), (Point{x, x % 600})) << "x = " << x;
    }
    // Without HiDPI the output is the window: nothing changes; bad sizes leave the fit alone.
    const ViewFit same = ToWindowUnits(out, 2560, 1440, 2560, 1440);
    EXPECT_DOUBLE_EQ(same.OffsetX, 480.0);
    EXPECT_DOUBLE_EQ(ToWindowUnits(out, 2560, 1440, 0, 0).Scale, 2.0);
}

TEST(ViewMapping, DragStripIsTheTop33LogicalRows) {
    EXPECT_TRUE(InMsgDragStrip(0, 1));
    EXPECT_TRUE(InMsgDragStrip(32, 1));
    EXPECT_FALSE(InMsgDragStrip(33, 1));
    EXPECT_FALSE(InMsgDragStrip(-1, 1));
    EXPECT_TRUE(InMsgDragStrip(65, 2));    // logical row 32
    EXPECT_FALSE(InMsgDragStrip(66, 2));   // logical row 33
    EXPECT_TRUE(InMsgDragStrip(32, 0));    // a bad scale counts as 1
    EXPECT_FALSE(InMsgDragStrip(33, 0));
}

TEST(ViewMapping, CentreOverPlacesTheInnerBoxInTheMiddle) {
    EXPECT_EQ(CentreOver({100, 50}, {800, 600}, {320, 128}), (Point{340, 286}));
    EXPECT_EQ(CentreOver({0, 0}, {1600, 1200}, {640, 256}), (Point{480, 472}));
}

}  // namespace
}  // namespace orva
