// The album menus: the album menu itself, the picture gallery with its single pictures, the
// scene replay menu and the music room. Each is a Disp routine (load, compose NextPicture, fade
// in), a Wait routine (hover and click, once per pass) and a Draw routine (hover and state
// looks onto BackBuffer, only in the menu's wait mode).
//
// [SECTION] shared helpers | album menu | music room | picture gallery | scene replay
#include <cstring>
#include <string>

#include "app/main_form.h"
#include "graphics/font_names.h"

namespace orva {
namespace {

constexpr int kMenuFadeMs = 500;

// The white picture whose addition at opacity 20 brightens a hovered thumbnail by 19 per channel.
const TABitmap& WhiteThumb() {
    static const TABitmap white = [] {
        TABitmap b(kThumbW, kThumbH);
        b.FillColor(255, 255, 255);
        return b;
    }();
    return white;
}

void ClearCharacterLayerNames(GameRec& game) {
    for (auto& name : game.LayerName) std::memset(name, 0, sizeof name);
}

// A page of the gallery or the scene replay menu has a background only for pages 1 and 2;
// any other page keeps the picture slot 0 holds.
bool HasPageBackground(int32_t page) { return page == 1 || page == 2; }

std::string MusicTrackName(int32_t track) { return "M0" + std::to_string(track); }

// The element under the cursor in the gallery or the scene replay menu: the page and back
// buttons first, then a grid item that `usable` accepts (seen, or unlocked).
template <typename Usable>
int32_t GridMenuHover(Point cursor, Usable usable) {
    if (const int button = PageButtonAt(cursor)) return button;
    const int item = GridItemAt(cursor);
    return item != 0 && usable(item) ? item : 0;
}

}  // namespace

// [SECTION] shared helpers --------------------------------------------------------------------

namespace {

// Every menu fades in with nothing hovered: the frame painted as the fade ends comes before the
// menu's first Wait pass, and must not show the element last hovered in the menu before.
void StartMenuTransition(TForm1& f, Mode waitMode) {
    f.Menus.MenuHover = 0;
    f.FadeInto(waitMode, kMenuFadeMs);
}

// Page 1, page 2 and back of the gallery and the scene replay menu: sheet rows 0 normal,
// 32 hovered, 64 the current page, 96 the current page hovered.
void DrawAlbumPageButtons(const TForm1& f, TABitmap& dest, bool withHover) {
    const TABitmap& sheet = f.Pics->ButtonSheet;
    for (int page = 1; page <= 2; ++page) {
        const bool hovered = withHover && f.Menus.MenuHover == 70 + page;
        const int sy = (f.Menus.SaveMenuPage == page ? 64 : 0) + (hovered ? 32 : 0);
        sheet.DrawAlpha(32 + kPageButtonW * (page - 1), kPageButtonY, kPageButtonW, kPageButtonH,
                        kPageButtonW * (page - 1), sy, dest);
    }
    const bool backHovered = withHover && f.Menus.MenuHover == kMenuBack;
    sheet.DrawAlpha(kBackX, kBackY, kBackW, kBackH, 240, backHovered ? 32 : 0, dest);
}

// The gallery's and the scene replay menu's looks of one frame: the hovered item brightened,
// the page and back buttons in their hover and current-page forms.
void DrawGridMenuHover(TForm1& f) {
    PictureSet& p = *f.Pics;
    if (f.Menus.MenuHover >= 1 && f.Menus.MenuHover <= kGridItems) {
        const Point t = GridCellOf(f.Menus.MenuHover).Thumb;
        WhiteThumb().DrawAdd(t.X, t.Y, kThumbW, kThumbH, 0, 0, p.BackBuffer, 20);
    }
    DrawAlbumPageButtons(f, p.BackBuffer, true);
}

// A click on a page button rebuilds the menu (`enterMode`) on that page; back leads to the
// album menu. Anything else does nothing.
void GridMenuPageOrBack(TForm1& f, Mode enterMode) {
    if (f.Menus.MenuHover == 71 || f.Menus.MenuHover == 72) {
        f.Menus.SaveMenuPage = f.Menus.MenuHover - 70;
        f.EngineMode = enterMode;
    } else if (f.Menus.MenuHover == kMenuBack) {
        f.EngineMode = Mode::AlbumMenuEnter;
    }
}

// A queue number: white at the eight neighbours of the anchor, then blue on top, so it reads
// on any thumbnail.
void DrawQueueNumber(TForm1& f, TABitmap& dest, Point anchor, int32_t number) {
    TTextRenderer& renderer = f.TextRenderer();
    renderer.SetFont(kFontGothic, 32);
    const std::string digits = std::to_string(number);
    const std::u16string text(digits.begin(), digits.end());
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx != 0 || dy != 0) renderer.TextOut(dest, anchor.X + dx, anchor.Y + dy, text, 255, 255, 255);
    renderer.TextOut(dest, anchor.X, anchor.Y, text, 0, 102, 255);
}

// A scene is unlocked when its album flag SystemFlg[100 + scene] is set.
bool SceneUnlocked(const TForm1& f, int32_t scene) {
    const int32_t flag = 100 + scene;
    return scene > 0 && flag <= kVarCount && f.Sys->SystemFlg[size_t(flag - 1)] != 0;
}

// Plays the replay queue from SceneTbl[1].
void StartSceneReplay(TForm1& f) {
    f.StartScriptAt(f.Script.StartSceneQueue(), -1);
    // The menus used the button sheet; the game's window pictures come back.
    f.ReloadWindowPictures();
    f.NOVL_ClearReturnTbl();
    f.NOVL_ClearMsgLog();
    f.RollbackClear();
    f.NOVL_ClearScenarioFlg();
    if (f.Config.DetachedWindow)
        f.MsgForm.FormShow();
    else
        f.MsgForm.Hide();
    // A replay starts in auto mode with skipping allowed; StoryMode 0 makes the end of each
    // script play the next queued scene.
    f.Skip.StartSkipAndAuto();
    f.SetSystemFlag(kSystemSkip, true);
    f.StoryMode = false;
    f.EngineMode = Mode::Script;
}

}  // namespace

