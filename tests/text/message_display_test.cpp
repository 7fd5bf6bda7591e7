// Message composition into the text and shadow layers, the printing, the wait with its advance,
// auto mode, hiding, and the detached window, on the headless engine.
#include <gtest/gtest.h>

#include <cstring>

#include "text/text_harness.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

using test::AnyOther;
using test::EngineHarness;
using test::Px;
using test::StartMessage;

TimelineEvent ClickAt(uint32_t t, Point p = {400, 300}, WindowId w = WindowId::Main) {
    return {.Time = t, .Verb = TimelineVerb::Click, .Window = w, .Pos = p};
}
TimelineEvent KeyAt(uint32_t t, Key k, bool down) {
    return {.Time = t, .Verb = TimelineVerb::Key, .KeyName = k, .Pressed = down};
}

void RunUntil(EngineHarness& h, uint32_t t) {
    while (h.Plat->Ticks() < t) h.Form->IdleEvent();
}

// Runs passes while the message prints or waits, up to time t; the game here has no script,
// so the check comes right after the pass that went on.
void RunWhileMessage(EngineHarness& h, uint32_t t) {
    while ((h.Form->EngineMode == Mode::MessagePrint || h.Form->EngineMode == Mode::MessageWait) && h.Plat->Ticks() < t) h.Form->IdleEvent();
}

TEST(MessageCompose, BandsTakeTheirColoursAndTheShadowLiesTwoPixelsDown) {
    EngineHarness h;
    TForm1& f = h.Start();
    f.NOVL_MakeMessage(u"美咲「こんにちは、世界」");
    EXPECT_EQ(f.Msg.MessageLines[0], u"美咲");
    EXPECT_EQ(f.Msg.MessageLines[1], u"「こんにちは、世界」");
    const TABitmap& text = f.Pics->TextLayer;
    const TABitmap& shadow = f.Pics->ShadowLayer;
    test::Capture(text, "compose_text");

    int nameInk = 0, lineInk = 0;
    for (int y = 0; y < kMsgWindowHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            const uint8_t* t = Px(text, x, y);
            const uint8_t* s = Px(shadow, x, y);
            EXPECT_EQ(s[0] | s[1] | s[2], 0);   // the shadow is black throughout
            const bool inText = (y < 40 && x >= 32 && x < 32 + 2 * 28) || (y >= 40 && y < 80 && x >= 32 && x < 32 + 10 * 28);
            if (!inText) {
                ASSERT_EQ(t[3], 255) << x << "," << y;  // fully transparent away from the text
                continue;
            }
            if (t[3] == 255) continue;
            // Where text is, the colour is the band's: orange for the name, white below.
            if (y < 30) {
                EXPECT_EQ(t[2], 255);
                EXPECT_EQ(t[1], 192);
                EXPECT_EQ(t[0], 96);
                ++nameInk;
            } else if (y >= 40) {
                EXPECT_EQ(t[0] & t[1] & t[2], 255);
                ++lineInk;
            }
            // The shadow's transparency is the text's, moved 2 right and 2 down.
            if (x + 2 < kMsgWindowWidth && y + 2 < kMsgWindowHeight) {
                EXPECT_EQ(Px(shadow, x + 2, y + 2)[3], t[3]) << x << "," << y;
            }
        }
    EXPECT_GT(nameInk, 50);
    EXPECT_GT(lineInk, 200);

    // In the log review everything is grey, the name included.
    f.Text.LogReview = true;
    f.NOVL_MakeMessage(u"美咲「こんにちは」");
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            const uint8_t* t = Px(text, x, y);
            if (t[3] != 255) {
                ASSERT_TRUE(t[0] == 192 && t[1] == 192 && t[2] == 192) << x << "," << y;
            }
        }

    // A fast skip lays the message out but renders nothing.
    f.Pics->TextLayer.FillColor(1, 2, 3);
    f.Skip.FastSkip = true;
    f.NOVL_MakeMessage(u"速い");
    EXPECT_EQ(f.Msg.MessageLines[1], u"速い");
    EXPECT_FALSE(AnyOther(text, 0, 0, kMsgWindowWidth, kMsgWindowHeight, 1, 2, 3));
}

