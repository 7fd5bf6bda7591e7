// Fuzz target: a PO catalog read through libgettextpo, then every translated entry substituted
// into a message and an answer and laid out as play lays it out.
#include "data/cp932.h"
#include "fuzz_common.h"
#include "text/latin_layout.h"
#include "text/shown_text.h"
#include "text/translation_catalog.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::Scratch() / "catalog.po";
    fuzz::WriteFile(file, {data, size});
    TTranslationCatalog catalog;
    std::string error;
    if (!catalog.Load(file, error)) return 0;
    // Widths that vary by character, so every break rule is reached.
    const MeasureText measure = [](std::u16string_view t) {
        int w = 0;
        for (char16_t c : t) w += 4 + c % 29;
        return w;
    };
    for (const CatalogEntry& e : catalog.Entries()) {
        const std::u16string id = Utf8ToUtf16(e.Id);
        const std::u16string shown = TranslateMessage(catalog, 1, 0, e.Context == "name" ? id + u"「x」" : id);
        LayoutShownMessage(shown, measure);
        LayoutShownMessage(MarkTranslated({true, true, Utf8ToUtf16(e.Context), Utf8ToUtf16(e.Str)}), measure);
        TranslateAnswer(catalog, 1, 0, 1, id);
    }
    return 0;
}
