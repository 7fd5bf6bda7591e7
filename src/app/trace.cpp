// The trace writer.
#include "app/trace.h"

#include <cstdio>

namespace orva {

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    size_t i = 0;
    auto hex4 = [&](unsigned v) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", v);
        out += buf;
    };
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') { out += '\\'; out += static_cast<char>(c); ++i; continue; }
        if (c < 0x20) {
            if (c == '\n') out += "\\n";
            else if (c == '\r') out += "\\r";
            else if (c == '\t') out += "\\t";
            else hex4(c);
            ++i;
            continue;
        }
        if (c < 0x80) { out += static_cast<char>(c); ++i; continue; }
        // Copy a well-formed UTF-8 sequence; replace anything else by U+FFFD.
        size_t len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
        bool ok = len != 0 && i + len <= s.size();
        for (size_t k = 1; ok && k < len; ++k) ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (ok) {
            out.append(s.substr(i, len));
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    out += '"';
    return out;
}

void TraceFields::Key(std::string_view key) {
    Body += ',';
    Body += JsonString(key);
    Body += ':';
}
TraceFields& TraceFields::Str(std::string_view key, std::string_view utf8) {
    Key(key);
    Body += JsonString(utf8);
    return *this;
}
TraceFields& TraceFields::Int(std::string_view key, int64_t value) {
    Key(key);
    Body += std::to_string(value);
    return *this;
}
TraceFields& TraceFields::Bool(std::string_view key, bool value) {
    Key(key);
    Body += value ? "true" : "false";
    return *this;
}
TraceFields& TraceFields::Raw(std::string_view key, std::string_view json) {
    Key(key);
    Body += json;
    return *this;
}

TTrace::~TTrace() { Close(); }

bool TTrace::Open(const std::filesystem::path& path, std::string& error) {
    Close();
    File = std::fopen(path.c_str(), "wb");
    if (!File) {
        error = "cannot write the trace file " + path.string();
        return false;
    }
    return true;
}

void TTrace::Event(std::string_view ev, const TraceFields& fields) {
    if (!File) return;
    const uint32_t t = Clock ? Clock() : 0;
    std::string line = "{\"t\":" + std::to_string(t) + ",\"ev\":" + JsonString(ev) + fields.Text() + "}\n";
    std::fwrite(line.data(), 1, line.size(), File);
}

void TTrace::ModeChange(orva::Mode mode) {
    if (!File) return;
    TraceFields fields;
    fields.Str("mode", ModeHex(mode));
    if (const std::string_view name = ModeName(mode); !name.empty()) fields.Str("name", name);
    Event("mode", fields);
}

void TTrace::Close() {
    if (File) std::fclose(File);
    File = nullptr;
}

}  // namespace orva
