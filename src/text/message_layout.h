// Message layout: the speaker's name cut off the text and the rest broken into at most three
// lines under the Japanese line-breaking rules; choice texts split into their answers; the
// geometry of the choice bars.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

inline constexpr int kLineChars = 25;      // characters per line (one more may hang)
inline constexpr int kTextLines = 3;       // text lines below the name
inline constexpr int kMaxChoices = 9;      // answers of one choice
inline constexpr int kChoiceChars = 31;    // characters per answer before it runs on

// Characters that may not begin a line (one of them hangs at the end of a full line instead)
// and characters that may not end one.
inline constexpr std::u16string_view kLineStartForbidden =
    u"、。，．：；！？ーぁぃぅぇぉっゃゅょんァィゥェォッャュョンヵヶ）」』】";
inline constexpr std::u16string_view kLineEndForbidden = u"（「『【";

// Line 0 the speaker's name (empty for narration), lines 1 to 3 the text.
using MessageLineSet = std::array<std::u16string, 1 + kTextLines>;

// Lays a message out. "①" is dropped everywhere; everything before the first "「" is the
// speaker's name and continuation lines of a spoken text are indented by "　"; "/" forces a
// line break; text beyond the third line is dropped.
MessageLineSet LayoutMessage(std::u16string_view text);
// The same, also counting the characters that did not fit into the three lines ("/" counted
// as a character), so that a check can find messages that lose text.
MessageLineSet LayoutMessage(std::u16string_view text, size_t& dropped);
// The same for a message already split into its name and text (`speaker`: the text is spoken,
// so its continuation lines are indented), as a translation gives them.
MessageLineSet LayoutMessageParts(std::u16string_view name, std::u16string_view body, bool speaker, size_t& dropped);

// Splits a choice text into its answers: "," ends an answer, an answer holds at most 31
// characters (longer ones run on into the next), at most nine answers are kept.
std::vector<std::u16string> SplitChoices(std::u16string_view text);
// The same split keeping up to maxAnswers answers (a check counts what the ninth would drop).
std::vector<std::u16string> SplitChoices(std::u16string_view text, size_t maxAnswers);

// Top row of answer i (1-based) of n answers: the bars sit on nine slots 60 pixels apart,
// centred on the fifth (top 280).
int ChoiceBarTop(int count, int i);
// The answer (1-based) whose bar covers screen row y, or 0 for none.
int ChoiceAtRow(int count, int y);

}  // namespace orva
