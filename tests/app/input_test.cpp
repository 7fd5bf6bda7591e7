// Input sampling: held keys, the repeat delay, focus, latches, the skip-state rules.
#include <gtest/gtest.h>

#include "fixtures/game_fixture.h"
#include "fixtures/script_game.h"

namespace orva {
namespace {

using test::EngineHarness;

// A mode without a row keeps the input flags as sampled.
constexpr Mode kQuietMode = test::kModeWithoutRow;

TimelineEvent KeyAt(uint32_t t, Key k, bool down) {
    return {.Time = t, .Verb = TimelineVerb::Key, .KeyName = k, .Pressed = down};
}

TEST(Input, HeldReturnIsAStreamOfPressesSpacedByTheDelay) {
    EngineHarness h;
    TForm1& f = h.Start({KeyAt(600, Key::Return, true)});
    f.EngineMode = kQuietMode;
    while (h.Plat->Ticks() <= 600) f.IdleEvent();
    f.IdleEvent();
    ASSERT_TRUE(f.Input.KeyEnter);
    // A consumer acts and arms the delay: the held key sets nothing for ~100 ms.
    f.Input.KeyRepeatDelay = 10;
    int quiet = -1;
    do {
        f.IdleEvent();
        ++quiet;
    } while (!f.Input.KeyEnter && quiet < 50);
    EXPECT_GE(quiet, 9);
    EXPECT_LE(quiet, 11);
    EXPECT_TRUE(f.Input.KeyEnter);
}

TEST(Input, CtrlIsExemptFromTheDelayButNeedsControlSkipEnabled) {
    EngineHarness h;
    TForm1& f = h.Start({KeyAt(600, Key::Ctrl, true)});
    f.EngineMode = kQuietMode;
    f.Input.KeyRepeatDelay = 1000;
    while (h.Plat->Ticks() <= 610) f.IdleEvent();
    EXPECT_FALSE(f.Input.KeyCtrl);  // ControlSkipEnabled is false until the script initialises
    f.Skip.ControlSkipEnabled = true;
    f.IdleEvent();
    EXPECT_TRUE(f.Input.KeyCtrl);
}

TEST(Input, HeldCtrlSkipsOnlyWhereTheScriptAllowsIt) {
    // A script that jumps on every pass keeps the engine in mode 0.
    test::ScriptGame h(".script 1 \"a\"\n*a\njump *a\n");
    TForm1& f = h.Boot({KeyAt(600, Key::Ctrl, true)});
    f.EngineMode = Mode::KeyWait;  // Ctrl also ends a key wait; the mode is then 0
    f.Game.SkipAllowed = 0;
    while (h.Plat->Ticks() <= 650) f.IdleEvent();
    EXPECT_TRUE(f.Input.KeyCtrl);
    EXPECT_FALSE(f.Skip.SkipActive);
    f.Game.SkipAllowed = 1;
    f.IdleEvent();
    EXPECT_TRUE(f.Skip.SkipActive);
    // Skip-read and fast skip are cleared too when not allowed.
    f.Game.SkipAllowed = 0;
    f.Skip.SkipReadRequested = f.Skip.FastSkip = true;
    f.IdleEvent();
    EXPECT_FALSE(f.Skip.SkipReadRequested || f.Skip.FastSkip || f.Skip.SkipActive);
}

TEST(Input, AnotherWindowInFrontKeepsFlagsAndDropsLatches) {
    EngineHarness h;
    TForm1& f = h.Start({
        KeyAt(600, Key::Space, true),
        {.Time = 700, .Verb = TimelineVerb::Focus, .Window = WindowId::None},
        {.Time = 800, .Verb = TimelineVerb::Wheel, .WheelDirection = 1},
        {.Time = 900, .Verb = TimelineVerb::Focus, .Window = WindowId::Main},
    });
    f.EngineMode = kQuietMode;
    while (h.Plat->Ticks() <= 610) f.IdleEvent();
    ASSERT_TRUE(f.Input.KeySpace);
    while (h.Plat->Ticks() <= 890) f.IdleEvent();
    EXPECT_TRUE(f.Input.KeySpace);      // kept from the last active frame
    EXPECT_FALSE(f.Input.KeyLogBack);   // the wheel latch arrived unfocused and was dropped
    EXPECT_FALSE(f.Input.LatchWheelUp);
    while (h.Plat->Ticks() <= 920) f.IdleEvent();
    EXPECT_FALSE(f.Input.KeyLogBack);
}

TEST(Input, PressesOnTheMainWindowEndAutoAndSkipRead) {
    EngineHarness h;
    TForm1& f = h.Start({
        {.Time = 600, .Verb = TimelineVerb::Click, .Button = MouseButton::Right, .Pos = {5, 5}},
        {.Time = 700, .Verb = TimelineVerb::Wheel, .Window = WindowId::Msg, .WheelDirection = -1},
        {.Time = 800, .Verb = TimelineVerb::Click, .Window = WindowId::Msg, .Pos = {100, 20}},
        {.Time = 900, .Verb = TimelineVerb::Click, .Window = WindowId::Msg, .Pos = {100, 100}},
    });
    f.EngineMode = kQuietMode;
    f.Skip.AutoMode = true;
    f.Game.SkipAllowed = 1;
    while (h.Plat->Ticks() <= 610) f.IdleEvent();
    EXPECT_FALSE(f.Skip.AutoMode);          // a right press ends auto mode and does nothing else
    EXPECT_FALSE(f.Input.MouseLeftClick);
    while (h.Plat->Ticks() < 710) f.IdleEvent();  // the pass at 700 samples the wheel
    EXPECT_TRUE(f.Input.KeyLogForward);     // the wheel over the detached window pages the log
    f.Skip.AutoMode = true;
    while (h.Plat->Ticks() <= 810) f.IdleEvent();
    EXPECT_FALSE(f.Input.MouseLeftClick);   // the top strip drags, it does not click
    while (h.Plat->Ticks() <= 910) f.IdleEvent();
    EXPECT_TRUE(f.Input.MouseLeftClick);
    EXPECT_TRUE(f.Skip.AutoMode);           // presses on the detached window keep auto mode
    EXPECT_EQ(f.Input.CursorMsgWin, (Point{100, 100}));
    EXPECT_EQ(f.Input.CursorMain, (Point{100, 516}));
}

TEST(Input, SkippableSectionTurnsAnyAdvanceIntoFastSkip) {
    EngineHarness h;
    TForm1& f = h.Start({KeyAt(600, Key::Return, true), KeyAt(620, Key::Return, false)});
    f.EngineMode = kQuietMode;
    f.Game.SkipAllowed = 1;
    f.Skip.SkippableSection = true;
    h.Passes(5);
    EXPECT_FALSE(f.Skip.FastSkip);
    while (h.Plat->Ticks() <= 700) f.IdleEvent();
    EXPECT_TRUE(f.Skip.SectionSkipRequested);
    EXPECT_TRUE(f.Skip.FastSkip);
    EXPECT_TRUE(f.Skip.SkipActive);
}

TEST(Input, AltReturnSwitchesOncePerPressHoweverLongHeldAndStillAdvances) {
    EngineHarness h;
    TForm1& f = h.Start({KeyAt(600, Key::Alt, true), KeyAt(600, Key::Return, true),
                         KeyAt(1800, Key::Return, false),
                         // The second press comes while the repeat delay is armed.
                         KeyAt(2000, Key::Return, true), KeyAt(2300, Key::Return, false), KeyAt(2300, Key::Alt, false)});
    f.EngineMode = kQuietMode;
    while (h.Plat->Ticks() < 610) f.IdleEvent();  // one sampling pass
    EXPECT_EQ(f.Config.ScreenMode, 1);
    EXPECT_TRUE(h.Plat->IsFullScreen());
    EXPECT_TRUE(f.Input.KeyEnter);
    // Held for over a second, through passes with and without the repeat delay: no flicker.
    int switches = 0;
    bool was = h.Plat->IsFullScreen();
    while (h.Plat->Ticks() < 1800) {
        if (h.Plat->Ticks() % 300 < 10) f.Input.KeyRepeatDelay = 10;  // consumers acting on the Return
        f.IdleEvent();
        if (h.Plat->IsFullScreen() != was) ++switches;
        was = h.Plat->IsFullScreen();
    }
    EXPECT_EQ(switches, 0);
    EXPECT_EQ(f.Config.ScreenMode, 1);
    // Alt stays down; Return pressed again switches back, delay or not.
    while (h.Plat->Ticks() < 1990) f.IdleEvent();
    f.Input.KeyRepeatDelay = 10;
    while (h.Plat->Ticks() < 2300) f.IdleEvent();
    EXPECT_EQ(f.Config.ScreenMode, 0);
    EXPECT_FALSE(h.Plat->IsFullScreen());
}

}  // namespace
}  // namespace orva
