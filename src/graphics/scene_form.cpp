// The main form's picture routines: loading a PNG into a picture slot, composing the next
// scene from the layers recorded in GameRec, and the two screen transitions.
#include <cstring>
#include <iostream>
#include <utility>

#include "app/main_form.h"
#include "data/cp932.h"
#include "graphics/png_load.h"
#include "graphics/scene_compose.h"

namespace orva {
namespace {

// The picture a slot loads into, and how; null for a slot that has no picture (the file is
// still read and decoded, then dropped).
TABitmap* SlotTarget(PictureSet& p, int slot, SlotFill& fill) {
    fill = slot == 0 ? SlotFill::Colours : SlotFill::WithMask;
    if (slot >= 0 && slot <= kCharacterLayers) return &p.LayerPicture[static_cast<size_t>(slot)];
    switch (slot) {
        case 10: return &p.MsgWinPicture;
        case 51: return &p.ButtonSheet;
        case 52: return &p.ChoiceWindowPicture;
        case 53: return &p.ChoiceHighlightPicture;
        case 71: return &p.MenuPicture;
        case 72: return &p.MenuParts;
        default: return nullptr;
    }
}

// A layer name is shown when its fixed field holds at least one byte before the terminator.
bool LayerShown(const char (&name)[32]) { return name[0] != '\0'; }

}  // namespace

void TForm1::NOVL_ReadGraphic2011(int slot, const std::string& fileName) {
    TMemoryStream stream;
    bool ok = false;
    if (Options.RenderOff) {
        // Nothing is painted: the picture is looked up, not decoded.
        ok = CSFile_Read(fileName, stream);
    } else if (CSFile_Read(fileName, stream)) {
        TABitmap decoded;
        bool hasAlpha = false;
        std::string error;
        // A damaged or oversized file is treated like a missing one: the target keeps what it
        // showed and the game goes on.
        if (DecodePng(stream.View(), decoded, hasAlpha, error)) {
            SlotFill fill;
            if (TABitmap* target = SlotTarget(*Pics, slot, fill)) {
                *target = std::move(decoded);  // the decoded pixels become the slot's, uncopied
                FillSlotPicture(*target, hasAlpha, fill, *target);
            }
            ok = true;
        } else {
            std::cerr << "orva: " << Cp932ToUtf8(fileName) << ": " << error << "\n";
        }
    }
    if (!ok) DebugMemoAdd("read error : " + fileName);
    // The name's conversion is only paid for when a trace is written.
    if (Trace.Enabled())
        Trace.Event("picture", TraceFields().Int("slot", slot).Str("name", Cp932ToUtf8(fileName)).Bool("ok", ok));
}

void TForm1::NOVL_CreateNextImage() {
    if (Options.RenderOff) return;  // nothing is painted: no scene is composed
    PictureSet& p = *Pics;
    std::array<SceneLayer, kCharacterLayers> layers;
    for (int s = 0; s < kCharacterLayers; ++s) {
        SceneLayer& layer = layers[static_cast<size_t>(s)];
        if (!LayerShown(Game.LayerName[s])) continue;
        layer.Picture = &p.LayerPicture[static_cast<size_t>(s) + 1];
        layer.X = Game.LayerPos[s][0];
        layer.Y = Game.LayerPos[s][1];
        layer.Opacity = Game.LayerAlpha[s];
    }
    ComposeScene(p.LayerPicture[0], layers, p.NextPicture);
}

void TForm1::NOVL_DispEffect_01() {
    PictureSet& p = *Pics;
    // Skipping, or screen effects switched off, cuts the script's transitions at once.
    if (Skip.SkipActive || Config.ScreenEffects == 0) {
        p.NextPicture.CopyRect(0, 0, kSceneWidth, kSceneHeight, 0, 0, p.ScenePicture);
        EngineMode = Mode::Script;
        return;
    }
    if (FadeStep(p.ScenePicture, p.NextPicture, Timing.TransStart, Timing.TransLength, Timing.TransEnd, Plat.Ticks()))
        EngineMode = Mode::Script;
}

void TForm1::NOVL_DispEffect_91() {
    PictureSet& p = *Pics;
    if (FadeStep(p.ScenePicture, p.NextPicture, Timing.TransStart, Timing.TransLength, Timing.TransEnd, Plat.Ticks()))
        EngineMode = PrevMode;
}

}  // namespace orva
