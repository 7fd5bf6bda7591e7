// Loop-point comments.
#include "sound/loop_points.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace orva {
namespace {

// The lead bytes of a two-byte character as the loop parser sees them.
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || c >= 0xE0; }

bool ParseInt(const std::string& s, int64_t& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long r = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    v = r;
    return true;
}

bool ParseNumber(const std::string& s, double& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double r = std::strtod(s.c_str(), &end);
    if (errno != 0 || *end != '\0' || r != r) return false;
    v = r;
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The frame at `value` × `rate`, rounded, within what a file can hold.
int64_t FrameOf(double value, int32_t rate) {
    const double f = std::round(value * std::max(rate, 0));
    return f != f ? 0 : static_cast<int64_t>(std::clamp(f, -9.0e15, 9.0e15));
}

}  // namespace

std::vector<std::string> SplitLoopFields(std::string_view line) {
    std::vector<std::string> fields;
    std::string current;
    bool lastComma = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (IsLeadByte(c)) {
            current += line.substr(i, 2);
            ++i;
            lastComma = false;
        } else if (c == ' ' || c == '\t') {
            continue;
        } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
            break;
        } else if (c == ',') {
            fields.push_back(current);
            current.clear();
            lastComma = true;
        } else {
            current += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            lastComma = false;
        }
    }
    if (!current.empty()) fields.push_back(current);
    else if (lastComma) fields.emplace_back();
    while (fields.size() < 5) fields.emplace_back();
    return fields;
}

void ReadLoopPoints(const std::vector<std::string>& comments, int32_t rate, LoopTable& table) {
    const std::string* value = nullptr;
    std::string holder;
    for (const std::string& c : comments) {
        const size_t eq = c.find('=');
        if (eq != std::string::npos && EqualsNoCase(std::string_view(c).substr(0, eq), "comment")) {
            holder = c.substr(eq + 1);
            value = &holder;
            break;
        }
    }
    if (!value) return;
    std::string_view rest = *value;
    for (;;) {
        const size_t br = rest.find("\r\n");
        const std::string_view line = rest.substr(0, br);
        const std::vector<std::string> f = SplitLoopFields(line);
        const bool seconds = f[0] == "*looptime", samples = f[0] == "*loopsample";
        if (seconds || samples) {
            int64_t index = 0, count = 0;
            double start = 0, end = 0;
            if (!ParseInt(f[1], index)) index = 0;
            if (!ParseNumber(f[2], start)) start = 0;
            if (!ParseNumber(f[3], end)) end = 0;
            if (!ParseInt(f[4], count)) count = -1;
            int64_t startFrame = 0, endFrame = 0;
            if (samples) {
                // Without a rate there is no time for a sample number; the entry is left alone.
                if (rate <= 0) index = -1;
                else {
                    startFrame = FrameOf(start, 1);
                    endFrame = FrameOf(end, 1);
                    start /= rate;
                    end /= rate;
                }
            } else {
                startFrame = FrameOf(start, rate);
                endFrame = FrameOf(end, rate);
            }
            if (index >= 0 && index < kLoopEntries)
                table[static_cast<size_t>(index)] = {static_cast<float>(start), static_cast<float>(end),
                                                     static_cast<int32_t>(count), startFrame, endFrame};
        }
        if (br == std::string_view::npos) break;
        rest.remove_prefix(br + 2);
    }
}

}  // namespace orva
