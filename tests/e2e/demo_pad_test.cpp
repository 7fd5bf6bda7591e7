// The gamepad on the demo game, driven by the headless timeline's pad verbs: the first use
// parks the pointer, A clicks, B goes back in menus and is the right button elsewhere, Y hides
// the window, the shoulders page the log, the right trigger skips, start opens the
// configuration menu, the d-pad walks the hit areas and the stick moves the pointer.
#include <gtest/gtest.h>

#include <stdexcept>

#include "demo_game.h"
#include "menus/menu_layout.h"
#include "platform/pad_input.h"
#include "text/message_layout.h"
#include "text/window_buttons.h"

namespace orva {
namespace {

using test::DemoGame;

void Pad(DemoGame& g, PadButton b, bool down) {
    g.Plat->Inject({.Verb = TimelineVerb::Pad, .Pressed = down, .PadKey = b});
}
// A press and release, each acted on by the pass after the one that delivers it.
void Tap(DemoGame& g, PadButton b) {
    Pad(g, b, true);
    g.Passes(2);
    Pad(g, b, false);
    g.Passes(2);
}
void Stick(DemoGame& g, PadAxis axis, int32_t value) {
    g.Plat->Inject({.Verb = TimelineVerb::Pad, .PadStick = true, .Axis = axis, .AxisValue = value});
}
Point Pointer(DemoGame& g) { return g.Plat->CursorIn(WindowId::Main); }

// A new game up to its first waiting message, by the mouse.
TForm1& NewGame(DemoGame& g) {
    TForm1& f = g.Start();
    if (!g.RunUntilMode(Mode::TitleMenuWait)) throw std::runtime_error("no title");
    g.Click({600, 210});
    if (!g.RunUntilMode(Mode::MessageWait)) throw std::runtime_error("no message");
    return f;
}

// On to the next waiting message with the pad's A; returns its number.
int32_t NextByPad(DemoGame& g) {
    Tap(g, PadButton::A);
    if (!g.RunUntilMode(Mode::MessageWait)) throw std::runtime_error("no message");
    return g.Form->Text.MsgNo;
}

TEST(PadOnTheDemo, FirstUseParksAtTheCentreTheDpadWalksTheTitleAndAPlays) {
    DemoGame g;
    TForm1& f = g.Start();
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait));
    g.Plat->Inject({.Verb = TimelineVerb::Move, .Pos = {5, 5}});
    g.Passes(2);
    Tap(g, PadButton::A);                         // parks, then clicks on no button
    EXPECT_EQ(Pointer(g), kPadParkPoint);
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuWait);

    // From the centre back to the load button, on to the new game, round to exit and back.
    Tap(g, PadButton::DpadUp);
    EXPECT_EQ(TitleMenuHitTest(Pointer(g)), 2);
    Tap(g, PadButton::DpadLeft);
    EXPECT_EQ(TitleMenuHitTest(Pointer(g)), 1);
    Tap(g, PadButton::DpadUp);
    EXPECT_EQ(TitleMenuHitTest(Pointer(g)), 4);
    Tap(g, PadButton::DpadDown);
    EXPECT_EQ(TitleMenuHitTest(Pointer(g)), 1);
    // Start and B do nothing on the title: there are no window buttons and no way back.
    Tap(g, PadButton::Start);
    Tap(g, PadButton::B);
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuWait);

    Tap(g, PadButton::A);
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    const int32_t first = f.Text.MsgNo;
    EXPECT_NE(NextByPad(g), first);               // the pointer is over no window button
    g.Capture("demo-pad-message");
}

TEST(PadOnTheDemo, YHidesTheWindowShouldersPageTheLogAndBIsTheRightButtonOutsideMenus) {
    DemoGame g;
    TForm1& f = NewGame(g);
    for (int i = 0; i < 3; ++i) NextByPad(g);
    Tap(g, PadButton::Y);
    EXPECT_FALSE(f.Text.MsgOnScreen);
    g.Passes(20);
    Tap(g, PadButton::Y);
    EXPECT_TRUE(f.Text.MsgOnScreen);

    g.Passes(20);
    Tap(g, PadButton::LeftShoulder);
    ASSERT_TRUE(f.Text.LogReview);
    const int32_t pos = f.Msg.LogPos;
    g.Passes(20);
    Tap(g, PadButton::LeftShoulder);
    EXPECT_EQ(f.Msg.LogPos, pos + 1);             // one message further back
    g.Passes(20);
    Tap(g, PadButton::RightShoulder);
    EXPECT_EQ(f.Msg.LogPos, pos);
    g.Passes(20);
    Tap(g, PadButton::A);                         // a click leaves the log
    EXPECT_FALSE(f.Text.LogReview);

    // Like the right button, B stops the auto mode and leaves the message waiting.
    f.Skip.StartAuto();
    const int32_t msg = f.Text.MsgNo;
    Tap(g, PadButton::B);
    EXPECT_FALSE(f.Skip.AutoMode);
    EXPECT_EQ(f.Text.MsgNo, msg);
}

