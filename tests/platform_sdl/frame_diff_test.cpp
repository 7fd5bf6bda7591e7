// Changed rectangles between two frames: what the SDL backend uploads and presents.
#include "platform/sdl/frame_diff.h"

#include <gtest/gtest.h>

#include <vector>

namespace orva {
namespace {

struct Frame {
    int W, H;
    std::vector<uint32_t> Px;
    Frame(int w, int h, uint32_t v = 0x00102030u) : W(w), H(h), Px(static_cast<size_t>(w) * h, v) {}
    void Fill(int x, int y, int w, int h, uint32_t v) {
        for (int yy = y; yy < y + h; ++yy)
            for (int xx = x; xx < x + w; ++xx) Px[static_cast<size_t>(yy) * W + xx] = v;
    }
};

std::vector<PixelRect> Diff(const Frame& a, const Frame& b, int joinGap = 4) {
    return ChangedRects(a.Px.data(), a.W, b.Px.data(), b.W, a.W, a.H, joinGap);
}

TEST(FrameDiff, EqualFramesNeedNothingAndOneChangeIsBoundedExactly) {
    Frame a(800, 600), b(800, 600);
    EXPECT_TRUE(Diff(a, b).empty());

    // The click-wait icon: a 32×32 square at the message's end.
    b.Fill(700, 540, 32, 32, 0xFF00FF00u);
    EXPECT_EQ(Diff(a, b), (std::vector<PixelRect>{{700, 540, 32, 32}}));

    // A change in the transparency byte alone still counts: the pictures differ.
    Frame c(800, 600);
    c.Px[599 * 800 + 799] ^= 0xFF000000u;
    EXPECT_EQ(Diff(a, c), (std::vector<PixelRect>{{799, 599, 1, 1}}));
    c = a;
    c.Px[0] = 0;
    EXPECT_EQ(Diff(a, c), (std::vector<PixelRect>{{0, 0, 1, 1}}));
}

TEST(FrameDiff, RowRunsBecomeRectanglesJoinedAcrossSmallGaps) {
    Frame a(100, 100), b(100, 100);
    // A line of text printing at the left and an icon lower right, far apart: two rectangles.
    b.Fill(10, 10, 5, 20, 1);
    b.Fill(80, 70, 8, 8, 2);
    EXPECT_EQ(Diff(a, b), (std::vector<PixelRect>{{10, 10, 5, 20}, {80, 70, 8, 8}}));

    // A ragged glyph row: the rectangle spans every changed column of the run.
    Frame g(100, 100);
    g.Fill(20, 50, 3, 1, 5);
    g.Fill(40, 51, 3, 1, 5);
    g.Fill(30, 54, 1, 1, 5);  // three unchanged rows between: joined
    EXPECT_EQ(Diff(a, g), (std::vector<PixelRect>{{20, 50, 23, 5}}));
    EXPECT_EQ(Diff(a, g, 2), (std::vector<PixelRect>{{20, 50, 23, 2}, {30, 54, 1, 1}}));

    // More runs than are worth uploading one by one: their bounding box.
    Frame m(100, 100);
    for (int i = 0; i < 10; ++i) m.Fill(i * 9, i * 10, 2, 1, 7);
    EXPECT_EQ(Diff(a, m), (std::vector<PixelRect>{{0, 0, 83, 91}}));
}

TEST(FrameDiff, StridesAreHonouredAndBadArgumentsGiveNothing) {
    // The "before" picture is a 6-pixel-wide part of a wider buffer.
    std::vector<uint32_t> wide(10 * 4, 9), narrow(6 * 4, 9);
    narrow[2 * 6 + 5] = 1;
    wide[3 * 10 + 7] = 1;  // outside the compared width: ignored
    EXPECT_EQ(ChangedRects(wide.data(), 10, narrow.data(), 6, 6, 4), (std::vector<PixelRect>{{5, 2, 1, 1}}));
    EXPECT_TRUE(ChangedRects(nullptr, 6, narrow.data(), 6, 6, 4).empty());
    EXPECT_TRUE(ChangedRects(wide.data(), 10, narrow.data(), 6, 0, 4).empty());
}

}  // namespace
}  // namespace orva
