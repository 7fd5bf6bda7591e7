// Fitting logical pictures into windows: integer scales, letterboxing, the drag strip.
#include "platform/sdl/view_mapping.h"

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
    EXPECT_EQ(LogicalToWindow(twice, {0, 416}), (Point{0, 832}));
    EXPECT_EQ(LogicalToWindow(wide, {0, 0}), (Point{240, 0}));
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
