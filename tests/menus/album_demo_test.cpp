// The bundled demo in the engine on the headless platform: playing the story unlocks its
// scenes, and the album's scene replay then plays them and comes back to its menu.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/game_fixture.h"
#include "text/message_layout.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

struct DemoGame : test::EngineHarness {
    DemoGame() {
        std::filesystem::copy(ORVA_DEMO_DIR, GameDir, std::filesystem::copy_options::recursive |
                                                          std::filesystem::copy_options::overwrite_existing);
        Start();
    }
    void Click(Point p) {
        Plat->Inject({.Verb = TimelineVerb::Click, .Pos = p});
        Passes(2);
    }
    void PressKey(orva::Key key, bool down) {
        Plat->Inject({.Verb = TimelineVerb::Key, .KeyName = key, .Pressed = down});
        Passes(1);
    }
    bool RunUntilMode(Mode mode, int limit) {
        for (int i = 0; i < limit && Form->EngineMode != mode; ++i) Form->IdleEvent();
        return Form->EngineMode == mode;
    }
    // With Ctrl held, runs until `mode`, taking the first answer of every choice on the way.
    bool SkipUntilMode(Mode mode, int limit) {
        PressKey(orva::Key::Ctrl, true);
        for (int i = 0; i < limit && Form->EngineMode != mode; ++i) {
            if (Form->EngineMode == Mode::ChoiceWait && Form->Text.ChoiceOnScreen) {
                int y = 0;
                while (y < kScreenHeight && ChoiceAtRow(Form->Msg.ChoiceCount, y) != 1) ++y;
                Click({400, y});
            } else {
                Form->IdleEvent();
            }
        }
        PressKey(orva::Key::Ctrl, false);
        return Form->EngineMode == mode;
    }
    int16_t S(int i) const { return Form->Sys->SystemFlg[size_t(i - 1)]; }
};

TEST(AlbumDemo, ScenesUnlockedByPlayingAreReplayedFromTheAlbum) {
    DemoGame g;
    TForm1& f = *g.Form;
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait, 500));
    const int32_t titleStep = f.Script.TitleReturnStep;
    EXPECT_EQ(g.S(201), 0);

    // New game, played to the end with held Ctrl; the story returns to the title.
    g.Click({600, 200});
    ASSERT_EQ(f.EngineMode, Mode::Script);
    ASSERT_TRUE(g.SkipUntilMode(Mode::TitleMenuWait, 200000));
    EXPECT_NE(g.S(201), 0);
    EXPECT_NE(g.S(202), 0);
    EXPECT_EQ(f.Script.TitleReturnStep, titleStep);

    // Title → album → scene replay: scenes 1 and 2 queued, scene 1 clicked again plays both.
    g.Click({600, 320});
    ASSERT_TRUE(g.RunUntilMode(Mode::AlbumMenuWait, 200));
    g.Click({600, 290});
    ASSERT_TRUE(g.RunUntilMode(Mode::SceneReplayWait, 200));
    g.Click({200, 200});
    g.Click({500, 200});
    EXPECT_EQ(f.Script.SceneTbl[1], 101);
    EXPECT_EQ(f.Script.SceneTbl[2], 102);
    g.Click({200, 200});
    EXPECT_FALSE(f.StoryMode);
    ASSERT_EQ(f.Game.ScriptNo, 101);

    const int logBefore = f.Msg.MessageLog.Count();
    EXPECT_EQ(logBefore, 0);  // a replay starts with an empty log
    ASSERT_TRUE(g.SkipUntilMode(Mode::SceneReplayWait, 200000));
    EXPECT_GT(f.Msg.MessageLog.Count(), 0);  // the scenes' messages were shown
    EXPECT_EQ(f.Game.ScriptNo, 1);
    EXPECT_EQ(f.Game.ScriptStep, titleStep);
    EXPECT_EQ(f.Script.SceneTbl[1], 0);

    // Back to the album and to the title menu.
    g.Click({700, 560});
    ASSERT_TRUE(g.RunUntilMode(Mode::AlbumMenuWait, 200));
    g.Click({600, 400});
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait, 200));
}

}  // namespace
}  // namespace orva
