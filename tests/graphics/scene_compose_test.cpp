// Scene composition against a plain per-pixel reference, slot filling, and the fade step.
#include <gtest/gtest.h>

#include <random>

#include "graphics/reference.h"
#include "graphics/scene_compose.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

TABitmap Noise(int w, int h, uint32_t seed, bool withInvisible) {
    TABitmap b(w, h);
    std::mt19937 rng(seed);
    for (int i = 0; i < w * h; ++i) {
        uint32_t t = rng() & 0xFF;
        if (withInvisible && (i / 7) % 3 == 0) t = 255;  // runs of invisible pixels
        b.Pixels()[i] = (rng() & 0x00FFFFFFu) | t << 24;
    }
    return b;
}

// The composition written the plain way: black, the background byte for byte, layers 5 … 1.
TABitmap ReferenceScene(const TABitmap& background, const std::array<SceneLayer, kCharacterLayers>& layers) {
    TABitmap next(kScreenWidth, kScreenHeight);
    next.FillColor(0, 0, 0);
    for (int y = 0; y < std::min(background.Height(), kScreenHeight); ++y)
        for (int x = 0; x < std::min(background.Width(), kScreenWidth); ++x)
            next.Pixels()[y * kScreenWidth + x] = background.Pixels()[y * background.Width() + x];
    for (int s = kCharacterLayers - 1; s >= 0; --s) {
        const SceneLayer& l = layers[static_cast<size_t>(s)];
        if (l.Picture)
            ref::Draw(ref::Op::AlphaKeyed, *l.Picture, l.X, l.Y, l.Picture->Width(), l.Picture->Height(), 0, 0, next,
                      static_cast<unsigned>(l.Opacity));
    }
    return next;
}

bool SamePixels(const TABitmap& a, const TABitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Pixels(), a.Pixels() + static_cast<size_t>(a.Width()) * a.Height(), b.Pixels());
}

TEST(ComposeScene, LayersOverlapClipAndHideLikeTheReference) {
    const TABitmap background = Noise(kScreenWidth, kScreenHeight, 1, false);
    const TABitmap left = Noise(400, kScreenHeight, 2, true), middle = Noise(400, 500, 3, true), small = Noise(64, 48, 4, true);
    std::array<SceneLayer, kCharacterLayers> layers;
    layers[0] = {&left, -200, 0, 255};     // position code 1: left edge off screen
    layers[1] = {&middle, 0, 100, 255};    // overlaps layer 1, which must cover it
    layers[3] = {&small, 780, 580, 128};   // reaches past the bottom-right corner
    layers[4] = {&small, 300, 40, 0};      // opacity 0 still rescales under visible pixels
    TABitmap next;
    ComposeScene(background, layers, next);
    EXPECT_TRUE(SamePixels(next, ReferenceScene(background, layers)));

    // Layer 1 over layer 2: where both are opaque, the result is layer 1's draw over layer 2's.
    TABitmap opaque1(400, kScreenHeight), opaque2(400, kScreenHeight);
    opaque1.FillColor(200, 0, 0);
    opaque2.FillColor(0, 0, 200);
    std::array<SceneLayer, kCharacterLayers> pair;
    pair[0] = {&opaque1, 0, 0, 255};
    pair[1] = {&opaque2, 200, 0, 255};
    ComposeScene(background, pair, next);
    const uint32_t overlap = next.Pixels()[300 * kScreenWidth + 300];
    EXPECT_EQ(overlap >> 16 & 0xFF, 199u);  // (255 × 200 + 0 × d) >> 8 with w = 255
    EXPECT_EQ(overlap & 0xFF, 0u);          // layer 2's blue is gone: (0 × 255 + 199 × 0) >> 8

    // A hidden layer (no picture) draws nothing, even though it holds one.
    std::array<SceneLayer, kCharacterLayers> none;
    ComposeScene(background, none, next);
    EXPECT_TRUE(SamePixels(next, background));
}

