// CP932 / UTF-16 / UTF-8 conversion over glibc iconv, with the single bytes that glibc
// refuses but the game's text may hold mapped the Windows way.
#include "data/cp932.h"

#include <cstring>

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace orva {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// One pair of iconv handles per thread: iconv_t is not safe to share, and opening a
// handle costs far more than converting a short name.
struct IconvPair {
    iconv_t ToUtf16 = reinterpret_cast<iconv_t>(-1);    // CP932 → UTF-16LE
    iconv_t FromUtf16 = reinterpret_cast<iconv_t>(-1);  // UTF-16LE → CP932
    IconvPair() {
        ToUtf16 = iconv_open("UTF-16LE", "CP932");
        FromUtf16 = iconv_open("CP932", "UTF-16LE");
    }
    ~IconvPair() {
        if (ToUtf16 != reinterpret_cast<iconv_t>(-1)) iconv_close(ToUtf16);
        if (FromUtf16 != reinterpret_cast<iconv_t>(-1)) iconv_close(FromUtf16);
    }
    IconvPair(const IconvPair&) = delete;
    IconvPair& operator=(const IconvPair&) = delete;
};

IconvPair& Handles() {
    thread_local IconvPair pair;
    return pair;
}

bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The single bytes Windows maps and glibc rejects; 0 when b is none of them.
char16_t SpecialSingleByte(unsigned char b) {
    switch (b) {
        case 0x80: return 0x0080;
        case 0xA0: return 0xF8F0;
        case 0xFD: return 0xF8F1;
        case 0xFE: return 0xF8F2;
        case 0xFF: return 0xF8F3;
        default: return 0;
    }
}

int SpecialSingleChar(char16_t c) {
    switch (c) {
        case 0x0080: return 0x80;
        case 0xF8F0: return 0xA0;
        case 0xF8F1: return 0xFD;
        case 0xF8F2: return 0xFE;
        case 0xF8F3: return 0xFF;
        default: return -1;
    }
}

void AppendUtf16Le(std::u16string& out, const char* bytes, size_t count) {
    for (size_t i = 0; i + 1 < count; i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns the code point and advances i, or
// returns nullopt and advances i past the one offending byte.
std::optional<char32_t> NextUtf8(std::string_view text, size_t& i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) { ++i; return b0; }
    size_t len;
    char32_t cp;
    char32_t minimum;
    if (b0 >= 0xC2 && b0 <= 0xDF) { len = 2; cp = b0 & 0x1F; minimum = 0x80; }
    else if (b0 >= 0xE0 && b0 <= 0xEF) { len = 3; cp = b0 & 0x0F; minimum = 0x800; }
    else if (b0 >= 0xF0 && b0 <= 0xF4) { len = 4; cp = b0 & 0x07; minimum = 0x10000; }
    else { ++i; return std::nullopt; }
    if (i + len > text.size()) { ++i; return std::nullopt; }
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) { ++i; return std::nullopt; }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return std::nullopt; }
    i += len;
    return cp;
}

// Strict UTF-8 → UTF-16; nullopt on the first invalid byte.
std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto cp = NextUtf8(text, i);
        if (!cp) return std::nullopt;
        AppendUtf16(out, *cp);
    }
    return out;
}

}  // namespace

std::u16string Cp932ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    iconv_t cd = Handles().ToUtf16;
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No CP932 converter installed: keep ASCII, replace the rest.
        for (unsigned char c : text) out.push_back(c < 0x80 ? c : kReplacement);
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // A CP932 byte never yields more than one UTF-16 unit.
    std::vector<char> buffer(text.size() * 2 + 4);
    size_t pos = 0;
    while (pos < text.size()) {
        char* in = const_cast<char*>(text.data() + pos);
        size_t inLeft = text.size() - pos;
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        AppendUtf16Le(out, buffer.data(), static_cast<size_t>(outPtr - buffer.data()));
        pos = static_cast<size_t>(in - text.data());
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;  // cannot happen with the buffer above, but stay correct
        // EILSEQ or EINVAL: the byte at pos starts something glibc does not take.
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const auto b = static_cast<unsigned char>(text[pos]);
        if (const char16_t special = SpecialSingleByte(b)) {
            out.push_back(special);
            pos += 1;
        } else if (IsCp932LeadByte(b) && pos + 1 < text.size() &&
                   IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
            out.push_back(kReplacement);  // a well-formed but unassigned pair
            pos += 2;
        } else {
            out.push_back(kReplacement);
            pos += 1;
        }
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view text) { return Utf16ToUtf8(Cp932ToUtf16(text)); }

std::optional<std::string> Utf16ToCp932(std::u16string_view text) {
    iconv_t cd = Handles().FromUtf16;
    std::string out;
    out.reserve(text.size() * 2);
    // iconv reads bytes; lay the units out little-endian.
    std::vector<char> input(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        input[2 * i] = static_cast<char>(text[i] & 0xFF);
        input[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (char16_t c : text) {
            if (c >= 0x80) return std::nullopt;
            out.push_back(static_cast<char>(c));
        }
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> buffer(text.size() * 2 + 8);
    size_t pos = 0;  // in bytes of input
    while (pos < input.size()) {
        char* in = input.data() + pos;
        size_t inLeft = input.size() - pos;
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<size_t>(outPtr - buffer.data()));
        pos = static_cast<size_t>(in - input.data());
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const char16_t unit = text[pos / 2];
        const int special = SpecialSingleChar(unit);
        if (special < 0) return std::nullopt;
        out.push_back(static_cast<char>(special));
        pos += 2;
    }
    return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
    const auto wide = Utf8ToUtf16Strict(text);
    if (!wide) return std::nullopt;
    return Utf16ToCp932(*wide);
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            const char32_t cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                                (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            AppendUtf8(out, cp);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto cp = NextUtf8(text, i);
        AppendUtf16(out, cp ? *cp : kReplacement);
    }
    return out;
}

std::string Cp932UpperAscii(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (IsCp932LeadByte(c)) {
            ++i;  // the trail byte belongs to the character, whatever its value
        } else if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string TrimBlanksAndControls(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
    return std::string(text.substr(begin, end - begin));
}

std::string_view Cp932FieldPrefix(std::string_view text, size_t fieldSize) {
    size_t n = 0;
    while (n < text.size() && text[n] != '\0') {
        const size_t len = IsCp932LeadByte(static_cast<unsigned char>(text[n])) && n + 1 < text.size() ? 2 : 1;
        if (n + len + 1 > fieldSize) break;
        n += len;
    }
    return text.substr(0, n);
}

void CopyToCp932Field(char* field, size_t fieldSize, std::string_view text) {
    if (fieldSize == 0) return;
    const std::string_view kept = Cp932FieldPrefix(text, fieldSize);
    std::memset(field, 0, fieldSize);
    std::memcpy(field, kept.data(), kept.size());
}

}  // namespace orva
