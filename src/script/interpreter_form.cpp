// The script interpreter: NOVL_TaskInit prepares the first script, NOVL_TaskScript runs lines
// back to back until one starts something that lasts or moves elsewhere in the scenario.
// Each command code has one handler in kHandlers; whether a line ends the pass comes from the
// command table's row.
//
// [SECTION] the pass
// [SECTION] pictures and sound
// [SECTION] jumps, calls and blocks
// [SECTION] variables
// [SECTION] messages and choices
// [SECTION] waits, system functions and the end of a script
// [SECTION] the script's stores and position, for the menus
#include <array>
#include <cstdio>
#include <filesystem>

#include "app/main_form.h"
#include "data/cp932.h"
#include "script/script_search.h"
#include "text/window_buttons.h"
#include "platform/screen_layout.h"

namespace orva {

namespace {

using CommandHandler = bool (TForm1::*)(const ScriptCommand&);

struct HandlerRow {
    uint16_t Code;
    CommandHandler Handler;
};

// One handler per command code of the command table (a test checks that both list the same
// codes). Label and block-end lines are markers that only the searches look at.
constexpr HandlerRow kHandlers[] = {
    {kCodeBackground, &TForm1::CmdBackground},  {kCodeCharacter1, &TForm1::CmdCharacter},  {kCodeCharacter2, &TForm1::CmdCharacter},
    {kCodeCharacter3, &TForm1::CmdCharacter},   {kCodeCharacter4, &TForm1::CmdCharacter},  {kCodeCharacter5, &TForm1::CmdCharacter},
    {kCodeTransition, &TForm1::CmdTransition},  {kCodeMusic, &TForm1::CmdMusic},      {kCodeEffect1, &TForm1::CmdEffect},
    {kCodeEffect2, &TForm1::CmdEffect},      {kCodeEffect3, &TForm1::CmdEffect},     {kCodeJump, &TForm1::CmdJump},
    {kCodeCall, &TForm1::CmdCall},        {kCodeLabel, &TForm1::CmdMarker},     {kCodeReturn, &TForm1::CmdReturn},
    {kCodeSet, &TForm1::CmdSet},         {kCodeAdd, &TForm1::CmdArithmetic}, {kCodeSubtract, &TForm1::CmdArithmetic},
    {kCodeMultiply, &TForm1::CmdArithmetic},  {kCodeDivide, &TForm1::CmdArithmetic}, {kCodeModulo, &TForm1::CmdArithmetic},
    {kCodeRandom, &TForm1::CmdRandom},      {kCodeMessage, &TForm1::CmdMessage},    {kCodeChoice, &TForm1::CmdChoice},
    {kCodeIfEqual, &TForm1::CmdCondition},   {kCodeIfNotEqual, &TForm1::CmdCondition},  {kCodeIfLess, &TForm1::CmdCondition},
    {kCodeIfGreater, &TForm1::CmdCondition},   {kCodeIfLessOrEqual, &TForm1::CmdCondition},  {kCodeIfGreaterOrEqual, &TForm1::CmdCondition},
    {kCodeElse, &TForm1::CmdElse},        {kCodeBlockEnd, &TForm1::CmdMarker},     {kCodeWait, &TForm1::CmdWait},
    {kCodeSystem, &TForm1::CmdSystem},      {kCodeSkipEnd, &TForm1::CmdSkipEnd},    {kCodeEndOfScript, &TForm1::CmdEndOfScript},
};

// The handlers by code (every code fits in a byte), looked up for each line run.
const std::array<CommandHandler, 256> kHandlerOfCode = [] {
    std::array<CommandHandler, 256> byCode{};
    for (const HandlerRow& row : kHandlers) byCode[row.Code] = row.Handler;
    return byCode;
}();

CommandHandler FindHandler(uint16_t code) { return code < kHandlerOfCode.size() ? kHandlerOfCode[code] : nullptr; }

// Without a jump a pass only moves forward, so a sound script runs at most one table's worth
// of lines per pass. A script whose blocks or labels are missing restarts at line 0 again and
// again; the pass then ends here so that the window stays alive.
constexpr int64_t kMaxLinesPerPass = 2 * int64_t(kLineTblCapacity);

// Entry index of a list, or the empty string outside it.
const std::string& ListEntry(const std::vector<std::string>& list, int64_t index) {
    static const std::string kEmpty;
    return index >= 0 && index < int64_t(list.size()) ? list[size_t(index)] : kEmpty;
}

std::string HexCode(uint16_t code) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%x", code);
    return buf;
}

// The file marking debug builds of a game: its presence shows the debug window.
constexpr const char* kDebugMarkerFile = "ポプリ萌え萌え.txt";

}  // namespace

