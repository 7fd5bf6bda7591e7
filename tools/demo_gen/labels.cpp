// Label drawing over the engine's text renderer.
#include "labels.h"

#include "data/cp932.h"
#include "graphics/font_names.h"
#include "graphics/text_render.h"

namespace orva::demo {
namespace {

TTextRenderer& Renderer() {
    static TTextRenderer renderer;
    return renderer;
}

// The renderer writes colour only; the label is drawn white on a black scratch picture and
// its coverage then blended in, so labels on transparent sheet areas become opaque.
void TextOpaque(TABitmap& pic, int x, int y, std::u16string_view text, int height, Rgb c) {
    constexpr int kPad = 4;
    TABitmap cover(Renderer().TextWidth(text) + 2 * kPad + height / 2, height + 2 * kPad);
    cover.FillColor(0, 0, 0);
    Renderer().TextOut(cover, kPad, kPad, text, 255, 255, 255);
    for (int py = 0; py < cover.Height(); ++py) {
        const uint8_t* m = cover.Row(py);
        for (int px = 0; px < cover.Width(); ++px)
            if (m[px * 4]) Blend(pic, x - kPad + px, y - kPad + py, c, m[px * 4] / 255.0);
    }
}

}  // namespace

void DrawLabel(TABitmap& pic, int x, int y, int w, int h, std::string_view text, const LabelStyle& style) {
    TTextRenderer& r = Renderer();
    r.SetFont(style.Mincho ? kFontMincho : kFontGothic, style.Height, style.Bold);
    const std::u16string u = Utf8ToUtf16(text);
    const int tw = r.TextWidth(u);
    const int tx = style.Alignment == Align::Centre ? x + (w - tw) / 2 : x;
    const int ty = y + (h - style.Height) / 2;
    if (style.Shadow) TextOpaque(pic, tx + 1, ty + 1, u, style.Height, style.ShadowColour);
    TextOpaque(pic, tx, ty, u, style.Height, style.Colour);
}

}  // namespace orva::demo