TEST(MessageDisplay, RevealsOneCharacterPerFrameThenWaitsWithTheIcon) {
    EngineHarness h;
    TForm1& f = h.Start();
    f.Config.TextSpeed = 50;
    StartMessage(f, u"太郎「あいう/えお」");
    // The reveal is followed on the detached window's picture, which holds only the layers.
    f.MsgFormVisible = true;
    auto& wb = f.Pics->WindowBuffer;
    wb.FillColor(10, 20, 30);
    const uint32_t t0 = h.Plat->Ticks();
    f.NOVL_DrawMessage();
    EXPECT_EQ(h.Plat->Ticks() - t0, 50u);  // the frame is held 100 − speed ms
    EXPECT_EQ(f.Text.PrintCount, 1);
    EXPECT_TRUE(AnyOther(wb, 32, 0, 32 + 56, 30, 10, 20, 30));    // the name shows whole at once
    EXPECT_TRUE(AnyOther(wb, 32, 40, 60, 80, 10, 20, 30));        // "「" shows
    EXPECT_FALSE(AnyOther(wb, 60, 40, kMsgWindowWidth, kMsgWindowHeight, 10, 20, 30));     // the reveal edge is 32 + 28·1

    for (int c = 2; c <= 4; ++c) f.NOVL_DrawMessage();
    EXPECT_FALSE(AnyOther(wb, 32 + 28 * 4, 40, kMsgWindowWidth, 80, 10, 20, 30));
    EXPECT_FALSE(AnyOther(wb, 0, 80, kMsgWindowWidth, kMsgWindowHeight, 10, 20, 30));
    f.NOVL_DrawMessage();  // c = 5: the first character of line 2
    EXPECT_TRUE(AnyOther(wb, 32, 80, 60, 120, 10, 20, 30));
    EXPECT_EQ(f.EngineMode, Mode::MessagePrint);

    for (int c = 6; c <= 7; ++c) f.NOVL_DrawMessage();  // "　えお」" has 4 characters
    EXPECT_EQ(f.EngineMode, Mode::MessagePrint);
    f.NOVL_DrawMessage();
    f.NOVL_DrawMessage();  // beyond the total
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Msg.WaitIconPos, (Point{32 + 28 * 4, kMsgWindowTop + 80}));

    // Waiting over the attached window: the screen gets the text blended over the window
    // picture, and the detached window's picture, not shown, is left alone.
    f.MsgFormVisible = false;
    f.Pics->ButtonSheet.FillRect(0, 128, 256, 32, 0, 255, 0);
    f.Pics->BackBuffer.FillColor(0, 0, 0);
    wb.FillColor(10, 20, 30);
    f.NOVL_DrawMessage();
    EXPECT_TRUE(AnyOther(f.Pics->BackBuffer, 32, 456, 60, 496, 0, 0, 0));
    EXPECT_FALSE(AnyOther(wb, 0, 0, kMsgWindowWidth, kMsgWindowHeight, 10, 20, 30));
    // The icon turns through eight frames of the parts sheet.
    const uint8_t* icon = Px(f.Pics->BackBuffer, 32 + 28 * 4 + 16, kMsgWindowTop + 80 + 16);
    EXPECT_GT(icon[1], 250);  // the icon's pixels are opaque
    EXPECT_LT(icon[2], 5);
    test::Capture(f.Pics->BackBuffer, "display_waiting");
}

