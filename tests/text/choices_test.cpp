// Choices on the headless engine: the bars on the nine-slot grid, the highlight under the
// cursor, taking an answer into work variable 1 and the log.
#include <gtest/gtest.h>

#include <cstdlib>

#include "text/text_harness.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

using test::AnyOther;
using test::EngineHarness;

// What the choice command does: split and render, then wait in the choice wait mode.
void StartChoice(TForm1& f, const std::u16string& text) {
    f.Text.IsChoice = true;
    f.NOVL_MakeSelect(text);
    f.Text.MsgOnScreen = false;
    f.Text.ChoiceOnScreen = true;
    f.EngineMode = Mode::ChoiceWait;
}

// Bars are red, the highlighted bar green, on a black screen.
void Draw(TForm1& f) {
    f.Pics->ChoiceWindowPicture.FillColor(255, 0, 0);
    f.Pics->ChoiceHighlightPicture.FillColor(0, 255, 0);
    f.Pics->BackBuffer.FillColor(0, 0, 0);
    f.NOVL_DrawSelect();
}

// Each blend of the bar and of the two invisible text pixels over it takes one step off 255:
// compare within 4.
bool RowIs(TForm1& f, int y, int r, int g) {
    const uint8_t* p = test::Px(f.Pics->BackBuffer, 2, y);
    return std::abs(p[2] - r) <= 4 && std::abs(p[1] - g) <= 4;
}

TEST(Choices, BarsOnTheGridForOneTwoAndNineAnswers) {
    EngineHarness h;
    TForm1& f = h.Start();
    StartChoice(f, u"はい");
    EXPECT_EQ(f.Msg.ChoiceCount, 1);
    Draw(f);
    EXPECT_TRUE(RowIs(f, 280, 255, 0) && RowIs(f, 319, 255, 0));
    EXPECT_TRUE(RowIs(f, 279, 0, 0) && RowIs(f, 320, 0, 0));
    f.Input.CursorMain = {400, 200};
    f.Input.MouseLeftClick = true;
    f.NOVL_WaitSelect();
    EXPECT_EQ(f.EngineMode, Mode::ChoiceWait);  // a click off the bar does nothing
    EXPECT_FALSE(f.Input.MouseLeftClick);

    StartChoice(f, u"行く,行かない");
    f.Input.CursorMain = {400, 270};  // between the bars
    f.NOVL_WaitSelect();
    EXPECT_EQ(f.Msg.ChoiceHighlight, 0);
    f.Input.CursorMain = {400, 230};
    f.NOVL_WaitSelect();
    EXPECT_EQ(f.Msg.ChoiceHighlight, 1);
    Draw(f);
    EXPECT_TRUE(RowIs(f, 220, 0, 255));   // the highlighted bar
    EXPECT_TRUE(RowIs(f, 280, 255, 0));
    EXPECT_TRUE(RowIs(f, 270, 0, 0));

    StartChoice(f, u"一,二,三,四,五,六,七,八,九,十");
    EXPECT_EQ(f.Msg.ChoiceCount, 9);      // the tenth answer is dropped
    EXPECT_EQ(f.Msg.ChoiceTexts[8], u"九");
    f.Msg.ChoiceHighlight = 0;
    Draw(f);
    test::Capture(f.Pics->BackBuffer, "choice_nine");
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(RowIs(f, 40 + 60 * i, 255, 0) && RowIs(f, 79 + 60 * i, 255, 0)) << i;
    EXPECT_TRUE(RowIs(f, 39, 0, 0) && RowIs(f, 560, 0, 0));
    // The answers' text is drawn centred on the bars, white with its shadow.
    EXPECT_TRUE(AnyOther(f.Pics->BackBuffer, 386, 46, 414, 74, 252, 0, 0));
    EXPECT_FALSE(AnyOther(f.Pics->BackBuffer, 0, 40, 380, 80, 252, 0, 0));

    // Nothing is drawn in other modes.
    f.EngineMode = Mode::MessageWait;
    Draw(f);
    EXPECT_TRUE(RowIs(f, 40, 0, 0));
}

TEST(Choices, ChoosingTheSecondOfThreeStoresTwoAndLogsIt) {
    EngineHarness h;
    TForm1& f = h.Start();
    f.Msg.ButtonState[kBtnLog] = kBtnDisabled;
    StartChoice(f, u"右,真ん中,左,");
    EXPECT_EQ(f.Msg.ChoiceCount, 3);
    f.Input.CursorMain = {100, 290};
    f.Input.KeyEnter = true;
    f.NOVL_WaitSelect();
    EXPECT_EQ(f.WorkFlg[0], 2);
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_EQ(f.Input.KeyRepeatDelay, 10);
    EXPECT_EQ(f.Msg.ButtonState[kBtnLog], kBtnNormal);
    EXPECT_EQ(f.Msg.MessageLog.Entry(0).Text, u"【選択肢】/真ん中");
    EXPECT_TRUE(f.Msg.MessageLog.Entry(0).Voice.empty());
}

TEST(Choices, CursorOffTheRightEdgeKeepsTheHighlightAndChoosesNothing) {
    EngineHarness h;
    TForm1& f = h.Start();
    StartChoice(f, u"A,B,C");
    f.Input.CursorMain = {500, 350};
    f.NOVL_WaitSelect();
    EXPECT_EQ(f.Msg.ChoiceHighlight, 3);
    f.Input.CursorMain = {kScreenWidth, 100};
    f.Input.MouseLeftClick = true;
    f.NOVL_WaitSelect();
    EXPECT_EQ(f.Msg.ChoiceHighlight, 3);
    EXPECT_EQ(f.EngineMode, Mode::ChoiceWait);
    Draw(f);
    EXPECT_TRUE(RowIs(f, 340, 0, 255));
}

TEST(Choices, AnEmptyChoiceTextStillOffersOneAnswer) {
    EngineHarness h;
    TForm1& f = h.Start();
    StartChoice(f, u"");
    EXPECT_EQ(f.Msg.ChoiceCount, 1);
    f.Input.CursorMain = {400, 300};
    f.Input.MouseLeftClick = true;
    f.NOVL_WaitSelect();
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_EQ(f.WorkFlg[0], 1);
}

}  // namespace
}  // namespace orva
