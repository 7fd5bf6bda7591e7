// TABitmap: the fast draw paths against the scalar reference, the clipping frame, the worked
// values the engine relies on, mask composition, scaling and inversion.
#include "graphics/abitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "graphics/pixel_kernels.h"
#include "graphics/reference.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

using ref::Op;

void FillRandom(TABitmap& b, std::mt19937& rng) {
    for (int i = 0; i < b.Width() * b.Height(); ++i) b.Pixels()[i] = rng();
}

// Transparency bytes drawn from the values the formulas treat specially as often as the rest.
uint32_t RandomPixel(std::mt19937& rng) {
    static const uint8_t kSpecial[] = {0, 1, 2, 127, 128, 254, 255};
    uint32_t p = rng();
    if (rng() % 2) p = (p & 0x00FFFFFFu) | uint32_t{kSpecial[rng() % 7]} << 24;
    return p;
}

bool SamePixels(const TABitmap& a, const TABitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::memcmp(a.Pixels(), b.Pixels(), static_cast<size_t>(a.Width()) * a.Height() * 4) == 0;
}

std::vector<const pixel::TKernels*> AllKernels() {
    std::vector<const pixel::TKernels*> all{&pixel::ScalarKernels()};
    if (auto* k = pixel::Sse2Kernels()) all.push_back(k);
    if (auto* k = pixel::Avx2Kernels()) all.push_back(k);
    return all;
}

uint32_t RefPixel(Op op, uint32_t s, uint32_t d, unsigned opacity) {
    const unsigned t = s >> 24;
    if (op == Op::AlphaKeyed && t == 255) return d;
    uint32_t r = 0;
    for (int ch = 0; ch < 4; ++ch)
        r |= uint32_t{ref::Channel(op, (s >> (8 * ch)) & 255, (d >> (8 * ch)) & 255, t, opacity)} << (8 * ch);
    return r;
}

// Every kernel table, every transparency value, every opacity, row lengths across the vector
// widths and their tails.
TEST(PixelKernels, EveryTableMatchesTheReferenceForAllTransparenciesAndOpacities) {
    std::mt19937 rng(7);
    for (const pixel::TKernels* k : AllKernels()) {
        SCOPED_TRACE(k->Name);
        for (unsigned opacity = 0; opacity <= 256; ++opacity) {
            const int n = static_cast<int>(opacity % 37);
            std::vector<uint32_t> s(n + 1), d(n + 1), mask(n + 1);
            for (int i = 0; i < n; ++i) {
                // Sweep T through all 256 values over the opacities, random colours.
                s[i] = (rng() & 0x00FFFFFFu) | ((opacity * 37 + i) & 255u) << 24;
                if (rng() % 4 == 0) s[i] = RandomPixel(rng);
                d[i] = rng();
                mask[i] = rng();
            }
            const uint32_t guard = 0xDEADBEEF;
            s[n] = d[n] = guard;
            const unsigned o255 = std::min(opacity, 255u);
            struct Case { Op op; unsigned a; } cases[] = {
                {Op::Blend, opacity}, {Op::Alpha, 0}, {Op::AlphaOpacity, o255}, {Op::AlphaKeyed, o255}, {Op::Add, opacity}};
            for (const Case& c : cases) {
                std::vector<uint32_t> out = d;
                switch (c.op) {
                    case Op::Blend: k->Blend(s.data(), out.data(), n, c.a); break;
                    case Op::Alpha: k->Alpha(s.data(), out.data(), n); break;
                    case Op::AlphaOpacity: k->AlphaOpacity(s.data(), out.data(), n, c.a); break;
                    case Op::AlphaKeyed: k->AlphaKeyed(s.data(), out.data(), n, c.a); break;
                    case Op::Add: k->Add(s.data(), out.data(), n, c.a); break;
                }
                for (int i = 0; i < n; ++i)
                    ASSERT_EQ(out[i], RefPixel(c.op, s[i], d[i], c.a))
                        << "op " << static_cast<int>(c.op) << " opacity " << c.a << " pixel " << i << " of " << n;
                EXPECT_EQ(out[n], guard) << "wrote past the row";
            }
            std::vector<uint32_t> out(n + 1, guard);
            k->Compose(s.data(), mask.data(), out.data(), n);
            for (int i = 0; i < n; ++i) ASSERT_EQ(out[i], (s[i] & 0xFFFFFFu) | (mask[i] & 255u) << 24);
            EXPECT_EQ(out[n], guard);
        }
    }
}