// A waiting frame keeps the window, the text and the buttons in its base and draws only the
// icon, unless the icon's square meets a button: the icon is drawn before the buttons, so
// there the buttons must stay drawn over it. Both ways are checked against painting afresh.
TEST(MessageDisplay, WaitingFramesMatchPaintingAfreshWhereTheIconMeetsAButton) {
    // 25 characters and a hanging full stop: the icon stands at x 760, over the hide button.
    for (const std::u16string& text : {std::u16string(u"短い文。"), std::u16string(25, u'あ') + u"。"}) {
        EngineHarness kept, fresh;
        TForm1& a = kept.Start();
        TForm1& b = fresh.Start();
        b.Frames.Enabled = false;
        for (TForm1* f : {&a, &b}) {
            // Opaque parts: the buttons red, the icon's eight frames green.
            f->Pics->ButtonSheet.FillRect(0, 0, kScreenWidth, kScreenHeight, 255, 0, 0);
            f->Pics->ButtonSheet.FillRect(0, 128, 256, 32, 0, 255, 0);
            f->Config.TextSpeed = 100;
            StartMessage(*f, text);
        }
        int waiting = 0;
        while (kept.Plat->Ticks() < 1000) {
            a.IdleEvent();
            b.IdleEvent();
            const TABitmap& pa = kept.Plat->LastPresented(WindowId::Main);
            const TABitmap& pb = fresh.Plat->LastPresented(WindowId::Main);
            ASSERT_EQ(pa.Height(), pb.Height());
            ASSERT_EQ(0, std::memcmp(pa.Pixels(), pb.Pixels(), pa.RowBytes() * pa.Height()))
                << "at " << kept.Plat->Ticks() << " ms";
            if (a.EngineMode == Mode::MessageWait) ++waiting;
        }
        EXPECT_GT(waiting, 40);
        EXPECT_EQ(a.WaitIconClearOfButtons(), text.size() < 10);
    }
}

TEST(MessageDisplay, ClickFinishesThePrintingAndOnlyASecondClickGoesOn) {
    EngineHarness h;
    TForm1& f = h.Start({ClickAt(1000), ClickAt(1500)});
    f.Config.TextSpeed = 0;
    StartMessage(f, u"長い文章がゆっくりと表示されていく。");
    RunUntil(h, 990);
    EXPECT_EQ(f.EngineMode, Mode::MessagePrint);
    EXPECT_GT(f.Text.PrintCount, 0);
    RunUntil(h, 1400);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_FALSE(f.Input.MouseLeftClick);  // used up by the finishing
    RunWhileMessage(h, 1600);
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_GE(h.Plat->Ticks(), 1500u);
    EXPECT_TRUE(f.Text.MsgWinShown);
}

TEST(MessageDisplay, SpeedHundredShowsTheWholeMessageInItsFirstFrame) {
    EngineHarness h;
    TForm1& f = h.Start();
    f.Config.TextSpeed = 100;
    StartMessage(f, u"一度に全部。");
    const uint32_t t0 = h.Plat->Ticks();
    f.NOVL_DrawMessage();
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(h.Plat->Ticks(), t0);

    // Speeds beyond the range count as its ends: no frame is held longer than 100 ms.
    f.Config.TextSpeed = 300;
    StartMessage(f, u"範囲外。");
    f.NOVL_DrawMessage();
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    f.Config.TextSpeed = -3000;
    StartMessage(f, u"範囲外。");
    const uint32_t t1 = h.Plat->Ticks();
    f.NOVL_DrawMessage();
    EXPECT_EQ(h.Plat->Ticks() - t1, 100u);
}

TEST(MessageDisplay, AutoModeWaitsAfterTheTextAndReturnEndsIt) {
    EngineHarness h;
    TForm1& f = h.Start({KeyAt(8000, Key::Return, true), KeyAt(8050, Key::Return, false)});
    f.Config.TextSpeed = 100;
    f.Config.AutoWait = 50;
    f.Skip.AutoMode = true;
    StartMessage(f, u"自動で進む。");
    while (f.EngineMode == Mode::MessagePrint) f.IdleEvent();
    const uint32_t complete = h.Plat->Ticks();
    while (f.EngineMode == Mode::MessageWait && h.Plat->Ticks() < 8000) f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::Script);
    // 10000 − 100 × 50 ms after the text stood complete.
    EXPECT_NEAR(static_cast<double>(h.Plat->Ticks() - complete), 5000.0, 50.0);
    EXPECT_TRUE(f.Skip.AutoMode);

    StartMessage(f, u"Returnで進む。");  // auto would go on at about 10500
    RunWhileMessage(h, 8030);
    EXPECT_EQ(f.EngineMode, Mode::Script);      // went on at once
    EXPECT_LT(h.Plat->Ticks(), 8030u);
    EXPECT_FALSE(f.Skip.AutoMode);   // and auto mode is off
}

