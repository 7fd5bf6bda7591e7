// The message window's twelve picture buttons: where each one sits and reacts, on the screen and
// in the detached window, where its looks lie in the window parts sheet, and the rules that
// disable buttons the script has locked. TForm1's NOVL_CheckButton and NOVL_DrawButton use them.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace orva {

inline constexpr int kWindowButtonCount = 12;
// Indices 0..9 are the bottom row, left to right; 10 and 11 the two small buttons.
enum WindowButton : int {
    kBtnQuickSave = 0, kBtnQuickLoad, kBtnSave, kBtnLoad, kBtnLog, kBtnVoice, kBtnMusic, kBtnAuto,
    kBtnSkip, kBtnConfig, kBtnHide, kBtnDetach
};
// Button looks: 0 normal, 1 under the cursor, 2 on, 3 on and under the cursor, 4 disabled.
inline constexpr int32_t kBtnNormal = 0, kBtnHover = 1, kBtnOn = 2, kBtnOnHover = 3, kBtnDisabled = 4;

// The bottom-row buttons the log review disables: all but the log and the voice.
inline constexpr int kReviewLockedButtons[] = {kBtnQuickSave, kBtnQuickLoad, kBtnSave, kBtnLoad,
                                               kBtnMusic,     kBtnAuto,      kBtnSkip, kBtnConfig};

using ButtonStates = std::array<int32_t, kWindowButtonCount>;
using ButtonFlags = std::array<bool, kWindowButtonCount>;

struct ButtonLocks {
    bool StoryMode = true;           // playing the story (false: a scene replay)
    bool SkipAllowed = true;
    bool MenuButtonsAllowed = true;
};

// Disables what the script has locked: auto and skip (with their toggles cleared) in the story
// while skipping is not allowed; the first nine buttons in the story, or the first five in a
// scene replay, while the menu buttons are not allowed.
void ApplyButtonLocks(ButtonStates& state, ButtonFlags& toggle, const ButtonLocks& locks);

// The bottom-row button (0..9) whose reacting area holds p, or -1. `detached`: p is in the
// detached window, whose row reacts from y 164 although its pictures start at y 160.
int BottomButtonAt(Point p, bool detached);
// Whether p is over the hide (kBtnHide) or detach (kBtnDetach) button.
bool OverSmallButton(int button, Point p, bool detached);
// Where a button's picture is drawn: on the screen, or in the detached window.
Point ButtonDrawPlace(int button, bool detached);
struct SheetRect {
    int32_t X = 0, Y = 0, W = 0, H = 0;
};
// The source rectangle of a button's look for `state` in the window parts sheet.
SheetRect ButtonSheetRect(int button, int32_t state);

}  // namespace orva
