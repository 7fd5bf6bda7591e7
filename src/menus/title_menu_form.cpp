// The title menu (its entering and waiting modes): "M01", the title picture and four
// buttons: new game, load, album and exit.
#include "app/main_form.h"
#include "menus/menu_layout.h"

namespace orva {

void TForm1::NOVL_DispTitleMenu() {
    SoundPlayerStop(kVoiceChannel);
    RollbackClear();
    NOVL_PlayBGM2011("M01", 1, false, 1);
    MsgForm.Hide();
    Text.DropEmptyWindow();

    NOVL_ReadGraphic2011(0, "SysTitle.png");
    NOVL_ReadGraphic2011(51, "SysTitleP.png");
    for (auto& name : Game.LayerName) std::fill(std::begin(name), std::end(name), '\0');
    NOVL_CreateNextImage();
    PictureSet& p = *Pics;
    for (const TitleButton& b : kTitleButtons)
        p.ButtonSheet.DrawAlpha(b.X, b.Y, kTitleButtonW, kTitleButtonH, b.NormalX, b.NormalY, p.NextPicture);

    FadeInto(Mode::TitleMenuWait, 500);

    SetSystemFlag(kSystemCursor, true);
    Input.ConsumeClick();
    SetSystemFlag(kSystemMenuButtons, false);
}

void TForm1::NOVL_WaitTitleMenu() {
    Menus.MenuHover = TitleMenuHitTest(Input.CursorMain);
    if (!Input.MouseLeftClick) return;
    Input.ConsumeClick();
    switch (Menus.MenuHover) {
        case 1:  // new game
            ReloadWindowPictures();
            if (Config.DetachedWindow) MsgForm.FormShow();
            else MsgForm.Hide();
            NOVL_ClearReturnTbl();
            NOVL_ClearMsgLog();
            RollbackClear();
            NOVL_ClearScenarioFlg();
            Skip.StopSkipAndAuto();
            SetSystemFlag(kSystemMenuButtons, true);
            SetSystemFlag(kSystemSkip, true);
            Msg.ResetButtonLooks();
            StoryMode = true;
            WorkFlg[100] = 0;
            EngineMode = Mode::Script;
            return;
        case 2: OpenSaveMenu(false); return;
        case 3: EngineMode = Mode::AlbumMenuEnter; return;
        case 4: OnCloseRequest(); return;
        default: return;
    }
}

void TForm1::NOVL_DrawTitleMenu() {
    if (EngineMode != Mode::TitleMenuWait) return;
    PictureSet& p = *Pics;
    for (int i = 0; i < 4; ++i) {
        const TitleButton& b = kTitleButtons[i];
        const bool lit = Menus.MenuHover == i + 1;
        p.ButtonSheet.DrawAlpha(b.X, b.Y, kTitleButtonW, kTitleButtonH, lit ? b.HoverX : b.NormalX,
                                lit ? b.HoverY : b.NormalY, p.BackBuffer);
    }
}

}  // namespace orva