TEST(ComposeScene, SmallBackgroundLeavesBlackBandsAndItsTransparencyIsIgnored) {
    TABitmap background(640, 480);
    background.FillColor(10, 20, 30);
    for (int i = 0; i < 640 * 480; ++i) background.Pixels()[i] |= 0x80000000u;  // half transparent: copied as is
    TABitmap next = Noise(kScreenWidth, kScreenHeight, 9, false);                                  // the old scene must not show
    ComposeScene(background, {}, next);
    EXPECT_EQ(next.Pixels()[0], 0x800A141Eu);  // (B 30, G 20, R 10, T 128)
    EXPECT_EQ(next.Pixels()[479 * kScreenWidth + 639], 0x800A141Eu);
    EXPECT_EQ(next.Pixels()[100 * kScreenWidth + 700], 0u);  // right band: opaque black
    EXPECT_EQ(next.Pixels()[500 * kScreenWidth + 100], 0u);  // bottom band
    EXPECT_EQ(next.Pixels()[599 * kScreenWidth + 799], 0u);

    // A larger background is cut at the screen's edge.
    const TABitmap big = Noise(900, 700, 10, false);
    ComposeScene(big, {}, next);
    ASSERT_EQ(next.Width(), kScreenWidth);
    for (int y = 0; y < kScreenHeight; ++y)
        ASSERT_TRUE(std::equal(next.Pixels() + y * kScreenWidth, next.Pixels() + y * kScreenWidth + kScreenWidth, big.Pixels() + y * 900)) << y;
}

TEST(FillSlotPicture, BackgroundDropsTransparencyAndAPictureWithoutAlphaIsInvisible) {
    TABitmap decoded = Noise(30, 20, 5, false);
    TABitmap target(kScreenWidth, kScreenHeight);
    FillSlotPicture(decoded, true, SlotFill::Colours, target);
    ASSERT_EQ(target.Width(), 30);
    for (int i = 0; i < 30 * 20; ++i) ASSERT_EQ(target.Pixels()[i], decoded.Pixels()[i] & 0x00FFFFFFu);
    FillSlotPicture(decoded, true, SlotFill::WithMask, target);
    EXPECT_TRUE(SamePixels(target, decoded));

    // Without transparency information every pixel gets 255 and the layer draws as nothing.
    TABitmap opaque = Noise(30, 20, 6, false);
    for (int i = 0; i < 30 * 20; ++i) opaque.Pixels()[i] &= 0x00FFFFFFu;
    FillSlotPicture(opaque, false, SlotFill::WithMask, target);
    for (int i = 0; i < 30 * 20; ++i) ASSERT_EQ(target.Pixels()[i] >> 24, 255u);
    const TABitmap background = Noise(kScreenWidth, kScreenHeight, 7, false);
    std::array<SceneLayer, kCharacterLayers> layers;
    layers[0] = {&target, 100, 100, 255};
    TABitmap next;
    ComposeScene(background, layers, next);
    EXPECT_TRUE(SamePixels(next, background));
}

TEST(FadeStep, CumulativeBlendsThenTheExactTarget) {
    EXPECT_EQ(FadeOpacity(0, 1000), 0);
    EXPECT_EQ(FadeOpacity(500, 1000), 127);
    EXPECT_EQ(FadeOpacity(999, 1000), 254);
    EXPECT_EQ(FadeOpacity(3, 0), 256);      // no length: a whole step at once
    EXPECT_EQ(FadeOpacity(-40, 1000), 0);   // a clock before the start does not wrap to a huge weight
    EXPECT_EQ(FadeOpacity(-40, -5), 0);

    const TABitmap start = Noise(kScreenWidth, kScreenHeight, 11, false), target = Noise(kScreenWidth, kScreenHeight, 12, false);
    TABitmap scene;
    scene.Assign(start);
    // Elapsed 0 blends with opacity 0: nothing changes.
    EXPECT_FALSE(FadeStep(scene, target, 1000, 1000, 2000, 1000));
    EXPECT_TRUE(SamePixels(scene, start));
    // Each step blends onto what the previous one left.
    TABitmap expected;
    expected.Assign(start);
    for (uint32_t now : {1100u, 1400u, 1990u}) {
        EXPECT_FALSE(FadeStep(scene, target, 1000, 1000, 2000, now));
        ref::Draw(ref::Op::Blend, target, 0, 0, kScreenWidth, kScreenHeight, 0, 0, expected, FadeOpacity(now - 1000, 1000));
    }
    EXPECT_TRUE(SamePixels(scene, expected));
    EXPECT_FALSE(SamePixels(scene, target));
    // At the end (and after it) the target is copied bit for bit.
    EXPECT_TRUE(FadeStep(scene, target, 1000, 1000, 2000, 2000));
    EXPECT_TRUE(SamePixels(scene, target));
}

}  // namespace
}  // namespace orva
