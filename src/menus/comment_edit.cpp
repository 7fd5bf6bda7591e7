// The comment field's editing rules.
#include "menus/comment_edit.h"

#include "data/cp932.h"

namespace orva {
namespace {

// Byte length of the longest prefix of cp932 that ends on a character boundary within max.
size_t FitBytes(std::string_view cp932, size_t max) {
    size_t at = 0;
    while (at < cp932.size()) {
        const size_t n = IsCp932LeadByte(static_cast<unsigned char>(cp932[at])) && at + 1 < cp932.size() ? 2 : 1;
        if (at + n > max) break;
        at += n;
    }
    return at;
}

}  // namespace

bool TCommentEdit::Type(std::string_view utf8) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    for (size_t i = 0; i < wide.size(); ++i) {
        const char16_t c = wide[i];
        if (c == 8) {
            Backspace();
            continue;
        }
        if (c < 0x20 || c == 0x7F) continue;
        // A surrogate pair has no CP932 form either way; take it whole so it is refused whole.
        const size_t len = (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) ? 2 : 1;
        const auto bytes = Utf16ToCp932(std::u16string_view(wide).substr(i, len));
        if (!bytes || bytes->empty() || Text.size() + bytes->size() > kMaxLength) return false;
        Text += *bytes;
        i += len - 1;
    }
    return true;
}

void TCommentEdit::Backspace() {
    // Walk from the start: a trail byte can look like a lead byte, so only a forward scan finds
    // where the last character begins.
    size_t at = 0, last = 0;
    while (at < Text.size()) {
        last = at;
        at += IsCp932LeadByte(static_cast<unsigned char>(Text[at])) && at + 1 < Text.size() ? 2 : 1;
    }
    Text.resize(last);
}

void TCommentEdit::SetText(std::string_view cp932) {
    const size_t end = cp932.find('\0');
    if (end != std::string_view::npos) cp932 = cp932.substr(0, end);
    Text.assign(cp932.substr(0, FitBytes(cp932, kMaxLength)));
    Composition.clear();
}

}  // namespace orva
