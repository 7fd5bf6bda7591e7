// Shown message strings and the substitution of translations into them.
#include "text/shown_text.h"

#include "data/cp932.h"
#include "text/translation_catalog.h"

namespace orva {

ShownText SplitScriptMessage(std::u16string_view text) {
    ShownText out;
    const size_t quote = text.find(u'「');
    if (quote == std::u16string_view::npos) {
        out.Body = text;
        return out;
    }
    out.Spoken = true;
    out.Name = text.substr(0, quote);
    out.Body = text.substr(quote);
    return out;
}

ShownText ParseShownText(std::u16string_view text) {
    if (text.empty() || text.front() != kTranslatedMark) return SplitScriptMessage(text);
    ShownText out;
    out.Translated = true;
    text.remove_prefix(1);
    const size_t mark = text.find(kTranslatedMark);
    if (mark == std::u16string_view::npos) {
        out.Body = text;
    } else {
        out.Spoken = true;
        out.Name = text.substr(0, mark);
        out.Body = text.substr(mark + 1);
    }
    return out;
}

std::u16string MarkTranslated(const ShownText& text) {
    std::u16string out(1, kTranslatedMark);
    if (text.Spoken) out += text.Name + kTranslatedMark;
    return out + text.Body;
}

std::u16string PlainShownText(std::u16string_view text) {
    const ShownText shown = ParseShownText(text);
    if (!shown.Translated) return std::u16string(text);
    return shown.Spoken && !shown.Name.empty() ? shown.Name + u" " + shown.Body : shown.Body;
}

std::u16string TranslateMessage(const TTranslationCatalog& catalog, int script, int msgNo, std::u16string_view text) {
    if (catalog.Empty()) return std::u16string(text);
    ShownText shown = SplitScriptMessage(text);
    const std::string* body = catalog.Find(MessageContext(script, msgNo), Utf16ToUtf8(shown.Body));
    const std::string* name = shown.Spoken && !shown.Name.empty() ? catalog.Find(kNameContext, Utf16ToUtf8(shown.Name)) : nullptr;
    if (!body && !name) return std::u16string(text);
    if (body) shown.Body = Utf8ToUtf16(*body);
    if (name) shown.Name = Utf8ToUtf16(*name);
    shown.Translated = true;
    return MarkTranslated(shown);
}

std::u16string TranslateAnswer(const TTranslationCatalog& catalog, int script, int msgNo, int answer,
                               std::u16string_view text) {
    if (catalog.Empty()) return std::u16string(text);
    const std::string* str = catalog.Find(AnswerContext(script, msgNo, answer), Utf16ToUtf8(text));
    return str ? Utf8ToUtf16(*str) : std::u16string(text);
}

bool IsJapaneseChar(char16_t c) {
    return (c >= 0x3000 && c <= 0x30FF) ||   // CJK punctuation, hiragana, katakana
           (c >= 0x3400 && c <= 0x4DBF) ||   // kanji, extension A
           (c >= 0x4E00 && c <= 0x9FFF) ||   // kanji
           (c >= 0xF900 && c <= 0xFAFF) ||   // compatibility kanji
           (c >= 0xFF00 && c <= 0xFFEF) ||   // full-width and half-width forms
           (c >= 0xD800 && c <= 0xDFFF);     // kanji beyond the basic plane
}

bool HasJapanese(std::u16string_view text) {
    for (char16_t c : text)
        if (IsJapaneseChar(c)) return true;
    return false;
}

bool IsLatinText(std::u16string_view text) {
    for (char16_t c : text) {
        const bool kanji = (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF);
        if (IsJapaneseChar(c) && !kanji && c != u'①') return false;
    }
    return true;
}

}  // namespace orva