// [SECTION] album menu ------------------------------------------------------------------------

void TForm1::NOVL_DispAlbumMenu() {
    PictureSet& p = *Pics;
    NOVL_ReadGraphic2011(0, "SysAlbum.png");
    NOVL_ReadGraphic2011(51, "SysAlbumP.png");
    ClearCharacterLayerNames(Game);
    NOVL_CreateNextImage();
    for (int item = 1; item <= 4; ++item) {
        const Point src = AlbumButtonSource(item, false);
        p.ButtonSheet.DrawAlpha(kAlbumButtonX, AlbumButtonTop(item), kAlbumButtonW, kAlbumButtonH, src.X, src.Y,
                                p.NextPicture);
    }
    StartMenuTransition(*this, Mode::AlbumMenuWait);
    Input.ConsumeClick();
}

void TForm1::NOVL_WaitAlbumMenu() {
    Menus.MenuHover = AlbumMenuItemAt(Input.CursorMain);
    if (!Input.MouseLeftClick) return;
    Input.ConsumeClick();
    switch (Menus.MenuHover) {
        case 1:
            Menus.SaveMenuPage = 1;
            EngineMode = Mode::GalleryEnter;
            break;
        case 2:
            Menus.SaveMenuPage = 1;
            Script.ClearSceneQueue();
            EngineMode = Mode::SceneReplayEnter;
            break;
        case 3: EngineMode = Mode::MusicRoomEnter; break;
        case 4: EngineMode = Mode::TitleMenuEnter; break;
        default: break;
    }
}

void TForm1::NOVL_DrawAlbumMenu() {
    if (EngineMode != Mode::AlbumMenuWait) return;
    PictureSet& p = *Pics;
    for (int item = 1; item <= 4; ++item) {
        const Point src = AlbumButtonSource(item, Menus.MenuHover == item);
        p.ButtonSheet.DrawAlpha(kAlbumButtonX, AlbumButtonTop(item), kAlbumButtonW, kAlbumButtonH, src.X, src.Y,
                                p.BackBuffer);
    }
}

// [SECTION] music room ------------------------------------------------------------------------

void TForm1::NOVL_DispBgmMenu() {
    PictureSet& p = *Pics;
    NOVL_ReadGraphic2011(0, "SysBgm1.png");
    NOVL_ReadGraphic2011(51, "SysBgmP.png");
    ClearCharacterLayerNames(Game);
    NOVL_CreateNextImage();
    for (int track = 1; track <= kBgmTracks; ++track)
        p.ButtonSheet.DrawAlpha(kBgmRowX, BgmRowTop(track), kBgmRowW, kBgmRowH, BgmRowSourceX(false, false),
                                BgmRowSourceY(track), p.NextPicture);
    NOVL_PlayBGM2011("STOP", 1, false, 0);
    Menus.SaveMenuPage = 0;
    StartMenuTransition(*this, Mode::MusicRoomWait);
    Input.ConsumeClick();
}

