// Where the message window's buttons react and are drawn, and the locks the script sets.
#include <gtest/gtest.h>

#include "text/window_buttons.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

TEST(WindowButtonPlaces, BottomRowEdgesOnTheScreenAndInTheDetachedWindow) {
    EXPECT_EQ(BottomButtonAt({119, 580}, false), -1);
    EXPECT_EQ(BottomButtonAt({120, 576}, false), kBtnQuickSave);
    EXPECT_EQ(BottomButtonAt({175, 599}, false), kBtnQuickSave);
    EXPECT_EQ(BottomButtonAt({176, 599}, false), kBtnQuickLoad);
    EXPECT_EQ(BottomButtonAt({679, 580}, false), kBtnConfig);
    EXPECT_EQ(BottomButtonAt({680, 580}, false), -1);
    EXPECT_EQ(BottomButtonAt({10, 580}, false), -1);      // left of x 64: the division truncates
    EXPECT_EQ(BottomButtonAt({-60, 580}, false), -1);
    EXPECT_EQ(BottomButtonAt({300, 575}, false), -1);
    EXPECT_EQ(BottomButtonAt({300, kScreenHeight}, false), -1);
    // Drawn from y 160 in the detached window, but reacting from 164.
    EXPECT_EQ(BottomButtonAt({300, 163}, true), -1);
    EXPECT_EQ(BottomButtonAt({300, 164}, true), kBtnLoad);
    EXPECT_EQ(BottomButtonAt({300, 183}, true), kBtnLoad);
    EXPECT_EQ(BottomButtonAt({300, kMsgWindowHeight}, true), -1);

    EXPECT_TRUE(OverSmallButton(kBtnHide, {768, 448}, false));
    EXPECT_TRUE(OverSmallButton(kBtnHide, {791, 471}, false));
    EXPECT_FALSE(OverSmallButton(kBtnHide, {792, 460}, false));
    EXPECT_TRUE(OverSmallButton(kBtnDetach, {780, 503}, false));
    EXPECT_FALSE(OverSmallButton(kBtnDetach, {780, 504}, false));
    EXPECT_TRUE(OverSmallButton(kBtnDetach, {780, 64}, true));
    EXPECT_FALSE(OverSmallButton(kBtnHide, {780, 64}, true));

    EXPECT_EQ(ButtonDrawPlace(kBtnSkip, false), (Point{568, 576}));
    EXPECT_EQ(ButtonDrawPlace(kBtnSkip, true), (Point{568, 160}));
    const SheetRect look = ButtonSheetRect(kBtnConfig, kBtnOnHover);
    EXPECT_EQ(look.X, 48 + 56 * 9);
    EXPECT_EQ(look.Y, 72);
    EXPECT_EQ(ButtonSheetRect(kBtnDetach, kBtnDisabled).X, 24);
    EXPECT_EQ(ButtonSheetRect(kBtnDetach, kBtnDisabled).Y, 96);
}

TEST(WindowButtonLocks, StoryAndSceneReplayLockDifferentButtons) {
    ButtonStates s{};
    ButtonFlags t{};
    t[kBtnAuto] = t[kBtnSkip] = true;
    ApplyButtonLocks(s, t, {.StoryMode = true, .SkipAllowed = false, .MenuButtonsAllowed = true});
    EXPECT_FALSE(t[kBtnAuto]);
    EXPECT_FALSE(t[kBtnSkip]);
    EXPECT_EQ(s[kBtnAuto], kBtnDisabled);
    EXPECT_EQ(s[kBtnSkip], kBtnDisabled);
    EXPECT_EQ(s[kBtnMusic], kBtnNormal);

    // A scene replay ignores the skip lock, and its menu lock leaves buttons 6 to 10.
    s = {};
    t = {};
    t[kBtnSkip] = true;
    ApplyButtonLocks(s, t, {.StoryMode = false, .SkipAllowed = false, .MenuButtonsAllowed = false});
    EXPECT_TRUE(t[kBtnSkip]);
    for (int b = 0; b < kWindowButtonCount; ++b) EXPECT_EQ(s[size_t(b)], b <= kBtnLog ? kBtnDisabled : kBtnNormal) << b;

    s = {};
    ApplyButtonLocks(s, t, {.StoryMode = true, .SkipAllowed = true, .MenuButtonsAllowed = false});
    for (int b = 0; b < kWindowButtonCount; ++b) EXPECT_EQ(s[size_t(b)], b <= kBtnSkip ? kBtnDisabled : kBtnNormal) << b;
}

}  // namespace
}  // namespace orva
