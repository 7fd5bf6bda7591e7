// Conversions between CP932 (the game's text), UTF-16 and UTF-8, and the CP932-aware
// byte helpers that file-name lookups use. The one place the engine converts text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orva {

// CP932 → UTF-16. Every byte is kept: 0x80 → U+0080, 0xA0 → U+F8F0, 0xFD–0xFF →
// U+F8F1–U+F8F3; a byte or pair that is not CP932 becomes U+FFFD.
std::u16string Cp932ToUtf16(std::string_view text);
std::string Cp932ToUtf8(std::string_view text);

// UTF-16 → CP932; nullopt when a character has no CP932 form (or a surrogate is unpaired).
std::optional<std::string> Utf16ToCp932(std::u16string_view text);
// UTF-8 → CP932; nullopt when the UTF-8 is invalid or a character has no CP932 form.
std::optional<std::string> Utf8ToCp932(std::string_view text);

// UTF-16 ↔ UTF-8; an unpaired surrogate or an invalid UTF-8 byte becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// True for a CP932 lead byte (the first byte of a two-byte character).
constexpr bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Upper-cases single-byte ASCII letters only; a lead byte's trail byte is never touched.
std::string Cp932UpperAscii(std::string_view text);

// What of text a fixed zero-terminated field of fieldSize bytes keeps: at most fieldSize - 1
// bytes, cut before a two-byte character that would not fit whole and at a zero byte.
std::string_view Cp932FieldPrefix(std::string_view text, size_t fieldSize);
// Stores that prefix into the field; the rest of the field is 0.
void CopyToCp932Field(char* field, size_t fieldSize, std::string_view text);

// Strips bytes <= 0x20 (blanks and control characters) at both ends.
std::string TrimBlanksAndControls(std::string_view text);

}  // namespace orva
