// The main form's movie routines on the headless platform: binding at start-up, preparing a
// movie, the frame loop's movie step and the movie waits.
#include <gtest/gtest.h>

#include "fixtures/script_game.h"
#include "graphics/theora_fixture.h"

namespace orva {
namespace {

using test::EncodeTestMovie;
using test::FrameMarkY;
using test::ScriptGame;

int GreyOf(int y) { return std::clamp((298 * (y - 16) + 128) >> 8, 0, 255); }

TEST(MoviePlayback, PreparesAMovieAndPlaysItThroughTheFrameLoop) {
    ScriptGame g(".script 1 \"movie\"\nwait -1\n");
    TForm1& f = g.Boot();
    MovieState& m = f.Movie;
    ASSERT_TRUE(m.Lib.Bound());
    ASSERT_NE(m.MovieHandle, 0u);
    ASSERT_NE(m.MovieSoundHandle, 0u);
    EXPECT_EQ(m.MovieFrame->Width(), 8);

    m.MovieStream->Bytes() = EncodeTestMovie({.Frames = 10, .FpsNum = 12, .SoundRate = 22050, .SoundFrames = 11025});
    f.NVL_TheoraPrepara();
    EXPECT_EQ(m.TotalFrames, 10);
    EXPECT_DOUBLE_EQ(m.FramesPerSecond, 12.0);
    EXPECT_EQ(m.SoundInfo, 22050);
    EXPECT_EQ(m.TotalSamples, 11025);
    EXPECT_EQ(m.MovieSamples->Size(), 4u * 11025);
    EXPECT_EQ(m.MovieFrame->Width(), 40);
    EXPECT_EQ(m.MovieFrame->Height(), 24);

    // Started now: after 250 ms the frame is round(0.25 × 12) = 3, and each painted frame shows
    // the movie's picture over the scene's top-left corner.
    m.MoviePlaying = true;
    m.StartTick = g.Plat->Ticks();
    m.LastFrame = -1;
    while (g.Plat->Ticks() - m.StartTick < 250) g.Passes(1);
    g.Passes(4);  // a painted frame after the step
    const int32_t shown = m.Lib.m_nowframe(m.MovieHandle);
    EXPECT_GE(shown, 3);
    EXPECT_LE(shown, 4);
    const TABitmap& screen = g.Plat->LastPresented(WindowId::Main);
    EXPECT_NEAR(screen.Row(3)[4 * 3 + 1], GreyOf(FrameMarkY(shown)), 6);
    EXPECT_NEAR(screen.Row(2)[4 * 30 + 1], 255, 6) << "upright: white at the top";
    EXPECT_NEAR(screen.Row(20)[4 * 30 + 1], 0, 6);

    // round(t × 12 / 1000) passes 10 after about 875 ms: the last frame stays and playback ends.
    while (m.MoviePlaying && g.Plat->Ticks() - m.StartTick < 2000) g.Passes(1);
    EXPECT_FALSE(m.MoviePlaying);
    EXPECT_EQ(m.Lib.m_nowframe(m.MovieHandle), 9);
    EXPECT_LT(g.Plat->Ticks() - m.StartTick, 960u);
}

TEST(MoviePlayback, TheScriptsMovieWaitEndsAtItsFirstPassWhileNothingPlays) {
    ScriptGame g(".script 1 \"movie\"\nwait -6\nset W1 7\nwait -1\n");
    TForm1& f = g.Boot();
    ASSERT_TRUE(g.RunUntilMode(Mode::MovieWait, 5));
    g.Passes(1);  // the wait ends and the next pass runs the script on
    g.Passes(1);
    EXPECT_EQ(g.W(1), 7);
    EXPECT_EQ(f.EngineMode, Mode::KeyWait);
}

TEST(MoviePlayback, APlayingMovieHoldsTheWaitUntilAClickStopsIt) {
    ScriptGame g(".script 1 \"movie\"\nwait -1\n");
    TForm1& f = g.Boot();
    f.Movie.MoviePlaying = true;
    f.EngineMode = Mode::MovieWait;
    f.NOVL_WaitMovie();
    EXPECT_EQ(f.EngineMode, Mode::MovieWait);
    f.Input.MouseLeftClick = true;
    f.NOVL_WaitMovie();
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_FALSE(f.Movie.MoviePlaying);
    EXPECT_TRUE(f.Input.MouseLeftClick) << "the wait leaves the input flags to their consumers";

    // The album's movie wait returns to the album menu.
    f.Input.MouseLeftClick = false;
    f.EngineMode = Mode::AlbumMovieWait;
    f.NOVL_WaitMovieAlbum();
    EXPECT_EQ(f.EngineMode, Mode::AlbumMenuEnter);
}

TEST(MoviePlayback, StartUpEndsWhenTheLibraryLacksAnEntryPoint) {
    ScriptGame g(".script 1 \"movie\"\nwait -1\n");
    TForm1& f = g.Start({}, 600000, false);
    const auto linked = f.Movie.Loader.Resolve;
    f.Movie.Loader.Resolve = [linked](std::string_view n) {
        return n == "theoralib_w_totaltime" ? nullptr : linked(n);
    };
    testing::internal::CaptureStderr();
    EXPECT_FALSE(f.FormCreate());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("DLLの読み込みに失敗しました。"), std::string::npos) << err;
    EXPECT_NE(err.find("theoralib_w_totaltime"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(g.SaveDir / "SAVE.DAT")) << "nothing after the binding ran";
}

}  // namespace
}  // namespace orva
