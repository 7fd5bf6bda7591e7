// The text a message shows: the script's own text, or a translation of its name and text.
// A translated message travels (into the log, back into the window) as one string that keeps
// the split between name and text, since a translation need not keep the "「" that marks it.
#pragma once

#include <string>
#include <string_view>

namespace orva {

class TTranslationCatalog;

// Starts a translated message's string and separates its name from its text. The script's
// own texts never hold it (a control character the window could not show).
inline constexpr char16_t kTranslatedMark = u'\x1F';

struct ShownText {
    bool Translated = false;   // the string carries a translation (name, text or both)
    bool Spoken = false;       // it has a name part (possibly empty), as a line with "「" has
    std::u16string Name;       // the speaker's name; empty for narration
    std::u16string Body;       // the text: from the "「" on in the script's own form
};

// The name part and the text of a script's message, split as the window splits it: before
// the first "「" the name, from it on the text; without "「" all text.
ShownText SplitScriptMessage(std::u16string_view text);
// Reads a shown string (a script's text, or one made by MarkTranslated).
ShownText ParseShownText(std::u16string_view text);
// The string of a translated message.
std::u16string MarkTranslated(const ShownText& text);
// What a person reads of a shown string: the name and the text, without the mark.
std::u16string PlainShownText(std::u16string_view text);

// The script's message `text` (UTF-16 of its CP932) under the catalog: the translated name and
// text where the catalog has them. Returns the text unchanged when nothing is translated.
std::u16string TranslateMessage(const TTranslationCatalog& catalog, int script, int msgNo, std::u16string_view text);
// The translation of answer `answer` (1-based) of choice text `msgNo`, or the answer itself.
std::u16string TranslateAnswer(const TTranslationCatalog& catalog, int script, int msgNo, int answer,
                               std::u16string_view text);

// True for kana, kanji, CJK punctuation and full-width forms: characters that are laid out
// in the Japanese way (a cell each).
bool IsJapaneseChar(char16_t c);
bool HasJapanese(std::u16string_view text);
// A translated text that holds no kana and no full-width forms is laid out in proportional
// type with breaks at spaces (a name or a word in kanji may remain in it).
bool IsLatinText(std::u16string_view text);

}  // namespace orva
