// Where the text out sends each message's text: nowhere, the clipboard, or a WebSocket server
// on the loopback address; parsed from "clipboard", "websocket[:PORT]" or "off".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orva {

inline constexpr uint16_t kDefaultTextOutPort = 6677;  // the port readers' pages expect

enum class TextOutKind : uint8_t { Off, Clipboard, WebSocket };

struct TextOutTarget {
    TextOutKind Kind = TextOutKind::Off;
    uint16_t Port = kDefaultTextOutPort;  // WebSocket only; 0 lets the system pick a free port
    bool operator==(const TextOutTarget&) const = default;
};

// Parses "off", "clipboard", "websocket" or "websocket:PORT" (PORT 1-65535). False with
// `error` saying what is expected otherwise.
bool ParseTextOutTarget(std::string_view text, TextOutTarget& out, std::string& error);

}  // namespace orva
