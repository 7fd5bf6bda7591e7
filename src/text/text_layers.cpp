// Composition of text layers through an inverted coverage mask.
#include "text/text_layers.h"

namespace orva {

void ComposeTextLayer(TTextRenderer& renderer, const std::vector<PlacedText>& texts, const TABitmap& colour,
                      TABitmap& mask, TABitmap& out) {
    mask.SetSize32(colour.Width(), colour.Height());
    mask.FillColor(0, 0, 0);
    for (const PlacedText& t : texts)
        if (!t.Text.empty()) renderer.TextOut(mask, t.X, t.Y, t.Text, 255, 255, 255);
    TABitmap::InvertRect(0, 0, mask.Width(), mask.Height(), mask);
    colour.ComposeFromMask(mask, out);
}

}  // namespace orva