void TForm1::NOVL_WaitBgmMenu() {
    Menus.MenuHover = BgmMenuItemAt(Input.CursorMain);
    if (!Input.MouseLeftClick) return;
    Input.ConsumeClick();
    switch (Menus.MenuHover) {
        case kBgmPrevious:
        case kBgmNext:
            Menus.SaveMenuPage = BgmStepTrack(Menus.SaveMenuPage, Menus.MenuHover == kBgmPrevious ? -1 : 1);
            // The new track's row shows as hovered in this frame, like a clicked row.
            Menus.MenuHover = Menus.SaveMenuPage;
            NOVL_PlayBGM2011(MusicTrackName(Menus.SaveMenuPage), 1, false, 1);
            break;
        case kBgmStop:
            Menus.SaveMenuPage = 0;
            NOVL_PlayBGM2011("STOP", 1, false, 1);
            break;
        case kMenuBack:
            // The title music comes back with the album menu.
            NOVL_PlayBGM2011("M01", 1, false, 1);
            EngineMode = Mode::AlbumMenuEnter;
            break;
        default:
            if (Menus.MenuHover >= 1 && Menus.MenuHover <= kBgmTracks) {
                Menus.SaveMenuPage = Menus.MenuHover;
                NOVL_PlayBGM2011(MusicTrackName(Menus.SaveMenuPage), 1, false, 1);
            }
            break;
    }
}

void TForm1::NOVL_DrawBgmMenu() {
    if (EngineMode != Mode::MusicRoomWait) return;
    PictureSet& p = *Pics;
    const TABitmap& sheet = p.ButtonSheet;
    for (int track = 1; track <= kBgmTracks; ++track)
        sheet.DrawAlpha(kBgmRowX, BgmRowTop(track), kBgmRowW, kBgmRowH,
                        BgmRowSourceX(Menus.SaveMenuPage == track, Menus.MenuHover == track), BgmRowSourceY(track), p.BackBuffer);
    for (const BgmControl& c : BgmControls())
        sheet.DrawAlpha(c.Screen.X, c.Screen.Y, c.W, c.H, Menus.MenuHover == c.Id ? c.HoverSheetX : c.SheetX,
                        kBgmControlSheetY, p.BackBuffer);
    if (Menus.SaveMenuPage >= 1 && Menus.SaveMenuPage <= kBgmTracks) {
        sheet.DrawAlpha(kBgmTitleAt.X, kBgmTitleAt.Y, kBgmTitleW, kBgmTitleH, 0, BgmTitleSourceY(Menus.SaveMenuPage),
                        p.BackBuffer);
        sheet.DrawAlpha(kBgmHeaderAt.X, kBgmHeaderAt.Y, kBgmHeaderW, kBgmHeaderH, 0, kBgmHeaderSheetY, p.BackBuffer);
    }
}

// [SECTION] picture gallery -------------------------------------------------------------------

void TForm1::NOVL_DispCgMenu() {
    PictureSet& p = *Pics;
    if (HasPageBackground(Menus.SaveMenuPage)) NOVL_ReadGraphic2011(0, "SysCgAlbum" + std::to_string(Menus.SaveMenuPage) + ".png");
    NOVL_ReadGraphic2011(51, "SysCgAlbumP.png");
    NOVL_CreateNextImage();
    // An item whose first picture has never been shown is covered.
    for (int item = 1; item <= kGridItems; ++item) {
        if (CheckMitayo(CgAlbumName(Album.CgAlbumData, Menus.SaveMenuPage, item, 1))) continue;
        const GridCell& cell = GridCellOf(item);
        p.ButtonSheet.DrawAlpha(cell.Thumb.X, cell.Thumb.Y, kThumbW, kThumbH, cell.Cover.X, cell.Cover.Y, p.NextPicture);
    }
    DrawAlbumPageButtons(*this, p.NextPicture, false);
    StartMenuTransition(*this, Mode::GalleryWait);
}

