// The frame loop: one IdleEvent pass samples input, runs the current mode's step from the mode
// table, paints a frame when one is due (30 per second), sleeps 10 ms and pumps messages.
#include <cmath>

#include "app/engine_modes.h"
#include "app/main_form.h"
#include "platform/screen_layout.h"

namespace orva {

void TForm1::IdleEvent() {
    // The random sequence advances once per pass.
    Random.Next(100);

    // A playing movie decodes its due frame; then input is sampled and the window buttons act.
    if (Movie.MoviePlaying) MovieFrameStep();
    NOVL_CheckKeyPush();
    NOVL_CheckButton();
    RollbackCheck();

    // One step of the current mode (a mode without a row or a step runs nothing).
    if (const ModeRow* row = FindModeRow(EngineMode); row && row->Step) (this->*row->Step)();
    NOVL_Debug();

    // During a fast skip nothing is painted and the frame clock stays behind; afterwards
    // every pass paints until the clock has caught up.
    if (Skip.FastSkip) {
        NOVL_DrawMessage();
    } else if (Options.RenderOff) {
        // Nothing is painted: a printing message stands complete at once.
        if (EngineMode == Mode::MessagePrint) MessagePrinted();
    } else if (static_cast<double>(Plat.Ticks()) >= Timing.FrameClock) {
        PaintFrame();
    }

    // The pass yields for 10 ms and lets window events and timer ticks through.
    Plat.Sleep(10);
    ProcessMessages();

    if (CloseRequested && ModalDepth == 0) {
        CloseRequested = false;
        bool canClose = false;
        FormCloseQuery(canClose);
        if (canClose) FormClose();
    }
}

void TForm1::ProcessMessages() {
    Plat.PumpMessages(*this);
    // The 10-ms timer: one tick per elapsed 10 ms since the last one.
    const uint32_t now = Plat.Ticks();
    while (now - TimerLast >= 10) {
        TimerLast += 10;
        DelayTimerTimer();
    }
}

void TForm1::PaintFrame() {
    PictureSet& p = *Pics;
    const bool movie = Movie.MoviePlaying && Movie.MovieFrame;
    const bool window = Text.MsgWinShown && !MsgFormVisible;
    const auto opacity = static_cast<uint16_t>(OpacityFromPercent(Config.WindowOpacity));
    // The message text draws first of the overlays, so a waiting message's window and text,
    // the same on every frame, can stay in the base; the buttons drawn after them too, while the
    // turning icon drawn between them keeps clear of them.
    const bool waiting = Frames.Enabled && WaitingTextAttached();
    const bool buttons = waiting && WindowButtonsShown() && WaitIconClearOfButtons();
    if (buttons) SettleButtonLooks();
    const FrameBaseKey key{.Scene = p.ScenePicture.Generation(),
                           .Movie = movie ? Movie.MovieFrame->Generation() : 0,
                           .Window = window ? p.MsgWinPicture.Generation() : 0,
                           .Opacity = window ? opacity : uint16_t{0},
                           .Covers = p.ScenePicture.Width() >= p.BackBuffer.Width() &&
                                     p.ScenePicture.Height() >= p.BackBuffer.Height(),
                           .WaitWindow = waiting ? p.MsgWinPicture.Generation() : 0,
                           .WaitShadow = waiting ? p.ShadowLayer.Generation() : 0,
                           .WaitText = waiting ? p.TextLayer.Generation() : 0,
                           .WaitOpacity = waiting ? opacity : uint16_t{0},
                           .ButtonSheet = buttons ? p.ButtonSheet.Generation() : 0,
                           .Buttons = buttons ? Msg.ButtonState : ButtonStates{}};
    Frames.BeginFrame(p.BackBuffer, key, [&](TABitmap& back) {
        p.ScenePicture.CopyRect(0, 0, kScreenWidth, kScreenHeight, 0, 0, back);
        if (movie) Movie.MovieFrame->CopyRect(0, 0, kScreenWidth, kScreenHeight, 0, 0, back);
        if (window)
            p.MsgWinPicture.DrawAlphaOpacity(0, kMsgWindowTop, kMsgWindowWidth, kMsgWindowHeight, 0, 0, back, opacity);
        if (waiting) DrawWaitingText(back);
        if (buttons) DrawWindowButtons(back, false);
    });
    Frames.BaseHasWaitingText = waiting;
    Frames.BaseHasButtons = buttons;
    if (DetachedPictureDrawn()) p.WindowBase.CopyRect(0, 0, kMsgWindowWidth, kMsgWindowHeight, 0, 0, p.WindowBuffer);

    // Every draw routine runs on every frame, whatever the mode, in the table's order.
    ModeRoutine last = nullptr;
    for (const ModeRow& row : ModeTable()) {
        if (!row.Draw || row.Draw == last) continue;
        (this->*row.Draw)();
        last = row.Draw;
    }

    Frames.BaseHasWaitingText = Frames.BaseHasButtons = false;

    if (!Timing.StatusText.empty()) DrawStatusText();
    const ModeRow* row = FindModeRow(EngineMode);
    const uint8_t frame = row ? row->Frame : kFrameShown;
    if (frame & kFrameMenuScreen) p.MenuScreen.DrawAlpha(0, 0, kScreenWidth, kScreenHeight, 0, 0, p.BackBuffer);
    if (!(frame & kFrameHeld)) {
        const FrameRect changed = Frames.Changed(p.BackBuffer);
        Plat.PresentChanged(WindowId::Main, p.BackBuffer, changed.X, changed.Y, changed.W, changed.H);
        Frames.Presented();
        if (MsgFormVisible) Plat.Present(WindowId::Msg, p.WindowBuffer);
        Timing.FrameClock += kFramePeriod;
    }
}

void TForm1::FadeInto(Mode after, int32_t ms) {
    PrevMode = after;
    Timing.StartTransition(Plat.Ticks(), ms);
    EngineMode = Mode::FadeToPrevMode;
}

void TForm1::NOVL_Wait() {
    // WaitEnd is signed and the tick count unsigned: a negative end has always passed.
    if (static_cast<int64_t>(Timing.WaitEnd) <= static_cast<int64_t>(Plat.Ticks())) EngineMode = Mode::Script;
    if (Timing.WaitClickable && (Input.KeyEnter || Input.KeyCtrl || Input.MouseLeftClick)) EngineMode = Mode::Script;
}

void TForm1::NOVL_WaitKey() {
    if (Input.KeyEnter || Input.KeyCtrl || Input.MouseLeftClick) EngineMode = Mode::Script;
}

}  // namespace orva