TEST(MessageDisplay, SpaceHidesAndSpaceOrAClickShowsWithoutGoingOn) {
    EngineHarness h;
    TForm1& f = h.Start({KeyAt(1000, Key::Space, true), KeyAt(1020, Key::Space, false),
                         KeyAt(1200, Key::Return, true), KeyAt(1220, Key::Return, false),
                         KeyAt(1400, Key::Space, true), KeyAt(1420, Key::Space, false),
                         KeyAt(1600, Key::Space, true), KeyAt(1620, Key::Space, false), ClickAt(1800)});
    f.Config.TextSpeed = 100;
    f.Skip.AutoMode = true;
    f.Config.AutoWait = 0;
    f.Pics->ScenePicture.FillColor(0, 0, 255);
    StartMessage(f, u"隠してみる。");
    RunUntil(h, 1010);
    EXPECT_FALSE(f.Text.MsgOnScreen);
    EXPECT_FALSE(f.Skip.AutoMode);
    RunUntil(h, 1100);
    // Hidden: the bottom of the screen shows the scene only.
    EXPECT_FALSE(AnyOther(h.Plat->LastPresented(WindowId::Main), 0, kMsgWindowTop, kScreenWidth, kScreenHeight, 0, 0, 255));
    RunUntil(h, 1300);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);  // Return does nothing while hidden
    RunUntil(h, 1410);
    EXPECT_TRUE(f.Text.MsgOnScreen);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);  // shown again, not gone on
    RunUntil(h, 1610);
    EXPECT_FALSE(f.Text.MsgOnScreen);
    RunUntil(h, 1810);
    EXPECT_TRUE(f.Text.MsgOnScreen);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Msg.MessageLog.Count(), 0);
}

TEST(MessageDisplay, DetachedWindowPrintsThereAndTheScreenShowsTheScene) {
    EngineHarness h;
    TForm1& f = h.Start({KeyAt(1000, Key::Space, true), KeyAt(1020, Key::Space, false),
                         ClickAt(1200, {400, 100}, WindowId::Msg)});
    f.Config.TextSpeed = 100;
    f.Config.DetachedWindow = 1;
    f.Pics->ScenePicture.FillColor(0, 0, 255);
    f.MsgForm.FormShow();
    EXPECT_TRUE(h.Plat->IsWindowVisible(WindowId::Msg));
    StartMessage(f, u"別の窓に表示する。");
    RunUntil(h, 900);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    const TABitmap& main = h.Plat->LastPresented(WindowId::Main);
    const TABitmap& msg = h.Plat->LastPresented(WindowId::Msg);
    EXPECT_FALSE(AnyOther(main, 0, kMsgWindowTop, kScreenWidth, kScreenHeight, 0, 0, 255));
    ASSERT_EQ(msg.Height(), kMsgWindowHeight);
    EXPECT_TRUE(AnyOther(msg, 32, 40, 32 + 9 * 28, 80, 0, 0, 0));
    test::Capture(msg, "detached_window");

    RunUntil(h, 1010);
    EXPECT_FALSE(h.Plat->IsWindowVisible(WindowId::Msg));  // Space hides the detached window too
    RunUntil(h, 1210);
    EXPECT_TRUE(h.Plat->IsWindowVisible(WindowId::Msg));
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
}

TEST(MessageDisplay, CtrlSkipsAndFastSkipDrawsNothing) {
    EngineHarness h;
    TForm1& f = h.Start({KeyAt(1000, Key::Ctrl, true)});
    f.Config.TextSpeed = 0;
    f.Skip.ControlSkipEnabled = true;
    f.Game.SkipAllowed = 1;
    StartMessage(f, u"飛ばされる文章。");
    RunUntil(h, 990);
    EXPECT_EQ(f.EngineMode, Mode::MessagePrint);
    RunWhileMessage(h, 1300);  // each printed character holds its frame 100 ms
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_LT(h.Plat->Ticks(), 1300u);

    // A fast skip passes the printing at once without painting.
    f.Skip.FastSkip = true;
    StartMessage(f, u"描かれない。");
    f.NOVL_DrawMessage();
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Text.PrintCount, 0);
}

}  // namespace
}  // namespace orva
