// The configuration menu on the main form (its entering and waiting modes). Every change
// takes effect at once: the screen mode, the volumes on the player's channels, the message
// window's pictures; ConfigRec reaches the disk with the system save file.
#include <cstdint>

#include "app/main_form.h"
#include "graphics/font_names.h"
#include "menus/config_menu.h"
#include "platform/screen_layout.h"

namespace orva {
void TForm1::NOVL_DispConfigMenu() {
    NOVL_ReadGraphic2011(71, "SysConfig.png");
    NOVL_ReadGraphic2011(72, "SysConfigP.png");
    Menus.SliderDrag = false;
    Menus.MenuHover = 0;
    EngineMode = Mode::ConfigMenuWait;
}

void TForm1::NOVL_WaitConfigMenu() {
    // A release ends the drag, but one that came with this frame's press still lets the
    // press set the value first (a quick tap must not leave the knob following the cursor).
    const bool released = Input.MouseLeftRelease;
    if (released) {
        Menus.SliderDrag = false;
        Input.ConsumeRelease();
    }
    const Point cursor = Input.CursorMain;
    Menus.MenuHover = ConfigHitTest(Config, cursor);

    bool pressed = false;
    if (Input.MouseLeftClick) {
        Input.ConsumeClick();
        pressed = true;
        ConfigMenuClick(Menus.MenuHover);
        if (EngineMode != Mode::ConfigMenuWait) return;
    }

    if (Menus.SliderDrag) {
        const int knob = Menus.SliderId;
        const int32_t v = SliderValueAt(knob, cursor.X);
        int16_t& setting = KnobSetting(Config, knob);
        if (v >= 0 && v != setting) {
            setting = static_cast<int16_t>(v);
            if (IsLeftSlider(knob)) SetSoundVolumes();
        }
        if (pressed && released) Menus.SliderDrag = false;
    }
}

void TForm1::ConfigMenuClick(int control) {
    switch (control) {
        case kCfgWindow:
            if (Config.ScreenMode == 1) {
                Config.ScreenMode = 0;
                ReturnFullModeWin();
            }
            break;
        case kCfgFullScreen:
            if (Config.ScreenMode == 0) {
                Config.ScreenMode = 1;
                FullModeWin();
            }
            break;
        case kCfgEffectsOn: Config.ScreenEffects = 1; break;
        case kCfgEffectsOff: Config.ScreenEffects = 0; break;
        case kCfgVoiceOn: Config.VoiceCarryOn = 1; break;
        case kCfgVoiceStops: Config.VoiceCarryOn = 0; break;
        case kCfgMincho: Config.MessageFont = 0; break;
        case kCfgGothic: Config.MessageFont = 1; break;
        case kCfgDesign0:
            if (Config.WindowColour == 1) SetWindowDesign(0);
            break;
        case kCfgDesign1:
            if (Config.WindowColour == 0) SetWindowDesign(1);
            break;
        case kCfgMusicKnob: case kCfgEffectKnob: case kCfgVoiceKnob:
        case kCfgSpeedKnob: case kCfgAutoKnob: case kCfgOpacityKnob:
            Menus.SliderDrag = true;
            Menus.SliderId = control;
            break;
        case kCfgDefaults: {
            const bool wasFull = Config.ScreenMode == 1, wasDesign1 = Config.WindowColour == 1;
            Config = WithDefaults(Config);
            if (wasFull) ReturnFullModeWin();
            SetSoundVolumes();
            if (wasDesign1) SetWindowDesign(0);
            break;
        }
        case kCfgTitle:
            if (ShowQuery(QueryStrip::Title)) ReturnToTitle();
            break;
        case kCfgQuit: OnCloseRequest(); break;
        case kCfgBack:
            // A waiting message is composed again so that a new font shows at once.
            if (PrevMode == Mode::MessageWait) NOVL_MakeMessage(MessageTextAt(Script.CurCmd.P1));
            EngineMode = PrevMode;
            break;
        default: break;
    }
}

void TForm1::SetWindowDesign(int design) {
    Config.WindowColour = static_cast<int16_t>(design);
    NOVL_ReadGraphic2011(10, design == 0 ? "SysMsgWinB.png" : "SysMsgWinG.png");
    PictureSet& p = *Pics;
    p.ButtonSheet.CopyRect(0, 0, kMsgWindowWidth, kMsgWindowHeight, 0, design == 0 ? 160 : 344, p.WindowBase);
}

void TForm1::NOVL_DrawConfigMenu() {
    if (EngineMode != Mode::ConfigMenuWait) return;
    PictureSet& p = *Pics;
    TABitmap& screen = p.MenuScreen;
    const int hover = Menus.MenuHover;
    p.MenuPicture.DrawAlpha(0, 0, kScreenWidth, kScreenHeight, 0, 0, screen);
    for (int k = 1; k <= 10; ++k) {
        const CfgRect r = ControlRect(k);
        const Point look = OptionLook(k, (OptionChosen(Config, k) ? 1 : 0) + (hover == k ? 2 : 0));
        p.MenuParts.DrawAlpha(r.X, r.Y, r.W, r.H, look.X, look.Y, screen);
    }
    for (int id : {kCfgDefaults, kCfgTitle, kCfgQuit, kCfgBack}) {
        const CfgRect r = ControlRect(id);
        const Point look = ButtonLook(id, hover == id);
        p.MenuParts.DrawAlpha(r.X, r.Y, r.W, r.H, look.X, look.Y, screen);
    }
    for (int knob = kCfgMusicKnob; knob <= kCfgOpacityKnob; ++knob) {
        const Point at = KnobPlace(Config, knob);
        const Point look = KnobLook(hover == knob);
        p.MenuParts.DrawAlpha(at.X, at.Y, 16, 32, look.X, look.Y, screen);
    }
    const Point preview = PreviewLook(Config.WindowColour == 0 ? 0 : 1);
    p.MenuParts.DrawAlphaOpacity(432, 408, kPreviewW, kPreviewH, preview.X, preview.Y, screen,
                                 static_cast<uint16_t>(OpacityFromPercent(Config.WindowOpacity)));
    TTextRenderer& text = TextRenderer();
    text.SetFont(MessageFontName(), 28);
    const std::u16string title(kProductTitle, kProductTitle + std::char_traits<char>::length(kProductTitle));
    text.TextOut(screen, 442, 450, title, 0, 0, 0);
    text.TextOut(screen, 440, 448, title, 255, 255, 255);
}

}  // namespace orva