bool CommandHasHandler(uint16_t code) { return FindHandler(code) != nullptr; }

// [SECTION] the pass --------------------------------------------------------------------------

void TForm1::NOVL_TaskInit() {
    Timing.RestartFrameClock(Plat.Ticks());
    PictureSet& p = *Pics;
    NOVL_ReadGraphic2011(51, "SysMsgWinP.png");
    // The window design picks the message window and its strip of the button sheet.
    if (Config.WindowColour == 0) {
        NOVL_ReadGraphic2011(10, "SysMsgWinB.png");
        p.ButtonSheet.CopyRect(0, 0, kMsgWindowWidth, kMsgWindowHeight, 0, 160, p.WindowBase);
    } else {
        NOVL_ReadGraphic2011(10, "SysMsgWinG.png");
        p.ButtonSheet.CopyRect(0, 0, kMsgWindowWidth, kMsgWindowHeight, 0, 344, p.WindowBase);
    }
    NOVL_ReadGraphic2011(52, "SysSelWin.png");
    NOVL_ReadGraphic2011(53, "SysSelWinH.png");
    Script.LabelNames.clear();
    Script.JumpNames.clear();
    Script.FileNames.clear();
    Script.MsgTexts.clear();

    std::error_code ec;
    const bool debugMarker = std::filesystem::exists(std::filesystem::current_path() / kDebugMarkerFile, ec);
    ShowDebugForm(debugMarker);

    // The bottom row of window buttons starts normal; the two small ones keep their state.
    Msg.ResetBottomRowLooks();
    Plat.SetCursorVisible(false);
    Game.SkipAllowed = 0;
    Game.MenuButtonsAllowed = 0;
    NOVL_ReadScript(1);
    Game.ScriptStep = -1;
    EngineMode = Mode::Script;
    Skip.EnableControl(true);
}

void TForm1::NOVL_TaskScript() {
    // With carry-on off a voice ends as soon as the script moves on.
    if (Config.VoiceCarryOn == 0) SoundPlayerStop(kVoiceChannel);
    for (int64_t executed = 0; executed < kMaxLinesPerPass; ++executed) {
        Game.ScriptStep = Game.ScriptStep + 1;
        const ScriptCommand& cmd = Script.CurCmd = ResolveCommand(ScriptLine(Game.ScriptStep), Vars());
        if (Trace.Enabled()) {
            std::string p = "[";
            p += std::to_string(cmd.P1) + "," + std::to_string(cmd.P2) + "," + std::to_string(cmd.P3) + "," +
                 std::to_string(cmd.P4) + "," + std::to_string(cmd.P5) + "]";
            Trace.Event("line", TraceFields()
                                    .Int("script", Game.ScriptNo)
                                    .Int("step", Game.ScriptStep)
                                    .Str("code", HexCode(cmd.Code))
                                    .Raw("p", p));
        }
        if (Observer) Observer->LineRun(Game.ScriptNo, Game.ScriptStep, cmd);
        const CommandInfo* info = FindCommand(cmd.Code);
        const CommandHandler handler = FindHandler(cmd.Code);
        if (!info || !handler) continue;  // an unknown code does nothing
        const bool handlerEnds = (this->*handler)(cmd);
        if (info->Ends == PassEnd::Always || (info->Ends == PassEnd::Conditional && handlerEnds)) return;
    }
}

// [SECTION] pictures and sound ----------------------------------------------------------------

