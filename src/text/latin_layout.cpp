// Proportional line breaking of translated messages.
#include "text/latin_layout.h"

#include <string>

#include "text/shown_text.h"

namespace orva {
namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }
bool IsHyphen(char16_t c) { return c == u'-' || c == u'\u2010' || c == u'\u2013' || c == u'\u2014'; }

// A line may end between text[i - 1] and text[i] (i > 0).
bool BreakBefore(std::u16string_view text, size_t i) {
    const char16_t a = text[i - 1], b = text[i];
    if (IsSpace(a) && !IsSpace(b)) return true;
    if (IsHyphen(a) && !IsSpace(b)) return true;
    // Between CJK characters, not before the punctuation that may not begin a line.
    return (IsJapaneseChar(a) || IsJapaneseChar(b)) && !IsSpace(b) &&
           kLineStartForbidden.find(b) == std::u16string_view::npos &&
           kLineEndForbidden.find(a) == std::u16string_view::npos;
}

std::u16string_view TrimEnd(std::u16string_view s) {
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

ShownLayout LayoutLatinMessage(std::u16string_view name, std::u16string_view body, const MeasureText& measure,
                               int width) {
    ShownLayout out;
    out.Proportional = true;
    for (char16_t c : name)
        if (c != u'①') out.Lines[0] += c;
    std::u16string text;
    for (char16_t c : body)
        if (c != u'①') text += c;

    size_t pos = 0;
    for (int k = 1; k <= kTextLines && pos < text.size(); ++k) {
        // A line that follows a break at spaces begins with the next word.
        while (pos < text.size() && IsSpace(text[pos])) ++pos;
        size_t end = pos, next = pos;   // the line is [pos, end); the next begins at next
        size_t lastBreak = 0;           // the latest break opportunity inside the line (0: none)
        bool forced = false;
        for (size_t j = pos; j < text.size(); ++j) {
            if (text[j] == u'/') {
                end = j;
                next = j + 1;
                forced = true;
                break;
            }
            if (j > pos && BreakBefore(text, j)) lastBreak = j;
            if (!IsSpace(text[j]) && measure(std::u16string_view(text).substr(pos, j + 1 - pos)) > width && j > pos) {
                const size_t cut = lastBreak > pos ? lastBreak : j;
                end = next = cut;
                forced = true;
                break;
            }
        }
        if (!forced) end = next = text.size();
        std::u16string_view line = TrimEnd(std::u16string_view(text).substr(pos, end - pos));
        out.Lines[static_cast<size_t>(k)] = line;
        pos = next;
    }
    while (pos < text.size() && (IsSpace(text[pos]) || text[pos] == u'/')) ++pos;
    for (size_t i = pos; i < text.size(); ++i)
        if (!IsSpace(text[i]) && text[i] != u'/') ++out.Dropped;

    for (size_t k = 0; k < out.Lines.size(); ++k) {
        const std::u16string& line = out.Lines[k];
        for (size_t i = 0; i < line.size(); ++i) out.CharEnds[k].push_back(measure(std::u16string_view(line).substr(0, i + 1)));
    }
    return out;
}

bool UsesProportionalLayout(std::u16string_view shown) {
    const ShownText parsed = ParseShownText(shown);
    return parsed.Translated && IsLatinText(parsed.Body);
}

ShownLayout LayoutShownMessage(std::u16string_view shown, const MeasureText& measure) {
    const ShownText parsed = ParseShownText(shown);
    if (parsed.Translated && IsLatinText(parsed.Body)) return LayoutLatinMessage(parsed.Name, parsed.Body, measure);
    ShownLayout out;
    out.Lines = parsed.Translated ? LayoutMessageParts(parsed.Name, parsed.Body, parsed.Spoken, out.Dropped)
                                  : LayoutMessage(shown, out.Dropped);
    return out;
}

}  // namespace orva
