// The message window's buttons on the headless engine: quick save and quick load, the locks in the story and in a scene replay, the looks
// during a choice, the skip of read text, the log and voice buttons and the detached row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "data/file_io.h"
#include "fixtures/script_game.h"
#include "text/text_harness.h"
#include "text/window_buttons.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

// --- on the engine --------------------------------------------------------------------------

constexpr const char* kStory = R"(.script 1 "story"
system 2 1
system 3 1
*top
msg "一つ目。"
msg "二つ目。" "v_aya001"
if F1 == 1
  msg "三つ目。"
end
set F1 1
jump *top
)";

Point Row(int button) { return {ButtonDrawPlace(button, false).X + 20, 588}; }

struct ButtonGame : test::ScriptGame {
    ButtonGame(const char* source = kStory) : ScriptGame(source) {}
    TForm1& BootStory() {
        Boot();
        Form->StoryMode = true;
        return *Form;
    }
    // A left click in `window`, delivered at the end of the next pass and acted on by the one after.
    void Click(Point p, WindowId window = WindowId::Main) {
        Plat->Inject({.Verb = TimelineVerb::Click, .Window = window, .Pos = p});
        Passes(2);
    }
    // Runs until a message waits; returns its number.
    int32_t WaitForMessage() {
        if (!RunUntilMode(Mode::MessageWait)) throw std::runtime_error("no message");
        return Form->Text.MsgNo;
    }
};

TEST(WindowButtons, QuickLoadWithoutAQuickSaveOnlyTellsSoForThreeSeconds) {
    ButtonGame g;
    TForm1& f = g.BootStory();
    const int32_t msg = g.WaitForMessage();
    const int32_t step = f.Game.ScriptStep;
    g.Click(Row(kBtnQuickLoad));
    EXPECT_EQ(f.Timing.StatusText, u"クイックセーブがありません");
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Text.MsgNo, msg);
    EXPECT_EQ(f.Game.ScriptStep, step);
    EXPECT_TRUE(f.Text.MsgOnScreen);
    EXPECT_FALSE(std::filesystem::exists(g.SaveDir / "THUMB" / "SAVE100.dat"));
    // The click was the button's: the message still waits. The notice lasts 300 ticks.
    g.Passes(200);
    EXPECT_EQ(f.Text.MsgNo, msg);
    EXPECT_FALSE(f.Timing.StatusText.empty());
    g.Passes(120);
    EXPECT_TRUE(f.Timing.StatusText.empty());
}

TEST(WindowButtons, QuickSaveThenQuickLoadReturnsToTheSameMessagePrintedAnew) {
    ButtonGame g;
    TForm1& f = g.BootStory();
    const int32_t first = g.WaitForMessage();
    const int32_t step = f.Game.ScriptStep;
    g.Click(Row(kBtnQuickSave));
    EXPECT_EQ(f.Timing.StatusText, u"クイックセーブしました");
    const GameRec& slot = f.Sys->SaveSlots[99];
    EXPECT_EQ(slot.InUse, 1);
    EXPECT_EQ(slot.ScriptStep, step);
    const auto file = ReadWholeFile(g.SaveDir / "SAVE.DAT");
    ASSERT_TRUE(file && file->size() == kSystemBlockSize);
    EXPECT_EQ(0, std::memcmp(file->data() + offsetof(SystemBlock, SaveSlots) + 99 * sizeof(GameRec), &slot, sizeof slot));
    const auto thumb = ReadWholeFile(g.SaveDir / "THUMB" / "SAVE100.dat");
    ASSERT_TRUE(thumb);
    EXPECT_GT(thumb->size(), 96u * 72u * 4u);

    g.Click({400, 300});                           // on to the second message
    const int32_t second = g.WaitForMessage();
    ASSERT_NE(second, first);
    ASSERT_FALSE(f.Msg.MessageLog.Entry(0).Text.empty());

    g.Click(Row(kBtnQuickLoad));
    EXPECT_EQ(f.Timing.StatusText, u"クイックロードしました");
    EXPECT_TRUE(f.Msg.MessageLog.Entry(0).Text.empty());   // the log starts afresh
    // The restore runs the interrupted message again, printing it from its first character.
    bool printed = false;
    for (int i = 0; i < 500 && f.EngineMode != Mode::MessageWait; ++i) {
        f.IdleEvent();
        printed = printed || f.EngineMode == Mode::MessagePrint;
    }
    EXPECT_TRUE(printed);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Text.MsgNo, first);
    EXPECT_EQ(f.Game.ScriptStep, step);
}