// The bilinear row kernels of every table against the per-channel formula, over every pair of
// weights, columns that repeat their pixel (the right edge) and rows of odd lengths.
TEST(PixelKernels, EveryBilinearTableMatchesTheChannelFormula) {
    std::mt19937 rng(13);
    std::vector<uint32_t> a(64), b(64);
    for (size_t i = 0; i < a.size(); ++i) a[i] = RandomPixel(rng), b[i] = RandomPixel(rng);
    a[5] = b[6] = 0xFFFFFFFFu;  // the largest products
    for (const pixel::TKernels* k : AllKernels()) {
        SCOPED_TRACE(k->Name);
        for (unsigned fy = 0; fy <= 255; ++fy) {
            const int n = static_cast<int>(fy % 11);
            std::vector<pixel::TBilinearColumn> cols(n);
            for (int c = 0; c < n; ++c) {
                const int32_t left = static_cast<int32_t>(rng() % 63);
                cols[c] = {left, rng() % 4 == 0 ? left : left + 1, (fy * 7 + static_cast<unsigned>(c) * 31) & 255u};
            }
            if (n > 0) cols[0] = {5, 6, 255 - fy};
            const uint32_t guard = 0xDEADBEEF;
            std::vector<uint32_t> out(n + 1, guard);
            k->Bilinear(a.data(), b.data(), cols.data(), n, fy, out.data());
            for (int c = 0; c < n; ++c) {
                const auto& col = cols[c];
                for (int ch = 0; ch < 4; ++ch) {
                    auto at = [&](const std::vector<uint32_t>& row, int32_t i) { return (row[i] >> (8 * ch)) & 255u; };
                    const unsigned top = (at(a, col.Left) * (255 - col.Fx) + at(a, col.Right) * col.Fx) >> 8;
                    const unsigned bottom = (at(b, col.Left) * (255 - col.Fx) + at(b, col.Right) * col.Fx) >> 8;
                    ASSERT_EQ((out[c] >> (8 * ch)) & 255u, (top * (255 - fy) + bottom * fy) >> 8)
                        << "fy " << fy << " column " << c << " channel " << ch;
                }
            }
            EXPECT_EQ(out[n], guard) << "wrote past the row";
        }
    }
}

// The public draws over random sizes, positions and clippings (source rectangles kept inside
// the source, as the engine's callers do) give the reference's pictures byte for byte.
TEST(TABitmapDraw, RandomisedDrawsMatchTheReference) {
    std::mt19937 rng(42);
    for (int iter = 0; iter < 1500; ++iter) {
        TABitmap src(1 + rng() % 70, 1 + rng() % 40), dest(1 + rng() % 70, 1 + rng() % 40);
        for (int i = 0; i < src.Width() * src.Height(); ++i) src.Pixels()[i] = RandomPixel(rng);
        FillRandom(dest, rng);
        const int w = 1 + rng() % src.Width(), h = 1 + rng() % src.Height();
        const int sx = rng() % (src.Width() - w + 1), sy = rng() % (src.Height() - h + 1);
        const int dx = static_cast<int>(rng() % (dest.Width() + 2 * w)) - w - 2;
        const int dy = static_cast<int>(rng() % (dest.Height() + 2 * h)) - h - 2;
        const Op op = static_cast<Op>(iter % 5);
        unsigned opacity = rng() % 257;
        if (op == Op::AlphaOpacity || op == Op::AlphaKeyed) opacity = std::min(opacity, 255u);
        TABitmap expect;
        expect.Assign(dest);
        ref::Draw(op, src, dx, dy, w, h, sx, sy, expect, opacity);
        const uint16_t o = static_cast<uint16_t>(opacity);
        switch (op) {
            case Op::Blend:
                if (iter % 2) src.DrawBlend(dx, dy, w, h, sx, sy, dest, o);
                else src.DrawBlend2(dx, dy, w, h, sx, sy, dest, o);
                break;
            case Op::Alpha: src.DrawAlpha(dx, dy, w, h, sx, sy, dest); break;
            case Op::AlphaOpacity: src.DrawAlphaOpacity(dx, dy, w, h, sx, sy, dest, o); break;
            case Op::AlphaKeyed: src.DrawAlphaKeyed(dx, dy, w, h, sx, sy, dest, o); break;
            case Op::Add: src.DrawAdd(dx, dy, w, h, sx, sy, dest, o); break;
        }
        ASSERT_TRUE(SamePixels(dest, expect)) << "iteration " << iter << " op " << static_cast<int>(op) << " at ("
                                              << dx << "," << dy << ") " << w << "x" << h;
    }
}

