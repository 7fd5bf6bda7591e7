// Places, looks and lock rules of the message window's buttons.
#include "text/window_buttons.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

constexpr int kRowLeft = 120, kButtonW = 56, kRowH = 24, kSmallSize = 24, kSmallX = 768;
constexpr int kRowTop = 160;                // the bottom row's pictures, in the window
constexpr int kRowReactTop = 164;           // the detached window's row reacts from here
constexpr int kHideTop = 32, kDetachTop = 64;

bool InSpan(int32_t v, int32_t first, int32_t length) { return v >= first && v < first + length; }

}  // namespace

void ApplyButtonLocks(ButtonStates& state, ButtonFlags& toggle, const ButtonLocks& locks) {
    if (locks.StoryMode && !locks.SkipAllowed) {
        toggle[kBtnAuto] = toggle[kBtnSkip] = false;
        state[kBtnAuto] = state[kBtnSkip] = kBtnDisabled;
    }
    if (!locks.MenuButtonsAllowed) {
        const int last = locks.StoryMode ? kBtnSkip : kBtnLog;
        for (int b = kBtnQuickSave; b <= last; ++b) state[static_cast<size_t>(b)] = kBtnDisabled;
    }
}

int BottomButtonAt(Point p, bool detached) {
    const int32_t top = detached ? kRowReactTop : kMsgWindowTop + kRowTop;
    const int32_t bottom = (detached ? 0 : kMsgWindowTop) + kRowTop + kRowH;   // exclusive
    if (p.Y < top || p.Y >= bottom) return -1;
    // Button b (1..10) starts at x 120 + 56·(b − 1); the division truncates toward zero, so
    // nothing left of x 120 counts.
    const int32_t b = (p.X - (kRowLeft - kButtonW)) / kButtonW;
    return b >= 1 && b <= 10 ? b - 1 : -1;
}

bool OverSmallButton(int button, Point p, bool detached) {
    const Point at = ButtonDrawPlace(button, detached);
    return InSpan(p.X, at.X, kSmallSize) && InSpan(p.Y, at.Y, kSmallSize);
}

Point ButtonDrawPlace(int button, bool detached) {
    const int32_t top = detached ? 0 : kMsgWindowTop;
    if (button == kBtnHide) return {kSmallX, top + kHideTop};
    if (button == kBtnDetach) return {kSmallX, top + kDetachTop};
    return {kRowLeft + kButtonW * button, top + kRowTop};
}

SheetRect ButtonSheetRect(int button, int32_t state) {
    if (button == kBtnHide) return {0, kSmallSize * state, kSmallSize, kSmallSize};
    if (button == kBtnDetach) return {kSmallSize, kSmallSize * state, kSmallSize, kSmallSize};
    return {48 + kButtonW * button, kRowH * state, kButtonW, kRowH};
}

}  // namespace orva