TEST(WindowButtons, QuickSaveKeepsTheCommentOfTheGameLoadedFromACommentedSlot) {
    ButtonGame g;
    TForm1& f = g.BootStory();
    g.WaitForMessage();
    g.Click(Row(kBtnQuickSave));
    ASSERT_EQ(f.Sys->SaveSlots[99].InUse, 1);
    // The player gives the quick save a comment in the menu, then loads it.
    std::strcpy(f.Sys->SaveSlots[99].Comment, "before the bridge");
    g.Click(Row(kBtnQuickLoad));
    g.WaitForMessage();
    ASSERT_STREQ(f.Game.Comment, "before the bridge");

    g.Click(Row(kBtnQuickSave));
    EXPECT_EQ(f.Timing.StatusText, u"クイックセーブしました");
    EXPECT_STREQ(f.Game.Comment, "before the bridge");
    EXPECT_STREQ(f.Sys->SaveSlots[99].Comment, "before the bridge");
    const auto file = ReadWholeFile(g.SaveDir / "SAVE.DAT");
    ASSERT_TRUE(file && file->size() == kSystemBlockSize);
    EXPECT_EQ(0, std::memcmp(file->data() + offsetof(SystemBlock, SaveSlots) + 99 * sizeof(GameRec),
                             &f.Sys->SaveSlots[99], sizeof(GameRec)));
}

TEST(WindowButtons, MenuLockLeavesConfigurationAndSmallButtonsInTheStoryAndMoreInAReplay) {
    ButtonGame g(R"(.script 1 "story"
system 2 0
msg "一つ目。"
msg "二つ目。"
)");
    TForm1& f = g.BootStory();
    g.WaitForMessage();
    // A click on a disabled button is not the button's: it goes on like any click.
    g.Click(Row(kBtnSave));
    EXPECT_NE(f.EngineMode, Mode::SaveMenuEnter);
    EXPECT_EQ(f.Msg.ButtonState[kBtnSave], kBtnDisabled);
    EXPECT_EQ(g.WaitForMessage(), 1);
    g.Click(Row(kBtnAuto));
    EXPECT_FALSE(f.Skip.AutoMode);

    ButtonGame g2(R"(.script 1 "story"
system 2 0
msg "一つ目。"
msg "二つ目。"
)");
    TForm1& h = g2.BootStory();
    g2.WaitForMessage();
    g2.Click({780, 460});                          // the hide button
    EXPECT_FALSE(h.Text.MsgOnScreen);
    g2.Click(Row(kBtnQuickLoad));                  // no hidden button acts: the window comes back
    EXPECT_TRUE(h.Text.MsgOnScreen);
    EXPECT_TRUE(h.Timing.StatusText.empty());
    EXPECT_EQ(h.Text.MsgNo, 0);
    g2.Click(Row(kBtnConfig));
    EXPECT_EQ(h.PrevMode, Mode::MessageWait);
    EXPECT_NE(h.EngineMode, Mode::MessageWait);               // the configuration menu opened

    // A scene replay: auto and skip work under the same lock, save does not.
    ButtonGame g3(R"(.script 1 "story"
system 2 0
msg "一つ目。"
msg "二つ目。"
msg "三つ目。"
)");
    TForm1& r = g3.Boot();
    r.StoryMode = false;
    g3.WaitForMessage();
    g3.Click(Row(kBtnAuto));
    EXPECT_TRUE(r.Skip.AutoMode);
    EXPECT_TRUE(r.Msg.ButtonToggle[kBtnAuto]);
    EXPECT_EQ(r.Text.MsgNo, 0);                    // the click did not also go on
    EXPECT_EQ(r.Msg.ButtonState[kBtnSave], kBtnDisabled);
    EXPECT_EQ(r.Msg.ButtonState[kBtnMusic], kBtnNormal);

    // A lock the script lifts is gone on the next message, not one message later.
    ButtonGame g4(R"(.script 1 "story"
system 3 0
msg "一つ目。"
system 2 1
system 3 1
msg "二つ目。"
)");
    TForm1& u = g4.BootStory();
    g4.WaitForMessage();
    g4.Passes(1);
    EXPECT_EQ(u.Msg.ButtonState[kBtnSkip], kBtnDisabled);
    EXPECT_EQ(u.Msg.ButtonState[kBtnSave], kBtnDisabled);
    g4.Click({400, 300});
    ASSERT_EQ(g4.WaitForMessage(), 1);
    g4.Passes(1);
    EXPECT_EQ(u.Msg.ButtonState[kBtnSkip], kBtnNormal);
    EXPECT_EQ(u.Msg.ButtonState[kBtnSave], kBtnNormal);
    g4.Click(Row(kBtnSave));
    EXPECT_EQ(u.EngineMode, Mode::SaveMenuWait);
}

