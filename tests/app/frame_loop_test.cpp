// The frame loop: painting pace, dispatch, timed and key waits, the timer's countdowns, close.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <vector>

#include "fixtures/game_fixture.h"
#include "fixtures/script_game.h"
#include "graphics/png_write.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

using test::EngineHarness;

// PaintFrame calls each draw routine once per frame, in the order of its first row: a routine
// whose rows were split by another routine's would change the painting order, so every routine
// must stand in one run of neighbouring rows. Values and names each name one row.
TEST(ModeTable, DrawRoutinesStandInOneRunAndEveryValueAndNameIsUnique) {
    const std::span<const ModeRow> rows = ModeTable();
    std::vector<ModeRoutine> seen;
    ModeRoutine last = nullptr;
    for (const ModeRow& row : rows) {
        if (row.Draw && row.Draw != last) {
            EXPECT_EQ(std::count(seen.begin(), seen.end(), row.Draw), 0) << row.Name << " splits a run";
            seen.push_back(row.Draw);
        }
        last = row.Draw;
        EXPECT_EQ(FindModeRow(row.Value), &row) << row.Name;
        EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [&](const ModeRow& r) { return r.Name == row.Name; }), 1);
    }
    EXPECT_EQ(FindModeRow(test::kModeWithoutRow), nullptr);
    EXPECT_TRUE(ModeName(test::kModeWithoutRow).empty());
}

TEST(FrameLoop, PassesCostTenMsAndPaintThirtyFramesASecond) {
    EngineHarness h;
    TForm1& f = h.Start();
    const uint32_t start = h.Plat->Ticks();
    EXPECT_EQ(start, 500u);  // the start-up pause
    // The frame clock starts at 0, so the first passes catch up; by 2000 ms it is level.
    h.Passes(150);
    EXPECT_EQ(h.Plat->Ticks(), 2000u);
    EXPECT_GT(f.Timing.FrameClock + kFramePeriod, 2000.0);
    EXPECT_LT(f.Timing.FrameClock, 2000.0 + kFramePeriod);
    EXPECT_EQ(h.Plat->LastPresented(WindowId::Main).Width(), kScreenWidth);
}

TEST(FrameLoop, FastSkipPaintsNothingThenEveryPassCatchesUp) {
    EngineHarness h;
    TForm1& f = h.Start();
    h.Passes(60);  // level with the clock
    f.Game.SkipAllowed = 1;
    f.Skip.FastSkip = true;
    const double clockBefore = f.Timing.FrameClock;
    h.Passes(200);  // two seconds of fast skip
    EXPECT_EQ(f.Timing.FrameClock, clockBefore);
    f.Skip.FastSkip = false;
    // Now the clock lies about 2 s behind: each following pass paints one frame (adds one period)
    // until the 33.3-ms steps have caught up.
    int painting = 0;
    for (int i = 0; i < 100; ++i) {
        const double c = f.Timing.FrameClock;
        f.IdleEvent();
        if (f.Timing.FrameClock == c) break;
        EXPECT_DOUBLE_EQ(f.Timing.FrameClock, c + kFramePeriod);
        ++painting;
    }
    EXPECT_GE(painting, 85);  // ~2000 ms / (33.3 - 10) ms per pass
    EXPECT_LE(painting, 90);
}

TEST(FrameLoop, ModesWithoutHandlerRunNothingAndStillPaint) {
    EngineHarness h;
    TForm1& f = h.Start();
    f.EngineMode = test::kModeWithoutRow;
    h.Passes(100);
    EXPECT_EQ(f.EngineMode, test::kModeWithoutRow);
    EXPECT_GT(f.Timing.FrameClock + kFramePeriod, static_cast<double>(h.Plat->Ticks()));

    // A printing message has no step either: it prints inside the painting, which moves on.
    f.Config.TextSpeed = 100;
    f.NOVL_MakeMessage(u"一行");
    f.Text.PrintCount = 0;
    f.EngineMode = Mode::MessagePrint;
    h.Passes(5);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
}

TEST(FrameLoop, TimedWaitEndsOnTimeAndTakesClicksOnlyWhenClickable) {
    // A script that jumps on every pass keeps the engine in mode 0 once a wait has ended.
    test::ScriptGame h(".script 1 \"a\"\n*a\njump *a\n");
    TForm1& f = h.Boot({{.Time = 1000, .Verb = TimelineVerb::Click, .Pos = {10, 10}}});
    // An end in the past ends on the first pass; a negative end has always passed.
    f.Timing.WaitEnd = 100;
    f.EngineMode = Mode::TimedWait;
    f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::Script);
    f.Timing.WaitEnd = -5;
    f.EngineMode = Mode::TimedWait;
    f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::Script);

    // Not clickable: the click at 1000 ms is ignored, the wait ends at 3000 ms.
    f.Timing.WaitEnd = 3000;
    f.Timing.WaitClickable = false;
    f.EngineMode = Mode::TimedWait;
    while (h.Plat->Ticks() < 2990) f.IdleEvent();
    EXPECT_TRUE(f.Input.MouseLeftClick);
    EXPECT_EQ(f.EngineMode, Mode::TimedWait);
    while (h.Plat->Ticks() < 3020) f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::Script);

    // Clickable: the click that is still set ends it at once.
    f.Timing.WaitEnd = 100000;
    f.Timing.WaitClickable = true;
    f.EngineMode = Mode::TimedWait;
    f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::Script);
}

