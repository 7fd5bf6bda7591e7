// The status line: green Gothic text with a one-pixel black shadow in the top-left corner.
#include <gtest/gtest.h>

#include "text/text_harness.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

TEST(StatusText, GreenOverABlackShadowInTheCorner) {
    test::EngineHarness h;
    TForm1& f = h.Start();
    f.Pics->ScenePicture.FillColor(255, 255, 255);
    f.Timing.StatusText = u"クイックセーブしました";
    f.Timing.StatusCountdown = 100;
    f.EngineMode = Mode::KeyWait;  // a key wait: nothing else draws
    h.Passes(3);
    const TABitmap& shown = h.Plat->LastPresented(WindowId::Main);
    test::Capture(shown, "status_text");
    int green = 0, black = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            const uint8_t* p = test::Px(shown, x, y);
            if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
            ASSERT_TRUE(x >= 16 && x < 16 + 11 * 14 + 2 && y >= 16 && y < 16 + 14 + 4) << x << "," << y;
            green += p[1] > 150 && p[2] < 100;  // green strokes, anti-aliased against the shadow
            black += p[0] == 0 && p[1] == 0 && p[2] == 0;
        }
    EXPECT_GT(green, 100);
    EXPECT_GT(black, 5);
}

}  // namespace
}  // namespace orva
