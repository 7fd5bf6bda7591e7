// The machine-readable trace of a run: JSON lines, one object each with the virtual time "t"
// and the event name "ev". Off unless a file is given.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "app/engine_modes.h"

namespace orva {

// Builds one JSON object's fields after "t" and "ev".
class TraceFields {
public:
    TraceFields& Str(std::string_view key, std::string_view utf8);
    TraceFields& Int(std::string_view key, int64_t value);
    TraceFields& Bool(std::string_view key, bool value);
    TraceFields& Raw(std::string_view key, std::string_view json);  // an already-encoded value
    const std::string& Text() const { return Body; }

private:
    void Key(std::string_view key);
    std::string Body;
};

// A JSON string literal of UTF-8 text (invalid bytes become U+FFFD).
std::string JsonString(std::string_view utf8);

class TTrace {
public:
    ~TTrace();
    bool Open(const std::filesystem::path& path, std::string& error);
    bool Enabled() const { return File != nullptr; }
    void SetClock(std::function<uint32_t()> clock) { Clock = std::move(clock); }
    void Event(std::string_view ev, const TraceFields& fields = {});
    void ModeChange(orva::Mode mode);   // "mode" with the value in hex and its name
    void Close();

private:
    std::FILE* File = nullptr;
    std::function<uint32_t()> Clock;
};

}  // namespace orva