TEST(TABitmapDraw, WorkedValuesOfTheFormulas) {
    TABitmap src(1, 1), dest(1, 1);
    auto px = [](uint8_t b, uint8_t g, uint8_t r, uint8_t t) {
        return uint32_t{b} | uint32_t{g} << 8 | uint32_t{r} << 16 | uint32_t{t} << 24;
    };
    // DrawAlpha of (10, 20, 30, T 0) onto (250, 250, 250, 0): (127 s + 250) >> 7.
    src.Pixels()[0] = px(30, 20, 10, 0);
    dest.Pixels()[0] = px(250, 250, 250, 0);
    src.DrawAlpha(0, 0, 1, 1, 0, 0, dest);
    EXPECT_EQ(dest.Pixels()[0], px(31, 21, 11, 0));
    // An invisible pixel leaves the destination as it was.
    src.Pixels()[0] = px(1, 2, 3, 255);
    dest.Pixels()[0] = px(200, 100, 50, 7);
    src.DrawAlpha(0, 0, 1, 1, 0, 0, dest);
    EXPECT_EQ(dest.Pixels()[0], px(200, 100, 50, 7));
    // Opaque at opacity 255 is one step darker for 255.
    src.Pixels()[0] = px(255, 255, 255, 0);
    dest.Pixels()[0] = px(0, 0, 0, 0);
    src.DrawAlphaOpacity(0, 0, 1, 1, 0, 0, dest, 255);
    EXPECT_EQ(dest.Pixels()[0], px(254, 254, 254, 0));
    // DrawBlend at 256 copies, at 0 keeps.
    src.Pixels()[0] = px(9, 8, 7, 6);
    dest.Pixels()[0] = px(90, 80, 70, 60);
    src.DrawBlend(0, 0, 1, 1, 0, 0, dest, 0);
    EXPECT_EQ(dest.Pixels()[0], px(90, 80, 70, 60));
    src.DrawBlend(0, 0, 1, 1, 0, 0, dest, 256);
    EXPECT_EQ(dest.Pixels()[0], px(9, 8, 7, 6));
    // DrawAdd saturates each channel.
    src.Pixels()[0] = px(255, 20, 0, 0);
    dest.Pixels()[0] = px(200, 200, 5, 255);
    src.DrawAdd(0, 0, 1, 1, 0, 0, dest, 256);
    EXPECT_EQ(dest.Pixels()[0], px(255, 220, 5, 255));
}

TEST(TABitmapDraw, OpacityZeroScalesTheDestinationAndKeyedSkipsInvisiblePixels) {
    TABitmap src(64, 3), dest(64, 3);
    for (int i = 0; i < 64 * 3; ++i) src.Pixels()[i] = 0x00102030u | uint32_t(i % 256) << 24;
    // Opacity 0: w = 0 for every T, so 255 becomes 254 and every pixel is rescaled.
    dest.FillColor(255, 255, 255);
    src.DrawAlphaOpacity(0, 0, 64, 3, 0, 0, dest, 0);
    for (int i = 0; i < 64 * 3; ++i) ASSERT_EQ(dest.Pixels()[i], 0x00FEFEFEu);

    // Under fully invisible source pixels the keyed draw keeps the destination bit for bit,
    // while the unkeyed draw rescales it.
    TABitmap inv(40, 2);
    for (int i = 0; i < 80; ++i) inv.Pixels()[i] = 0xFF000000u | (i * 12345u & 0xFFFFFFu);
    TABitmap keyed(40, 2), unkeyed(40, 2);
    for (int i = 0; i < 80; ++i) keyed.Pixels()[i] = unkeyed.Pixels()[i] = 0x80C0E0F0u + i;
    TABitmap before;
    before.Assign(keyed);
    inv.DrawAlphaKeyed(0, 0, 40, 2, 0, 0, keyed, 255);
    inv.DrawAlphaOpacity(0, 0, 40, 2, 0, 0, unkeyed, 255);
    EXPECT_TRUE(SamePixels(keyed, before));
    EXPECT_FALSE(SamePixels(unkeyed, before));
    EXPECT_EQ(unkeyed.Pixels()[0] & 0xFF, (0xF0u * 255) >> 8);
}

