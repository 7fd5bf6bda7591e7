// Text drawing: metrics of the mapped Japanese fonts, coverage blending, clipping, the glyph
// cache and the fallback for fonts that are not installed.
#include <gtest/gtest.h>

#include "graphics/font_names.h"
#include "graphics/text_render.h"

namespace orva {
namespace {

// Bounding box of pixels whose blue byte differs from `background`; {-1,...} when none.
struct Box {
    int X0 = -1, Y0 = -1, X1 = -1, Y1 = -1;
};
Box Inked(const TABitmap& b, uint8_t background) {
    Box box;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Row(y)[x * 4] != background) {
                if (box.X0 < 0 || x < box.X0) box.X0 = x;
                if (box.Y0 < 0) box.Y0 = y;
                box.X1 = std::max(box.X1, x);
                box.Y1 = y;
            }
    return box;
}

long CoverageSum(const TABitmap& b) {
    long sum = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) sum += b.Row(y)[x * 4];
    return sum;
}

TEST(FontNames, MapTheEngineNamesToTheIpaFamilies) {
    EXPECT_EQ(FontFamilyFor(kFontMincho), "IPAMincho");
    EXPECT_EQ(FontFamilyFor(kFontGothic), "IPAGothic");
    EXPECT_EQ(FontFamilyFor(kFontPGothic), "IPAPGothic");
    EXPECT_EQ(FontFamilyFor("Arial"), "");
}

TEST(TextRender, MinchoCellsAdvance28PixelsAt28WithAscent25) {
    TTextRenderer r;
    ASSERT_TRUE(r.SetFont(kFontMincho, 28));
    EXPECT_EQ(r.FamilyName(), "IPAMincho");
    EXPECT_EQ(r.TextWidth(u"あいうえお"), 140);
    EXPECT_EQ(r.TextWidth(u"ab"), 28);  // half-width: 14 each, unhinted
    EXPECT_EQ(r.Ascent(), 25);
    ASSERT_TRUE(r.SetFont(kFontGothic, 28));
    EXPECT_EQ(r.FamilyName(), "IPAGothic");
    EXPECT_EQ(r.TextWidth(u"「漢字」"), 112);
}

TEST(TextRender, GlyphsStayInsideTheirCellsAndLeaveTheRestAlone) {
    TTextRenderer r;
    ASSERT_TRUE(r.SetFont(kFontMincho, 28));
    TABitmap mask(400, 100);
    mask.FillColor(0, 0, 0);
    mask.Pixels()[0] = 0x7F000000u;  // a transparency byte the text must not touch
    r.TextOut(mask, 32, 10, u"漢字の国", 255, 255, 255);
    const Box box = Inked(mask, 0);
    EXPECT_GE(box.X0, 32);
    EXPECT_LT(box.X1, 32 + 4 * 28);
    EXPECT_GE(box.Y0, 10);
    EXPECT_LT(box.Y1, 10 + 28 + 4);  // the descender reaches a little below the cell
    EXPECT_EQ(mask.Pixels()[0], 0x7F000000u);
    // Strokes are solid and edges grey: 8-bit coverage, not a bilevel mask.
    bool full = false, partial = false;
    for (int y = box.Y0; y <= box.Y1; ++y)
        for (int x = box.X0; x <= box.X1; ++x) {
            const uint8_t v = mask.Row(y)[x * 4];
            full |= v == 255;
            partial |= v > 0 && v < 255;
            EXPECT_EQ(mask.Row(y)[x * 4 + 1], v);  // white text keeps the three channels equal
        }
    EXPECT_TRUE(full);
    EXPECT_TRUE(partial);
}

TEST(TextRender, ColourReplacesTheBackgroundWhereCoverageIsFull) {
    TTextRenderer r;
    ASSERT_TRUE(r.SetFont(kFontGothic, 28));
    TABitmap pic(100, 40);
    pic.FillColor(255, 255, 255);
    r.TextOut(pic, 0, 0, u"田", 255, 0, 0);
    int red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const uint8_t* px = pic.Row(y) + x * 4;
            EXPECT_EQ(px[2], 255);          // red never moves away from 255
            EXPECT_EQ(px[0], px[1]);        // blue and green fall together
            if (px[0] == 0) ++red;
        }
    EXPECT_GT(red, 50);                     // the strokes of 田 are pure red
}

TEST(TextRender, DrawsClippedAtEveryEdge) {
    TTextRenderer r;
    ASSERT_TRUE(r.SetFont(kFontMincho, 28));
    TABitmap pic(40, 30);
    pic.FillColor(0, 0, 0);
    r.TextOut(pic, -14, -10, u"漢字", 255, 255, 255);
    r.TextOut(pic, 30, 20, u"漢字", 255, 255, 255);
    r.TextOut(pic, 5000, -5000, u"漢字", 255, 255, 255);
    EXPECT_GT(CoverageSum(pic), 0);
    TABitmap empty;
    r.TextOut(empty, 0, 0, u"漢字", 255, 255, 255);
}

TEST(TextRender, KeepsGlyphsAndDrawsTheSameEachTime) {
    TTextRenderer r;
    ASSERT_TRUE(r.SetFont(kFontMincho, 28));
    TABitmap a(200, 40), b(200, 40);
    a.FillColor(0, 0, 0);
    b.FillColor(0, 0, 0);
    r.TextOut(a, 0, 0, u"ああいい", 255, 255, 255);
    const size_t cached = r.CachedGlyphs();
    EXPECT_EQ(cached, 2u);
    r.SetFont(kFontGothic, 28);
    r.SetFont(kFontMincho, 28);
    r.TextOut(b, 0, 0, u"いあ", 255, 255, 255);
    EXPECT_EQ(r.CachedGlyphs(), cached);
    // The second あ at x 28 of a is the first glyph of b moved by 28 pixels.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 28; ++x) EXPECT_EQ(a.Row(y)[(x + 28) * 4], b.Row(y)[(x + 28) * 4]) << x << "," << y;
}

TEST(TextRender, BoldAddsInkAndASizeScalesTheCell) {
    TTextRenderer r;
    TABitmap regular(100, 40), bold(100, 40), small(100, 40);
    for (TABitmap* p : {&regular, &bold, &small}) p->FillColor(0, 0, 0);
    ASSERT_TRUE(r.SetFont(kFontGothic, 28));
    r.TextOut(regular, 0, 0, u"字", 255, 255, 255);
    r.SetFont(kFontGothic, 28, true);
    r.TextOut(bold, 0, 0, u"字", 255, 255, 255);
    EXPECT_GT(CoverageSum(bold), CoverageSum(regular) * 11 / 10);
    r.SetFont(kFontGothic, 14);
    EXPECT_EQ(r.TextWidth(u"字字"), 28);
    r.TextOut(small, 0, 0, u"字", 255, 255, 255);
    EXPECT_LT(Inked(small, 0).Y1, 16);
}

TEST(TextRender, AnUnknownFontFallsBackToAJapaneseFont) {
    TTextRenderer r;
    EXPECT_TRUE(r.SetFont("ＭＳ 存在しない書体", 28));
    EXPECT_FALSE(r.FontFile().empty());
    TABitmap pic(60, 40);
    pic.FillColor(0, 0, 0);
    r.TextOut(pic, 0, 0, u"字", 255, 255, 255);
    EXPECT_GT(CoverageSum(pic), 0);
}

}  // namespace
}  // namespace orva
