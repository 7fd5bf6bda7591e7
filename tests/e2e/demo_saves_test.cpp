// The demo game's title and save menu on the headless engine: a new game saved on page 2 with
// a comment shows its thumbnail, time and comment, and loads back to the same message.
#include <gtest/gtest.h>

#include "data/cp932.h"
#include "demo_game.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

using test::DemoGame;

TEST(DemoSaves, ANewGameSavedWithACommentLoadsBackToTheSameMessage) {
    DemoGame g;
    TForm1& f = g.Start();
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait));
    g.Click({600, 210});                              // new game
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    const int32_t msg = f.Text.MsgNo, step = f.Game.ScriptStep;
    TABitmap scene;
    scene.Assign(f.Pics->ScenePicture);

    f.OpenSaveMenu(true);
    g.Passes(1);
    g.Click({80, 560});                               // page 2
    ASSERT_EQ(f.Menus.SaveMenuPage, 2);
    g.Click({500, 100});                              // slot 12: select, save
    g.Click({500, 100});
    g.Passes(1);
    g.Click({500, 100});                              // select it again for its comment
    g.Click({600, 560});
    ASSERT_TRUE(f.CommentEdit.Visible);
    g.Plat->Inject({.Verb = TimelineVerb::Text, .Text = "灯台の夜\r"});
    g.Passes(3);
    EXPECT_EQ(Cp932ToUtf8(f.Sys->SaveSlots[11].Comment), "灯台の夜");
    EXPECT_EQ(f.EngineMode, Mode::SaveMenuWait);
    EXPECT_TRUE(fs::exists(g.SaveDir / "THUMB" / "SAVE12.dat"));
    g.Passes(4);
    g.Capture("demo-save-menu");

    g.Click({700, 560});                              // back, then on through two messages
    for (int i = 0; i < 2; ++i) {
        g.Click({400, 300});
        g.Passes(1);
        ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    }
    ASSERT_NE(f.Game.ScriptStep, step);

    f.OpenSaveMenu(false);
    g.Passes(1);
    EXPECT_EQ(f.Menus.SaveMenuPage, 2);               // the newest save's page
    g.Click({500, 100});
    g.Click({500, 100});
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    EXPECT_EQ(f.Text.MsgNo, msg);
    EXPECT_EQ(f.Game.ScriptStep, step);
    EXPECT_EQ(0, std::memcmp(f.Pics->ScenePicture.Pixels(), scene.Pixels(), kScreenWidth * kScreenHeight * 4));
}

}  // namespace
}  // namespace orva