TEST(TABitmapDraw, ClippingAtTheFourEdges) {
    TABitmap src(100, 10), dest(800, 20);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 100; ++x) src.Pixels()[y * 100 + x] = uint32_t(x) | uint32_t(y) << 8;  // opaque, B = column
    auto columnAt = [&](int x, int y) { return static_cast<int>(dest.Pixels()[y * kScreenWidth + x] & 0xFF); };

    // DX = −50, W = 100: the right-hand 50 columns land at 0 … 49.
    dest.FillColor(0, 0, 0);
    src.DrawBlend(-50, 0, 100, 10, 0, 0, dest, 256);
    EXPECT_EQ(columnAt(0, 0), 50);
    EXPECT_EQ(columnAt(49, 0), 99);
    EXPECT_EQ(dest.Pixels()[50], 0u);

    // DX = 790, W = 100 onto 800 wide: 10 columns.
    dest.FillColor(0, 0, 0);
    src.DrawBlend(790, 0, 100, 10, 0, 0, dest, 256);
    EXPECT_EQ(dest.Pixels()[789], 0u);
    EXPECT_EQ(columnAt(790, 0), 0);
    EXPECT_EQ(columnAt(799, 0), 9);
    EXPECT_EQ(dest.Pixels()[800 + 789], 0u);  // the row below starts clean: nothing wrapped

    // Right of, below, and wholly left of or above the destination: nothing at all.
    TABitmap clean(800, 20);
    clean.FillColor(1, 2, 3);
    dest.Assign(clean);
    src.DrawBlend(800, 0, 100, 10, 0, 0, dest, 256);
    src.DrawAlpha(0, 20, 100, 10, 0, 0, dest);
    src.DrawAlphaKeyed(-100, 0, 100, 10, 0, 0, dest, 255);
    src.DrawAdd(0, -10, 100, 10, 0, 0, dest, 256);
    src.DrawAlphaOpacity(5, 5, 0, 10, 0, 0, dest, 255);
    EXPECT_TRUE(SamePixels(dest, clean));

    // DY = −4: rows 4 … 9 of the source at 0 … 5.
    src.DrawBlend(0, -4, 100, 10, 0, 0, dest, 256);
    EXPECT_EQ(dest.Pixels()[0] >> 8 & 0xFF, 4u);
    EXPECT_EQ(dest.Pixels()[5 * 800] >> 8 & 0xFF, 9u);
    EXPECT_EQ(dest.Pixels()[6 * 800], clean.Pixels()[0]);
}

// A source rectangle that reaches past the source picture draws only the pixels that exist.
TEST(TABitmapDraw, SourceRectanglePastTheSourceIsCutNotOverread) {
    TABitmap src(8, 4), dest(20, 20);
    src.FillColor(0, 0, 200);
    dest.FillColor(0, 0, 0);
    src.DrawBlend(0, 0, 20, 20, 4, 2, dest, 256);  // only 4 × 2 source pixels exist there
    int copied = 0;
    for (int i = 0; i < 400; ++i) copied += dest.Pixels()[i] == 200u;
    EXPECT_EQ(copied, 8);
    EXPECT_EQ(dest.Pixels()[3], 200u);
    EXPECT_EQ(dest.Pixels()[4], 0u);
    // A negative source position moves the destination with it.
    dest.FillColor(0, 0, 0);
    src.DrawAlphaOpacity(0, 0, 8, 4, -3, -1, dest, 255);
    EXPECT_EQ(dest.Pixels()[0], 0u);
    EXPECT_EQ(dest.Pixels()[20 + 3], (200u * 255) >> 8);
    EXPECT_EQ(dest.Pixels()[20 * 3 + 7], (200u * 255) >> 8);
    EXPECT_EQ(dest.Pixels()[20 * 3 + 8], 0u);
    EXPECT_EQ(dest.Pixels()[20 * 4 + 3], 0u);
    // An unready source or destination draws nothing; DrawAdd onto an empty picture is harmless.
    TABitmap empty;
    src.DrawAlpha(0, 0, 8, 4, 0, 0, empty);
    src.DrawAdd(0, 0, 8, 4, 0, 0, empty, 256);
    empty.DrawAdd(0, 0, 8, 4, 0, 0, dest, 256);
    EXPECT_EQ(dest.Pixels()[20 + 3], (200u * 255) >> 8);
}

