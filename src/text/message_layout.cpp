// Line breaking of messages and splitting of choices.
#include "text/message_layout.h"

namespace orva {
namespace {

bool In(std::u16string_view set, char16_t c) { return set.find(c) != std::u16string_view::npos; }

// The first slot (1-based) that a set of n answers uses: slot 5 is the centre.
int FirstSlot(int count) { return 5 - count / 2; }

}  // namespace

MessageLineSet LayoutMessage(std::u16string_view source) {
    size_t dropped = 0;
    return LayoutMessage(source, dropped);
}

MessageLineSet LayoutMessage(std::u16string_view source, size_t& dropped) {
    const size_t quote = source.find(u'「');
    if (quote == std::u16string_view::npos) return LayoutMessageParts({}, source, false, dropped);
    return LayoutMessageParts(source.substr(0, quote), source.substr(quote), true, dropped);
}

MessageLineSet LayoutMessageParts(std::u16string_view name, std::u16string_view body, bool speaker, size_t& dropped) {
    MessageLineSet lines;
    std::u16string text;
    text.reserve(body.size());
    for (char16_t c : body)
        if (c != u'①') text += c;
    for (char16_t c : name)
        if (c != u'①') lines[0] += c;

    size_t pos = 0;  // front of the remaining text
    for (int i = 1; i <= kTextLines && pos < text.size(); ++i) {
        std::u16string& line = lines[static_cast<size_t>(i)];
        bool forced = false;
        while (line.size() < static_cast<size_t>(kLineChars) && pos < text.size()) {
            const char16_t c = text[pos++];
            if (c == u'/') {
                forced = true;
                break;
            }
            line += c;
        }
        if (line.size() == static_cast<size_t>(kLineChars) && In(kLineEndForbidden, line.back())) {
            line.pop_back();
            --pos;
        }
        // A slash right after a full line is that line's break, not an empty line of its own;
        // the same holds after the character that hangs at the end of a full line.
        const auto slashBreak = [&] {
            if (forced || line.size() < static_cast<size_t>(kLineChars) || pos >= text.size() || text[pos] != u'/')
                return;
            ++pos;
            forced = true;
        };
        slashBreak();
        if (!forced && pos < text.size() && In(kLineStartForbidden, text[pos])) {
            line += text[pos++];
            slashBreak();
        }
        if (speaker && pos < text.size()) text.insert(pos, 1, u'　');
    }
    // What is left, without the indent the next line would have begun with.
    dropped = text.size() - pos;
    if (dropped > 0 && speaker) --dropped;
    return lines;
}

std::vector<std::u16string> SplitChoices(std::u16string_view text) { return SplitChoices(text, kMaxChoices); }

std::vector<std::u16string> SplitChoices(std::u16string_view text, size_t maxAnswers) {
    std::vector<std::u16string> answers;
    size_t pos = 0;
    while (pos < text.size() && answers.size() < maxAnswers) {
        std::u16string answer;
        for (int n = 0; n < kChoiceChars && pos < text.size(); ++n) {
            const char16_t c = text[pos++];
            if (c == u',') break;
            answer += c;
        }
        answers.push_back(std::move(answer));
    }
    return answers;
}

int ChoiceBarTop(int count, int i) { return 40 + 60 * (FirstSlot(count) - 1 + i - 1); }

int ChoiceAtRow(int count, int y) {
    if (y < 40) return 0;
    const int slot = (y - 40) / 60 + 1;
    if (slot > kMaxChoices || (y - 40) % 60 >= 40) return 0;
    const int i = slot - FirstSlot(count) + 1;
    return i >= 1 && i <= count ? i : 0;
}

}  // namespace orva