bool TForm1::CmdBackground(const ScriptCommand& cmd) {
    const std::string& name = ListEntry(Script.FileNames, cmd.P5);
    CopyToCp932Field(Game.BgLayerName, sizeof Game.BgLayerName, name);
    AddMitayo(name);
    Pics->LayerPicture[0].FillColor(0, 0, 0);
    NOVL_ReadGraphic2011(0, name + ".png");
    return false;
}

bool TForm1::CmdCharacter(const ScriptCommand& cmd) {
    const int k = cmd.Code - kCodeBackground;  // layer 1..5
    const std::string& name = ListEntry(Script.FileNames, cmd.P5);
    Pics->LayerPicture[size_t(k)].FillColor(0, 0, 0);
    // Without the show bit the layer is loaded but recorded as hidden.
    CopyToCp932Field(Game.LayerName[k - 1], sizeof Game.LayerName[k - 1], cmd.Kind.Show ? name : std::string());
    // A shown layer is loaded here and once more below, whatever the bit: a missing picture
    // of a shown layer leaves two read errors in the memo.
    if (cmd.Kind.Show) NOVL_ReadGraphic2011(k, name + ".png");
    switch (cmd.P1) {
        case 1: Game.LayerPos[k - 1][0] = -200; break;
        case 2: Game.LayerPos[k - 1][0] = 0; break;
        case 3: Game.LayerPos[k - 1][0] = 200; break;
        default: break;  // any other position keeps the old x
    }
    Game.LayerPos[k - 1][1] = 0;
    Game.LayerAlpha[k - 1] = 255;
    NOVL_ReadGraphic2011(k, name + ".png");
    return false;
}

bool TForm1::CmdTransition(const ScriptCommand&) {
    Text.HideWindow();
    NOVL_CreateNextImage();
    Timing.StartTransition(Plat.Ticks(), 1000);
    EngineMode = Mode::ScriptFade;
    return true;
}

bool TForm1::CmdMusic(const ScriptCommand& cmd) {
    const int32_t loop = cmd.P1, fadeSeconds = cmd.P2;
    NOVL_PlayBGM2011(ListEntry(Script.FileNames, cmd.P5), fadeSeconds, false, loop);
    return false;
}

bool TForm1::CmdEffect(const ScriptCommand& cmd) {
    const int32_t slot = cmd.Code - kCodeMusic, loop = cmd.P1, fadeSeconds = cmd.P2;
    NOVL_PlaySE2011(slot, ListEntry(Script.FileNames, cmd.P5), fadeSeconds, loop);
    return false;
}

// [SECTION] jumps, calls and blocks -----------------------------------------------------------

bool TForm1::CmdJump(const ScriptCommand& cmd) {
    // The name comes from the script that jumps; the label is searched in the one jumped to.
    const std::u16string name = Cp932ToUtf16(ListEntry(Script.JumpNames, cmd.P1));
    const int32_t script = cmd.P5;
    if (script != 0) NOVL_ReadScript(script);
    Game.ScriptStep = GetLabelStep(name);
    return true;
}

bool TForm1::CmdCall(const ScriptCommand& cmd) {
    const int32_t entry = Game.ReturnCount + 1;
    if (entry >= 1 && entry <= kReturnEntries) {
        Game.ReturnCount = static_cast<int16_t>(entry);
        Game.ReturnTbl[entry - 1] = ReturnEntry{Game.ScriptNo, static_cast<int16_t>(Game.ScriptStep)};
    } else {
        // The table is full: the call still jumps, but a return will not come back here.
        DebugMemoAdd("script error : calls nested deeper than " + std::to_string(kReturnEntries) + " (script " +
                     std::to_string(Game.ScriptNo) + ", line " + std::to_string(Game.ScriptStep) + ")");
    }
    return CmdJump(cmd);
}

bool TForm1::CmdMarker(const ScriptCommand&) { return false; }

bool TForm1::CmdReturn(const ScriptCommand&) {
    const int32_t count = Game.ReturnCount;
    if (count < 1 || count > kReturnEntries) return false;
    const ReturnEntry entry = Game.ReturnTbl[count - 1];
    // Entry 1 holds (0, 0) after a clear: a return without a pending call is ignored.
    if (entry.Script == 0) return false;
    Game.ReturnCount = static_cast<int16_t>(count - 1);
    const int script = static_cast<uint16_t>(entry.Script);  // script numbers run to 65535
    NOVL_ReadScript(script);
    Game.ScriptStep = entry.Step;
    return true;
}

