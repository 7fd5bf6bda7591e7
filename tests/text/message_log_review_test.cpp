// The log review inside the message window: paging back and forward, its ends, leaving it, and
// what it does to auto mode and the window buttons.
#include <gtest/gtest.h>

#include "text/text_harness.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

using test::EngineHarness;
using test::StartMessage;

// A waiting message with the given log, newest last in `entries`.
struct ReviewFixture {
    EngineHarness H;
    TForm1& F;
    explicit ReviewFixture(std::initializer_list<std::u16string> entries) : F(H.Start()) {
        F.Config.TextSpeed = 100;
        for (const auto& e : entries) F.NOVL_AddMsgLog(e, -1);
        StartMessage(F, u"今の文章。");
        F.NOVL_DrawMessage();
    }
    // One pass of the message wait with a key flag set, as the input sampling leaves it.
    void Press(bool InputState::*flag) {
        F.Input.KeyRepeatDelay = 0;
        F.Input.*flag = true;
        F.NOVL_WaitMessage();
        F.NOVL_ClearKey();
    }
};

TEST(LogReview, EmptyLogStartsNoReview) {
    ReviewFixture r({});
    r.Press(&InputState::KeyLogBack);
    EXPECT_FALSE(r.F.Text.LogReview);
    EXPECT_EQ(r.F.Msg.LogPos, 0);
    EXPECT_EQ(r.F.Msg.MessageLines[1], u"今の文章。");
}

TEST(LogReview, PagesThroughThreeEntriesAndStopsAtBothEnds) {
    ReviewFixture r({u"一番古い。", u"真ん中。", u"花子「一番新しい」"});
    TForm1& f = r.F;
    f.Skip.AutoMode = true;
    r.Press(&InputState::KeyLogBack);
    EXPECT_TRUE(f.Text.LogReview);
    EXPECT_FALSE(f.Skip.AutoMode);  // paging ends auto mode
    EXPECT_EQ(f.Msg.MessageLines[0], u"花子");
    EXPECT_EQ(f.Msg.MessageLines[1], u"「一番新しい」");
    EXPECT_EQ(f.Input.KeyRepeatDelay, 10);
    r.Press(&InputState::KeyLogBack);
    EXPECT_EQ(f.Msg.MessageLines[1], u"真ん中。");
    r.Press(&InputState::KeyLogBack);
    EXPECT_EQ(f.Msg.MessageLines[1], u"一番古い。");
    r.Press(&InputState::KeyLogBack);  // the end of the log changes nothing
    EXPECT_EQ(f.Msg.MessageLines[1], u"一番古い。");
    EXPECT_EQ(f.Msg.LogPos, 3);
    EXPECT_TRUE(f.Text.LogReview);

    r.Press(&InputState::KeyLogForward);
    EXPECT_EQ(f.Msg.MessageLines[1], u"真ん中。");
    r.Press(&InputState::KeyLogForward);
    EXPECT_EQ(f.Msg.MessageLines[0], u"花子");
    r.Press(&InputState::KeyLogForward);  // the newest entry is the end
    EXPECT_EQ(f.Msg.MessageLines[0], u"花子");
    EXPECT_TRUE(f.Text.LogReview);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);

    // Only the log and voice buttons stay usable during the review.
    EXPECT_EQ(f.Msg.ButtonState[kBtnLog], kBtnOn);
    EXPECT_EQ(f.Msg.ButtonState[kBtnQuickSave], kBtnDisabled);
    EXPECT_EQ(f.Msg.ButtonState[kBtnVoice], kBtnNormal);

    // Return leaves the review and shows the current message whole, not going on.
    r.Press(&InputState::KeyEnter);
    EXPECT_FALSE(f.Text.LogReview);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Text.PrintCount, 255);
    EXPECT_EQ(f.Input.KeyRepeatDelay, 10);  // a held Return does not also go on
    EXPECT_EQ(f.Msg.ButtonState[kBtnQuickSave], kBtnNormal);
    EXPECT_FALSE(f.Msg.ButtonToggle[kBtnLog]);
    EXPECT_EQ(f.Msg.MessageLog.Count(), 3);
}

TEST(LogReview, ReviewIsGreyWithoutTheIconAndAChoiceEntryTakesTwoLines) {
    ReviewFixture r({u"【選択肢】/右の道を行く"});
    TForm1& f = r.F;
    f.Pics->ButtonSheet.FillRect(0, 128, 256, 32, 0, 255, 0);
    r.Press(&InputState::KeyLogBack);
    EXPECT_EQ(f.Msg.MessageLines[1], u"【選択肢】");
    EXPECT_EQ(f.Msg.MessageLines[2], u"右の道を行く");
    f.Pics->BackBuffer.FillColor(0, 0, 0);
    f.NOVL_DrawMessage();
    test::Capture(f.Pics->BackBuffer, "log_review_choice");
    bool grey = false;
    for (int y = kMsgWindowTop; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            const uint8_t* p = test::Px(f.Pics->BackBuffer, x, y);
            ASSERT_FALSE(p[1] > 200 && p[0] < 50) << "icon drawn at " << x << "," << y;
            grey |= p[0] >= 190 && p[0] <= 192 && p[1] == p[0] && p[2] == p[0];
        }
    EXPECT_TRUE(grey);
}

TEST(LogReview, LeavingDuringAChoiceReturnsToTheChoice) {
    ReviewFixture r({u"前の文章。"});
    TForm1& f = r.F;
    f.Text.IsChoice = true;
    r.Press(&InputState::KeyLogBack);
    ASSERT_TRUE(f.Text.LogReview);
    f.Input.MouseLeftClick = true;
    f.NOVL_WaitMessage();
    EXPECT_EQ(f.EngineMode, Mode::ChoiceWait);
    EXPECT_FALSE(f.Input.MouseLeftClick);
}

}  // namespace
}  // namespace orva
