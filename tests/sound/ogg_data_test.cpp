// Sound sources: decoding, loop points, end of stream, fades and rate conversion, on files
// encoded by the tests.
#include "sound/ogg_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>

#include <unistd.h>

#include "sound/ogg_player.h"
#include "sound_fixture.h"

namespace orva {
namespace {

using test::EncodeTone;
using test::LoadInto;
using test::RenderLeft;
using test::ToneLevel;
using test::ToneRecipe;

constexpr uint32_t kHalf = 0x28000;  // the program's source size: 20,480 frames per render

// Three half-second segments at 4000, 8000 and 12000, with a loop from 0.5 s back from 1.0 s.
ToneRecipe ThreeSegments(const std::string& loopLine) {
    ToneRecipe recipe;
    recipe.Amplitudes = {4000, 8000, 12000};
    recipe.Comments = {"TITLE=test", "COMMENT=" + loopLine};
    return recipe;
}

TEST(OggData, CountedLoopPlaysTheLoopTwiceThenRunsOnToTheEnd) {
    TOggData source(kHalf);
    ASSERT_TRUE(LoadInto(source, EncodeTone(ThreeSegments("*looptime,0,0.5,1.0,2"))));
    EXPECT_EQ(source.Loops()[0].Count, 2);
    source.Play(false);
    const auto out = RenderLeft(source, 20);
    // 0.5 s of the first segment, the second three times, then the third: 2.5 s in all.
    EXPECT_NEAR(out.size() / 44100.0, 2.5, 0.02);
    EXPECT_NEAR(ToneLevel(out, 0.1, 0.4), 4000, 250);
    for (double t : {0.6, 1.1, 1.6}) EXPECT_NEAR(ToneLevel(out, t, t + 0.3), 8000, 400) << "at " << t;
    EXPECT_NEAR(ToneLevel(out, 2.1, 2.4), 12000, 600);
    EXPECT_EQ(source.GetStatus(), 1);
}

TEST(OggData, EndlessLoopNeverReachesTheLastSegment) {
    TOggData source(kHalf);
    ASSERT_TRUE(LoadInto(source, EncodeTone(ThreeSegments("*LOOPTIME , 0 , 0.5 , 1.0 , -1"))));
    source.Play(false);
    const auto out = RenderLeft(source, 22);  // about 10 s
    ASSERT_EQ(out.size(), 22u * 20480u);
    for (double t = 0.6; t < 10.0; t += 0.5) EXPECT_NEAR(ToneLevel(out, t, t + 0.3), 8000, 400) << "at " << t;
    EXPECT_EQ(source.GetStatus(), 2);
}

TEST(OggData, ALoopEndingBeforeItsStartJumpsForwardOnceAndThePieceEnds) {
    TOggData source(kHalf);
    ASSERT_TRUE(LoadInto(source, EncodeTone(ThreeSegments("*looptime,0,1.0,0.5,-1"))));
    source.Play(false);
    const auto out = RenderLeft(source, 20);
    // The first half second, then the jump to 1.0 s: the middle segment is never heard.
    EXPECT_NEAR(out.size() / 44100.0, 1.0, 0.02);
    EXPECT_NEAR(ToneLevel(out, 0.1, 0.4), 4000, 250);
    EXPECT_NEAR(ToneLevel(out, 0.6, 0.9), 12000, 600);
    EXPECT_EQ(source.GetStatus(), 1);
}

TEST(OggData, SampleLoopPointsAndJapaneseCommentsAreRead) {
    ToneRecipe recipe;
    recipe.SegmentSeconds = 0.25;
    recipe.Comments = {"Comment=*LoopSample, 1, 11025 , 22050\r\n*looptime,16,1,2\r\n// 説明,x", "ARTIST=作曲者"};
    TOggData source(kHalf);
    ASSERT_TRUE(LoadInto(source, EncodeTone(recipe)));
    EXPECT_EQ(source.Rate(), 44100);
    EXPECT_EQ(source.Channels(), 2);
    EXPECT_NEAR(source.TotalTime(), 0.25, 0.001);
    EXPECT_FLOAT_EQ(source.Loops()[1].Start, 0.25f);
    EXPECT_FLOAT_EQ(source.Loops()[1].End, 0.5f);
    EXPECT_EQ(source.Loops()[1].Count, -1);
    EXPECT_EQ(source.Loops()[0].Count, 0);
    // Comments arrive in CP932: 作 is 0x8DEC.
    EXPECT_EQ(source.Comments()[1], "ARTIST=\x8D\xEC\x8B\xC8\x8E\xD2");
}

TEST(OggData, ANonLoopingSourceStopsAtItsEndAndPlaysAgainFromTheStart) {
    ToneRecipe recipe;
    recipe.Amplitudes = {4000, 12000};
    TOggData source(kHalf);
    ASSERT_TRUE(LoadInto(source, EncodeTone(recipe)));
    EXPECT_EQ(source.GetStatus(), 1);
    source.Play(false);
    EXPECT_EQ(source.GetStatus(), 2);
    const auto first = RenderLeft(source, 10);
    EXPECT_NEAR(first.size() / 44100.0, 1.0, 0.01);
    EXPECT_EQ(source.GetStatus(), 1);
    EXPECT_EQ(source.Render(), 0u);
    source.Play(true);
    EXPECT_EQ(source.GetStatus(), 3);
    const auto again = RenderLeft(source, 1);
    EXPECT_NEAR(ToneLevel(again, 0.1, 0.4), 4000, 250);
}

TEST(OggData, FadesSetAtOnceRampByWholeStepsAndStopTheSourceAtZero) {
    ToneRecipe recipe;
    recipe.SegmentSeconds = 1.0;
    TOggData source(4410 * 8);  // renders of 4,410 frames: twenty make 2 s
    ASSERT_TRUE(LoadInto(source, EncodeTone(recipe)));
    source.FadeTo(0, 0.5);
    EXPECT_EQ(source.FadeCurrent(), kFadeOne / 2);
    EXPECT_EQ(source.FadeStepValue(), 0);

    source.SetFadeVolume(0);
    source.FadeTo(2, 1.0);
    const int64_t step = kFadeOne / 88200;
    EXPECT_EQ(source.FadeStepValue(), step);
    EXPECT_EQ(source.FadeCurrent(), 0);
    source.Play(true);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(source.Render(), 4410u * 8);
    EXPECT_EQ(source.FadeCurrent(), 88200 * step);  // frame 88,200 is still short of 1.0
    source.Render();
    EXPECT_EQ(source.FadeCurrent(), kFadeOne);  // frame 88,201 lands on it exactly
    EXPECT_EQ(source.FadeStepValue(), 0);

    // Volumes outside 0 .. 64 are clamped.
    source.FadeTo(0, -3);
    EXPECT_EQ(source.FadeCurrent(), 0);
    source.FadeTo(0, 100);
    EXPECT_EQ(source.FadeCurrent(), 64 * kFadeOne);

    source.SetFadeVolume(1.0);
    source.FadeTo(0.1, 0.0);
    source.Render();  // the fade runs out in this render
    EXPECT_EQ(source.GetStatus(), 3);
    EXPECT_EQ(source.Render(), 0u);  // the next one finds it silent and stops
    EXPECT_EQ(source.GetStatus(), 1);
}

TEST(OggData, GainsScaleTheOutput) {
    ToneRecipe recipe;
    TOggData source(kHalf);
    ASSERT_TRUE(LoadInto(source, EncodeTone(recipe)));
    source.SetChannelGain(0.75);
    source.SetMasterGain(0.5);
    EXPECT_EQ(source.ChannelGainValue(), 192);
    EXPECT_EQ(source.MasterGainValue(), 128);
    source.Play(false);
    const auto out = RenderLeft(source, 1);
    EXPECT_NEAR(ToneLevel(out, 0.05, 0.4), 8000 * 0.375, 100);
}

TEST(OggData, ASteadyGainGivesExactlyTheSamplesOfAFadeHoldingThatGain) {
    // Without a fade the volume takes a shortcut; it must give the fade's per-frame result bit
    // for bit. The fade below moves so slowly that its gain stays the same for the whole render.
    auto render = [](bool fading) {
        ToneRecipe recipe;
        recipe.Amplitudes = {9000, -12000};
        TOggData source(kHalf);
        EXPECT_TRUE(LoadInto(source, EncodeTone(recipe)));
        source.SetChannelGain(0.75);
        source.SetMasterGain(0.5);
        source.SetFadeVolume(3.0);
        if (fading) source.FadeTo(100.0, 3.001);
        EXPECT_EQ(source.FadeStepValue() != 0, fading);
        source.Play(false);
        return RenderLeft(source, 1);
    };
    const std::vector<int32_t> steady = render(false), fading = render(true);
    ASSERT_EQ(steady.size(), fading.size());
    ASSERT_FALSE(steady.empty());
    EXPECT_EQ(steady, fading);
    EXPECT_NE(*std::max_element(steady.begin(), steady.end()), 0);
}

TEST(OggData, HalfRateMonoPlaysAtTheRightPitchAndLength) {
    ToneRecipe recipe;
    recipe.Rate = 22050;
    recipe.Channels = 1;
    recipe.SegmentSeconds = 1.0;
    TOggData source(kHalf);
    ASSERT_TRUE(LoadInto(source, EncodeTone(recipe)));
    source.Play(false);
    std::vector<int32_t> frames;  // left and right
    for (uint32_t bytes; (bytes = source.Render()) != 0;) {
        const int32_t* buf = source.GetBuffer();
        frames.insert(frames.end(), buf, buf + bytes / 4);
    }
    EXPECT_NEAR(frames.size() / 2 / 44100.0, 1.0, 0.01);
    // Each source sample fills two output frames, on both sides.
    for (size_t f = 0; f + 1 < frames.size() / 2; f += 2) {
        ASSERT_EQ(frames[2 * f], frames[2 * f + 2]);
        ASSERT_EQ(frames[2 * f], frames[2 * f + 1]);
    }
    int crossings = 0;
    for (size_t f = 1; f < frames.size() / 2; ++f)
        if ((frames[2 * f - 2] < 0) != (frames[2 * f] < 0)) ++crossings;
    EXPECT_NEAR(crossings, 880, 6);  // 440 Hz for one second
}

// A 22,050 Hz loop end that falls on an odd output frame (1 s + one 44,100 Hz frame) is cut at
// the whole source frame before it: the jump comes after output frame 44,100, every source
// sample still fills a pair of output frames, and the piece loops instead of ending or
// starting over.
TEST(OggData, AHalfRateLoopEndBetweenSourceFramesJumpsAtTheWholeFrameBeforeIt) {
    for (const bool wholeFileLoop : {false, true}) {
        ToneRecipe recipe = ThreeSegments("*looptime,0,0.5,1.0000227,-1");
        recipe.Rate = 22050;
        recipe.Channels = 1;
        TOggData source(kHalf);
        ASSERT_TRUE(LoadInto(source, EncodeTone(recipe)));
        source.Play(wholeFileLoop);
        const auto out = RenderLeft(source, 10);  // 20,480 frames each: about 4.6 s
        ASSERT_EQ(out.size(), 10u * 20480u) << "the loop ended the piece";
        EXPECT_EQ(source.GetStatus(), wholeFileLoop ? 3 : 2);
        for (size_t f = 0; f + 1 < out.size(); f += 2) ASSERT_EQ(out[f], out[f + 1]) << "pair broken at " << f;
        // Frames 44,100 on repeat frames 22,050 on: the middle segment again, never the first.
        size_t same = 0;
        for (size_t k = 0; k < 22050; ++k)
            if (std::abs(out[44100 + k] - out[22050 + k]) <= 2) ++same;
        EXPECT_GT(same, 22050u * 99 / 100);
        EXPECT_GT(std::abs(out[44100 + 2000] - out[2000]) + std::abs(out[44100 + 3001] - out[3001]), 0);
        for (double t = 1.1; t < 4.5; t += 0.5) EXPECT_NEAR(ToneLevel(out, t, t + 0.3), 8000, 400) << "at " << t;
    }
}

// A looping stream with headers but no samples: the rewind at its end finds nothing again, so
// the source stops at its first render instead of seeking for ever, and the mix goes on with the
// other sources alone. Run in a child process with an alarm, so a hang fails instead of blocking.
// Exits 0 when the mix of a looping empty stream and a tone is the tone alone and the empty
// stream has stopped after one render; another status says what went wrong.
[[noreturn]] void MixALoopingEmptyStreamAndExit() {
    alarm(10);  // a render that never returns ends the child with SIGALRM
    TOggData empty(kHalf), tone(kHalf), alone(kHalf);
    ToneRecipe none;
    none.Amplitudes = {};
    if (!LoadInto(empty, EncodeTone(none)) || !LoadInto(tone, EncodeTone(ToneRecipe{})) ||
        !LoadInto(alone, EncodeTone(ToneRecipe{})))
        std::exit(2);
    TOggPlayer player(kHalf / 2, 10);
    player.SetSource(0, &empty, true);
    player.SetSource(1, &tone, true);
    player.Play(0, true);
    player.Play(1, false);
    std::vector<int16_t> mixed(4096 * 2);
    player.Render(mixed.data(), 4096 * 4);
    if (player.GetState(0) != 1 || player.GetState(1) != 2) std::exit(3);
    alone.Play(false);
    alone.Render();
    for (size_t i = 0; i < mixed.size(); ++i)
        if (mixed[i] != alone.GetBuffer()[i]) std::exit(4);
    std::exit(0);
}

// A looping stream with headers but no samples: the rewind at its end finds nothing again, so
// the source stops at its first render instead of seeking for ever, and the mix goes on with the
// other sources alone. Run in a child process, so a hang fails instead of blocking.
TEST(OggData, ALoopingStreamWithNoSamplesStopsAtItsFirstRender) {
    EXPECT_EXIT(MixALoopingEmptyStreamAndExit(), testing::ExitedWithCode(0), "");
}

TEST(OggData, UnsupportedRatesAndUndecodableDataPlayNothing) {
    ToneRecipe recipe;
    recipe.Rate = 48000;
    TOggData source(kHalf);
    ASSERT_TRUE(LoadInto(source, EncodeTone(recipe)));
    source.Play(true);
    EXPECT_EQ(source.Render(), 0u);
    EXPECT_EQ(source.GetStatus(), 1);

    TOggData broken(kHalf);
    EXPECT_FALSE(LoadInto(broken, std::vector<uint8_t>(5000, 0x4F)));
    EXPECT_EQ(broken.LastError(), "ファイルの読み込みに失敗");
    EXPECT_EQ(broken.GetStatus(), 0);
    broken.Play(true);
    EXPECT_EQ(broken.Render(), 0u);

    // A good file after a bad one plays normally.
    ToneRecipe good;
    ASSERT_TRUE(LoadInto(broken, EncodeTone(good)));
    broken.Play(false);
    EXPECT_GT(broken.Render(), 0u);
}

}  // namespace
}  // namespace orva