bool TForm1::CmdCondition(const ScriptCommand& cmd) {
    const int16_t key = cmd.P1;
    if (!ConditionHolds(cmd.Code, cmd.P2, cmd.P3)) Game.ScriptStep = GetElseStep(key);
    return false;
}

bool TForm1::CmdElse(const ScriptCommand& cmd) {
    const int16_t key = cmd.P1;
    Game.ScriptStep = GetElseStep(key);
    return false;
}

// [SECTION] variables -------------------------------------------------------------------------

// Results go to the variable that P1 names as written, in the array its kind selects.
bool TForm1::CmdSet(const ScriptCommand& cmd) {
    Vars().Store(cmd.Kind.Kind[0], cmd.WrittenP1, cmd.P2);
    return false;
}

bool TForm1::CmdArithmetic(const ScriptCommand& cmd) {
    Vars().Store(cmd.Kind.Kind[0], cmd.WrittenP1, ArithmeticResult(cmd.Code, cmd.P2, cmd.P3));
    return false;
}

bool TForm1::CmdRandom(const ScriptCommand& cmd) {
    const int32_t span = RandomSpan(cmd.P2, cmd.P3);
    int32_t r = Random.Next(span);
    // An observer may pick the outcome; the generator has advanced all the same.
    if (Observer && span > 1) {
        const int32_t picked = Observer->RandomDraw(span);
        if (picked >= 0 && picked < span) r = picked;
    }
    // After a rollback the play draws again what it drew before.
    r = Rollback.Draw(span, r);
    Vars().Store(cmd.Kind.Kind[0], cmd.WrittenP1, RandomResult(cmd.P2, cmd.P3, r));
    return false;
}

// [SECTION] messages and choices --------------------------------------------------------------

bool TForm1::CmdMessage(const ScriptCommand& cmd) {
    const int32_t msgNo = cmd.P1, voiceStyle = cmd.P2, voice = cmd.P5;
    RollbackCapture(msgNo, false);
    Input.ClearKeys();
    Input.ConsumeClick();
    // Style 7 repeats the voice until something stops it, except in auto mode, which has to
    // hear the voice end to go on.
    Text.BeginMessage(msgNo, voice, voiceStyle == 7 && !Skip.AutoMode);

    // Either skip stops at the first message not read before.
    Skip.FollowReadText(CheckKidoku(msgNo));
    MarkKidokuIn(Sys->KidokuTbl, Game.ScriptNo, msgNo);

    if (!Skip.SkipActive) {
        if (Text.MsgVoice != -1) NOVL_PlayVOICE2011(ListEntry(Script.VoiceNames, Text.MsgVoice), Text.VoiceLoop);
        else if (Config.VoiceCarryOn == 0) SoundPlayerStop(kVoiceChannel);
    }
    NOVL_MakeMessage(MessageTextAt(msgNo));
    TextOutMessageBegun();

    Text.ShowMessage();
    EngineMode = Mode::MessagePrint;
    return true;
}

bool TForm1::CmdChoice(const ScriptCommand& cmd) {
    const int32_t textNo = cmd.P1, second = cmd.P2;
    RollbackCapture(textNo, true);
    Input.ClearKeys();
    Input.ConsumeClick();
    Text.BeginChoice(textNo, second);
    // A choice always stops skipping and auto mode.
    Skip.StopAll();
    NOVL_MakeSelect(Cp932ToUtf16(ListEntry(Script.MsgTexts, textNo)));
    Text.ShowChoice();
    NOVL_DrawSelect();
    EngineMode = Mode::ChoiceWait;
    return true;
}

// [SECTION] waits, system functions and the end of a script -----------------------------------

