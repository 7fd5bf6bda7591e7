// The configuration menu on the headless engine: opened from the window's button, its sliders
// dragged and tapped, the font shown at once on a waiting message, the window designs, the
// title question, defaults in full screen, and the settings in the save file after closing.
#include <gtest/gtest.h>

#include <cstring>

#include "menu_game.h"
#include "menus/config_menu.h"
#include "text/window_buttons.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

using test::MenuGame;
using test::Png;
using test::Solid;

constexpr const char* kStory = R"(.script 1 "main"
system 2 1
system 3 1
bgm "M01"
msg "一つ目の言葉。"
choice "はい,いいえ"
msg "三つ目の言葉。"
system 101
)";

constexpr Point kConfigButton{644, 588};

struct ConfigGame : MenuGame {
    explicit ConfigGame(const char* source = kStory) : MenuGame(source) {
        TABitmap parts = Solid(kScreenWidth, kScreenHeight, 0, 0, 0);
        for (int s = 0; s < 4; ++s) parts.FillRect(0, 64 * s, 720, 64, uint8_t(20 + 60 * s), 10, 10);
        parts.FillRect(0, 320, 304, 112, 0, 0, 200);
        parts.FillRect(304, 320, 304, 112, 0, 200, 0);
        test::WriteArchive(GameDir, 2,
                     {{"SysConfig.png", Png(Solid(kScreenWidth, kScreenHeight, 90, 90, 90), true)},
                      {"SysConfigP.png", Png(parts, true)},
                      {"SysMsgWinB.png", Png(Solid(kMsgWindowWidth, kMsgWindowHeight, 0, 0, 120), true)},
                      {"SysMsgWinG.png", Png(Solid(kMsgWindowWidth, kMsgWindowHeight, 0, 120, 0), true)},
                      {"SysMsgWinP.png", Png(Solid(kScreenWidth, kScreenHeight, 30, 30, 30), true)}});
    }
    TForm1& OpenAtMessage() {
        TForm1& f = BootTraced();
        f.StoryMode = true;
        if (!RunUntilMode(Mode::MessageWait)) throw std::runtime_error("no message");
        Click(kConfigButton, 3);
        if (f.EngineMode != Mode::ConfigMenuWait) throw std::runtime_error("no menu");
        return f;
    }
    void Mouse(TimelineVerb verb, Point p) {
        Plat->Inject({.Verb = verb, .Pos = p});
        Passes(2);
    }
    int CountPictureEvents(const std::string& name) {
        int n = 0;
        for (const std::string& e : TraceEvents("picture")) n += e.find(name) != std::string::npos;
        return n;
    }
};

const uint8_t* Px(const TABitmap& b, int x, int y) { return b.Row(y) + size_t(x) * 4; }

int32_t MusicGain(TForm1& f) { return f.MusicSource[static_cast<size_t>(f.MusicSlot)]->ChannelGainValue(); }

TEST(ConfigMenu, MusicKnobDraggedLeftSilencesAtOnceAndPastTheRightEndGives100) {
    ConfigGame g;
    TForm1& f = g.OpenAtMessage();
    EXPECT_EQ(f.PrevMode, Mode::MessageWait);
    ASSERT_EQ(f.Config.BgmVolume, 75);
    const int32_t before = MusicGain(f);
    EXPECT_GT(before, 0);

    g.Mouse(TimelineVerb::Down, {262, 330});
    EXPECT_TRUE(f.Menus.SliderDrag);
    g.Mouse(TimelineVerb::Move, {85, 500});          // y does not matter while dragging
    EXPECT_EQ(f.Config.BgmVolume, 0);
    EXPECT_EQ(MusicGain(f), 0);                      // the channel follows at once
    g.Mouse(TimelineVerb::Move, {330, 330});
    EXPECT_EQ(f.Config.BgmVolume, 100);
    g.Mouse(TimelineVerb::Move, {600, 330});         // beyond the track: the value stays
    EXPECT_EQ(f.Config.BgmVolume, 100);
    EXPECT_EQ(f.Config.SeVolume, 75);
    g.Mouse(TimelineVerb::Up, {600, 330});
    EXPECT_FALSE(f.Menus.SliderDrag);
    g.Mouse(TimelineVerb::Move, {200, 330});
    EXPECT_EQ(f.Config.BgmVolume, 100);
}

TEST(ConfigMenu, ATapOnAKnobSetsTheValueUnderTheCursorAndEndsTheDrag) {
    ConfigGame g;
    TForm1& f = g.OpenAtMessage();
    // The opacity knob at 75 is drawn from x 624; its left edge lies at value 70.83.
    g.Click({624, 390});
    EXPECT_EQ(f.Config.WindowOpacity, 71);
    EXPECT_FALSE(f.Menus.SliderDrag);
    g.Mouse(TimelineVerb::Move, {500, 390});
    EXPECT_EQ(f.Config.WindowOpacity, 71);
}