// Opacities beyond their range act as the range's end: 256 for the blend and the add, 255
// for the alpha draws.
TEST(TABitmapDraw, OpacitiesPastTheirRangeActAsTheirLimit) {
    std::mt19937 rng(11);
    TABitmap src(17, 3), base(17, 3);
    FillRandom(src, rng);
    FillRandom(base, rng);
    using Draw = void (TABitmap::*)(int, int, int, int, int, int, TABitmap&, uint16_t) const;
    const struct {
        Draw Op;
        uint16_t Limit;
        const char* Name;
    } ops[] = {{&TABitmap::DrawBlend, 256, "blend"},        {&TABitmap::DrawBlend2, 256, "blend2"},
               {&TABitmap::DrawAdd, 256, "add"},            {&TABitmap::DrawAlphaOpacity, 255, "alpha"},
               {&TABitmap::DrawAlphaKeyed, 255, "keyed"}};
    for (const auto& op : ops) {
        TABitmap atLimit, past;
        atLimit.Assign(base);
        (src.*op.Op)(0, 0, 17, 3, 0, 0, atLimit, op.Limit);
        for (uint16_t opacity : {uint16_t(op.Limit + 1), uint16_t(300), uint16_t(65535)}) {
            past.Assign(base);
            (src.*op.Op)(0, 0, 17, 3, 0, 0, past, opacity);
            EXPECT_TRUE(SamePixels(past, atLimit)) << op.Name << " at " << opacity;
        }
    }
}

// The draw kernels read and write in one pass, so a picture drawn onto itself is left as it
// was rather than smeared (CopyRect, which moves whole rows, is the way to shift a picture).
TEST(TABitmapDraw, APictureDrawnOntoItselfIsLeftAsItWas) {
    std::mt19937 rng(12);
    TABitmap pic(24, 6), orig;
    FillRandom(pic, rng);
    orig.Assign(pic);
    pic.DrawBlend(1, 1, 24, 6, 0, 0, pic, 256);
    pic.DrawBlend(0, 0, 24, 6, 1, 0, pic, 100);
    pic.DrawBlend2(2, 0, 24, 6, 0, 0, pic, 128);
    pic.DrawAlpha(1, 0, 24, 6, 0, 0, pic);
    pic.DrawAlphaOpacity(0, 1, 24, 6, 0, 0, pic, 200);
    pic.DrawAlphaKeyed(3, 2, 24, 6, 0, 0, pic, 255);
    pic.DrawAdd(0, 0, 24, 6, 0, 0, pic, 256);
    EXPECT_TRUE(SamePixels(pic, orig));
}

TEST(TABitmapDraw, TwoPixelBlendMatchesTheOnePixelFormForEvenAndOddWidths) {
    std::mt19937 rng(3);
    TABitmap src(33, 5);
    FillRandom(src, rng);
    for (int w : {32, 33, 1, 2}) {
        for (int dx : {-1, 0, 3, 30}) {
            TABitmap a(40, 6), b;
            FillRandom(a, rng);
            b.Assign(a);
            src.DrawBlend(dx, 1, w, 5, 0, 0, a, 77);
            src.DrawBlend2(dx, 1, w, 5, 0, 0, b, 77);
            EXPECT_TRUE(SamePixels(a, b)) << "w " << w << " dx " << dx;
        }
    }
}

