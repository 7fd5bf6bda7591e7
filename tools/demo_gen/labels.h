// Button and menu labels: Japanese text drawn onto the demo's pictures with the engine's own
// text renderer, so the labels use the same fonts the game prints its messages in.
#pragma once

#include <string_view>

#include "graphics/abitmap.h"
#include "paint.h"

namespace orva::demo {

enum class Align { Left, Centre };

struct LabelStyle {
    int Height = 16;              // cell height in pixels
    bool Bold = false;
    bool Mincho = false;          // the message font "ＭＳ 明朝" instead of the Gothic one
    Rgb Colour{255, 255, 255};
    bool Shadow = false;          // a soft dark copy one pixel down and right first
    Rgb ShadowColour{0, 0, 0};
    Align Alignment = Align::Centre;
};

// Draws text (UTF-8) in the box (x, y, w, h): centred or left-aligned horizontally, centred
// vertically on the cell. Pixels the glyphs cover become opaque in their colour mix.
void DrawLabel(TABitmap& pic, int x, int y, int w, int h, std::string_view text, const LabelStyle& style);

}  // namespace orva::demo
