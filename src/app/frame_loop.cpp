// The frame loop: one IdleEvent pass samples input, runs the current mode's handler, paints a
// frame when one is due (30 per second), sleeps 10 ms and pumps messages. The mode table is data.
#include <cmath>

#include "app/main_form.h"

namespace orva {
namespace {

using ModeHandler = void (TForm1::*)();

struct ModeRow {
    int32_t Mode;
    ModeHandler Handler;
};

// Every mode that runs a handler. Any other value, 0x6001 (a message printing) among them,
// runs nothing: the printing advances inside the painting.
constexpr ModeRow kModeTable[] = {
    {-1, &TForm1::NOVL_TaskInit},
    {0, &TForm1::NOVL_TaskScript},
    {0x2001, &TForm1::NOVL_DispEffect_01},
    {0x2091, &TForm1::NOVL_DispEffect_91},
    {0x6002, &TForm1::NOVL_WaitMessage},
    {0x6802, &TForm1::NOVL_WaitSelect},
    {0x700101, &TForm1::NOVL_DispTitleMenu},
    {0x700102, &TForm1::NOVL_WaitTitleMenu},
    {0x700201, &TForm1::NOVL_DispAlbumMenu},
    {0x700202, &TForm1::NOVL_WaitAlbumMenu},
    {0x700301, &TForm1::NOVL_DispBgmMenu},
    {0x700302, &TForm1::NOVL_WaitBgmMenu},
    {0x700401, &TForm1::NOVL_DispCgMenu},
    {0x700402, &TForm1::NOVL_WaitCgMenu},
    {0x700491, &TForm1::NOVL_DispCg},
    {0x700492, &TForm1::NOVL_WaitCg},
    {0x700501, &TForm1::NOVL_DispEvMenu},
    {0x700502, &TForm1::NOVL_WaitEvMenu},
    {0x700601, &TForm1::NOVL_DispConfigMenu},
    {0x700602, &TForm1::NOVL_WaitConfigMenu},
    {0x700701, &TForm1::NOVL_DispSaveMenu},
    {0x700702, &TForm1::NOVL_WaitSaveMenu},
    {0x800001, &TForm1::NOVL_RestoreGame},
    {0x800101, &TForm1::NOVL_Wait},
    {0x800102, &TForm1::NOVL_WaitKey},
    {0x800103, &TForm1::NOVL_WaitMovie},
    {0x800104, &TForm1::NOVL_WaitMovieAlbum},
};

ModeHandler FindModeHandler(int32_t mode) {
    for (const ModeRow& row : kModeTable)
        if (row.Mode == mode) return row.Handler;
    return nullptr;
}

}  // namespace

void TForm1::IdleEvent() {
    // 1. The random sequence advances once per pass.
    Random.Next(100);

    // 2, 3.
    if (Movie.MoviePlaying) MovieFrameStep();
    NOVL_CheckKeyPush();
    NOVL_CheckButton();

    // 4, 5.
    if (ModeHandler handler = FindModeHandler(EngineMode)) (this->*handler)();
    NOVL_Debug();

    // 6, 7. During a fast skip nothing is painted and the frame clock stays behind; afterwards
    // every pass paints until the clock has caught up.
    if (Skip.FastSkip) {
        NOVL_DrawMessage();
    } else if (static_cast<double>(Plat.Ticks()) >= Timing.FrameClock) {
        PaintFrame();
    }

    // 8.
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
    const FrameBaseKey key{.Scene = p.ScenePicture.Generation(),
                           .Movie = movie ? Movie.MovieFrame->Generation() : 0,
                           .Window = window ? p.MsgWinPicture.Generation() : 0,
                           .Opacity = window ? opacity : uint16_t{0},
                           .Covers = p.ScenePicture.Width() >= p.BackBuffer.Width() &&
                                     p.ScenePicture.Height() >= p.BackBuffer.Height()};
    Frames.BeginFrame(p.BackBuffer, key, [&](TABitmap& back) {
        p.ScenePicture.CopyRect(0, 0, 800, 600, 0, 0, back);
        if (movie) Movie.MovieFrame->CopyRect(0, 0, 800, 600, 0, 0, back);
        if (window) p.MsgWinPicture.DrawAlphaOpacity(0, 416, 800, 184, 0, 0, back, opacity);
    });
    p.WindowBase.CopyRect(0, 0, 800, 184, 0, 0, p.WindowBuffer);

    NOVL_DrawMessage();
    NOVL_DrawSelect();
    NOVL_DrawButton();
    NOVL_DrawTitleMenu();
    NOVL_DrawAlbumMenu();
    NOVL_DrawBgmMenu();
    NOVL_DrawCgMenu();
    NOVL_DrawEvMenu();
    NOVL_DrawConfigMenu();
    NOVL_DrawSaveMenu();

    if (!Timing.StatusText.empty()) DrawStatusText();
    if (EngineMode == 0x700602 || EngineMode == 0x700702)
        p.MenuScreen.DrawAlpha(0, 0, 800, 600, 0, 0, p.BackBuffer);

    // The save menu's entering step composes a frame but neither shows nor counts it.
    if (EngineMode != 0x700701) {
        const FrameRect changed = Frames.Changed(p.BackBuffer);
        Plat.PresentChanged(WindowId::Main, p.BackBuffer, changed.X, changed.Y, changed.W, changed.H);
        Frames.Presented();
        if (MsgFormVisible) Plat.Present(WindowId::Msg, p.WindowBuffer);
        Timing.FrameClock += kFramePeriod;
    }
}

void TForm1::NOVL_Wait() {
    // WaitEnd is signed and the tick count unsigned: a negative end has always passed.
    if (static_cast<int64_t>(Timing.WaitEnd) <= static_cast<int64_t>(Plat.Ticks())) EngineMode = 0;
    if (Timing.WaitClickable && (Input.KeyEnter || Input.KeyCtrl || Input.MouseLeftClick)) EngineMode = 0;
}

void TForm1::NOVL_WaitKey() {
    if (Input.KeyEnter || Input.KeyCtrl || Input.MouseLeftClick) EngineMode = 0;
}

}  // namespace orva