TEST(TABitmapCompose, MaskBlueBecomesTransparency) {
    TABitmap colour(5, 3), mask(5, 3), out;
    for (int i = 0; i < 15; ++i) colour.Pixels()[i] = 0x11223344u + i;
    // All-white mask: every pixel invisible, colours kept.
    mask.FillColor(255, 255, 255);
    colour.ComposeFromMask(mask, out);
    ASSERT_EQ(out.Width(), 5);
    ASSERT_EQ(out.Height(), 3);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(out.Pixels()[i], 0xFF223344u + i);
    // Only the blue byte counts.
    for (int i = 0; i < 15; ++i) mask.Pixels()[i] = 0x00FFFF00u | uint32_t(i * 10);
    colour.ComposeFromMask(mask, out);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(out.Pixels()[i] >> 24, uint32_t(i * 10));
    // A mask smaller than the picture: the uncovered pixels are invisible, nothing is overread.
    TABitmap small(2, 1);
    small.FillColor(0, 0, 0);
    colour.ComposeFromMask(small, out);
    EXPECT_EQ(out.Pixels()[0] >> 24, 0u);
    EXPECT_EQ(out.Pixels()[1] >> 24, 0u);
    EXPECT_EQ(out.Pixels()[2] >> 24, 255u);
    EXPECT_EQ(out.Pixels()[5] >> 24, 255u);
    // Composing into the colour picture itself, and into the mask itself.
    TABitmap self;
    self.Assign(colour);
    self.ComposeFromMask(mask, self);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(self.Pixels()[i], (0x11223344u + i) % 0x1000000u | uint32_t(i * 10) << 24);
    TABitmap m2;
    m2.Assign(mask);
    colour.ComposeFromMask(m2, m2);
    EXPECT_TRUE(SamePixels(m2, self));
}

TEST(TABitmapStretch, ThumbnailReductionMatchesTheReferenceWithItsEdgeRules) {
    std::mt19937 rng(11);
    TABitmap scene(kScreenWidth, kScreenHeight);
    FillRandom(scene, rng);
    TABitmap thumb(96, 72), expect(96, 72);
    thumb.FillColor(0, 0, 0);
    expect.FillColor(0, 0, 0);
    TABitmap::StretchBilinear(96, 72, scene, 0, 0, kScreenWidth, kScreenHeight, 0, 0, thumb);
    ref::Stretch(96, 72, scene, 0, 0, kScreenWidth, kScreenHeight, 0, 0, expect);
    EXPECT_TRUE(SamePixels(thumb, expect));
    // C0 = 95: the last column repeats its neighbour's sample.
    for (int y = 0; y < 72; ++y) ASSERT_EQ(thumb.Pixels()[y * 96 + 95], thumb.Pixels()[y * 96 + 94]);
    // R0 = 71: the last row samples source row 599 with fy = 0 (and row 71 under step 3 would
    // have come from row 591).
    for (int x = 0; x < 95; ++x) {
        const int64_t sxp = int64_t{x} * 546125;
        const int i = static_cast<int>(sxp >> 16);
        const unsigned fx = (sxp >> 8) & 255;
        const uint8_t* row = scene.Row(599);
        for (int ch = 0; ch < 4; ++ch) {
            const unsigned top = (row[i * 4 + ch] * (255 - fx) + row[(i + 1) * 4 + ch] * fx) >> 8;
            ASSERT_EQ(thumb.Row(71)[x * 4 + ch], (top * 255) >> 8) << "column " << x;
        }
    }
    // A rectangle that ends above the bottom, and one at an offset in a larger picture.
    TABitmap big(120, 100), bigExpect(120, 100);
    big.FillColor(9, 9, 9);
    bigExpect.FillColor(9, 9, 9);
    TABitmap::StretchBilinear(50, 40, scene, 100, 50, 300, 200, 10, 20, big);
    ref::Stretch(50, 40, scene, 100, 50, 300, 200, 10, 20, bigExpect);
    EXPECT_TRUE(SamePixels(big, bigExpect));
    // Enlarging a picture up to its right edge repeats the last pixel instead of reading past it.
    TABitmap tiny(3, 2), grown(9, 7), grownExpect(9, 7);
    FillRandom(tiny, rng);
    TABitmap::StretchBilinear(9, 7, tiny, 0, 0, 3, 2, 0, 0, grown);
    ref::Stretch(9, 7, tiny, 0, 0, 3, 2, 0, 0, grownExpect);
    EXPECT_TRUE(SamePixels(grown, grownExpect));
}

