// TCommentEdit: the save menu's single-line comment field. It holds CP932 text of at most
// MaxLength bytes (a two-byte character counts two), takes typed text and Backspace, and shows
// the input method's composition at the caret until it is committed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace orva {

class TCommentEdit {
public:
    static constexpr int kWidth = 232, kHeight = 20;
    static constexpr size_t kMaxLength = 30;   // bytes of CP932 text

    // Typed text (UTF-8). Characters are added while they fit in MaxLength bytes; one that
    // does not fit, or has no CP932 form, is refused with everything after it, as a full field
    // refuses keys. Control characters other than Backspace (8) are ignored. Returns false when
    // something was refused.
    bool Type(std::string_view utf8);
    // Removes the last character (both bytes of a two-byte one).
    void Backspace();
    void Clear() { Text.clear(); Composition.clear(); }
    void SetText(std::string_view cp932);   // cut to MaxLength bytes on a character boundary

    std::string Text;          // CP932
    std::string Composition;   // UTF-8: the input method's text not yet committed
    bool Visible = false;
    bool Enabled = false;
    Point Pos;                 // top-left on the main window
};

}  // namespace orva
