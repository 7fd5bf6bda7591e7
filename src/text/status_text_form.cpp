// The status line: a short notice in the screen's top-left corner, drawn on every frame while
// it lives.
#include "app/main_form.h"
#include "graphics/font_names.h"

namespace orva {

void TForm1::DrawStatusText() {
    TTextRenderer& renderer = TextRenderer();
    renderer.SetFont(kFontGothic, 14);
    // A one-pixel black shadow under green text keeps it readable on any scene.
    renderer.TextOut(Pics->BackBuffer, 17, 17, Timing.StatusText, 0, 0, 0);
    renderer.TextOut(Pics->BackBuffer, 16, 16, Timing.StatusText, 0, 255, 0);
}

}  // namespace orva
