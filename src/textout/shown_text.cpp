// Joining a laid-out message into one line.
#include "textout/shown_text.h"

namespace orva {
namespace {

constexpr char16_t kOpenQuote = u'「';
constexpr char16_t kIndent = u'　';

// Characters below the CJK blocks that are not spaces: the letters, digits and punctuation of
// scripts that put spaces between words.
bool SpacedScript(char16_t c) { return c < 0x2E80 && c != u' ' && c != u'\t' && c != u'\n'; }

}  // namespace

std::u16string JoinShownLines(const MessageLineSet& lines) {
    std::u16string out = lines[0];
    // A spoken text's first line begins with "「"; its continuation lines carry the indent.
    const bool spoken = !lines[1].empty() && lines[1].front() == kOpenQuote;
    std::u16string text;
    for (size_t k = 1; k < lines.size(); ++k) {
        std::u16string_view line = lines[k];
        if (k > 1 && spoken && !line.empty() && line.front() == kIndent) line.remove_prefix(1);
        if (line.empty()) continue;
        // A line broken after a hyphen joins up again without a space.
        if (!text.empty() && SpacedScript(text.back()) && text.back() != u'-' && SpacedScript(line.front()))
            text += u' ';
        text += line;
    }
    // A name in a spaced script stands apart from its text, as a Japanese name needs not.
    if (!out.empty() && !text.empty() && SpacedScript(out.back()) && SpacedScript(text.front())) out += u' ';
    return out + text;
}

}  // namespace orva
