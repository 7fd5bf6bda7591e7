// Text layers: a line of text turned into a picture whose colour comes from a colour picture
// and whose transparency is the text's coverage (opaque on the strokes, invisible around them).
#pragma once

#include <string>
#include <vector>

#include "graphics/abitmap.h"
#include "graphics/text_render.h"

namespace orva {

struct PlacedText {
    std::u16string Text;
    int X = 0, Y = 0;      // top-left of the first character cell
};

// out := colour's pixels with the transparency of the texts drawn in the renderer's current
// font: a mask of colour's size is cleared black, the texts are drawn on it in white, the mask
// is inverted, and its blue byte becomes out's transparency. `mask` is scratch space.
void ComposeTextLayer(TTextRenderer& renderer, const std::vector<PlacedText>& texts, const TABitmap& colour,
                      TABitmap& mask, TABitmap& out);

}  // namespace orva
