// TTextRenderer: draws text onto a TABitmap the way the engine's canvas does, through FreeType
// with fonts found by fontconfig. Glyphs are rendered once per font, size and weight and kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "graphics/abitmap.h"

namespace orva {

class TTextRenderer {
public:
    TTextRenderer();
    ~TTextRenderer();
    TTextRenderer(const TTextRenderer&) = delete;
    TTextRenderer& operator=(const TTextRenderer&) = delete;

    // Selects the font of the following calls by its engine name ("ＭＳ 明朝", see font_names.h),
    // its cell height in pixels (the em size) and its weight. A font that is not installed is
    // replaced by another Japanese font, with one notice on stderr. False only when no font
    // file at all could be opened; drawing then does nothing.
    bool SetFont(std::string_view engineName, int height, bool bold = false);

    // Draws text with the top-left of its first character cell at (x, y): the baseline lies at
    // y + Ascent(). Each pixel's blue, green and red move towards the colour by the glyph's
    // 8-bit coverage; the transparency byte and all pixels outside the glyphs stay as they are.
    // Clipped to the picture.
    void TextOut(TABitmap& dest, int x, int y, std::u16string_view text, uint8_t r, uint8_t g, uint8_t b);

    // Width in pixels of the text's advances (unhinted, rounded once at the end).
    int TextWidth(std::u16string_view text);
    // Pixels from the cell's top to the baseline at the current size.
    int Ascent();
    // The file of the current font (empty when none could be opened).
    std::string FontFile() const;
    // The family name inside the current font file (empty when none could be opened).
    std::string FamilyName() const;
    // How many glyph images are kept.
    size_t CachedGlyphs() const;

private:
    struct Impl;
    std::unique_ptr<Impl> P;
};

}  // namespace orva