TEST(ConfigMenu, NewFontShowsAtOnceOnAWaitingMessageButAWaitingChoiceKeepsItsOwn) {
    ConfigGame g;
    TForm1& f = g.OpenAtMessage();
    TABitmap mincho;
    mincho.Assign(f.Pics->TextLayer);
    g.Click({600, 260});                              // Gothic
    EXPECT_EQ(f.Config.MessageFont, 1);
    g.Click({700, 560});                              // back
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_NE(0, std::memcmp(mincho.Pixels(), f.Pics->TextLayer.Pixels(), 800u * 184u * 4u));

    g.Click({400, 300});                              // on to the choice
    ASSERT_TRUE(g.RunUntilMode(Mode::ChoiceWait));
    TABitmap row;
    row.Assign(f.Pics->ChoiceRows[0][0]);
    g.Click(kConfigButton, 3);
    ASSERT_EQ(f.EngineMode, Mode::ConfigMenuWait);
    g.Click({500, 260});                              // Mincho
    g.Click({700, 560});
    EXPECT_EQ(f.EngineMode, Mode::ChoiceWait);
    EXPECT_EQ(0, std::memcmp(row.Pixels(), f.Pics->ChoiceRows[0][0].Pixels(), size_t(row.Width()) * row.Height() * 4));
}

TEST(ConfigMenu, ChoosingADesignTwiceLoadsItsPicturesOnce) {
    ConfigGame g;
    TForm1& f = g.OpenAtMessage();
    g.Click({600, 320});
    g.Click({600, 320});
    EXPECT_EQ(f.Config.WindowColour, 1);
    EXPECT_EQ(g.CountPictureEvents("SysMsgWinG.png"), 1);
    // The message window shows the new design.
    EXPECT_EQ(Px(f.Pics->MsgWinPicture, 10, 10)[1], 120);
}

TEST(ConfigMenu, NoToTheTitleQuestionKeepsTheMenuAndYesRunsTheTitleCommand) {
    ConfigGame g;
    TForm1& f = g.OpenAtMessage();
    g.Plat->Inject({.Time = g.Plat->Ticks() + 200, .Verb = TimelineVerb::Click, .Window = WindowId::Query, .Pos = {200, 80}});
    g.Click({500, 560});
    EXPECT_EQ(f.EngineMode, Mode::ConfigMenuWait);

    g.Plat->Inject({.Time = g.Plat->Ticks() + 200, .Verb = TimelineVerb::Click, .Window = WindowId::Query, .Pos = {60, 80}});
    g.Click({500, 560});
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_EQ(f.Game.ScriptStep, 5);                  // one before "system 101"
    EXPECT_TRUE(g.RunUntilMode(Mode::TitleMenuEnter, 5));
}

TEST(ConfigMenu, DefaultsLeaveFullScreenAndTakeEffectAtOnce) {
    ConfigGame g;
    TForm1& f = g.OpenAtMessage();
    g.Click({300, 150});                              // full screen
    EXPECT_TRUE(g.Plat->IsFullScreen());
    EXPECT_EQ(f.Config.ScreenMode, 1);
    g.Click({600, 320});                              // design 1
    g.Mouse(TimelineVerb::Down, {262, 330});
    g.Mouse(TimelineVerb::Up, {120, 330});            // music to 0 (the press set it first)
    g.Click({100, 210});                              // effects on: already
    g.Click({300, 210});                              // effects off
    EXPECT_EQ(f.Config.ScreenEffects, 0);

    g.Click({100, 560});                              // defaults
    EXPECT_FALSE(g.Plat->IsFullScreen());
    EXPECT_EQ(f.Config.ScreenMode, 0);
    EXPECT_EQ(f.Config.ScreenEffects, 1);
    EXPECT_EQ(f.Config.BgmVolume, 75);
    EXPECT_EQ(MusicGain(f), 192);                     // 0.75 of 256
    EXPECT_EQ(f.Config.WindowColour, 0);
    EXPECT_EQ(Px(f.Pics->MsgWinPicture, 10, 10)[0], 120);
}

TEST(ConfigMenu, SettingsChangedByATimelineAreInTheSaveFileAfterClosing) {
    ConfigGame g;
    auto click = [](uint32_t t, Point p) { return TimelineEvent{.Time = t, .Verb = TimelineVerb::Click, .Pos = p}; };
    g.Start({
        click(1500, kConfigButton),
        click(1700, {600, 260}),                      // Gothic
        click(1900, {300, 500}),                      // the voice stops
        {.Time = 2100, .Verb = TimelineVerb::Down, .Pos = {576, 150}},   // speed knob at 50
        {.Time = 2200, .Verb = TimelineVerb::Move, .Pos = {680, 400}},
        {.Time = 2300, .Verb = TimelineVerb::Up, .Pos = {680, 400}},
        click(2500, {700, 560}),                      // back
        {.Time = 2800, .Verb = TimelineVerb::Close},
        {.Time = 3000, .Verb = TimelineVerb::Click, .Window = WindowId::Query, .Pos = {60, 80}},   // yes, quit
    }, 600000, false);
    EXPECT_EQ(g.Form->Run(), 0);
    EXPECT_LT(g.Plat->Ticks(), 5000u);               // closed by the player's answer
    const std::vector<uint8_t> file = g.SaveFileBytes();
    ASSERT_EQ(file.size(), kSystemBlockSize);
    ConfigRec saved;
    std::memcpy(&saved, file.data() + offsetof(SystemBlock, Config), sizeof saved);
    EXPECT_EQ(saved.MessageFont, 1);
    EXPECT_EQ(saved.VoiceCarryOn, 0);
    EXPECT_EQ(saved.TextSpeed, 100);
    EXPECT_EQ(saved.BgmVolume, 75);
    EXPECT_EQ(saved.WindowColour, 0);
}

}  // namespace
}  // namespace orva