TEST(FrameLoop, TheClickEndingAKeyWaitSurvivesIntoAClickableWait) {
    EngineHarness h;
    TForm1& f = h.Start({{.Time = 600, .Verb = TimelineVerb::Click, .Pos = {400, 300}}});
    f.EngineMode = Mode::KeyWait;
    while (h.Plat->Ticks() < 600) f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::KeyWait);
    f.IdleEvent();  // samples the click
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_TRUE(f.Input.MouseLeftClick);
    f.Timing.WaitEnd = static_cast<int32_t>(h.Plat->Ticks()) + 5000;
    f.Timing.WaitClickable = true;
    f.EngineMode = Mode::TimedWait;
    f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::Script);
}

TEST(FrameLoop, StatusTextLivesThreeHundredTicks) {
    EngineHarness h;
    TForm1& f = h.Start();
    f.Timing.StatusText = u"クイックセーブしました";
    f.Timing.StatusCountdown = 300;
    const uint32_t t0 = h.Plat->Ticks();
    while (h.Plat->Ticks() < t0 + 2950) f.IdleEvent();
    EXPECT_FALSE(f.Timing.StatusText.empty());
    while (h.Plat->Ticks() < t0 + 3050) f.IdleEvent();
    EXPECT_TRUE(f.Timing.StatusText.empty());
    EXPECT_EQ(f.Timing.StatusCountdown, 0);
}

TEST(FrameLoop, TimerCountsVoiceSilenceAndKeyDelayOncePerTenMs) {
    EngineHarness h;
    TForm1& f = h.Start();
    f.Timing.VoiceTimer = 0;
    f.Input.KeyRepeatDelay = 5;
    h.Passes(3);  // 30 ms
    EXPECT_EQ(f.Timing.VoiceTimer, 30);
    EXPECT_EQ(f.Input.KeyRepeatDelay, 2);
    h.Passes(5);
    EXPECT_EQ(f.Input.KeyRepeatDelay, 0);  // never below 0
}

TEST(FrameLoop, CloseAsksFirstAndNoKeepsTheGameRunning) {
    using test::TempDir;
    EngineHarness h;
    // Close at 1000 ms, answer no; close at 3000 ms, answer yes.
    TForm1& f = h.Start({
        {.Time = 1000, .Verb = TimelineVerb::Close},
        {.Time = 1500, .Verb = TimelineVerb::Click, .Window = WindowId::Query, .Pos = {200, 80}},
        {.Time = 3000, .Verb = TimelineVerb::Close},
        {.Time = 3500, .Verb = TimelineVerb::Click, .Window = WindowId::Query, .Pos = {50, 80}},
    });
    f.EngineMode = test::kModeWithoutRow;
    while (h.Plat->Ticks() < 2500) f.IdleEvent();
    EXPECT_EQ(h.Plat->Foreground(), WindowId::Main);
    EXPECT_FALSE(h.Plat->IsWindowVisible(WindowId::Query));
    // The game went on behind the dialog: frames kept being painted.
    EXPECT_GE(f.Timing.FrameClock, 2400.0);
    std::filesystem::remove(h.SaveDir / "SAVE.DAT");
    while (h.Plat->Ticks() < 3400) f.IdleEvent();  // the dialog is open from 3000 ms
    EXPECT_TRUE(std::filesystem::exists(h.SaveDir / "SAVE.DAT"));  // written by the close
    EXPECT_TRUE(std::filesystem::exists(h.SaveDir / "SAVE2.DAT"));
}

TEST(FrameLoop, TheDialogIsMadeAtStartUpWithItsCaptionAndReportsAMissingPicture) {
    // Only the parts picture is there: the background's read error is in the memo right after
    // start-up, before any pass and long before a close request.
    EngineHarness h;
    TABitmap parts(320, 160);
    parts.FillColor(0, 0, 0);
    parts.FillRect(0, 128, 320, 32, 200, 10, 10);  // the quit question
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodePng(parts, png));
    test::WriteArchive(h.GameDir, 1, {{"SysQueryP.png", png}});
    TForm1& f = h.Start({{.Time = 500, .Verb = TimelineVerb::Close},
                         {.Time = 800, .Verb = TimelineVerb::Click, .Window = WindowId::Query, .Pos = {200, 80}}});
    EXPECT_EQ(f.DebugMemo, std::vector<std::string>{"read error : SysQuery.png"});
    EXPECT_EQ(h.Plat->WindowTitle(WindowId::Query), "確認");

    // Shown on the close request: the question strip comes from the picture read at start-up,
    // and nothing is read again.
    f.EngineMode = test::kModeWithoutRow;
    bool shown = false;
    while (h.Plat->Ticks() < 1000) {
        f.IdleEvent();
        const TABitmap& dialog = h.Plat->LastPresented(WindowId::Query);
        if (dialog.Width() == 320) shown = shown || (dialog.Row(30)[4 * 5 + 2] == 200);
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(f.DebugMemo.size(), 1u);
    EXPECT_FALSE(h.Plat->IsWindowVisible(WindowId::Query));
}

}  // namespace
}  // namespace orva
