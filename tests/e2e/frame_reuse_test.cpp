// Painting with the kept frame base against painting every frame from scratch: two copies of
// the demo run in lockstep on the headless engine with the same input, one of them composing
// every frame's base anew. Every presented frame must match pixel for pixel, and each frame
// may differ from the one before only inside the rectangle promised to the platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "demo_game.h"
#include "text/window_buttons.h"

namespace orva {
namespace {

using test::DemoGame;

Point Row(int button) { return {ButtonDrawPlace(button, false).X + 20, 588}; }
// Inside one of the two small buttons (hide, detach) of the attached or detached window.
Point Small(int button, bool detached) {
    const Point at = ButtonDrawPlace(button, detached);
    return {at.X + 8, at.Y + 8};
}

struct Lockstep {
    DemoGame Cached, Fresh;
    TABitmap Previous;          // the cached run's frame before the last pass
    int Frames = 0;             // passes that presented a frame
    int Narrow = 0;             // of those, presented with less than the whole picture promised
    int MsgFrames = 0;          // passes that presented the detached window
    int IconOnly = 0;           // frames that promised no more than the click-wait icon's square

    Lockstep() {
        Cached.Start();
        Fresh.Start();
        Fresh.Form->Frames.Enabled = false;
    }
    void Inject(TimelineEvent ev) {
        Cached.Plat->Inject(ev);
        Fresh.Plat->Inject(ev);
    }
    // Runs n passes of both, checking each presented frame.
    void Passes(int n) {
        for (int i = 0; i < n; ++i) {
            Previous.Assign(Cached.Plat->LastPresented(WindowId::Main));
            const uint64_t before = Cached.Plat->LastPresented(WindowId::Main).Generation();
            const uint64_t msgBefore = Cached.Plat->LastPresented(WindowId::Msg).Generation();
            Cached.Form->IdleEvent();
            Fresh.Form->IdleEvent();
            ASSERT_EQ(Cached.Form->EngineMode, Fresh.Form->EngineMode);
            const TABitmap& a = Cached.Plat->LastPresented(WindowId::Main);
            const TABitmap& b = Fresh.Plat->LastPresented(WindowId::Main);
            ASSERT_EQ(a.Width(), b.Width());
            ASSERT_EQ(a.Height(), b.Height());
            ASSERT_EQ(0, std::memcmp(a.Pixels(), b.Pixels(), a.RowBytes() * a.Height()))
                << "frame differs at " << Cached.Plat->Ticks() << " ms, mode " << Cached.Form->EngineMode;
            // The detached window's picture, composed only while that window shows.
            const TABitmap& ma = Cached.Plat->LastPresented(WindowId::Msg);
            const TABitmap& mb = Fresh.Plat->LastPresented(WindowId::Msg);
            ASSERT_EQ(ma.Width(), mb.Width());
            ASSERT_EQ(ma.Height(), mb.Height());
            // (Nothing to compare before that window's first picture.)
            if (ma.Height() > 0) {
                ASSERT_EQ(0, std::memcmp(ma.Pixels(), mb.Pixels(), ma.RowBytes() * ma.Height()))
                    << "detached window differs at " << Cached.Plat->Ticks() << " ms, mode " << Cached.Form->EngineMode;
            }
            if (ma.Generation() != msgBefore) ++MsgFrames;
            if (a.Generation() == before || Previous.Width() != a.Width() || Previous.Height() != a.Height()) continue;
            ++Frames;
            const auto [x, y, w, h] = Cached.Plat->LastPromised(WindowId::Main);
            if (w * h < a.Width() * a.Height()) ++Narrow;
            if (w * h <= 32 * 32) ++IconOnly;
            const int x0 = std::clamp(x, 0, a.Width()), x1 = std::clamp(x + w, x0, a.Width());
            for (int row = 0; row < a.Height(); ++row) {
                const uint32_t* now = a.Pixels() + static_cast<size_t>(row) * a.Width();
                const uint32_t* was = Previous.Pixels() + static_cast<size_t>(row) * a.Width();
                const bool same = row >= y && row < y + h
                                      ? std::equal(now, now + x0, was) && std::equal(now + x1, now + a.Width(), was + x1)
                                      : std::equal(now, now + a.Width(), was);
                ASSERT_TRUE(same) << "row " << row << " changed outside the promised rectangle";
            }
        }
    }
    void Click(Point p, WindowId window = WindowId::Main) {
        Inject({.Verb = TimelineVerb::Click, .Window = window, .Pos = p});
        Passes(2);
    }
    void Until(Mode mode, int limit = 2000) {
        for (int i = 0; i < limit && Cached.Form->EngineMode != mode && !::testing::Test::HasFailure(); ++i) Passes(1);
        ASSERT_EQ(Cached.Form->EngineMode, mode);
    }
};

TEST(FrameReuse, KeptBaseGivesTheSameFramesAsPaintingAfresh) {
    Lockstep run;
    run.Until(Mode::TitleMenuWait);                       // the title, faded in
    run.Inject({.Verb = TimelineVerb::Move, .Pos = {600, 210}});
    run.Passes(6);                                        // a lit title button
    run.Click({600, 210});
    run.Until(Mode::MessageWait);                         // the first message printed
    run.Passes(20);                                       // the waiting message and its turning icon
    for (int i = 0; i < 4; ++i) {
        run.Click({400, 300});
        run.Passes(1);
        run.Until(Mode::MessageWait);
        run.Passes(5);
    }
    run.Inject({.Verb = TimelineVerb::Move, .Pos = Row(kBtnQuickSave)});
    run.Passes(3);                                        // a lit window button
    run.Click(Row(kBtnQuickSave));
    run.Passes(10);                                       // the status line
    run.Click(Row(kBtnConfig));
    run.Passes(8);                                        // the configuration menu over the scene
    run.Click({600, 320});                                // another window design
    run.Passes(4);
    run.Click({700, 560});                                // back to the message
    run.Passes(8);
    run.Click(Small(kBtnHide, false));                    // the window hidden, then shown again
    run.Passes(6);
    EXPECT_FALSE(run.Cached.Form->Text.MsgOnScreen);
    run.Click({400, 300});
    run.Passes(6);
    run.Inject({.Verb = TimelineVerb::Wheel, .WheelDirection = 1});   // the log review
    run.Passes(6);
    run.Inject({.Verb = TimelineVerb::Wheel, .WheelDirection = -1});
    run.Passes(6);
    run.Click({400, 300});                                // the review ends
    run.Until(Mode::MessageWait);
    run.Passes(4);
    run.Click(Row(kBtnSave));                             // the save menu, composed but not shown at first
    run.Passes(10);
    EXPECT_EQ(run.Cached.Form->EngineMode, Mode::SaveMenuWait);
    run.Click({700, 560});
    run.Until(Mode::MessageWait);
    run.Passes(10);
    run.Click(Small(kBtnDetach, false));                  // the detached window: no window blend on the screen
    run.Passes(10);
    EXPECT_TRUE(run.Cached.Form->MsgFormVisible);
    run.Click({400, 100}, WindowId::Msg);
    run.Passes(1);
    run.Until(Mode::MessageWait);
    run.Passes(10);
    run.Click(Small(kBtnDetach, true), WindowId::Msg);    // attached again: the window blended on the screen
    run.Passes(10);
    EXPECT_FALSE(run.Cached.Form->MsgFormVisible);
    run.Click(Small(kBtnDetach, false));                  // and detached once more
    run.Passes(10);

    EXPECT_GT(run.Frames, 200);
    EXPECT_GT(run.MsgFrames, 10);
    // The kept base was used: most frames promised less than the whole picture.
    EXPECT_GT(run.Narrow, run.Frames / 2);
    // A waiting message's window, text and buttons stayed in the base: only the icon was drawn
    // (while no status line showed).
    EXPECT_GT(run.IconOnly, 30);
}

}  // namespace
}  // namespace orva
