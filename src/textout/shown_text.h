// A composed message as one line of text, the way a reader with a dictionary wants it: the
// speaker's name, then the text lines joined without their breaks.
#pragma once

#include <string>

#include "text/message_layout.h"

namespace orva {

// Joins the name and the text lines of a laid-out message. The "　" that indents the
// continuation lines of a spoken text belongs to the break and goes with it; where both sides
// of a break are letters of a script that separates words by spaces (a translation's Latin
// text), one space takes the break's place, except after a hyphen; a name in such a script is
// followed by a space.
std::u16string JoinShownLines(const MessageLineSet& lines);

}  // namespace orva
