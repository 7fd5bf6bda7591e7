// Music, effect and voice playback on the headless engine, and what the virtual device played.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "fixtures/game_fixture.h"
#include "platform/headless/wav_file.h"
#include "sound_fixture.h"

namespace orva {
namespace {

using test::EncodeTone;
using test::ToneAmplitude;
using test::ToneRecipe;

ToneRecipe Tone(double hz, std::vector<double> amplitudes, double seconds, std::string comment = "") {
    ToneRecipe recipe;
    recipe.Hz = hz;
    recipe.Amplitudes = std::move(amplitudes);
    recipe.SegmentSeconds = seconds;
    if (!comment.empty()) recipe.Comments = {"COMMENT=" + comment};
    return recipe;
}

// A game whose archive holds the sounds the tests ask for.
struct SoundGame {
    test::EngineHarness H;
    SoundGame() {
        const auto m01 = EncodeTone(Tone(440, {4000, 8000, 12000}, 0.5, "*looptime,0,0.5,1.0,-1"));
        const auto m02 = EncodeTone(Tone(660, {16000}, 1.0));
        const auto quiet = EncodeTone(Tone(440, {4000}, 1.0));
        const auto loud = EncodeTone(Tone(440, {12000}, 1.0));
        test::WriteArchive(H.GameDir, 1,
                           {{"M01.ogg", m01}, {"M02.ogg", m02}, {"M03P.ogg", quiet}, {"M08.ogg", quiet},
                            {"SE1.ogg", quiet}, {"V1.ogg", quiet}, {"V2.ogg", loud},
                            {"BAD.ogg", std::vector<uint8_t>(3000, 0x55)}});
    }
    TForm1& Start() { return H.Start(); }
};

TEST(Playback, TheSameMusicGoesOnAndAnotherLoopFlagOrForceCrossFadesIntoTheOtherSource) {
    SoundGame g;
    TForm1& f = g.Start();
    EXPECT_TRUE(f.NOVL_PlayBGM2011("M01", 0, false, 1));
    EXPECT_EQ(f.MusicSlot, 1);
    EXPECT_STREQ(f.Game.MusicName, "M01");
    EXPECT_EQ(f.Game.MusicLoop, 1);
    EXPECT_EQ(f.SoundPlayer->GetState(1), 3);
    EXPECT_EQ(f.MusicSource[1]->ChannelGainValue(), 192);  // music volume 75

    EXPECT_FALSE(f.NOVL_PlayBGM2011("M01", 2, false, 1));  // playing already: nothing changes
    EXPECT_EQ(f.MusicSlot, 1);
    EXPECT_EQ(f.MusicSource[1]->FadeStepValue(), 0);

    EXPECT_TRUE(f.NOVL_PlayBGM2011("M01", 2, false, 0));   // another loop flag restarts it
    EXPECT_EQ(f.MusicSlot, 0);
    EXPECT_EQ(f.SoundPlayer->GetState(0), 2);
    EXPECT_EQ(f.MusicSource[0]->FadeCurrent(), 0);
    EXPECT_EQ(f.MusicSource[0]->FadeTarget(), kFadeOne);
    EXPECT_EQ(f.MusicSource[1]->FadeTarget(), 0);
    EXPECT_EQ(f.MusicSource[1]->FadeStepValue(), -kFadeOne / 88200);

    EXPECT_TRUE(f.NOVL_PlayBGM2011("M01", 0, true, 0));    // and so does force
    EXPECT_EQ(f.MusicSlot, 1);
}

TEST(Playback, AlternativeMusicAddsPExceptForM08AndStop) {
    SoundGame g;
    TForm1& f = g.Start();
    f.Game.AltMusic = 1;
    EXPECT_TRUE(f.NOVL_PlayBGM2011("M03", 0, false, 1));   // M03P.ogg
    EXPECT_TRUE(f.NOVL_PlayBGM2011("M08", 0, false, 1));   // M08.ogg
    EXPECT_FALSE(f.NOVL_PlayBGM2011("M01", 0, false, 1));  // M01P.ogg does not exist
    f.Game.AltMusic = 0;
    EXPECT_FALSE(f.NOVL_PlayBGM2011("M03", 0, false, 1));  // M03.ogg does not exist
}

TEST(Playback, StopFadesTheMusicOutOverItsFadeAndTheSourceStopsItself) {
    SoundGame g;
    TForm1& f = g.Start();
    ASSERT_TRUE(f.NOVL_PlayBGM2011("M02", 0, false, 1));
    g.H.Passes(100);
    EXPECT_FALSE(f.NOVL_PlayBGM2011("STOP", 3, false, 0));
    EXPECT_STREQ(f.Game.MusicName, "STOP");
    EXPECT_EQ(f.MusicSource[1]->FadeStepValue(), -kFadeOne / 132300);
    g.H.Passes(250);
    EXPECT_EQ(f.SoundPlayer->GetState(1), 3);  // 2.5 s in: still fading
    g.H.Passes(200);
    EXPECT_EQ(f.SoundPlayer->GetState(1), 1);
    EXPECT_EQ(f.SoundPlayer->GetState(0), 0);  // nothing was loaded for STOP
}

TEST(Playback, EffectsStartAtFullVolumeOrRiseOverTheirFadeAndAreRecorded) {
    SoundGame g;
    TForm1& f = g.Start();
    EXPECT_TRUE(f.NOVL_PlaySE2011(1, "SE1", 0, 0));
    EXPECT_EQ(f.SoundPlayer->Source(3), f.EffectSource[1].get());
    EXPECT_EQ(f.EffectSource[1]->FadeCurrent(), kFadeOne);
    EXPECT_EQ(f.EffectSource[1]->ChannelGainValue(), 192);
    EXPECT_EQ(f.SoundPlayer->GetState(3), 2);
    EXPECT_TRUE(f.NOVL_PlaySE2011(3, "SE1", 2, 1));
    EXPECT_EQ(f.EffectSource[3]->FadeCurrent(), 0);
    EXPECT_EQ(f.EffectSource[3]->FadeStepValue(), kFadeOne / 88200);
    EXPECT_EQ(f.SoundPlayer->GetState(5), 3);
    EXPECT_STREQ(f.Game.EffectName[0], "SE1");
    EXPECT_STREQ(f.Game.EffectName[2], "SE1");
    EXPECT_EQ(f.Game.EffectLoop[2], 1);
    EXPECT_FALSE(f.NOVL_PlaySE2011(2, "NONE", 0, 1));      // missing: recorded, nothing heard
    EXPECT_STREQ(f.Game.EffectName[1], "NONE");
    EXPECT_EQ(f.SoundPlayer->GetState(4), 0);
    // Slot 0 plays but has no place in the record (its field would overlap the music name).
    std::strcpy(f.Game.MusicName, "M01");
    EXPECT_TRUE(f.NOVL_PlaySE2011(0, "SE1", 0, 0));
    EXPECT_STREQ(f.Game.MusicName, "M01");
    EXPECT_EQ(f.SoundPlayer->Source(2), f.EffectSource[0].get());
}

TEST(Playback, ANewVoiceCutsTheOldOneAndTheVoiceTimerRunsOnlyWhileNoneIsPlaying) {
    SoundGame g;
    TForm1& f = g.Start();
    ASSERT_TRUE(f.NOVL_PlayVOICE2011("V1", false));
    EXPECT_TRUE(f.VoicePlaying());
    f.Timing.VoiceTimer = 0;
    f.DelayTimerTimer();
    EXPECT_EQ(f.Timing.VoiceTimer, 0);
    g.H.Passes(30);

    ASSERT_TRUE(f.NOVL_PlayVOICE2011("V2", false));
    // The voice source now starts the second file from its beginning.
    const auto out = test::RenderLeft(*f.VoiceSource, 1);
    EXPECT_NEAR(test::ToneLevel(out, 0.05, 0.4), 12000 * 0.75, 400);

    EXPECT_FALSE(f.NOVL_PlayVOICE2011("NONE", false));  // a missing voice still cuts the old one
    EXPECT_FALSE(f.VoicePlaying());
    f.DelayTimerTimer();
    EXPECT_EQ(f.Timing.VoiceTimer, 10);
    f.SoundPlayerStop(6);
}

TEST(Playback, ADeviceFaultInPlayGoesToTheMemoAndTheGameAndItsSoundGoOn) {
    SoundGame g;
    TForm1& f = g.Start();
    testing::internal::CaptureStderr();
    EXPECT_EQ(f.DDSD1->GetChannel(9), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "sound error : チャンネル番号9は無効です、0～7の範囲で指定してください\n");
    ASSERT_FALSE(f.DebugMemo.empty());
    EXPECT_EQ(f.DebugMemo.back(), "sound error : チャンネル番号9は無効です、0～7の範囲で指定してください");
    EXPECT_TRUE(f.NOVL_PlayBGM2011("M02", 0, false, 1));
    g.H.Passes(20);
    EXPECT_EQ(f.SoundPlayer->GetState(1), 3);
}

TEST(Playback, AnUndecodableFilePlaysNothingAndSaysSoOnce) {
    SoundGame g;
    TForm1& f = g.Start();
    ASSERT_TRUE(f.NOVL_PlayBGM2011("M02", 0, false, 1));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(f.NOVL_PlayBGM2011("BAD", 1, false, 1));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "orva: cannot decode the sound BAD.ogg; it is not played\n");
    EXPECT_EQ(f.SoundPlayer->GetState(0), 0);             // left not loaded
    EXPECT_EQ(f.MusicSource[1]->FadeTarget(), 0);         // the old piece still fades out
    g.H.Passes(10);
}

// Plays looping music, then cross-fades to another piece, through the headless device into a WAV
// file, and checks the WAV against the trace: the loop's timing and the fade's shape.
TEST(Playback, TheDevicePlaysTheLoopAndTheCrossFadeWhereTheTraceSaysTheyStart) {
    SoundGame g;
    TForm1& f = g.H.Start({}, 600000, false);
    const auto wavPath = g.H.Root.Path() / "played.wav";
    const auto tracePath = g.H.Root.Path() / "trace.jsonl";
    std::string error;
    ASSERT_TRUE(g.H.Plat->SetAudioOut(wavPath, error)) << error;
    ASSERT_TRUE(f.Trace.Open(tracePath, error)) << error;
    ASSERT_TRUE(f.FormCreate());

    g.H.Passes(20);
    const uint32_t musicAt = g.H.Plat->Ticks();
    ASSERT_TRUE(f.NOVL_PlayBGM2011("M01", 0, false, 1));
    while (g.H.Plat->Ticks() < musicAt + 4000) g.H.Passes(1);
    const uint32_t fadeAt = g.H.Plat->Ticks();
    ASSERT_TRUE(f.NOVL_PlayBGM2011("M02", 2, false, 1));
    while (g.H.Plat->Ticks() < fadeAt + 4000) g.H.Passes(1);
    const uint32_t endAt = g.H.Plat->Ticks();
    f.Trace.Close();
    ASSERT_TRUE(g.H.Plat->FinishAudio(error)) << error;
    if (const char* keep = std::getenv("ORVA_KEEP_WAV")) std::filesystem::copy_file(wavPath, keep, std::filesystem::copy_options::overwrite_existing);

    std::ifstream traceIn(tracePath);
    std::stringstream trace;
    trace << traceIn.rdbuf();
    EXPECT_NE(trace.str().find("{\"t\":" + std::to_string(musicAt) +
                               ",\"ev\":\"bgm\",\"name\":\"M01\",\"file\":\"M01.ogg\",\"fade\":0,\"loop\":1,\"read\":true}"),
              std::string::npos)
        << trace.str();

    WavData wav;
    ASSERT_TRUE(ReadWav16(wavPath, wav, error)) << error;
    ASSERT_EQ(wav.Rate, 44100u);
    ASSERT_EQ(wav.Channels, 2);
    EXPECT_EQ(wav.Samples.size() / 2, static_cast<size_t>(endAt) * 441 / 10);  // from virtual time 0
    const auto& s = wav.Samples;

    // The music sounds after the request within the device's latency: at most two halves.
    size_t onset = 0;
    while (onset < s.size() / 2 && std::abs(s[2 * onset]) < 200) ++onset;
    const double start = onset / 44100.0, requested = musicAt / 1000.0;
    EXPECT_GE(start, requested);
    EXPECT_LE(start, requested + 2 * 20480 / 44100.0);

    // Loop: 0.5 s of the first segment, then the second over and over; the third never sounds.
    auto at = [&](double hz, double t) { return ToneAmplitude(s, hz, start + t, start + t + 0.1, 44100, 2); };
    EXPECT_NEAR(at(440, 0.2), 4000 * 0.75, 150);
    for (double t = 0.6; t < 3.9; t += 0.25) EXPECT_NEAR(at(440, t), 8000 * 0.75, 300) << "at " << t;

    // Cross-fade: the new piece rises linearly to full while the old falls to silence, over 2 s.
    double fadeStart = 0;  // where the old piece first drops below 95 %
    for (double t = fadeAt / 1000.0; t < fadeAt / 1000.0 + 1.5; t += 0.01)
        if (ToneAmplitude(s, 440, t, t + 0.1, 44100, 2) < 6000 * 0.95) {
            fadeStart = t;
            break;
        }
    ASSERT_GT(fadeStart, 0);
    EXPECT_LE(fadeStart - fadeAt / 1000.0, 2 * 20480 / 44100.0 + 0.1);
    const double base = fadeStart - 0.05;  // the 0.1 s window centred on the 5 % point
    for (double p : {0.25, 0.5, 0.75}) {
        const double t = base + 2.0 * p;
        EXPECT_NEAR(ToneAmplitude(s, 440, t, t + 0.1, 44100, 2), 6000 * (1 - p), 500) << "at " << p;
        EXPECT_NEAR(ToneAmplitude(s, 660, t, t + 0.1, 44100, 2), 12000 * p, 700) << "at " << p;
    }
    EXPECT_LT(ToneAmplitude(s, 440, base + 2.2, base + 2.3, 44100, 2), 100);
    EXPECT_NEAR(ToneAmplitude(s, 660, base + 2.2, base + 2.3, 44100, 2), 12000, 500);
    EXPECT_EQ(f.SoundPlayer->GetState(1), 1);  // the old piece stopped itself
}

}  // namespace
}  // namespace orva