void TForm1::NOVL_WaitCgMenu() {
    Menus.MenuHover = GridMenuHover(Input.CursorMain, [this](int item) {
        return CheckMitayo(CgAlbumName(Album.CgAlbumData, Menus.SaveMenuPage, item, 1));
    });
    if (!Input.MouseLeftClick) return;
    Input.ConsumeClick();
    if (Menus.MenuHover >= 1 && Menus.MenuHover <= kGridItems) {
        Album.CgItem = Menus.MenuHover;
        Album.CgVariant = 1;
        EngineMode = Mode::GalleryViewEnter;
    } else {
        GridMenuPageOrBack(*this, Mode::GalleryEnter);
    }
}

void TForm1::NOVL_DrawCgMenu() {
    if (EngineMode == Mode::GalleryWait) DrawGridMenuHover(*this);
}

void TForm1::NOVL_DispCg() {
    NOVL_ReadGraphic2011(0, CgAlbumName(Album.CgAlbumData, Menus.SaveMenuPage, Album.CgItem, Album.CgVariant) + ".png");
    NOVL_CreateNextImage();
    StartMenuTransition(*this, Mode::GalleryViewWait);
}

void TForm1::NOVL_WaitCg() {
    if (!Input.MouseLeftClick) return;
    Input.ConsumeClick();
    // Further variants are shown whether or not the story has shown them.
    Album.CgVariant += 1;
    if (Album.CgVariant >= kCgVariants ||
        CgAlbumName(Album.CgAlbumData, Menus.SaveMenuPage, Album.CgItem, Album.CgVariant).empty())
        EngineMode = Mode::GalleryEnter;
    else
        EngineMode = Mode::GalleryViewEnter;
}

// [SECTION] scene replay ----------------------------------------------------------------------

void TForm1::NOVL_DispEvMenu() {
    PictureSet& p = *Pics;
    // The page is shared with the save menu, which a replay can open: back here, a page this
    // menu does not have starts again from the first.
    if (!HasPageBackground(Menus.SaveMenuPage)) Menus.SaveMenuPage = 1;
    if (HasPageBackground(Menus.SaveMenuPage)) NOVL_ReadGraphic2011(0, "SysEvAlbum" + std::to_string(Menus.SaveMenuPage) + ".png");
    NOVL_ReadGraphic2011(51, "SysEvAlbumP.png");
    // Queued scenes carry their place in the queue, written into the page background.
    for (int item = 1; item <= kGridItems; ++item) {
        const int32_t scene = EvAlbumScene(Album.EvAlbumData, Menus.SaveMenuPage, item);
        const int32_t index = scene != 0 ? GetSceneTbl(scene) : -1;
        if (index != -1) DrawQueueNumber(*this, p.LayerPicture[0], GridCellOf(item).Anchor, index);
    }
    NOVL_CreateNextImage();
    for (int item = 1; item <= kGridItems; ++item) {
        if (SceneUnlocked(*this, EvAlbumScene(Album.EvAlbumData, Menus.SaveMenuPage, item))) continue;
        const GridCell& cell = GridCellOf(item);
        p.ButtonSheet.DrawAlpha(cell.Thumb.X, cell.Thumb.Y, kThumbW, kThumbH, cell.Cover.X, cell.Cover.Y, p.NextPicture);
    }
    DrawAlbumPageButtons(*this, p.NextPicture, false);
    StartMenuTransition(*this, Mode::SceneReplayWait);
}

void TForm1::NOVL_WaitEvMenu() {
    Menus.MenuHover = GridMenuHover(Input.CursorMain, [this](int item) {
        return SceneUnlocked(*this, EvAlbumScene(Album.EvAlbumData, Menus.SaveMenuPage, item));
    });
    if (!Input.MouseLeftClick) return;
    Input.ConsumeClick();
    if (Menus.MenuHover >= 1 && Menus.MenuHover <= kGridItems) {
        // The first click queues a scene; a click on a queued scene plays the whole queue.
        const int32_t r = AddSceneTbl(EvAlbumScene(Album.EvAlbumData, Menus.SaveMenuPage, Menus.MenuHover));
        if (r == -1)
            StartSceneReplay(*this);
        else if (r >= 1 && r <= 100)
            DrawQueueNumber(*this, Pics->ScenePicture, GridCellOf(Menus.MenuHover).Anchor, r);
    } else {
        GridMenuPageOrBack(*this, Mode::SceneReplayEnter);
    }
}

void TForm1::NOVL_DrawEvMenu() {
    if (EngineMode == Mode::SceneReplayWait) DrawGridMenuHover(*this);
}


}  // namespace orva