bool TForm1::CmdWait(const ScriptCommand& cmd) {
    const int32_t time = cmd.P1, clickable = cmd.P2;
    // A fast skip spends exactly one pass on a wait.
    if (Skip.FastSkip) {
        EngineMode = Mode::Script;
        return true;
    }
    if (time == -6 && Sys->SystemFlg[451 - 1] == 0) {
        EngineMode = Mode::MovieWait;  // until the movie ends
        return true;
    }
    if (time == -1) {
        EngineMode = Mode::KeyWait;  // until Return, Ctrl or a click
        return true;
    }
    if (time < 0) return false;  // other negative kinds do not wait
    Timing.StartWait(Plat.Ticks(), time, clickable != 0);
    EngineMode = Mode::TimedWait;
    return true;
}

bool TForm1::CmdSystem(const ScriptCommand& cmd) {
    const int32_t selector = cmd.P1, value = cmd.P2;
    switch (selector) {
        case kSystemCursor:
        case kSystemMenuButtons:
        case kSystemSkip: SetSystemFlag(static_cast<SystemSelector>(selector), value != 0); return false;
        case kSystemSkippableSection:
            Skip.StartSection(value != 0);
            return false;
        case kSystemTitle:
            Text.HideWindow();
            Skip.StopForMenu();
            StoryMode = true;
            Script.TitleReturnStep = Game.ScriptStep;
            EngineMode = Mode::TitleMenuEnter;
            return true;
        case kSystemStopVoice: SoundPlayerStop(kVoiceChannel); return false;
        default: return false;
    }
}

bool TForm1::CmdSkipEnd(const ScriptCommand&) {
    Skip.EndSection();
    return true;
}

bool TForm1::CmdEndOfScript(const ScriptCommand&) {
    Text.DropEmptyWindow();
    Skip.EndScript();
    if (StoryMode) {
        // The story's script runs again from its first line.
        Game.ScriptStep = -1;
        EngineMode = Mode::Script;
        return true;
    }
    // A scene replay plays the next queued script, or returns to the scene-replay menu.
    ScriptState& s = Script;
    s.SceneIdx += 1;
    const int32_t next = s.SceneIdx >= 1 && s.SceneIdx <= kSceneTblEntries ? s.SceneTbl[size_t(s.SceneIdx)] : 0;
    if (next != 0) {
        NOVL_ReadScript(next);
        Game.ScriptStep = -1;
        EngineMode = Mode::Script;
        return true;
    }
    MsgFormVisible = false;
    Plat.ShowWindow(WindowId::Msg, false);
    NOVL_ReadScript(1);
    Game.ScriptStep = s.TitleReturnStep;
    s.ClearSceneQueue();
    RollbackClear();
    Text.HideWindow();
    Skip.StopForMenu();
    EngineMode = Mode::SceneReplayEnter;
    return true;
}

// [SECTION] the script's stores and position, for the menus ------------------------------------

void TForm1::NOVL_ClearScenarioFlg() {
    for (auto& v : Game.ScenarioFlg) v = 0;
}

void TForm1::NOVL_ClearReturnTbl() {
    for (auto& e : Game.ReturnTbl) e = ReturnEntry{0, 0};
    Game.ReturnCount = 1;
}

void TForm1::StartScriptAt(int32_t number, int32_t step) {
    NOVL_ReadScript(number);
    Game.ScriptStep = step;
}

void TForm1::SetSystemFlag(SystemSelector selector, bool on) {
    switch (selector) {
        case kSystemCursor:
            Game.CursorShown = on;
            Plat.SetCursorVisible(on);
            break;
        case kSystemMenuButtons: Game.MenuButtonsAllowed = on; break;
        case kSystemSkip: Game.SkipAllowed = on; break;
        default: break;
    }
}

void TForm1::ReturnToTitle() {
    NOVL_ReadScript(1);
    // The script runs again from its title command, or from its start when its end comes
    // first; past the loaded lines every line reads as the end, so the walk always stops.
    for (int32_t step = 0;; ++step) {
        const LineRec& line = ScriptLine(step);
        const uint16_t code = line.Code & 0xFF;
        if (code == kCodeSystem && line.P1 == kSystemTitle) {
            Game.ScriptStep = step - 1;
            break;
        }
        if (code == kCodeEndOfScript) {
            Game.ScriptStep = -1;
            break;
        }
    }
    EngineMode = Mode::Script;
}

}  // namespace orva
