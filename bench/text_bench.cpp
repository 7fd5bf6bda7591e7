// Text benchmarks: composing a full message window's text layer (three lines of 26 characters
// and a name, drawn into the coverage mask, inverted and composed) with the renderer's glyph
// cache warm, beside FreeType rendering the same glyphs from their outlines each time.
// Names are "Operation/Size/implementation", as in the pixel benchmarks.
#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "graphics/font_names.h"
#include "graphics/text_render.h"
#include "text/message_layout.h"
#include "text/text_layers.h"
#include "platform/screen_layout.h"

namespace {

using namespace orva;

const std::u16string kMessage =
    u"美咲「朝の光がカーテンの隙間から差し込んでいる。今日は何をしようか、まだ決めていない。"
    u"海へ行くのもいいし、家で本を読むのもいい。どちらにしても、いい一日になりそうだ。」";

std::vector<PlacedText> Placed(const MessageLineSet& lines) {
    std::vector<PlacedText> placed;
    for (size_t k = 0; k < lines.size(); ++k) placed.push_back({lines[k], 32, 2 + 40 * static_cast<int>(k)});
    return placed;
}

void TextLayerOrva(benchmark::State& state) {
    TTextRenderer renderer;
    renderer.SetFont(kFontMincho, 28);
    const auto placed = Placed(LayoutMessage(kMessage));
    TABitmap colour(kScreenWidth, kMsgWindowHeight), mask, out;
    colour.FillColor(255, 255, 255);
    for (auto _ : state) {
        ComposeTextLayer(renderer, placed, colour, mask, out);
        benchmark::DoNotOptimize(out.Pixels());
    }
}
BENCHMARK(TextLayerOrva)->Name("TextLayer/800x184/orva")->Unit(benchmark::kMicrosecond);

// The same characters loaded and rasterised by FreeType every time, without drawing them.
void TextLayerFreeType(benchmark::State& state) {
    std::string file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("IPAMincho"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, file.c_str(), 0, &face)) {
        state.SkipWithError("font not found");
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, 28);
    const MessageLineSet lines = LayoutMessage(kMessage);
    for (auto _ : state)
        for (const auto& line : lines)
            for (char16_t c : line) {
                FT_Load_Char(face, c, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER);
                benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
            }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
BENCHMARK(TextLayerFreeType)->Name("TextLayer/800x184/freetype")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
