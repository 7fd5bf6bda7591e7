// The stream player: mixing, the limiter's attack, hold and release, the output clamp and the
// channel table.
#include "sound/ogg_player.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sound_fixture.h"

namespace orva {
namespace {

constexpr uint32_t kSize = 0x28000;

std::vector<int32_t> Block(int32_t peak) {
    std::vector<int32_t> b(64, peak / 2);
    b[10] = peak;
    b[11] = -peak;
    return b;
}

TEST(Limiter, SilenceKeepsUnityGain) {
    LimiterState s;
    std::vector<int32_t> b(64, 0);
    LimitBlock(s, b.data(), 32);
    EXPECT_EQ(s.Level, 0x7FFF00);
    b = Block(32767);
    LimitBlock(s, b.data(), 32);
    EXPECT_EQ(s.Level, 0x7FFF00);
    EXPECT_EQ(b[10], 32767);  // at or below full scale nothing changes
}

TEST(Limiter, AttackApproachesHalfGainHoldsAboutOneSecondThenReleasesSlowly) {
    LimiterState s;
    std::vector<int> gains;
    for (int i = 0; i < 6; ++i) {
        auto b = Block(65534);
        LimitBlock(s, b.data(), 32);
        gains.push_back(b[10]);
    }
    // Three quarters of the way to the new peak per block: gains 170, 136, 130, then 128 / 256.
    EXPECT_EQ(gains, (std::vector<int>{43518, 34814, 33278, 32767, 32767, 32767}));
    const int32_t loud = s.Level;
    EXPECT_NEAR(loud, 65534 * 256, 65534 * 256 / 1000);

    for (int i = 0; i < 1379; ++i) {  // 1,379 blocks of 32 frames: one second
        auto b = Block(1000);
        LimitBlock(s, b.data(), 32);
    }
    EXPECT_EQ(s.Level, loud);
    auto b = Block(1000);
    LimitBlock(s, b.data(), 32);
    EXPECT_EQ(s.Level, loud - 500);
    b = Block(1000);
    LimitBlock(s, b.data(), 32);
    EXPECT_EQ(s.Level, loud - 1000);

    // Equal bounds pin the level.
    LimiterState fixed;
    fixed.MaxLevel = fixed.MinLevel;
    b = Block(65534);
    LimitBlock(fixed, b.data(), 32);
    EXPECT_EQ(fixed.Level, 0x7FFF00);
    EXPECT_EQ(b[10], 65534);
}

TEST(OggPlayer, NothingPlayingGivesSilence) {
    TOggPlayer player(kSize, 10);
    player.FillNextHalf();
    const int16_t* out = player.GetOutput();
    EXPECT_TRUE(std::all_of(out, out + kSize / 4, [](int16_t v) { return v == 0; }));
    EXPECT_EQ(player.Limiter().Level, 0x7FFF00);
    player.FillNextHalf();
    EXPECT_NE(player.GetOutput(), out);  // the halves alternate
}

TEST(OggPlayer, TwoFullScaleSourcesAreLimitedAndNeverReachMinus32768) {
    test::ToneRecipe recipe;
    recipe.Amplitudes = {60000};  // clipped at the encoder: a square-ish full-scale wave
    recipe.SegmentSeconds = 1.0;
    const auto bytes = test::EncodeTone(recipe);
    TOggData a(kSize), b(kSize);
    ASSERT_TRUE(test::LoadInto(a, bytes));
    ASSERT_TRUE(test::LoadInto(b, bytes));
    TOggPlayer player(kSize, 10);
    player.SetSource(0, &a, true);
    player.SetSource(3, &b, true);
    player.Play(0, true);
    player.Play(3, true);
    int16_t lo = 0, hi = 0;
    for (int h = 0; h < 4; ++h) {
        player.FillNextHalf();
        const int16_t* out = player.GetOutput();
        lo = std::min(lo, *std::min_element(out, out + kSize / 4));
        hi = std::max(hi, *std::max_element(out, out + kSize / 4));
    }
    EXPECT_EQ(lo, -32767);
    EXPECT_EQ(hi, 32767);
    EXPECT_GE(player.Limiter().Level, 65000 * 256);  // the gain sits near 0.5
    // A source alone is not limited: its level passes through.
    a.SetChannelGain(0.25);
    player.SetSource(3, nullptr, false);
    player.FillNextHalf();
    EXPECT_GT(player.Limiter().Level, 0x7FFF00);  // still holding after the loud passage
}

TEST(OggPlayer, ChannelsHoldEachSourceOnceAndReportItsState) {
    TOggData source(kSize);
    ASSERT_TRUE(test::LoadInto(source, test::EncodeTone({})));
    TOggPlayer player(kSize, 10);
    EXPECT_EQ(player.GetState(4), 0);
    player.SetSource(2, &source, true);
    EXPECT_EQ(player.GetState(2), 1);
    player.SetSource(5, &source, true);
    EXPECT_EQ(player.Source(2), nullptr);
    EXPECT_EQ(player.Source(5), &source);
    player.Play(5, true);
    EXPECT_EQ(player.GetState(5), 3);
    player.SetVolume(5, 0.75);
    EXPECT_EQ(source.ChannelGainValue(), 192);
    player.SetVolume(2, 0.1);  // an empty channel: nothing to set
    EXPECT_EQ(source.ChannelGainValue(), 192);
    player.Stop(5);
    EXPECT_EQ(player.GetState(5), 1);
    player.SetSource(11, &source, true);  // beyond the table: ignored
    EXPECT_EQ(player.Source(5), &source);
}

}  // namespace
}  // namespace orva
