// NOVL_MakeMessage: lays a message out and renders it once into the text and shadow layers,
// which the printing then reveals by clipping.
#include "app/main_form.h"
#include "data/cp932.h"
#include "graphics/font_names.h"
#include "text/latin_layout.h"
#include "text/shown_text.h"
#include "text/text_layers.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

constexpr int kLayerWidth = kMsgWindowWidth, kLayerHeight = kMsgWindowHeight;
constexpr int kShadowOffset = 2;

std::vector<PlacedText> PlaceLines(const MessageLineSet& lines, int offset) {
    std::vector<PlacedText> placed;
    for (size_t k = 0; k < lines.size(); ++k)
        placed.push_back({lines[k], kTextLeft + offset, kTextBandTop + kTextBandHeight * static_cast<int>(k) + offset});
    return placed;
}

}  // namespace

TTextRenderer& TForm1::TextRenderer() {
    if (!TextRender) TextRender = std::make_unique<TTextRenderer>();
    return *TextRender;
}

std::string_view TForm1::MessageFontName() const { return Config.MessageFont == 0 ? kFontMincho : kFontGothic; }

void TForm1::NOVL_MakeMessage(const std::u16string& text) {
    // A translation in Latin type is set in the proportional cut of the chosen font and broken
    // by its widths; everything else keeps the Japanese cells.
    const bool proportional = UsesProportionalLayout(text);
    const std::string_view font = !proportional ? MessageFontName() : Config.MessageFont == 0 ? kFontPMincho : kFontPGothic;
    ShownLayout layout = LayoutShownMessage(text, [this, font](std::u16string_view t) {
        TTextRenderer& r = TextRenderer();
        r.SetFont(font, kFontHeight);
        return r.TextWidth(t);
    });
    MessageLineSet& lines = Msg.MessageLines;
    lines = std::move(layout.Lines);
    Msg.LineCharEnds = std::move(layout.CharEnds);

    if (Trace.Enabled()) {
        std::string json = "[";
        for (size_t k = 0; k < lines.size(); ++k) {
            if (k) json += ',';
            json += JsonString(Utf16ToUtf8(lines[k]));
        }
        Trace.Event("message", TraceFields().Int("no", Text.MsgNo).Raw("lines", json + "]"));
    }
    // A fast skip passes the message without showing it, and a run without painting shows
    // nothing: nothing is rendered.
    if (Skip.FastSkip || Options.RenderOff) return;

    TABitmap colour(kLayerWidth, kLayerHeight), shadowColour(kLayerWidth, kLayerHeight), mask;
    if (Text.LogReview) {
        colour.FillColor(192, 192, 192);
    } else {
        colour.FillColor(255, 255, 255);
        colour.FillRect(0, 0, kLayerWidth, 30, 255, 192, 96);  // the name's band
    }
    shadowColour.FillColor(0, 0, 0);

    TTextRenderer& renderer = TextRenderer();
    renderer.SetFont(font, kFontHeight);
    ComposeTextLayer(renderer, PlaceLines(lines, 0), colour, mask, Pics->TextLayer);
    ComposeTextLayer(renderer, PlaceLines(lines, kShadowOffset), shadowColour, mask, Pics->ShadowLayer);
}

}  // namespace orva
