// The demo game's message window buttons and configuration menu on the headless engine: the
// skip button on a second reading stops at the first unread message, quick save and quick load
// through the buttons, the locked skip while the letter is read, the detached window's row, and
// the configuration menu's font, speed and design reaching the message window.
#include <gtest/gtest.h>

#include <cstring>

#include "demo_game.h"
#include "text/window_buttons.h"

namespace orva {
namespace {

using test::DemoGame;

Point Row(int button) { return {ButtonDrawPlace(button, false).X + 20, 588}; }

// A new game up to its first waiting message.
TForm1& NewGame(DemoGame& g) {
    TForm1& f = g.Start();
    if (!g.RunUntilMode(Mode::TitleMenuWait)) throw std::runtime_error("no title");
    g.Click({600, 210});
    if (!g.RunUntilMode(Mode::MessageWait)) throw std::runtime_error("no message");
    return f;
}

// On from the waiting message to the next one; returns its number.
int32_t Next(DemoGame& g) {
    g.Click({400, 300});
    g.Passes(1);
    if (!g.RunUntilMode(Mode::MessageWait)) throw std::runtime_error("no message");
    return g.Form->Text.MsgNo;
}

TEST(DemoButtons, SkipOnASecondReadingStopsAtTheFirstUnreadMessage) {
    DemoGame g;
    TForm1& f = NewGame(g);
    // The letter is read without skipping: the skip and auto buttons are off.
    g.Passes(1);
    EXPECT_EQ(f.Msg.ButtonState[kBtnSkip], kBtnDisabled);
    EXPECT_EQ(f.Msg.ButtonState[kBtnAuto], kBtnDisabled);
    g.Click(Row(kBtnSkip));                           // a plain click: it goes on
    for (int i = 0; i < 3; ++i) Next(g);
    const int32_t first = Next(g);                    // skipping is allowed from here
    g.Passes(1);
    EXPECT_NE(f.Msg.ButtonState[kBtnSkip], kBtnDisabled);
    g.Click(Row(kBtnQuickSave));
    EXPECT_EQ(f.Timing.StatusText, u"クイックセーブしました");
    g.Passes(4);
    g.Capture("demo-buttons-quick-save");
    int32_t last = first;
    for (int i = 0; i < 3; ++i) last = Next(g);

    g.Click(Row(kBtnQuickLoad));
    EXPECT_EQ(f.Timing.StatusText, u"クイックロードしました");
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    ASSERT_EQ(f.Text.MsgNo, first);

    g.Click(Row(kBtnSkip));
    std::vector<int32_t> seen;
    for (int i = 0; i < 2000; ++i) {
        f.IdleEvent();
        if (f.EngineMode == Mode::MessageWait && (seen.empty() || seen.back() != f.Text.MsgNo)) seen.push_back(f.Text.MsgNo);
        if (f.EngineMode == Mode::MessageWait && !f.Skip.SkipActive && f.Text.MsgNo != first) break;
    }
    ASSERT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_GT(f.Text.MsgNo, last);                    // past everything read
    EXPECT_FALSE(f.Skip.SkipActive);
    EXPECT_FALSE(f.Msg.ButtonToggle[kBtnSkip]);
    const int32_t stop = f.Text.MsgNo;
    g.Passes(100);
    EXPECT_EQ(f.Text.MsgNo, stop);                    // it waits for the player
}

TEST(DemoButtons, DetachedWindowRowQuickSavesFromItsOwnPlace) {
    DemoGame g;
    TForm1& f = NewGame(g);
    g.Click({780, 490});
    ASSERT_TRUE(f.MsgFormVisible);
    g.Passes(4);
    EXPECT_TRUE(g.Plat->IsWindowVisible(WindowId::Msg));
    const int32_t msg = f.Text.MsgNo;
    g.Click({150, 170}, WindowId::Msg);
    EXPECT_EQ(f.Timing.StatusText, u"クイックセーブしました");
    EXPECT_EQ(f.Text.MsgNo, msg);
    EXPECT_EQ(f.Sys->SaveSlots[99].InUse, 1);
}

TEST(DemoButtons, ConfigurationMenuChangesFontSpeedAndDesignOfTheWaitingMessage) {
    DemoGame g;
    TForm1& f = NewGame(g);
    g.Click(Row(kBtnConfig));
    g.Passes(1);
    ASSERT_EQ(f.EngineMode, Mode::ConfigMenuWait);
    g.Passes(4);
    g.Capture("demo-config-menu");
    TABitmap before;
    before.Assign(f.Pics->TextLayer);

    g.Click({600, 260});                              // Gothic
    g.Click({600, 320});                              // design 1
    g.Plat->Inject({.Verb = TimelineVerb::Down, .Pos = {584, 148}});   // the speed knob at 50
    g.Passes(2);
    g.Plat->Inject({.Verb = TimelineVerb::Move, .Pos = {700, 148}});
    g.Passes(2);
    g.Plat->Inject({.Verb = TimelineVerb::Up, .Pos = {700, 148}});
    g.Passes(2);
    EXPECT_EQ(f.Config.TextSpeed, 100);
    EXPECT_EQ(f.Config.MessageFont, 1);
    EXPECT_EQ(f.Config.WindowColour, 1);
    g.Passes(4);
    g.Capture("demo-config-menu-changed");

    g.Click({700, 560});                              // back
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_NE(0, std::memcmp(before.Pixels(), f.Pics->TextLayer.Pixels(), 800u * 184u * 4u));
    g.Passes(4);
    g.Capture("demo-config-back-gothic");
    // Speed 100: the next message is whole in its first printed frame.
    g.Click({400, 300});
    g.Passes(1);
    EXPECT_TRUE(g.RunUntilMode(Mode::MessageWait, 3));
}

}  // namespace
}  // namespace orva