TEST(PadOnTheDemo, StartOpensTheConfigurationBGoesBackAndTheRightTriggerSkips) {
    DemoGame g;
    TForm1& f = NewGame(g);
    for (int i = 0; i < 4; ++i) NextByPad(g);     // past the letter, where skipping is locked
    Tap(g, PadButton::Start);
    ASSERT_TRUE(g.RunUntilMode(Mode::ConfigMenuWait, 50));
    g.Passes(10);
    Tap(g, PadButton::B);
    EXPECT_TRUE(g.RunUntilMode(Mode::MessageWait, 50));

    g.Click(Point{ButtonDrawPlace(kBtnSave, false).X + 20, 588});
    ASSERT_TRUE(g.RunUntilMode(Mode::SaveMenuWait, 50));
    g.Passes(10);
    Tap(g, PadButton::B);
    EXPECT_TRUE(g.RunUntilMode(Mode::MessageWait, 50));
    EXPECT_EQ(g.Plat->CursorIn(WindowId::Main).Y / 8, (544 + 16) / 8);  // B went to the back button

    // Held, the right trigger passes the messages by themselves; released, they wait again.
    g.Plat->Inject({.Verb = TimelineVerb::Move, .Pos = {400, 300}});
    const int32_t from = f.Text.MsgNo;
    Pad(g, PadButton::RightTrigger, true);
    g.Passes(40);
    EXPECT_TRUE(f.Input.KeyCtrl);
    EXPECT_GE(f.Text.MsgNo, from + 2);
    Pad(g, PadButton::RightTrigger, false);
    for (int i = 0; i < 500 && f.EngineMode != Mode::MessageWait && f.EngineMode != Mode::ChoiceWait; ++i)
        f.IdleEvent();
    g.Passes(2);
    const Mode waiting = f.EngineMode;
    const int32_t stop = f.Text.MsgNo;
    g.Passes(100);
    EXPECT_EQ(f.EngineMode, waiting);
    EXPECT_EQ(f.Text.MsgNo, stop);
}

TEST(PadOnTheDemo, TheDpadWalksTheAnswersThenTheWindowButtonsAndAAnswers) {
    DemoGame g;
    TForm1& f = NewGame(g);
    for (int i = 0; i < 4; ++i) NextByPad(g);
    Pad(g, PadButton::RightTrigger, true);        // skip to the choice, which stops it
    ASSERT_TRUE(g.RunUntilMode(Mode::ChoiceWait, 5000));
    Pad(g, PadButton::RightTrigger, false);
    g.Passes(5);
    const int answers = f.Msg.ChoiceCount;
    ASSERT_GE(answers, 2);
    Tap(g, PadButton::DpadDown);                  // the first use parks the pointer first
    g.Plat->Inject({.Verb = TimelineVerb::Move, .Pos = {0, 0}});
    g.Passes(2);

    // Reading order: the answers top down, then the bottom row's buttons that a choice leaves on.
    std::vector<int> expected;
    for (int a = 1; a <= answers; ++a) expected.push_back(100 + a);
    for (int b : {kBtnQuickSave, kBtnQuickLoad, kBtnSave, kBtnLoad, kBtnMusic, kBtnConfig}) expected.push_back(b);
    expected.push_back(101);                      // and round again
    std::vector<int> walked;
    for (size_t i = 0; i < expected.size(); ++i) {
        Tap(g, PadButton::DpadRight);
        const Point p = Pointer(g);
        const int answer = ChoiceAtRow(answers, p.Y);
        walked.push_back(answer ? 100 + answer : BottomButtonAt(p, false));
        EXPECT_EQ(f.Msg.ChoiceHighlight, answer);
    }
    EXPECT_EQ(walked, expected);
    Tap(g, PadButton::DpadLeft);                  // back to the configuration button
    EXPECT_EQ(BottomButtonAt(Pointer(g), false), kBtnConfig);
    Tap(g, PadButton::DpadRight);
    Tap(g, PadButton::DpadRight);
    Tap(g, PadButton::A);                         // the second answer
    EXPECT_EQ(f.WorkFlg[0], 2);
    EXPECT_NE(f.EngineMode, Mode::ChoiceWait);
}

TEST(PadOnTheDemo, TheStickMovesThePointerAtEightHundredPixelsASecondPastItsDeadZone) {
    DemoGame g;
    g.Start();
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait));
    g.Plat->Inject({.Verb = TimelineVerb::Move, .Pos = {100, 100}});
    Stick(g, PadAxis::LeftX, 6000);               // inside the dead zone: no use, no motion
    g.Passes(50);
    EXPECT_EQ(Pointer(g), (Point{100, 100}));

    Stick(g, PadAxis::LeftX, 32767);              // the first use parks, then it moves right
    g.Passes(1);
    EXPECT_EQ(Pointer(g), kPadParkPoint);
    g.Passes(25);                                 // 250 ms at full tilt: 200 pixels
    EXPECT_NEAR(Pointer(g).X, 600, 10);
    EXPECT_EQ(Pointer(g).Y, 300);
    Stick(g, PadAxis::LeftX, 0);
    Stick(g, PadAxis::LeftY, -32768);             // up, and stopped at the screen's edge
    g.Passes(100);
    const Point top = Pointer(g);
    EXPECT_EQ(top.Y, 0);
    EXPECT_NEAR(top.X, 600, 10);
    Stick(g, PadAxis::LeftY, 0);
    g.Passes(20);
    EXPECT_EQ(Pointer(g), top);
}

TEST(PadOnTheDemo, BAnswersTheConfirmationNo) {
    DemoGame g;
    TForm1& f = g.Start();
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait));
    // B comes while the dialog that the exit button opens is up.
    g.Plat->Inject({.Time = g.Plat->Ticks() + 300, .Verb = TimelineVerb::Pad, .Pressed = true, .PadKey = PadButton::B});
    g.Click({600, 380});
    g.Passes(5);
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuWait);
    EXPECT_FALSE(g.Plat->IsWindowVisible(WindowId::Query));
}

}  // namespace
}  // namespace orva
