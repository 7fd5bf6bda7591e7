// The restore mode: after a slot was copied into GameRec, rebuild the window
// pictures, the layers, the music and the script, then fade the scene in and let the script
// run the interrupted line again.
#include <cstring>

#include "app/main_form.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

std::string LayerFile(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

void TForm1::ReadGameLayers() {
    TABitmap& background = Pics->LayerPicture[0];
    background.SetSize32(kScreenWidth, kScreenHeight);
    background.FillColor(0, 0, 0);
    // An empty background name leaves the layer black (no file is asked for).
    const std::string bg = LayerFile(Game.BgLayerName, sizeof Game.BgLayerName);
    if (!bg.empty()) NOVL_ReadGraphic2011(0, bg + ".png");
    for (int s = 1; s <= 5; ++s) {
        const std::string name = LayerFile(Game.LayerName[s - 1], sizeof Game.LayerName[0]);
        if (!name.empty()) NOVL_ReadGraphic2011(s, name + ".png");
    }
}

void TForm1::ReloadWindowPictures() {
    NOVL_ReadGraphic2011(10, Config.WindowColour == 0 ? "SysMsgWinB.png" : "SysMsgWinG.png");
    NOVL_ReadGraphic2011(51, "SysMsgWinP.png");
    NOVL_ReadGraphic2011(52, "SysSelWin.png");
    NOVL_ReadGraphic2011(53, "SysSelWinH.png");
}

void TForm1::NOVL_RestoreGame() {
    StoryMode = true;
    Msg.ResetButtonLooks();

    ReloadWindowPictures();

    // The message or choice that was showing belongs to the game left behind; the restored
    // game shows its own when its line runs again.
    Text.Clear();

    ReadGameLayers();

    // The saved music always starts anew with a 3-second cross-fade, whatever plays now.
    const std::string music = LayerFile(Game.MusicName, sizeof Game.MusicName);
    if (!music.empty()) NOVL_PlayBGM2011(music, 3, true, Game.MusicLoop);

    NOVL_CreateNextImage();
    // ScriptStep comes from the slot unchanged (already stepped back by the loader).
    if (Game.ScriptNo != 0) StartScriptAt(Game.ScriptNo, Game.ScriptStep);

    FadeInto(Mode::Script, 500);
}

}  // namespace orva