TEST(WindowButtons, DuringAChoiceTheLogVoiceAutoAndSkipButtonsLookDisabledAndTheSmallOnesAreNotDrawn) {
    ButtonGame g(R"(.script 1 "story"
system 2 1
msg "一つ目。"
choice "はい,いいえ"
msg "終わり。"
)");
    TForm1& f = g.BootStory();
    // Each state's row of looks in its own colour: red = 40 + 40 × state.
    TABitmap sheet(kScreenWidth, kScreenHeight);
    sheet.FillColor(0, 0, 0);
    for (int s = 0; s <= 4; ++s) sheet.FillRect(0, 24 * s, kScreenWidth, 24, uint8_t(40 + 40 * s), 90, 90);
    g.WaitForMessage();
    f.Pics->ButtonSheet.Assign(sheet);
    g.Click({400, 300});
    ASSERT_TRUE(g.RunUntilMode(Mode::ChoiceWait));
    f.Input.CursorMain = {10, 10};
    f.PaintFrame();
    const TABitmap& frame = f.Pics->BackBuffer;
    // The state a button is drawn in, read back from its colour (blending may round by a step).
    auto look = [&](int b) { return (test::Px(frame, ButtonDrawPlace(b, false).X + 10, 586)[2] - 20) / 40; };
    for (int b : {kBtnLog, kBtnVoice, kBtnAuto, kBtnSkip}) EXPECT_EQ(look(b), kBtnDisabled) << b;
    for (int b : {kBtnQuickSave, kBtnSave, kBtnMusic, kBtnConfig}) EXPECT_EQ(look(b), kBtnNormal) << b;
    auto sheetGreen = [&](int x, int y) { return std::abs(test::Px(f.Pics->BackBuffer, x, y)[1] - 90) <= 2; };
    EXPECT_FALSE(sheetGreen(780, 460));             // no hide button
    EXPECT_FALSE(sheetGreen(780, 490));

    // The choice ends; the message wait lifts the choice's disabling.
    g.Click({400, 230});
    g.WaitForMessage();
    f.PaintFrame();
    EXPECT_EQ(look(kBtnLog), kBtnNormal);
    EXPECT_TRUE(sheetGreen(780, 460));
}

