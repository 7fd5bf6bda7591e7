// Parser of the headless input timeline.
#include "platform/headless/input_timeline.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <sstream>

namespace orva {
namespace {

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

template <typename T>
std::optional<T> ParseNumber(std::string_view word) {
    T value{};
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

std::optional<Key> ParseKey(std::string_view w) {
    static constexpr std::pair<std::string_view, Key> kKeys[] = {
        {"return", Key::Return}, {"ctrl", Key::Ctrl},         {"space", Key::Space},
        {"pageup", Key::PageUp}, {"pagedown", Key::PageDown}, {"f1", Key::F1},
        {"f2", Key::F2},         {"alt", Key::Alt},           {"backspace", Key::Backspace},
        {"f12", Key::F12}};
    for (auto& [name, key] : kKeys)
        if (w == name) return key;
    return std::nullopt;
}

std::optional<WindowId> ParseWindow(std::string_view w, bool allowNone) {
    if (w == "main") return WindowId::Main;
    if (w == "msg") return WindowId::Msg;
    if (w == "query") return WindowId::Query;
    if (w == "debug") return WindowId::Debug;
    if (allowNone && w == "none") return WindowId::None;
    return std::nullopt;
}

// Parses "X Y [left|right|back] [main|msg|query|debug]" starting at words[1].
bool ParsePointerArgs(const std::vector<std::string_view>& words, bool withButton, TimelineEvent& ev,
                      std::string& why) {
    if (words.size() < 4) { why = "expects X Y"; return false; }
    auto x = ParseNumber<int32_t>(words[2]);
    auto y = ParseNumber<int32_t>(words[3]);
    if (!x || !y) { why = "X and Y must be integers"; return false; }
    ev.Pos = {*x, *y};
    size_t i = 4;
    if (withButton && i < words.size() && (words[i] == "left" || words[i] == "right" || words[i] == "back")) {
        ev.Button = words[i] == "left" ? MouseButton::Left : words[i] == "right" ? MouseButton::Right : MouseButton::Back;
        ++i;
    }
    if (i < words.size()) {
        auto win = ParseWindow(words[i], false);
        if (!win) { why = "unknown window '" + std::string(words[i]) + "'"; return false; }
        ev.Window = *win;
        ++i;
    }
    if (i != words.size()) { why = "unexpected '" + std::string(words[i]) + "'"; return false; }
    return true;
}

bool ParseLine(std::string_view line, TimelineEvent& ev, std::string& why) {
    auto words = SplitWords(line);
    if (words.size() < 2) { why = "expects 'MS VERB ...'"; return false; }
    auto time = ParseNumber<uint32_t>(words[0]);
    if (!time) { why = "time must be a non-negative integer of milliseconds"; return false; }
    ev.Time = *time;
    const std::string_view verb = words[1];
    if (verb == "key") {
        ev.Verb = TimelineVerb::Key;
        if (words.size() != 4) { why = "expects 'key NAME down|up'"; return false; }
        auto key = ParseKey(words[2]);
        if (!key) { why = "unknown key '" + std::string(words[2]) + "'"; return false; }
        if (words[3] != "down" && words[3] != "up") { why = "expects down or up"; return false; }
        ev.KeyName = *key;
        ev.Pressed = words[3] == "down";
        return true;
    }
    if (verb == "move") { ev.Verb = TimelineVerb::Move; return ParsePointerArgs(words, false, ev, why); }
    if (verb == "down") { ev.Verb = TimelineVerb::Down; return ParsePointerArgs(words, true, ev, why); }
    if (verb == "up") { ev.Verb = TimelineVerb::Up; return ParsePointerArgs(words, true, ev, why); }
    if (verb == "click") { ev.Verb = TimelineVerb::Click; return ParsePointerArgs(words, true, ev, why); }
    if (verb == "wheel") {
        ev.Verb = TimelineVerb::Wheel;
        if (words.size() < 3 || words.size() > 4 || (words[2] != "up" && words[2] != "down")) {
            why = "expects 'wheel up|down [main|msg|debug]'";
            return false;
        }
        ev.WheelDirection = words[2] == "up" ? 1 : -1;
        if (words.size() == 4) {
            auto win = ParseWindow(words[3], false);
            if (!win || *win == WindowId::Query) { why = "wheel goes to main, msg or debug"; return false; }
            ev.Window = *win;
        }
        return true;
    }
    if (verb == "focus") {
        ev.Verb = TimelineVerb::Focus;
        auto win = words.size() == 3 ? ParseWindow(words[2], true) : std::nullopt;
        if (!win) { why = "expects 'focus main|msg|query|none'"; return false; }
        ev.Window = *win;
        return true;
    }
    if (verb == "text") {
        ev.Verb = TimelineVerb::Text;
        // The text is the rest of the line after the verb and one separator, kept as typed.
        const size_t at = line.find("text");
        std::string_view rest = line.substr(at + 4);
        if (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        if (rest.empty()) { why = "expects 'text STRING'"; return false; }
        // "\b" types a Backspace, "\r" a Return and "\\" a backslash.
        for (size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == '\\' && i + 1 < rest.size()) {
                const char e = rest[i + 1];
                if (e == 'b' || e == 'r' || e == '\\') {
                    ev.Text += e == 'b' ? '\b' : e == 'r' ? '\r' : '\\';
                    ++i;
                    continue;
                }
            }
            ev.Text += rest[i];
        }
        return true;
    }
    if (verb == "pad") {
        ev.Verb = TimelineVerb::Pad;
        if (words.size() != 4) { why = "expects 'pad NAME down|up' or 'pad leftx|lefty VALUE'"; return false; }
        if (words[2] == "leftx" || words[2] == "lefty") {
            auto value = ParseNumber<int32_t>(words[3]);
            if (!value || *value < -32768 || *value > 32767) { why = "a stick value is -32768..32767"; return false; }
            ev.PadStick = true;
            ev.Axis = words[2] == "leftx" ? PadAxis::LeftX : PadAxis::LeftY;
            ev.AxisValue = *value;
            return true;
        }
        auto button = PadButtonByName(words[2]);
        if (!button) { why = "unknown pad button '" + std::string(words[2]) + "'"; return false; }
        if (words[3] != "down" && words[3] != "up") { why = "expects down or up"; return false; }
        ev.PadKey = *button;
        ev.Pressed = words[3] == "down";
        return true;
    }
    if (verb == "close") {
        ev.Verb = TimelineVerb::Close;
        if (words.size() != 2) { why = "'close' takes no arguments"; return false; }
        return true;
    }
    why = "unknown verb '" + std::string(verb) + "'";
    return false;
}

}  // namespace

bool ParseInputTimeline(std::string_view source, std::vector<TimelineEvent>& events, std::string& error) {
    events.clear();
    int lineNo = 0;
    size_t pos = 0;
    while (pos <= source.size()) {
        size_t end = source.find('\n', pos);
        if (end == std::string_view::npos) end = source.size();
        std::string_view line = source.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // A '#' starts a comment, except inside a text verb's string.
        const auto words = SplitWords(line);
        const bool isText = words.size() >= 2 && words[1] == "text";
        if (!isText) {
            const size_t hash = line.find('#');
            if (hash != std::string_view::npos) line = line.substr(0, hash);
        }
        if (SplitWords(line).empty()) {
            if (end == source.size()) break;
            continue;
        }
        TimelineEvent ev;
        ev.Line = lineNo;
        std::string why;
        if (!ParseLine(line, ev, why)) {
            error = "line " + std::to_string(lineNo) + ": " + why;
            events.clear();
            return false;
        }
        events.push_back(std::move(ev));
        if (end == source.size()) break;
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TimelineEvent& a, const TimelineEvent& b) { return a.Time < b.Time; });
    return true;
}

}  // namespace orva
