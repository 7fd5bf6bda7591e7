// The main form's translation: the catalog read at start-up, and the script's message texts
// as they are shown under it.
#include <iostream>

#include "app/main_form.h"
#include "data/cp932.h"
#include "text/shown_text.h"

namespace orva {

void TForm1::LoadTranslation() {
    if (Options.TranslationFile.empty()) return;
    std::string error;
    // A catalog that cannot be read leaves the game's own text; the game folder is only read.
    if (!Catalog.Load(Options.TranslationFile, error))
        std::cerr << "orva: " << error << " (the original text is shown)\n";
}

std::u16string TForm1::MessageTextAt(int32_t no) {
    if (no < 0 || static_cast<size_t>(no) >= Script.MsgTexts.size()) return {};
    return TranslateMessage(Catalog, Game.ScriptNo, no, Cp932ToUtf16(Script.MsgTexts[static_cast<size_t>(no)]));
}

}  // namespace orva
