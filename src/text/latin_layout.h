// Layout of translated text that is not Japanese: proportional type broken at spaces (and after
// hyphens, and between CJK characters) to the width of the Japanese lines, three lines under
// the name; and the choice between that layout and the Japanese one for any shown string.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "text/message_layout.h"

namespace orva {

// Width in pixels of a text in the font the layout is for.
using MeasureText = std::function<int(std::u16string_view)>;

inline constexpr int kLatinLineWidth = 25 * 28;  // the width of a line of 25 full-width cells

struct ShownLayout {
    MessageLineSet Lines;                               // 0 the name, 1..3 the text
    std::array<std::vector<int>, 1 + kTextLines> CharEnds;  // proportional: pixel end of each character from the line's left; empty for the Japanese layout
    bool Proportional = false;                          // drawn in proportional type
    size_t Dropped = 0;                                 // characters past the third line
};

// Breaks a translated text into at most three lines no wider than `width`: a line breaks after
// a space (the spaces at the break are not shown), after a hyphen or between two characters of
// which one is a CJK character; a word longer than a line is cut where it overflows. "/" forces
// a break and "①" is dropped.
ShownLayout LayoutLatinMessage(std::u16string_view name, std::u16string_view body, const MeasureText& measure,
                               int width = kLatinLineWidth);

// Whether a shown string is laid out in proportional type: a translated message whose text is
// Latin (see IsLatinText). The script's own texts never are.
bool UsesProportionalLayout(std::u16string_view shown);

// Lays out any shown string: the script's own and translated Japanese texts exactly as
// LayoutMessage does, translated Latin texts with LayoutLatinMessage.
ShownLayout LayoutShownMessage(std::u16string_view shown, const MeasureText& measure);

}  // namespace orva
