// The gamepad's own actions on the main form: B goes back in a menu (else it is the right
// button), start opens the configuration menu as its window button does, and the d-pad walks
// the pointer through the current screen's hit areas in reading order. The platform has
// already turned the pad's other buttons into clicks and keys.
#include "app/hit_areas.h"
#include "app/main_form.h"
#include "menus/album_layout.h"
#include "menus/config_menu.h"
#include "menus/menu_layout.h"
#include "platform/screen_layout.h"
#include "text/message_layout.h"
#include "text/window_buttons.h"

namespace orva {
namespace {

constexpr int kSampleStep = 4;          // pixels between the hit test's samples
constexpr int32_t kAnswerId = 100;      // a choice's answer n is element 100 + n
constexpr int32_t kQueryYes = 1, kQueryNo = 2;

bool InRect(Point p, int x, int y, int w, int h) { return p.X >= x && p.X < x + w && p.Y >= y && p.Y < y + h; }

}  // namespace

ButtonStates TForm1::PadButtonStates() const {
    // As NOVL_CheckButton works them out: outside the log review only the script's locks count.
    ButtonStates state = Msg.ButtonState;
    ButtonFlags toggle = Msg.ButtonToggle;
    if (EngineMode == Mode::MessageWait && !Text.LogReview)
        for (int32_t& s : state)
            if (s == kBtnDisabled) s = kBtnNormal;
    ApplyButtonLocks(state, toggle, {StoryMode, Game.SkipAllowed != 0, Game.MenuButtonsAllowed != 0});
    if (EngineMode == Mode::ChoiceWait)
        for (int b : {kBtnLog, kBtnVoice, kBtnAuto, kBtnSkip}) state[static_cast<size_t>(b)] = kBtnDisabled;
    return state;
}

TForm1::PadScreen TForm1::CurrentPadScreen() {
    PadScreen screen;
    if (ModalDepth > 0) {
        // The confirmation dialog: yes, then no, which is its way back.
        screen.Window = WindowId::Query;
        screen.Width = TQueryForm::kWidth;
        screen.Height = TQueryForm::kHeight;
        screen.At = [](Point p) -> int32_t {
            if (InRect(p, TQueryForm::kYesX, TQueryForm::kButtonY, TQueryForm::kButtonW, TQueryForm::kButtonH))
                return kQueryYes;
            if (InRect(p, TQueryForm::kNoX, TQueryForm::kButtonY, TQueryForm::kButtonW, TQueryForm::kButtonH))
                return kQueryNo;
            return 0;
        };
        screen.BackId = kQueryNo;
        return screen;
    }
    switch (EngineMode) {
        case Mode::MessageWait:
        case Mode::ChoiceWait: {
            const bool choice = EngineMode == Mode::ChoiceWait && Text.ChoiceOnScreen;
            // The window buttons on the screen (the detached window's stay with the mouse).
            const bool buttons = ButtonsEnabled && !MsgFormVisible &&
                                 (EngineMode == Mode::ChoiceWait || Text.MsgOnScreen);
            if (!choice && !buttons) return screen;
            const ButtonStates state = PadButtonStates();
            const int32_t answers = choice ? Msg.ChoiceCount : 0;
            const bool small = buttons && EngineMode == Mode::MessageWait;
            screen.At = [state, answers, buttons, small](Point p) -> int32_t {
                if (answers > 0 && p.X >= 0 && p.X < kScreenWidth)
                    if (const int n = ChoiceAtRow(answers, p.Y)) return kAnswerId + n;
                if (!buttons) return 0;
                if (small)
                    for (int b : {kBtnHide, kBtnDetach})
                        if (OverSmallButton(b, p, false)) return b + 1;
                const int b = BottomButtonAt(p, false);
                return b >= 0 && state[static_cast<size_t>(b)] != kBtnDisabled ? b + 1 : 0;
            };
            return screen;
        }
        case Mode::TitleMenuWait: screen.At = TitleMenuHitTest; return screen;
        case Mode::SaveMenuWait:
            screen.At = SaveMenuHitTest;
            screen.BackId = kHoverBackButton;
            return screen;
        case Mode::ConfigMenuWait:
            screen.At = [this](Point p) -> int32_t { return ConfigHitTest(Config, p); };
            screen.BackId = kCfgBack;
            return screen;
        case Mode::AlbumMenuWait:
            screen.At = AlbumMenuItemAt;
            screen.BackId = 4;  // the album's last button returns to the title
            return screen;
        case Mode::MusicRoomWait:
            screen.At = BgmMenuItemAt;
            screen.BackId = kMenuBack;
            return screen;
        case Mode::GalleryWait:
        case Mode::SceneReplayWait:
            screen.At = [](Point p) -> int32_t {
                if (const int b = PageButtonAt(p)) return b;
                return GridItemAt(p);
            };
            screen.BackId = kMenuBack;
            return screen;
        default: return screen;
    }
}

void TForm1::OnPadAction(PadAction action) {
    switch (action) {
        case PadAction::Back: {
            const PadScreen screen = CurrentPadScreen();
            if (screen.At && screen.BackId != 0) {
                for (const HitArea& a : CollectHitAreas(screen.Width, screen.Height, kSampleStep, screen.At)) {
                    if (a.Id != screen.BackId) continue;
                    // A click on the back element, where the player sees the pointer go.
                    Plat.WarpPointer(screen.Window, a.Centre());
                    OnMouseDown(screen.Window, MouseButton::Left, a.Centre());
                    OnMouseUp(screen.Window, MouseButton::Left, a.Centre());
                    return;
                }
            }
            if (ModalDepth > 0) return;
            const Point p = Plat.CursorIn(WindowId::Main);
            OnMouseDown(WindowId::Main, MouseButton::Right, p);
            OnMouseUp(WindowId::Main, MouseButton::Right, p);
            return;
        }
        case PadAction::Config: {
            // Only where the configuration button could be pressed.
            if (ModalDepth > 0 || !ButtonsEnabled) return;
            const bool waiting =
                (EngineMode == Mode::MessageWait && Text.MsgOnScreen) || EngineMode == Mode::ChoiceWait;
            if (!waiting || PadButtonStates()[kBtnConfig] == kBtnDisabled) return;
            WindowButtonAction(kBtnConfig);
            return;
        }
        case PadAction::Previous:
        case PadAction::Next: {
            const PadScreen screen = CurrentPadScreen();
            if (!screen.At) return;
            const Point pointer = Plat.CursorIn(screen.Window);
            const auto areas = CollectHitAreas(screen.Width, screen.Height, kSampleStep, screen.At);
            if (const auto to = StepHitArea(areas, pointer, screen.At(pointer), action == PadAction::Next))
                Plat.WarpPointer(screen.Window, to->Centre());
            return;
        }
    }
}

}  // namespace orva
