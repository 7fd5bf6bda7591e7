// Choices: NOVL_MakeSelect splits the answers and renders each once; NOVL_DrawSelect draws them
// as bars on the nine-slot grid; NOVL_WaitSelect (the choice wait mode) follows the cursor and takes
// the answer under it on a click or Return.
#include "app/main_form.h"
#include "data/cp932.h"
#include "graphics/font_names.h"
#include "text/shown_text.h"
#include "text/text_layers.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

constexpr int kBarWidth = kChoiceBarWidth, kBarHeight = kChoiceBarHeight;

}  // namespace

void TForm1::NOVL_MakeSelect(const std::u16string& text) {
    std::vector<std::u16string> answers = SplitChoices(text);
    if (answers.empty()) {
        // A choice without answers could never be left: offer one empty answer instead.
        DebugMemoAdd("choice without answers : message " + std::to_string(Text.MsgNo));
        answers.emplace_back();
    }
    // Answers are translated one by one, counted from 1, as the script's text splits.
    std::vector<bool> latin(answers.size(), false);
    for (size_t k = 0; k < answers.size(); ++k) {
        std::u16string shown = TranslateAnswer(Catalog, Game.ScriptNo, Text.MsgNo, static_cast<int>(k + 1), answers[k]);
        latin[k] = shown != answers[k] && IsLatinText(shown);
        answers[k] = std::move(shown);
    }
    for (auto& t : Msg.ChoiceTexts) t.clear();
    for (size_t k = 0; k < answers.size(); ++k) Msg.ChoiceTexts[k] = answers[k];
    Msg.ChoiceCount = static_cast<int32_t>(answers.size());

    if (Trace.Enabled()) {
        std::string json = "[";
        for (size_t k = 0; k < answers.size(); ++k) {
            if (k) json += ',';
            json += JsonString(Utf16ToUtf8(answers[k]));
        }
        Trace.Event("choice", TraceFields().Raw("answers", json + "]"));
    }

    if (Options.RenderOff) return;  // nothing is painted: the answers are not rendered
    TABitmap white(kBarWidth, kBarHeight), black(kBarWidth, kBarHeight), mask;
    white.FillColor(255, 255, 255);
    black.FillColor(0, 0, 0);
    TTextRenderer& renderer = TextRenderer();
    renderer.SetFont(MessageFontName(), kFontHeight);
    for (size_t k = 0; k < answers.size(); ++k) {
        // Centred on the assumption of 28 pixels per character; a translation in Latin type
        // is set in proportional type and centred by its own width.
        int x = 400 - 14 * static_cast<int>(answers[k].size());
        if (latin[k]) {
            renderer.SetFont(Config.MessageFont == 0 ? kFontPMincho : kFontPGothic, kFontHeight);
            x = 400 - renderer.TextWidth(answers[k]) / 2;
        } else {
            renderer.SetFont(MessageFontName(), kFontHeight);
        }
        ComposeTextLayer(renderer, {{answers[k], x, 6}}, white, mask, Pics->ChoiceRows[k][0]);
        ComposeTextLayer(renderer, {{answers[k], x + 2, 8}}, black, mask, Pics->ChoiceRows[k][1]);
    }
}

void TForm1::NOVL_DrawSelect() {
    if (EngineMode != Mode::ChoiceWait || !Text.ChoiceOnScreen || Options.RenderOff) return;
    PictureSet& p = *Pics;
    for (int i = 1; i <= Msg.ChoiceCount; ++i) {
        const int top = ChoiceBarTop(Msg.ChoiceCount, i);
        const TABitmap& bar = i == Msg.ChoiceHighlight ? p.ChoiceHighlightPicture : p.ChoiceWindowPicture;
        bar.DrawAlphaOpacity(0, top, kBarWidth, kBarHeight, 0, 0, p.BackBuffer, 255);
        const auto& rows = p.ChoiceRows[static_cast<size_t>(i - 1)];
        rows[1].DrawAlphaOpacity(0, top, kBarWidth, kBarHeight, 0, 0, p.BackBuffer, 255);
        rows[0].DrawAlphaOpacity(0, top, kBarWidth, kBarHeight, 0, 0, p.BackBuffer, 255);
    }
}

void TForm1::NOVL_WaitSelect() {
    if (!Text.ChoiceOnScreen) return;
    // Off the screen's sides the highlight stays as it was and nothing is chosen.
    int chosen = 0;
    if (Input.CursorMain.X >= 0 && Input.CursorMain.X < kScreenWidth) {
        chosen = ChoiceAtRow(Msg.ChoiceCount, Input.CursorMain.Y);
        Msg.ChoiceHighlight = chosen;
    }
    // There is no keyboard navigation: Return takes the answer under the cursor.
    if (chosen != 0 && (Input.KeyEnter || Input.MouseLeftClick)) {
        TakeChoice(chosen);
        return;
    }
    Input.DropAdvance();
}

void TForm1::TakeChoice(int answer) {
    if (answer < 1 || answer > Msg.ChoiceCount) return;
    WorkFlg[0] = static_cast<int16_t>(answer);
    Rollback.Answered(answer);
    if (Trace.Enabled()) Trace.Event("chosen", TraceFields().Int("n", answer));
    NOVL_AddMsgLog(u"【選択肢】/" + Msg.ChoiceTexts[static_cast<size_t>(answer - 1)], -1);
    EngineMode = Mode::Script;
    Msg.ResetBottomRowLooks();
    Input.Consume();
}

}  // namespace orva
