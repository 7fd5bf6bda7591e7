// The title menu on the headless engine: its music and buttons, the gaps between them, new
// game twice, load with no saves, album, and exit through the confirmation dialog while the
// game keeps running behind it.
#include <gtest/gtest.h>

#include "menu_game.h"

namespace orva {
namespace {

using test::MenuGame;

constexpr const char* kTitleStory = R"(.script 1 "main"
*top
system 101
set F5 7
set W101 3
msg "はじめの言葉。"
jump *top
)";

TEST(TitleMenu, ButtonsMusicAndTheGapsBetweenButtons) {
    MenuGame g(kTitleStory);
    TForm1& f = g.Boot();
    ASSERT_TRUE(g.RunUntilMode(Mode::FadeToPrevMode, 5));       // the title fades in
    EXPECT_EQ(f.PrevMode, Mode::TitleMenuWait);
    EXPECT_STREQ(f.Game.MusicName, "M01");
    EXPECT_EQ(f.Game.CursorShown, 1);
    EXPECT_EQ(f.Game.MenuButtonsAllowed, 0);
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait, 100));

    g.Plat->Inject({.Verb = TimelineVerb::Move, .Pos = {751, 200}});
    g.Passes(2);
    EXPECT_EQ(f.Menus.MenuHover, 1);
    const uint8_t* lit = g.Plat->LastPresented(WindowId::Main).Row(200) + 600 * 4;
    EXPECT_GT(lit[0], 240);                       // the hover look is drawn
    test::CaptureMain(*g.Plat, "title-hover");
    g.Click({752, 200});                          // just past the right edge
    EXPECT_EQ(f.Menus.MenuHover, 0);
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuWait);
    g.Click({600, 235});                          // between new game and load
    EXPECT_EQ(f.Menus.MenuHover, 0);
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuWait);
    EXPECT_FALSE(f.Input.MouseLeftClick);         // consumed all the same

    g.Click({600, 320});                          // album
    EXPECT_EQ(f.EngineMode, Mode::AlbumMenuEnter);
}

TEST(TitleMenu, NewGameTwiceStartsCleanEachTime) {
    MenuGame g(kTitleStory);
    TForm1& f = g.Boot();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait, 200));
        f.Skip.AutoMode = true;
        g.Click({600, 200});                      // new game
        EXPECT_EQ(f.EngineMode, Mode::Script) << round;
        EXPECT_EQ(g.F(5), 0) << round;            // cleared before the script sets it
        EXPECT_EQ(f.Msg.MessageLog.Count(), 0) << round;
        EXPECT_EQ(g.W(101), 0) << round;
        EXPECT_FALSE(f.Skip.AutoMode);
        EXPECT_EQ(f.Game.SkipAllowed, 1);
        EXPECT_EQ(f.Game.MenuButtonsAllowed, 1);
        EXPECT_TRUE(f.StoryMode);
        ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
        EXPECT_EQ(g.F(5), 7);
        EXPECT_EQ(g.W(101), 3);
        g.Click({300, 300}, 3);                   // the message goes to the log; the script
        EXPECT_EQ(f.Msg.MessageLog.Count(), 1);   // jumps back to the title
    }
}

TEST(TitleMenu, LoadOpensTheLoadMenuOnPageOneWhenNothingIsSaved) {
    MenuGame g(kTitleStory);
    TForm1& f = g.Boot();
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait, 200));
    g.Click({600, 260});
    EXPECT_EQ(f.EngineMode, Mode::SaveMenuEnter);
    EXPECT_EQ(f.PrevMode, Mode::TitleMenuWait);
    g.Passes(1);
    EXPECT_EQ(f.Menus.SaveMenuPage, 1);
    EXPECT_EQ(f.Menus.SaveMenuIsSave, 0);
    g.Click(test::kBackButton);
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuWait);
}

TEST(TitleMenu, ExitAsksFirstAndTheGameRunsBehindTheDialog) {
    MenuGame g(kTitleStory);
    TForm1& f = g.BootTraced();
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait, 200));
    const uint32_t asked = g.Plat->Ticks();
    // The answers, clicked in the dialog: first no, later yes.
    g.Plat->Inject({.Time = asked + 300, .Verb = TimelineVerb::Click, .Window = WindowId::Query, .Pos = {200, 80}});
    g.Click({600, 370});                          // exit: the dialog runs inside this pass
    EXPECT_GE(g.Plat->Ticks(), asked + 300);      // time went on while it was open
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuWait);
    EXPECT_FALSE(std::filesystem::exists(g.SaveDir / "SAVE2.DAT"));
    EXPECT_EQ(g.Plat->Foreground(), WindowId::Main);

    g.Plat->Inject({.Time = g.Plat->Ticks() + 100, .Verb = TimelineVerb::Click, .Window = WindowId::Query, .Pos = {60, 80}});
    g.Click({600, 370});
    EXPECT_TRUE(std::filesystem::exists(g.SaveDir / "SAVE2.DAT"));   // closed: both files written
    EXPECT_EQ(g.TraceEvents("query"), (std::vector<std::string>{"\"ev\":\"query\",\"strip\":\"quit\",\"answer\":0}",
                                                              "\"ev\":\"query\",\"strip\":\"quit\",\"answer\":1}"}));
}

}  // namespace
}  // namespace orva
