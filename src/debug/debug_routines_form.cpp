// The main form's debug window routines: showing it when the marker file is present, its status
// lines on every pass, and the handlers of its six buttons.
#include "app/main_form.h"
#include "app/version.h"
#include "data/cp932.h"
#include "debug/debug_listings.h"
#include "debug/debug_window.h"

namespace orva {

void TForm1::ShowDebugForm(bool visible) {
    if (visible && !DebugForm) {
        DebugForm = std::make_unique<TDebugForm>(kProductTitle, kVersion);
        Plat.SetWindowTitle(WindowId::Debug, DebugForm->Caption());
        DebugMemoShown = 0;
    }
    Plat.ShowWindow(WindowId::Debug, visible);
}

void TForm1::NOVL_Debug() {
    // Without the marker file there is no window and nothing to do.
    if (!DebugForm || !Plat.IsWindowVisible(WindowId::Debug)) return;
    TDebugForm& form = *DebugForm;
    form.SetLabels(DebugStatusLine1(ModeValue(EngineMode), Game.ScriptNo, Game.ScriptStep, Script.CurCmd), DebugStatusLine2(Game));
    for (; DebugMemoShown < DebugMemo.size(); ++DebugMemoShown) form.AddMemo2(Cp932ToUtf16(DebugMemo[DebugMemoShown]));
    if (form.NeedsPaint()) {
        form.Paint(TextRenderer(), DebugPicture);
        Plat.Present(WindowId::Debug, DebugPicture);
    }
}

void TForm1::DebugFormMouseDown(MouseButton button, Point p) {
    if (!DebugForm || button != MouseButton::Left) return;
    switch (DebugForm->MouseDown(p)) {
        case 1: DebugForm->SetMemo1(DebugFlagListing(Vars())); break;
        case 2: DebugForm->SetMemo1(DebugLogListing(Msg.MessageLog)); break;
        case 3: SetAlbumFlags(1); break;
        case 4: SetAlbumFlags(0); break;
        case 5: SetAlbumFlags(-1); break;
        case 6: DebugForm->SetMemo1(DebugReturnListing(Game)); break;
        default: break;
    }
}

void TForm1::DebugFormMouseWheel(int direction) {
    if (DebugForm) DebugForm->MouseWheel(direction);
}

void TForm1::SetAlbumFlags(int value) {
    // The album's unlock flags are system variables 201..300; -1 sets each to a coin toss.
    for (int i = 201; i <= 300; ++i) Sys->SystemFlg[i - 1] = static_cast<int16_t>(value >= 0 ? value : Random.Next(999) % 2);
}

}  // namespace orva
