// The debug window on the headless engine: shown only with the marker file, live status lines,
// the buttons' listings and album switches, and the memo of picture read errors.
#include <gtest/gtest.h>

#include <fstream>

#include "debug/debug_window.h"
#include "fixtures/script_game.h"

namespace orva {
namespace {

using test::ScriptGame;

constexpr const char* kScript = ".script 1 \"debug\"\nset W1 1\nset W2 W1\nset F3 4\nwait -1\n";

void Click(TForm1& f, int button) {
    const TDebugForm::Rect r = TDebugForm::ButtonRect(button);
    f.OnMouseDown(WindowId::Debug, MouseButton::Left, {r.X + r.W / 2, r.Y + r.H / 2});
}

struct MarkedGame : ScriptGame {
    MarkedGame() : ScriptGame(kScript) { std::ofstream(GameDir / "ポプリ萌え萌え.txt") << ""; }
};

TEST(DebugWindow, WithoutTheMarkerThereIsNoWindowAndNoWork) {
    ScriptGame g(kScript);
    TForm1& f = g.Boot();
    g.Passes(20);
    EXPECT_EQ(f.DebugForm, nullptr);
    EXPECT_FALSE(g.Plat->IsWindowVisible(WindowId::Debug));
    EXPECT_FALSE(g.Plat->LastPresented(WindowId::Debug).IsReady()) << "nothing was ever drawn for it";
    // Clicks that reach the hidden window do nothing.
    const int16_t before = g.S(201);
    Click(f, 3);
    EXPECT_EQ(g.S(201), before);
}

TEST(DebugWindow, ShowsLiveStatusLinesThatFreezeWhileTheScriptWaits) {
    MarkedGame g;
    TForm1& f = g.Boot();
    ASSERT_NE(f.DebugForm, nullptr);
    EXPECT_TRUE(g.Plat->IsWindowVisible(WindowId::Debug));
    EXPECT_EQ(f.DebugForm->Caption(), "Debug Window : ORVA Ver." ORVA_PROJECT_VERSION);

    g.Passes(1);  // the script runs to its key wait: the last command executed is the wait
    EXPECT_EQ(f.DebugForm->Label1(), u"TC:8388866 NO:1 ST:3 CD:128 P1:-1 P2:0 P3:0");
    EXPECT_EQ(f.DebugForm->Label2(), u"BGM:0 SE1:0 SE2:0 SE3:0");
    g.Passes(10);
    EXPECT_EQ(f.DebugForm->Label1(), u"TC:8388866 NO:1 ST:3 CD:128 P1:-1 P2:0 P3:0");

    // The window is drawn at its size, with text in the status line's place.
    const TABitmap& shown = g.Plat->LastPresented(WindowId::Debug);
    ASSERT_EQ(shown.Width(), 720);
    ASSERT_EQ(shown.Height(), 220);
    int dark = 0;
    for (int y = 8; y < 38; ++y)
        for (int x = 8; x < 300; ++x) dark += shown.Row(y)[4 * x + 1] < 100;
    EXPECT_GT(dark, 100);

    // The picture read errors since start-up are in the lower memo: the dialog's, read with the
    // main form, then the message window's.
    const auto& memo2 = f.DebugForm->Memo2();
    ASSERT_GE(memo2.size(), 3u);
    EXPECT_EQ(memo2[0], u"read error : SysQuery.png");
    EXPECT_EQ(memo2[1], u"read error : SysQueryP.png");
    EXPECT_EQ(memo2[2], u"read error : SysMsgWinP.png");
    EXPECT_EQ(memo2.size(), f.DebugMemo.size());
}

TEST(DebugWindow, ButtonsListTheStateAndSwitchTheAlbumFlags) {
    MarkedGame g;
    TForm1& f = g.Boot();
    g.Passes(2);

    Click(f, 1);  // FLG表示
    ASSERT_EQ(f.DebugForm->Memo1().size(), 101u);
    EXPECT_EQ(f.DebugForm->Memo1()[1].substr(0, 16), u"F1:0 F2:0 F3:4 F");
    EXPECT_EQ(f.DebugForm->Memo1()[69].substr(0, 10), u"W1:1 W2:1 ");
    f.OnMouseWheel(WindowId::Debug, -1);
    EXPECT_EQ(f.DebugForm->Memo1Top(), 3);

    Click(f, 6);  // RT
    EXPECT_EQ(f.DebugForm->Memo1().size(), 6u);
    EXPECT_EQ(f.DebugForm->Memo1Top(), 0);
    Click(f, 2);  // MSG履歴
    EXPECT_EQ(f.DebugForm->Memo1()[1], u"1: []");

    Click(f, 3);  // Album ON
    for (int i = 201; i <= 300; ++i) ASSERT_EQ(g.S(i), 1) << i;
    EXPECT_EQ(g.S(200), 0);
    EXPECT_EQ(g.S(301), 0);
    Click(f, 4);  // Album OFF
    for (int i = 201; i <= 300; ++i) ASSERT_EQ(g.S(i), 0) << i;

    Click(f, 5);  // Album RND, with the harness's fixed seed
    int on = 0;
    for (int i = 201; i <= 300; ++i) {
        ASSERT_TRUE(g.S(i) == 0 || g.S(i) == 1);
        on += g.S(i);
    }
    EXPECT_GE(on, 35);
    EXPECT_LE(on, 65);
    EXPECT_EQ(g.S(301), 0);

    // A click beside the buttons does nothing.
    f.OnMouseDown(WindowId::Debug, MouseButton::Left, {320, 20});
    EXPECT_EQ(f.DebugForm->Memo1()[1], u"1: []");
}

}  // namespace
}  // namespace orva
