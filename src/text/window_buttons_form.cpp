// The message window's buttons on the main form: NOVL_CheckButton handles hover, clicks and
// the buttons' actions while a message or a choice waits; NOVL_DrawButton draws their looks.
// Quick save and quick load live here; the other actions set the flags or the mode that the
// message wait, the log review and the menus act on.
#include <cstring>

#include "app/main_form.h"
#include "data/cp932.h"
#include "menus/save_slots.h"
#include "text/window_buttons.h"

namespace orva {
namespace {

constexpr int32_t kNoticeTicks = 300;   // a status notice lasts about three seconds

}  // namespace

void TForm1::NOVL_CheckButton() {
    if (!ButtonsEnabled || (EngineMode != Mode::MessageWait && EngineMode != Mode::ChoiceWait)) return;
    // A hidden window has no buttons to press: the click brings the window back instead.
    if (EngineMode == Mode::MessageWait && !Text.MsgOnScreen) return;
    auto& state = Msg.ButtonState;
    auto& toggle = Msg.ButtonToggle;
    auto& latch = Msg.ButtonLatch;

    // While a message waits outside the log review only the script's locks disable buttons;
    // they are worked out afresh, so a lock the script has lifted since the last frame is gone
    // at once instead of lasting until the player goes on.
    if (EngineMode == Mode::MessageWait && !Text.LogReview)
        for (int32_t& s : state)
            if (s == kBtnDisabled) s = kBtnNormal;
    toggle[kBtnSkip] = Skip.SkipActive;
    toggle[kBtnAuto] = Skip.AutoMode;
    ApplyButtonLocks(state, toggle, {StoryMode, Game.SkipAllowed != 0, Game.MenuButtonsAllowed != 0});
    // The hover look of the last frame goes; a disabled button stays disabled.
    for (size_t b = 0; b < state.size(); ++b)
        if (state[b] >= kBtnNormal && state[b] <= kBtnOnHover) state[b] = toggle[b] ? kBtnOn : kBtnNormal;

    const bool detached = MsgFormVisible;
    const Point cursor = detached ? Input.CursorMsgWin : Input.CursorMain;

    // The two small buttons: hide passes Space to the message wait, detach moves the window.
    for (int b : {kBtnHide, kBtnDetach}) {
        const size_t i = static_cast<size_t>(b);
        if (OverSmallButton(b, cursor, detached)) {
            state[i] = kBtnHover;
            if (Input.MouseLeftClick) {
                latch[i] = true;
                Input.ConsumeClick();
            }
        }
        if (!latch[i]) continue;
        latch[i] = false;
        if (b == kBtnHide) {
            Input.PressSpace();
        } else {
            Config.DetachedWindow = Config.DetachedWindow ? 0 : 1;
            if (Config.DetachedWindow) MsgForm.FormShow();
            else MsgForm.Hide();
        }
    }

    const int b = BottomButtonAt(cursor, detached);
    if (b >= 0 && state[static_cast<size_t>(b)] != kBtnDisabled) {
        state[static_cast<size_t>(b)] = toggle[static_cast<size_t>(b)] ? kBtnOnHover : kBtnHover;
        if (Input.MouseLeftClick) {
            latch[static_cast<size_t>(b)] = true;
            Input.ConsumeClick();
        }
    }
    for (int k = kBtnQuickSave; k <= kBtnConfig; ++k) {
        const size_t i = static_cast<size_t>(k);
        if (!latch[i]) continue;
        latch[i] = false;
        // A click never outlives the frame: a button disabled meanwhile drops it.
        if (state[i] != kBtnDisabled) WindowButtonAction(k);
    }
}

void TForm1::WindowButtonAction(int button) {
    auto& toggle = Msg.ButtonToggle;
    switch (button) {
        case kBtnQuickSave: QuickSave(); break;
        case kBtnQuickLoad: QuickLoad(); break;
        case kBtnSave: OpenSaveMenu(true); break;
        case kBtnLoad: OpenSaveMenu(false); break;
        case kBtnLog:
            // On while the review runs and under the cursor: this click ends the review, and
            // the back step that follows is ignored by the ending wait.
            if (Msg.ButtonState[kBtnLog] == kBtnOnHover) Input.PressEnter();
            toggle[kBtnLog] = true;
            Input.PressLogBack();
            break;
        case kBtnVoice: {
            bool played = false;
            if (Text.LogReview) {
                const std::u16string& name = Msg.MessageLog.Entry(Msg.LogPos - 1).Voice;
                if (!name.empty())
                    if (const auto cp = Utf16ToCp932(name)) played = NOVL_PlayVOICE2011(*cp, true);
            } else if (Text.MsgVoice != -1) {
                const auto i = static_cast<size_t>(Text.MsgVoice);
                if (i < Script.VoiceNames.size()) played = NOVL_PlayVOICE2011(Script.VoiceNames[i], true);
            }
            toggle[kBtnVoice] = played;
            break;
        }
        case kBtnMusic:
            SwitchMusicVersion();
            break;
        case kBtnAuto:
            Skip.StartAuto();
            toggle[kBtnAuto] = true;
            break;
        case kBtnSkip:
            Skip.RequestSkipRead();
            toggle[kBtnSkip] = true;
            break;
        case kBtnConfig:
            PrevMode = EngineMode;
            EngineMode = Mode::ConfigMenuEnter;
            break;
        default: break;
    }
}

void TForm1::QuickSave() {
    // The notice tells the truth: a save that could not be written says so.
    const bool written = SaveToSlot(kSaveSlots);
    Timing.ShowStatus(written ? u"クイックセーブしました" : u"クイックセーブできませんでした", kNoticeTicks);
}

void TForm1::QuickLoad() {
    if (!SlotUsed(Sys->SaveSlots[kSaveSlots - 1])) {
        Timing.ShowStatus(u"クイックセーブがありません", kNoticeTicks);
        return;
    }
    Timing.ShowStatus(u"クイックロードしました", kNoticeTicks);
    NOVL_ClearMsgLog();
    Text.MsgOnScreen = false;
    LoadFromSlot(kSaveSlots);
}

bool TForm1::WindowButtonsShown() const {
    return ButtonsEnabled && (Text.MsgOnScreen || EngineMode == Mode::ChoiceWait);
}

void TForm1::SettleButtonLooks() {
    auto& state = Msg.ButtonState;
    ApplyButtonLocks(state, Msg.ButtonToggle, {StoryMode, Game.SkipAllowed != 0, Game.MenuButtonsAllowed != 0});
    // During a choice the log, voice, auto and skip buttons are off until the choice ends.
    if (EngineMode == Mode::ChoiceWait)
        for (int b : {kBtnLog, kBtnVoice, kBtnAuto, kBtnSkip}) state[static_cast<size_t>(b)] = kBtnDisabled;
}

void TForm1::DrawWindowButtons(TABitmap& target, bool detached) {
    const auto& state = Msg.ButtonState;
    const TABitmap& sheet = Pics->ButtonSheet;
    auto draw = [&](int b) {
        const int32_t s = state[static_cast<size_t>(b)];
        if (s < kBtnNormal || s > kBtnDisabled) return;
        const SheetRect src = ButtonSheetRect(b, s);
        const Point at = ButtonDrawPlace(b, detached);
        sheet.DrawAlpha(at.X, at.Y, src.W, src.H, src.X, src.Y, target);
    };
    for (int b = kBtnQuickSave; b <= kBtnConfig; ++b) draw(b);
    // The small buttons are not drawn during a choice (a click on detach still works).
    if (EngineMode != Mode::ChoiceWait) {
        draw(kBtnHide);
        draw(kBtnDetach);
    }
}

void TForm1::NOVL_DrawButton() {
    if (!WindowButtonsShown()) return;
    SettleButtonLooks();
    if (Frames.BaseHasButtons) return;
    const bool detached = MsgFormVisible;
    DrawWindowButtons(detached ? Pics->WindowBuffer : Pics->BackBuffer, detached);
}

}  // namespace orva
