// Parser of the text out's target.
#include "textout/text_out_target.h"

#include <charconv>

namespace orva {

bool ParseTextOutTarget(std::string_view text, TextOutTarget& out, std::string& error) {
    constexpr std::string_view kWebSocket = "websocket";
    if (text == "off") {
        out = {TextOutKind::Off};
        return true;
    }
    if (text == "clipboard") {
        out = {TextOutKind::Clipboard};
        return true;
    }
    if (text == kWebSocket) {
        out = {TextOutKind::WebSocket, kDefaultTextOutPort};
        return true;
    }
    if (text.starts_with(kWebSocket) && text.size() > kWebSocket.size() && text[kWebSocket.size()] == ':') {
        const std::string_view port = text.substr(kWebSocket.size() + 1);
        uint32_t value = 0;
        auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (ec == std::errc() && end == port.data() + port.size() && !port.empty() && value >= 1 && value <= 65535) {
            out = {TextOutKind::WebSocket, static_cast<uint16_t>(value)};
            return true;
        }
        error = "the text out's port is a number from 1 to 65535, got '" + std::string(port) + "'";
        return false;
    }
    error = "the text out is clipboard, websocket, websocket:PORT or off, got '" + std::string(text) + "'";
    return false;
}

}  // namespace orva