TEST(TABitmapStretch, OutOfRangeArgumentsDrawNothingOrStayInside) {
    TABitmap src(10, 10), dest(8, 8), clean(8, 8);
    src.FillColor(200, 100, 50);
    dest.FillColor(1, 1, 1);
    clean.FillColor(1, 1, 1);
    TABitmap::StretchBilinear(8, 8, src, 11, 0, 5, 5, 0, 0, dest);  // source position outside
    TABitmap::StretchBilinear(8, 8, src, 0, 0, 5, 5, 8, 0, dest);   // destination position outside
    TABitmap::StretchBilinear(8, 8, src, 0, 0, 5, 5, -8, 0, dest);  // wholly left
    TABitmap::StretchBilinear(0, 8, src, 0, 0, 5, 5, 0, 0, dest);   // no width
    EXPECT_TRUE(SamePixels(dest, clean));
    // Partly outside the destination and a source extent past the source: clipped, no overrun.
    TABitmap::StretchBilinear(16, 16, src, 4, 4, 50, 50, -4, -4, dest);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(dest.Pixels()[i], 0x00C66230u) << i;  // uniform colour: (((p × 255) >> 8) × 255) >> 8
}

// A reduction hanging over every edge of its destination draws exactly the part of the full
// reduction that falls inside, and nothing else.
TEST(TABitmapStretch, ClippedReductionIsTheVisiblePartOfTheWholeOne) {
    std::mt19937 rng(17);
    TABitmap scene(200, 150);
    FillRandom(scene, rng);
    TABitmap whole(48, 36);
    whole.FillColor(0, 0, 0);
    ref::Stretch(48, 36, scene, 0, 0, 200, 150, 0, 0, whole);
    for (const auto& [dx, dy] : {std::pair{-7, -5}, std::pair{20, 10}, std::pair{-30, 25}}) {
        TABitmap dest(40, 30);
        dest.FillColor(3, 4, 5);
        const uint32_t background = dest.Pixels()[0];
        TABitmap::StretchBilinear(48, 36, scene, 0, 0, 200, 150, dx, dy, dest);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const int wx = x - dx, wy = y - dy;
                const bool inside = wx >= 0 && wx < 48 && wy >= 0 && wy < 36;
                ASSERT_EQ(dest.Pixels()[y * 40 + x], inside ? whole.Pixels()[wy * 48 + wx] : background)
                    << "offset " << dx << "," << dy << " pixel " << x << "," << y;
            }
    }
}

TEST(TABitmapCanvas, InvertFillCopyAndResize) {
    std::mt19937 rng(5);
    TABitmap pic(30, 20), orig;
    FillRandom(pic, rng);
    orig.Assign(pic);
    TABitmap::InvertRect(-5, 3, 20, 100, pic);
    EXPECT_EQ(pic.Pixels()[3 * 30 + 0], orig.Pixels()[3 * 30 + 0] ^ 0x00FFFFFFu);  // colours inverted, T kept
    EXPECT_EQ(pic.Pixels()[3 * 30 + 14], orig.Pixels()[3 * 30 + 14] ^ 0x00FFFFFFu);
    EXPECT_EQ(pic.Pixels()[3 * 30 + 15], orig.Pixels()[3 * 30 + 15]);
    EXPECT_EQ(pic.Pixels()[2 * 30 + 0], orig.Pixels()[2 * 30 + 0]);
    TABitmap::InvertRect(-5, 3, 20, 100, pic);
    EXPECT_TRUE(SamePixels(pic, orig));

    // FillRect clips and writes transparency 0; FillColor covers everything.
    pic.FillRect(25, -2, 100, 4, 10, 20, 30);
    EXPECT_EQ(pic.Pixels()[29], 0x000A141Eu);
    EXPECT_EQ(pic.Pixels()[30 + 25], 0x000A141Eu);
    EXPECT_EQ(pic.Pixels()[2 * 30 + 25], orig.Pixels()[2 * 30 + 25]);
    EXPECT_EQ(pic.Pixels()[24], orig.Pixels()[24]);

    // CopyRect copies all four bytes, clipped; a picture onto itself with overlap.
    TABitmap dst(10, 10);
    dst.FillColor(0, 0, 0);
    orig.CopyRect(-2, 8, 5, 5, 0, 0, dst);
    EXPECT_EQ(dst.Pixels()[8 * 10 + 0], orig.Pixels()[2]);
    EXPECT_EQ(dst.Pixels()[9 * 10 + 2], orig.Pixels()[30 + 4]);
    EXPECT_EQ(dst.Pixels()[9 * 10 + 3], 0u);
    TABitmap shifted;
    shifted.Assign(orig);
    shifted.CopyRect(0, 1, 30, 19, 0, 0, shifted);
    for (int y = 1; y < 20; ++y) ASSERT_EQ(shifted.Pixels()[y * 30 + 7], orig.Pixels()[(y - 1) * 30 + 7]);

    // SetSize32 keeps the shared part, clears the new part; negative sizes mean empty.
    TABitmap grow;
    grow.Assign(orig);
    grow.SetSize32(35, 10);
    EXPECT_EQ(grow.Pixels()[35 + 3], orig.Pixels()[30 + 3]);
    EXPECT_EQ(grow.Pixels()[35 + 32], 0u);
    EXPECT_EQ(reinterpret_cast<const uint32_t*>(grow.Row(2))[1], orig.Pixels()[61]);
    grow.SetSize32(-1, 5);
    EXPECT_FALSE(grow.IsReady());
    grow.FillColor(1, 2, 3);  // harmless on an empty picture
}

