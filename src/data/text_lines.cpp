// Splitting CP932 text into lines and joining lines with CR LF.
#include "data/text_lines.h"

namespace orva {

std::vector<std::string> SplitTextLines(std::span<const uint8_t> text) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const uint8_t c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(reinterpret_cast<const char*>(text.data()) + start, i - start);
            ++i;
            if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.emplace_back(reinterpret_cast<const char*>(text.data()) + start, text.size() - start);
    return lines;
}

std::string JoinTextLines(const std::vector<std::string>& lines) {
    std::string out;
    size_t total = 0;
    for (const auto& line : lines) total += line.size() + 2;
    out.reserve(total);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

}  // namespace orva