TEST(WindowButtons, SkipButtonPassesReadTextUntilTheFirstUnreadMessage) {
    ButtonGame g;
    TForm1& f = g.BootStory();
    // First round: two messages read; then the loop comes back to the first.
    const int32_t one = g.WaitForMessage();
    g.Click({400, 300});
    g.WaitForMessage();
    g.Click({400, 300});
    ASSERT_EQ(g.WaitForMessage(), one);
    g.Click(Row(kBtnSkip));
    EXPECT_TRUE(f.Msg.ButtonToggle[kBtnSkip]);
    // Message one and two pass by themselves; the unread third stops the skip.
    for (int i = 0; i < 400 && !(f.EngineMode == Mode::MessageWait && f.Text.MsgNo != one && !f.Skip.SkipActive); ++i)
        f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Text.MsgNo, 2);
    EXPECT_FALSE(f.Skip.SkipActive);
    EXPECT_FALSE(f.Skip.SkipReadRequested);
    g.Passes(60);
    EXPECT_EQ(f.Text.MsgNo, 2);                    // it waits like any message
}

TEST(WindowButtons, LogButtonStartsAndEndsTheReviewAndTheVoiceButtonReplays) {
    ButtonGame g;
    TForm1& f = g.BootStory();
    g.WaitForMessage();
    g.Click({400, 300});
    g.WaitForMessage();
    g.Click(Row(kBtnLog));
    EXPECT_TRUE(f.Text.LogReview);
    EXPECT_EQ(f.Msg.LogPos, 1);
    g.Passes(2);
    EXPECT_TRUE(f.Text.LogReview);
    f.Input.CursorMain = Row(kBtnLog);
    g.Click(Row(kBtnLog));                          // on and under the cursor: the review ends
    EXPECT_FALSE(f.Text.LogReview);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Text.MsgNo, 1);

    // The second message's voice is not in the archives: the toggle stays off.
    g.Click(Row(kBtnVoice));
    EXPECT_FALSE(f.Msg.ButtonToggle[kBtnVoice]);
    EXPECT_EQ(f.Text.MsgNo, 1);
}

TEST(WindowButtons, MusicButtonFlipsTheVariantAndRestartsTheTune) {
    ButtonGame g(R"(.script 1 "story"
system 2 1
bgm "M01"
msg "一つ目。"
)");
    TForm1& f = g.BootStory();
    g.WaitForMessage();
    ASSERT_STREQ(f.Game.MusicName, "M01");
    const int32_t slot = f.MusicSlot;
    g.Click(Row(kBtnMusic));
    EXPECT_EQ(f.Game.AltMusic, 1);
    EXPECT_NE(f.MusicSlot, slot);                   // asked again with force: a new cross-fade
    g.Click(Row(kBtnMusic));
    EXPECT_EQ(f.Game.AltMusic, 0);
    EXPECT_EQ(f.MusicSlot, slot);
    EXPECT_EQ(f.Text.MsgNo, 0);
}

TEST(WindowButtons, DetachedRowReactsOnlyFromY164AndDetachMovesTheWindow) {
    ButtonGame g;
    TForm1& f = g.BootStory();
    g.WaitForMessage();
    g.Click({780, 490});                            // detach
    EXPECT_TRUE(f.Config.DetachedWindow);
    EXPECT_TRUE(f.MsgFormVisible);
    g.Click({200, 162}, WindowId::Msg);             // drawn there, but not reacting: it goes on
    EXPECT_TRUE(f.Timing.StatusText.empty());
    EXPECT_EQ(g.WaitForMessage(), 1);
    g.Click({200, 164}, WindowId::Msg);
    EXPECT_EQ(f.Timing.StatusText, u"クイックセーブがありません");
    g.Click({780, 70}, WindowId::Msg);              // attach again
    EXPECT_FALSE(f.Config.DetachedWindow);
    EXPECT_FALSE(f.MsgFormVisible);
}

}  // namespace
}  // namespace orva
