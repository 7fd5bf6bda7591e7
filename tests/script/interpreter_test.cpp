// The interpreter on the headless platform: scripts written in the text form, run pass by pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "data/cp932.h"
#include "fixtures/script_game.h"
#include "script/command_table.h"

namespace orva {
namespace {

using test::ScriptGame;

TEST(Interpreter, EveryCommandOfTheTableHasAHandlerAndNoOtherCodeDoes) {
    for (const CommandInfo& row : CommandTable()) EXPECT_TRUE(CommandHasHandler(row.Code)) << row.Name;
    for (uint32_t code = 0; code <= 0xFFFF; ++code) {
        if (!FindCommand(uint16_t(code))) {
            ASSERT_FALSE(CommandHasHandler(uint16_t(code))) << code;
        }
    }
}

TEST(Interpreter, InitialisationLoadsScriptOneAndTheDebugMarkerShowsTheDebugWindow) {
    ScriptGame g(".script 1 \"a\"\nset W1 1\nwait -1\n");
    TForm1& f = g.Boot();
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_EQ(f.Game.ScriptNo, 1);
    EXPECT_EQ(f.Game.ScriptStep, -1);
    EXPECT_TRUE(f.Skip.ControlSkipEnabled);
    EXPECT_FALSE(g.Plat->CursorShown(WindowId::Main));
    EXPECT_FALSE(g.Plat->IsWindowVisible(WindowId::Debug));
    EXPECT_EQ(g.W(1), 0);
    g.Passes(1);
    EXPECT_EQ(g.W(1), 1);
    EXPECT_EQ(f.EngineMode, Mode::KeyWait);

    ScriptGame marked(".script 1 \"a\"\nwait -1\n");
    std::ofstream(marked.GameDir / "ポプリ萌え萌え.txt") << "";
    marked.Boot();
    EXPECT_TRUE(marked.Plat->IsWindowVisible(WindowId::Debug));
}

TEST(Interpreter, InitialisationResetsTheBottomRowOfWindowButtons) {
    ScriptGame g(".script 1 \"a\"\nwait -1\n");
    TForm1& f = g.Start();
    // States an earlier game left behind: disabled, switched on, under the cursor.
    f.Msg.ButtonState = {kBtnDisabled, kBtnDisabled, kBtnDisabled, kBtnDisabled, kBtnOn, kBtnDisabled,
                         kBtnHover,    kBtnOnHover,  kBtnOn,       kBtnDisabled, kBtnDisabled, kBtnHover};
    g.Passes(1);
    ASSERT_EQ(f.EngineMode, Mode::Script);
    for (int b = kBtnQuickSave; b <= kBtnConfig; ++b) EXPECT_EQ(f.Msg.ButtonState[size_t(b)], kBtnNormal) << b;
}

TEST(Interpreter, JumpEndsThePassAndAMissingLabelRestartsTheScript) {
    ScriptGame g(R"(.script 1 "a"
add W1 W1 1
if W1 == 1
  jump *there
end
if W1 == 2
  jump 2 *here
end
*there
set W2 W1
wait -1
.script 2 "b"
add W3 W3 1
jump 1 *nowhere
*here
wait -1
)");
    TForm1& f = g.Boot();
    f.StoryMode = true;
    g.Passes(1);  // W1 := 1, then the jump ends the pass on the label line
    EXPECT_EQ(g.W(1), 1);
    EXPECT_EQ(g.W(2), 0);
    EXPECT_EQ(f.EngineMode, Mode::Script);
    g.Passes(1);  // the line after the label, on the next pass
    EXPECT_EQ(g.W(2), 1);
    EXPECT_EQ(f.EngineMode, Mode::KeyWait);

    g.Resume();  // the end line: the story's script starts again at line 0
    EXPECT_EQ(f.Game.ScriptStep, -1);
    g.Passes(1);  // W1 = 2: jump to a label of script 2
    EXPECT_EQ(f.Game.ScriptNo, 2);
    g.Passes(1);
    EXPECT_EQ(f.EngineMode, Mode::KeyWait);
    EXPECT_EQ(g.W(3), 0);

    g.Resume();  // the end line of script 2
    g.Passes(1);  // script 2 again from line 0; its jump names a label script 1 lacks
    EXPECT_EQ(g.W(3), 1);
    EXPECT_EQ(f.Game.ScriptNo, 1);
    EXPECT_EQ(f.Game.ScriptStep, -1);
    g.Passes(1);
    EXPECT_EQ(g.W(1), 3);
    EXPECT_EQ(g.W(2), 3);
}

TEST(Interpreter, BlocksSkipToElseOrEndAcrossNestedKeys) {
    ScriptGame g(R"(.script 1 "a"
set F1 1
if F1 == 1
  if F1 == 2
    set W1 1
  end
  set W2 1
else
  set W3 1
end
if F1 != 1
  set W4 1
else
  set W5 1
end
if F1 > 5
  set W6 1
end
if F1 <= 1
  if F1 >= 1
    set W7 1
  else
    set W8 1
  end
  set W9 1
end
wait -1
)");
    g.Boot();
    g.Passes(1);
    EXPECT_EQ(g.Form->EngineMode, Mode::KeyWait);
    const int expected[] = {0, 1, 0, 0, 1, 0, 1, 0, 1};
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(g.W(i), expected[i - 1]) << "W" << i;
}

TEST(Interpreter, ArithmeticCommandsStoreIntoTheNamedArrays) {
    ScriptGame g(R"(.script 1 "a"
set F10 32767
add F11 F10 1
sub S1 F11 1
mul W1 300 300
div W2 -7 2
mod W3 -7 2
div W4 5 0
set F12 F11
set W7 2
rand F13 5 W7
wait -1
)");
    g.Boot();
    g.Passes(1);
    EXPECT_EQ(g.F(11), -32768);
    EXPECT_EQ(g.S(1), 32767);
    EXPECT_EQ(g.W(1), int16_t(90000 & 0xFFFF));
    EXPECT_EQ(g.W(2), -3);
    EXPECT_EQ(g.W(3), -1);
    EXPECT_EQ(g.W(4), 0);
    EXPECT_EQ(g.F(12), -32768);
    EXPECT_GE(g.F(13), 2);
    EXPECT_LE(g.F(13), 5);
}

TEST(Interpreter, RandomWithBoundsFiveAndTwoYieldsEveryValueFromTwoToFive) {
    ScriptGame g(".script 1 \"a\"\nwait -1\n");
    TForm1& f = g.Boot();
    ScriptCommand cmd;
    cmd.Code = 0x56;
    cmd.Kind.Kind[0] = kKindWork;
    cmd.WrittenP1 = 1;
    cmd.P2 = 5;
    cmd.P3 = 2;
    std::array<int, 8> seen{};
    for (int i = 0; i < 400; ++i) {
        f.CmdRandom(cmd);
        ASSERT_GE(g.W(1), 2);
        ASSERT_LE(g.W(1), 5);
        ++seen[size_t(g.W(1))];
    }
    for (int v = 2; v <= 5; ++v) EXPECT_GT(seen[size_t(v)], 50) << v;
}

TEST(Interpreter, CallsReturnAfterTheCallLineAcrossScripts) {
    ScriptGame g(R"(.script 1 "a"
call *sub
set W2 W1
call 2 *far
set W4 W3
return
wait -1
*sub
set W1 5
return
.script 2 "b"
*far
set W3 6
return
)");
    TForm1& f = g.Boot();
    f.NOVL_ClearReturnTbl();
    g.Passes(1);  // the call ends the pass in the subroutine's label line
    EXPECT_EQ(f.Game.ReturnCount, 2);  // entry 1 stays (0, 0) after a clear
    EXPECT_EQ(f.Game.ReturnTbl[1].Script, 1);
    EXPECT_EQ(f.Game.ReturnTbl[1].Step, 0);
    EXPECT_EQ(f.Game.ReturnTbl[0].Script, 0);
    g.Passes(1);  // W1 := 5; the return ends the pass on the call line
    EXPECT_EQ(g.W(1), 5);
    EXPECT_EQ(f.Game.ReturnCount, 1);
    EXPECT_EQ(f.Game.ScriptStep, 0);
    g.Passes(1);  // W2 := 5, call into script 2
    EXPECT_EQ(g.W(2), 5);
    EXPECT_EQ(f.Game.ScriptNo, 2);
    EXPECT_EQ(f.Game.ReturnTbl[1].Step, 2);
    g.Passes(1);  // back in script 1
    EXPECT_EQ(f.Game.ScriptNo, 1);
    g.Passes(1);  // W4 := 6; a return with only the cleared entry left does nothing
    EXPECT_EQ(g.W(4), 6);
    EXPECT_EQ(f.Game.ReturnCount, 1);
    EXPECT_EQ(f.Game.ScriptNo, 1);
    EXPECT_EQ(f.EngineMode, Mode::KeyWait);

    // With no entry at all the return is ignored as well.
    f.Game.ReturnCount = 0;
    const int32_t step = f.Game.ScriptStep;
    f.Game.ScriptStep = 3;  // the line before the return
    g.Resume();
    EXPECT_EQ(f.EngineMode, Mode::KeyWait);
    EXPECT_EQ(f.Game.ScriptStep, step);
}

TEST(Interpreter, ACallBeyondSixteenEntriesJumpsWithoutWritingPastTheTable) {
    ScriptGame g(R"(.script 1 "a"
call *sub
wait -1
*sub
set W1 1
wait -1
)");
    TForm1& f = g.Boot();
    for (int i = 0; i < kReturnEntries; ++i) f.Game.ReturnTbl[i] = ReturnEntry{int16_t(i + 1), int16_t(100 + i)};
    f.Game.ReturnCount = kReturnEntries;
    const GameRec before = f.Game;
    const size_t memo = f.DebugMemo.size();
    g.Passes(2);
    EXPECT_EQ(g.W(1), 1);  // the jump was made
    EXPECT_EQ(f.Game.ReturnCount, kReturnEntries);
    EXPECT_EQ(std::memcmp(f.Game.ReturnTbl, before.ReturnTbl, sizeof before.ReturnTbl), 0);
    EXPECT_EQ(std::memcmp(&f.Game.ReturnCount + 1, &before.ReturnCount + 1, 10), 0);
    ASSERT_EQ(f.DebugMemo.size(), memo + 1);
    EXPECT_NE(f.DebugMemo.back().find("deeper than 16"), std::string::npos);
}

TEST(Interpreter, MessagesMarkReadTextAndStopBothSkipsAtTheFirstUnreadOne) {
    ScriptGame g(R"(.script 1 "a"
system 3 1
msg "一"
msg "二"
msg "三" "voice_a" 7
msg "四" "voice_a" 7
jump 15 *x
.script 15 "late"
*x
msg "五"
wait -1
)");
    TForm1& f = g.Boot();
    // Message 0 was read in an earlier run.
    f.Sys->KidokuTbl[1 * 16384] = 0x01;
    f.Game.SkipAllowed = 1;
    f.Skip.SkipReadRequested = true;
    g.Passes(1);
    EXPECT_EQ(f.EngineMode, Mode::MessagePrint);
    EXPECT_EQ(f.Text.MsgNo, 0);
    EXPECT_TRUE(f.Skip.SkipActive);
    EXPECT_TRUE(f.Skip.SkipReadRequested);
    EXPECT_TRUE(f.Text.MsgOnScreen);
    EXPECT_FALSE(f.Text.IsChoice);
    g.Resume();  // message 1 was never read: the skip stops here
    EXPECT_EQ(f.Text.MsgNo, 1);
    EXPECT_FALSE(f.Skip.SkipActive);
    EXPECT_FALSE(f.Skip.SkipReadRequested);
    EXPECT_EQ(f.Sys->KidokuTbl[1 * 16384], 0x03);

    f.Skip.FastSkip = true;  // a fast skip stops the same way: message 2 is unread
    g.Resume();
    EXPECT_FALSE(f.Skip.FastSkip);
    EXPECT_EQ(f.Text.MsgVoice, 0);
    EXPECT_TRUE(f.Text.VoiceLoop);  // style 7 repeats the voice...
    f.Skip.AutoMode = true;
    g.Resume();
    EXPECT_FALSE(f.Text.VoiceLoop);  // ...except in auto mode
    EXPECT_EQ(f.Sys->KidokuTbl[1 * 16384], 0x0F);

    g.Resume();  // the jump into script 15
    g.Passes(1);
    EXPECT_EQ(f.Game.ScriptNo, 15);
    EXPECT_EQ(f.EngineMode, Mode::MessagePrint);
    EXPECT_FALSE(f.CheckKidoku(0));
    for (int s = 15; s < 16; ++s)
        for (int i = 0; i < 16384; ++i) ASSERT_EQ(f.Sys->KidokuTbl[s * 16384 + i], 0);
}

TEST(Interpreter, AChoiceStopsSkipAndAutoAndWaitsInItsMode) {
    ScriptGame g(".script 1 \"a\"\nchoice \"はい:いいえ\" 3\nwait -1\n");
    TForm1& f = g.Boot();
    f.Skip.SkipActive = f.Skip.SkipReadRequested = f.Skip.FastSkip = f.Skip.AutoMode = true;
    f.Text.MsgOnScreen = f.Text.MsgWinShown = true;
    g.Passes(1);
    EXPECT_EQ(f.EngineMode, Mode::ChoiceWait);
    EXPECT_TRUE(f.Text.IsChoice);
    EXPECT_TRUE(f.Text.ChoiceOnScreen);
    EXPECT_FALSE(f.Text.MsgOnScreen);
    EXPECT_FALSE(f.Text.MsgWinShown);
    EXPECT_EQ(f.Text.MsgVoice, 3);
    EXPECT_FALSE(f.Skip.SkipActive || f.Skip.SkipReadRequested || f.Skip.FastSkip || f.Skip.AutoMode);
}

TEST(Interpreter, WaitKindsAndAFastSkipSpendingOnePassOnATimedWait) {
    ScriptGame g(R"(.script 1 "a"
system 3 1
wait 5000
set W1 1
wait -6
set S451 1
wait -6
wait -3
set W2 1
wait 500 1
wait 200
wait -1
)");
    TForm1& f = g.Boot();
    f.Game.SkipAllowed = 1;
    f.Skip.FastSkip = true;
    g.Passes(1);
    EXPECT_EQ(f.EngineMode, Mode::Script);  // the wait was skipped, but the pass ended
    EXPECT_EQ(g.W(1), 0);
    f.Skip.FastSkip = false;
    g.Passes(1);
    EXPECT_EQ(g.W(1), 1);
    EXPECT_EQ(f.EngineMode, Mode::MovieWait);  // the movie wait while S451 is 0
    g.Resume();                          // -6 with S451 set and -3 do not wait
    EXPECT_EQ(g.W(2), 1);
    EXPECT_EQ(f.EngineMode, Mode::TimedWait);
    EXPECT_TRUE(f.Timing.WaitClickable);
    EXPECT_EQ(f.Timing.WaitEnd, int32_t(g.Plat->Ticks() - 10 + 500));
    g.Resume();
    EXPECT_EQ(f.EngineMode, Mode::TimedWait);
    EXPECT_FALSE(f.Timing.WaitClickable);
    EXPECT_TRUE(g.RunUntilMode(Mode::KeyWait, 40));  // the 200-ms wait ends by itself
}

TEST(Interpreter, SystemFunctions) {
    ScriptGame g(R"(.script 1 "a"
system 1 1
system 2 1
system 3 5
system 7 1
wait -1
system 1 0
system 2 0
system 3 0
system 7 0
system 999 1
set W1 1
system 101
set W2 1
wait -1
)");
    TForm1& f = g.Boot();
    f.Skip.SectionSkipRequested = true;
    g.Passes(1);
    EXPECT_EQ(f.Game.CursorShown, 1);
    EXPECT_TRUE(g.Plat->CursorShown(WindowId::Main));
    EXPECT_EQ(f.Game.MenuButtonsAllowed, 1);
    EXPECT_EQ(f.Game.SkipAllowed, 1);
    EXPECT_TRUE(f.Skip.SkippableSection);
    EXPECT_FALSE(f.Skip.SectionSkipRequested);

    f.Text.MsgOnScreen = f.Text.MsgWinShown = f.Skip.AutoMode = true;
    g.Resume();
    EXPECT_EQ(f.Game.CursorShown, 0);
    EXPECT_FALSE(g.Plat->CursorShown(WindowId::Main));
    // Hidden over the main window only: the dialog and the other windows keep their pointer.
    EXPECT_TRUE(g.Plat->CursorShown(WindowId::Query));
    EXPECT_TRUE(g.Plat->CursorShown(WindowId::Msg));
    EXPECT_TRUE(g.Plat->CursorShown(WindowId::Debug));
    EXPECT_EQ(f.Game.MenuButtonsAllowed, 0);
    EXPECT_EQ(f.Game.SkipAllowed, 0);
    EXPECT_FALSE(f.Skip.SkippableSection);
    EXPECT_EQ(g.W(1), 1);
    EXPECT_EQ(g.W(2), 0);  // 101 ends the pass in the title menu's mode
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuEnter);
    EXPECT_TRUE(f.StoryMode);
    EXPECT_EQ(f.Script.TitleReturnStep, f.Game.ScriptStep);
    EXPECT_FALSE(f.Text.MsgOnScreen || f.Text.MsgWinShown || f.Skip.AutoMode);
    g.Resume();  // a new game goes on after the command
    EXPECT_EQ(g.W(2), 1);
}

TEST(Interpreter, SkippableSectionEndClearsTheSkipAndEndsThePass) {
    ScriptGame g(".script 1 \"a\"\nsystem 3 1\nskipend\nset W1 1\nwait -1\n");
    TForm1& f = g.Boot();
    f.Skip.FastSkip = f.Skip.SkippableSection = f.Skip.SectionSkipRequested = true;
    g.Passes(1);
    EXPECT_FALSE(f.Skip.FastSkip || f.Skip.SkippableSection || f.Skip.SectionSkipRequested);
    EXPECT_EQ(g.W(1), 0);
    g.Passes(1);
    EXPECT_EQ(g.W(1), 1);
}

TEST(Interpreter, SceneReplayPlaysTheQueueThenReturnsToTheReplayMenu) {
    ScriptGame g(R"(.script 1 "menu"
set W9 1
wait -1
.script 5 "scene a"
add W1 W1 1
.script 6 "scene b"
add W2 W2 1
)");
    TForm1& f = g.Boot();
    f.StoryMode = false;
    EXPECT_EQ(f.AddSceneTbl(5), 1);
    EXPECT_EQ(f.AddSceneTbl(6), 2);
    EXPECT_EQ(f.AddSceneTbl(5), -1);
    EXPECT_EQ(f.GetSceneTbl(6), 2);
    f.Script.SceneIdx = 1;
    f.Script.TitleReturnStep = 0;
    f.NOVL_ReadScript(5);
    f.Game.ScriptStep = -1;
    f.Skip.AutoMode = f.Skip.SkippableSection = true;
    g.Passes(1);  // scene a, then its end line loads scene b
    EXPECT_EQ(g.W(1), 1);
    EXPECT_EQ(f.Game.ScriptNo, 6);
    EXPECT_TRUE(f.Skip.AutoMode);
    EXPECT_FALSE(f.Skip.SkippableSection);
    g.Passes(1);  // scene b; the queue is exhausted
    EXPECT_EQ(g.W(2), 1);
    EXPECT_EQ(f.EngineMode, Mode::SceneReplayEnter);
    EXPECT_EQ(f.Game.ScriptNo, 1);
    EXPECT_EQ(f.Game.ScriptStep, 0);
    EXPECT_FALSE(f.Skip.AutoMode);
    EXPECT_EQ(f.GetSceneTbl(5), -1);
    EXPECT_EQ(f.Script.SceneTbl, (std::array<int32_t, 121>{}));
    g.Resume();  // script 1 goes on after the step it had
    EXPECT_EQ(g.W(9), 0);
    EXPECT_EQ(f.EngineMode, Mode::KeyWait);
}

TEST(Interpreter, PictureCommandsRecordLayersAndTheSeenBackground) {
    ScriptGame g(R"(.script 1 "a"
bg "bg_room"
char1 1 "aya" show
char2 3 "mio"
char3 2 "kei" show
set W7 1
bg W7
trans
set W1 1
)");
    TForm1& f = g.Boot();
    f.Game.LayerPos[3][0] = 77;
    f.Game.LayerPos[3][1] = 9;
    f.Text.MsgOnScreen = f.Text.MsgWinShown = true;
    f.Pics->LayerPicture[1].FillColor(10, 20, 30);
    f.Script.LineTbl[100] = LineRec{0x14, 0x8000, 4, 0, 0, 0, 0};  // past the script: never run
    g.Passes(1);
    EXPECT_EQ(std::string(f.Game.BgLayerName), "aya");  // the last bg read FileNames[W7]
    EXPECT_EQ(std::string(f.Game.LayerName[0]), "aya");
    EXPECT_EQ(std::string(f.Game.LayerName[1]), "");     // loaded without the show bit: hidden
    EXPECT_EQ(std::string(f.Game.LayerName[2]), "kei");
    EXPECT_EQ(f.Game.LayerPos[0][0], -200);
    EXPECT_EQ(f.Game.LayerPos[1][0], 200);
    EXPECT_EQ(f.Game.LayerPos[2][0], 0);
    EXPECT_EQ(f.Game.LayerAlpha[0], 255);
    EXPECT_EQ(f.Game.LayerPos[3][0], 77);  // layer 4 untouched
    EXPECT_EQ(f.Pics->LayerPicture[1].Pixels()[0] & 0xFFFFFF, 0u);  // filled black before loading
    EXPECT_TRUE(f.CheckMitayo("BG_ROOM"));
    EXPECT_EQ(f.EngineMode, Mode::ScriptFade);
    EXPECT_EQ(f.Timing.TransEnd - f.Timing.TransStart, 1000);
    EXPECT_EQ(f.Timing.TransLength, 1000);
    EXPECT_FALSE(f.Text.MsgOnScreen || f.Text.MsgWinShown);
    EXPECT_EQ(g.W(1), 0);

    // Position codes other than 1..3 keep the old x; y always returns to 0.
    ScriptCommand cmd;
    cmd.Code = 0x14;
    cmd.P1 = 4;
    cmd.Kind.Show = true;
    f.CmdCharacter(cmd);
    EXPECT_EQ(f.Game.LayerPos[3][0], 77);
    EXPECT_EQ(f.Game.LayerPos[3][1], 0);
    EXPECT_EQ(std::string(f.Game.LayerName[3]), "bg_room");
}

TEST(Interpreter, OutOfRangeIndicesReadEmptyAndStoreNothing) {
    ScriptGame g(R"(.script 1 "a"
.line 0x50 0x0001 600 5 0 0 0
.line 0x50 0x0005 1 600 0 0 0
.line 0x10 0 0 0 0 0 9999
.line 0x60 0 99 0 0 0 20000
wait -1
)");
    TForm1& f = g.Boot();
    const GameRec before = f.Game;
    f.Game.ScenarioFlg[0] = 4;
    g.Passes(1);
    EXPECT_EQ(g.F(1), 0);  // F600 reads as 0
    EXPECT_EQ(std::memcmp(f.Game.ScenarioFlg + 1, before.ScenarioFlg + 1, sizeof before.ScenarioFlg - 2), 0);
    EXPECT_EQ(std::string(f.Game.BgLayerName), "");
    EXPECT_EQ(f.EngineMode, Mode::MessagePrint);
    EXPECT_EQ(f.Text.MsgVoice, 20000);
}

TEST(Interpreter, AScriptThatLoopsWithoutEndingItsPassStillLetsTheFrameLoopRun) {
    // A condition whose block end is missing sends the script back to line 0 every time.
    ScriptGame g(".script 1 \"a\"\nadd W1 W1 1\nset W2 1\n.line 0x70 0 9 1 2 0 0\n");
    TForm1& f = g.Boot();
    const uint32_t t0 = g.Plat->Ticks();
    g.Passes(1);
    EXPECT_EQ(g.Plat->Ticks() - t0, 10u);
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_NE(g.W(1), 0);
    EXPECT_EQ(g.W(2), 1);
}

TEST(ScriptLoader, ListsSentinelVoiceNamesAndLinesPastAShorterScript) {
    ScriptGame g(R"(.script 1 "long"
bg "a"
bg "b"
bg "c"
jump *x
*x
msg "m"
.script 2 "short"
bg "z"
)");
    TForm1& f = g.Boot();
    ScriptState& s = f.Script;
    EXPECT_EQ(s.FileNames, (std::vector<std::string>{"a", "b", "c", "--END--"}));
    EXPECT_EQ(s.JumpNames.size(), 1u);
    const LineRec longLine5 = s.LineTbl[5];
    const int32_t longCount = s.LineCount;

    f.Game.ScriptStep = 3;
    f.WorkFlg[0] = 9;
    f.NOVL_ReadScript(2);
    EXPECT_EQ(f.Game.ScriptNo, 2);
    EXPECT_EQ(f.Game.ScriptStep, 3);  // the caller places the script itself
    EXPECT_EQ(f.WorkFlg[0], 9);
    EXPECT_EQ(s.FileNames, (std::vector<std::string>{"z", "--END--"}));
    EXPECT_TRUE(s.JumpNames.empty());
    EXPECT_TRUE(s.LabelNames.empty());
    EXPECT_EQ(s.VoiceNames[0], "z");
    EXPECT_EQ(s.VoiceNames[1], "b");  // older names stay beyond the new file count
    EXPECT_EQ(s.VoiceNames[2], "c");
    EXPECT_EQ(s.VoiceNames[3], "");
    EXPECT_LT(s.LineCount, longCount);
    EXPECT_EQ(s.LineTbl[5], longLine5);  // the table keeps the longer script's tail...
    EXPECT_EQ(f.ScriptLine(5), kEndLine);  // ...but nothing reads past the end line
    EXPECT_EQ(f.ScriptLine(-1), kEndLine);
}

TEST(ScriptLoader, EmptyAndTruncatedEntriesReadAsTheEndLineAlone) {
    test::EngineHarness h;
    std::vector<uint8_t> truncated(30, 0);
    truncated[16] = 64;  // a line table of four lines, but no bytes follow
    test::WriteContainer(h.GameDir, {{1, truncated}, {2, {}}}, {"A", "B"});
    TForm1& f = h.Start();
    h.Passes(1);
    EXPECT_EQ(f.Script.LineCount, 1);
    EXPECT_EQ(f.ScriptLine(0), kEndLine);
    ASSERT_FALSE(f.DebugMemo.empty());
    EXPECT_NE(f.DebugMemo.back().find("truncated"), std::string::npos);
    f.NOVL_ReadScript(2);
    EXPECT_EQ(f.ScriptLine(0), kEndLine);
    EXPECT_EQ(f.Script.FileNames, (std::vector<std::string>{"--END--"}));
    f.NOVL_ReadScript(70000);  // no such entry
    EXPECT_EQ(f.ScriptLine(0), kEndLine);
    h.Passes(5);  // the end line alone keeps the engine running
}

TEST(ScriptLoader, ALineTableWithAPartialLastLineRunsItsWholeLinesAndSaysSo) {
    // The assembler's image with five stray bytes after its lines, written by the container
    // writer: L1 is then 5 more than a multiple of 16 and the sections follow those bytes.
    AssembledSource source;
    std::vector<Diagnostic> errors;
    ASSERT_TRUE(AssembleSource(".script 1 \"ragged\"\n*top\nset W1 7\nset W2 8\nwait -1\n", "t.txt", source, errors));
    ScriptImage image = source.Scripts.at(0).Image;
    const size_t lines = image.Lines.size();
    image.LineTableTail = {0x41, 0x00, 0x01, 0x00, 0x07};
    test::EngineHarness h;
    test::WriteContainer(h.GameDir, {{1, BuildScriptEntry(image)}}, {"ragged"});

    TForm1& f = h.Start();
    h.Passes(2);
    EXPECT_EQ(f.Script.LineCount, int32_t(lines));
    EXPECT_EQ(f.Script.LabelNames, std::vector<std::string>{"top"});
    EXPECT_EQ(f.WorkFlg[0], 7);
    EXPECT_EQ(f.WorkFlg[1], 8);
    EXPECT_EQ(f.EngineMode, Mode::KeyWait);  // waiting for a key
    // One line about the script among the start's picture read errors.
    ASSERT_EQ(std::count_if(f.DebugMemo.begin(), f.DebugMemo.end(),
                            [](const std::string& l) { return l.starts_with("script error"); }),
              1);
    EXPECT_EQ(f.DebugMemo.back(), "script error : 1 (5 bytes after the line table's " + std::to_string(lines) +
                                      " whole lines are ignored)");
}

}  // namespace
}  // namespace orva