// The write tracking the painting relies on to reuse composed pixels: every way of writing
// moves the generation on and widens the written box by what was actually written.
TEST(TABitmapWrites, EveryWriteMovesTheGenerationAndTheBoxCoversWhatWasWritten) {
    TABitmap dest(100, 80), src(40, 40);
    src.FillColor(9, 9, 9);
    int x = 0, y = 0, w = 0, h = 0;
    EXPECT_TRUE(dest.Written(x, y, w, h));  // a new picture is written whole
    dest.ClearWritten();
    EXPECT_FALSE(dest.Written(x, y, w, h));

    uint64_t gen = dest.Generation();
    auto moved = [&] {
        const bool m = dest.Generation() != gen;
        gen = dest.Generation();
        return m;
    };
    src.DrawAlphaOpacity(90, 70, 40, 40, 0, 0, dest, 255);  // clipped to 10 × 10
    EXPECT_TRUE(moved());
    ASSERT_TRUE(dest.Written(x, y, w, h));
    EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{90, 70, 10, 10}));
    src.CopyRect(5, 6, 4, 3, 0, 0, dest);
    dest.FillRect(-10, 20, 15, 2, 1, 2, 3);
    TABitmap::InvertRect(50, 50, 1, 1, dest);
    EXPECT_TRUE(moved());
    ASSERT_TRUE(dest.Written(x, y, w, h));
    EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{0, 6, 100, 74}));

    // Reads leave it alone; a draw that misses the picture writes nothing.
    dest.ClearWritten();
    std::as_const(dest).Pixels();
    src.CopyRect(0, 0, 100, 80, 0, 0, src);
    src.DrawAlpha(200, 200, 10, 10, 0, 0, dest);
    EXPECT_FALSE(dest.Written(x, y, w, h));

    // Writable access, resizes, Assign and copies count as writing everything.
    for (auto write : {+[](TABitmap& b) { b.Pixels(); }, +[](TABitmap& b) { b.Row(3); },
                       +[](TABitmap& b) { b.SetSize32(100, 81); }, +[](TABitmap& b) { b.Assign(TABitmap(5, 5)); },
                       +[](TABitmap& b) { b = TABitmap(7, 7); },
                       +[](TABitmap& b) { TABitmap::StretchBilinear(2, 2, TABitmap(4, 4), 0, 0, 4, 4, 0, 0, b); }}) {
        dest.ClearWritten();
        write(dest);
        EXPECT_TRUE(moved());
        ASSERT_TRUE(dest.Written(x, y, w, h));
        EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{0, 0, dest.Width(), dest.Height()}));
    }
    // Generations are unique across pictures: a copy never looks like the picture it replaced.
    TABitmap a(4, 4), b(4, 4);
    EXPECT_NE(a.Generation(), b.Generation());
    const uint64_t before = a.Generation();
    a = b;
    EXPECT_NE(a.Generation(), before);
    EXPECT_NE(a.Generation(), b.Generation());
}

}  // namespace
}  // namespace orva
