// A WebSocket client over a plain socket, written from the protocol for the tests: it makes
// the opening handshake, checks the server's accept key, sends masked text frames and reads
// the server's frames. Every wait is bounded, only so that a fault cannot hang the suite.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <thread>

namespace orva::test {

inline constexpr int kHangGuardMs = 20000;  // no wait here is meant to come near this

inline std::string Base64(const unsigned char* bytes, size_t n) {
    std::string out(4 * ((n + 2) / 3) + 1, '\0');
    const int len = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes, static_cast<int>(n));
    out.resize(static_cast<size_t>(len));
    return out;
}

// Calls `done` until it holds, at most kHangGuardMs; true when it held.
template <typename F>
bool Eventually(F done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangGuardMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class WsClient {
public:
    enum class Got { Text, Close, Eof, Timeout, Error };
    struct Frame {
        Got Kind = Got::Error;
        std::string Text;      // a text frame's payload
        int CloseCode = 0;     // a close frame's status (0 when it carried none)
    };

    WsClient() = default;
    WsClient(const WsClient&) = delete;
    WsClient& operator=(const WsClient&) = delete;
    ~WsClient() { Close(); }

    // A TCP connection to address:port; `receiveBuffer` > 0 shrinks the socket's receive buffer
    // (a slow reader's). False with errno kept in LastErrno when the connection fails.
    bool ConnectTcp(const char* address, uint16_t port, int receiveBuffer = 0) {
        Close();
        sockaddr_storage addr{};
        socklen_t len = 0;
        int family = AF_INET;
        if (std::strchr(address, ':')) {
            auto* a6 = reinterpret_cast<sockaddr_in6*>(&addr);
            a6->sin6_family = family = AF_INET6;
            a6->sin6_port = htons(port);
            inet_pton(AF_INET6, address, &a6->sin6_addr);
            len = sizeof *a6;
        } else {
            auto* a4 = reinterpret_cast<sockaddr_in*>(&addr);
            a4->sin_family = AF_INET;
            a4->sin_port = htons(port);
            inet_pton(AF_INET, address, &a4->sin_addr);
            len = sizeof *a4;
        }
        Fd = ::socket(family, SOCK_STREAM, 0);
        if (Fd < 0) return false;
        if (receiveBuffer > 0) ::setsockopt(Fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        if (::connect(Fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
            LastErrno = errno;
            Close();
            return false;
        }
        return true;
    }

    // Connects and makes the opening handshake; false with `error` when either fails.
    bool Connect(const char* address, uint16_t port, std::string& error, int receiveBuffer = 0) {
        if (!ConnectTcp(address, port, receiveBuffer)) {
            error = std::string("connect: ") + std::strerror(LastErrno);
            return false;
        }
        unsigned char nonce[16];
        std::random_device rd;
        for (unsigned char& b : nonce) b = static_cast<unsigned char>(rd());
        const std::string key = Base64(nonce, sizeof nonce);
        const std::string request = "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                    "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: " + key +
                                    "\r\nSec-WebSocket-Version: 13\r\nOrigin: http://localhost\r\n\r\n";
        if (!SendAll(request)) {
            error = "cannot send the handshake";
            return false;
        }
        size_t headerEnd;
        while ((headerEnd = In.find("\r\n\r\n")) == std::string::npos)
            if (!Fill(kHangGuardMs)) {
                error = "no handshake answer (got '" + In + "')";
                return false;
            }
        const std::string head = In.substr(0, headerEnd + 2);
        In.erase(0, headerEnd + 4);
        if (head.rfind("HTTP/1.1 101", 0) != 0) {
            error = "handshake refused: " + head.substr(0, head.find('\r'));
            return false;
        }
        const std::string magic = key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
        unsigned char digest[SHA_DIGEST_LENGTH];
        SHA1(reinterpret_cast<const unsigned char*>(magic.data()), magic.size(), digest);
        std::string lower = head;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const size_t at = lower.find("\r\nsec-websocket-accept:");
        if (at == std::string::npos) {
            error = "no accept key in the answer";
            return false;
        }
        std::string accept = head.substr(at + 23, head.find("\r\n", at + 2) - at - 23);
        accept.erase(0, accept.find_first_not_of(' '));
        if (accept != Base64(digest, sizeof digest)) {
            error = "wrong accept key '" + accept + "'";
            return false;
        }
        return true;
    }

    // The next complete message (continuations joined), a close, the end of the stream, or a
    // timeout after `timeoutMs`.
    Frame Read(int timeoutMs = kHangGuardMs) {
        std::string message;
        for (;;) {
            const auto need = [&](size_t n) {
                while (In.size() < n)
                    if (!Fill(timeoutMs)) return false;
                return true;
            };
            if (!need(2)) return {Fd < 0 || Eof ? Got::Eof : Got::Timeout};
            const auto b0 = static_cast<uint8_t>(In[0]), b1 = static_cast<uint8_t>(In[1]);
            if (b1 & 0x80) return {Got::Error};  // a server never masks
            uint64_t length = b1 & 0x7F;
            size_t head = 2;
            if (length >= 126) {
                const size_t extra = length == 126 ? 2 : 8;
                if (!need(2 + extra)) return {Eof ? Got::Eof : Got::Timeout};
                length = 0;
                for (size_t i = 0; i < extra; ++i) length = (length << 8) | static_cast<uint8_t>(In[2 + i]);
                head += extra;
            }
            if (!need(head + length)) return {Eof ? Got::Eof : Got::Timeout};
            const std::string payload = In.substr(head, length);
            In.erase(0, head + length);
            const int opcode = b0 & 0x0F;
            if (opcode == 0x8) {
                Frame f{Got::Close};
                if (payload.size() >= 2) f.CloseCode = (static_cast<uint8_t>(payload[0]) << 8) | static_cast<uint8_t>(payload[1]);
                f.Text = payload.size() > 2 ? payload.substr(2) : "";
                return f;
            }
            if (opcode == 0x9 || opcode == 0xA) continue;  // pings need no answer here
            message += payload;
            if (b0 & 0x80) return {Got::Text, message};
        }
    }

    // A masked text frame, as a client must send.
    bool SendText(std::string_view text) {
        std::string frame;
        frame += static_cast<char>(0x81);
        if (text.size() < 126) frame += static_cast<char>(0x80 | text.size());
        else {
            frame += static_cast<char>(0x80 | 126);
            frame += static_cast<char>(text.size() >> 8);
            frame += static_cast<char>(text.size() & 0xFF);
        }
        const unsigned char mask[4] = {0x12, 0x34, 0x56, 0x78};
        frame.append(reinterpret_cast<const char*>(mask), 4);
        for (size_t i = 0; i < text.size(); ++i) frame += static_cast<char>(text[i] ^ mask[i % 4]);
        return SendAll(frame);
    }

    void Close() {
        if (Fd >= 0) ::close(Fd);
        Fd = -1;
        In.clear();
        Eof = false;
    }

    int Fd = -1;
    int LastErrno = 0;

private:
    bool SendAll(std::string_view data) {
        while (!data.empty()) {
            const ssize_t n = ::send(Fd, data.data(), data.size(), MSG_NOSIGNAL);
            if (n <= 0) return false;
            data.remove_prefix(static_cast<size_t>(n));
        }
        return true;
    }
    // Reads what has arrived, waiting up to timeoutMs; false at the end of the stream or timeout.
    bool Fill(int timeoutMs) {
        if (Fd < 0 || Eof) return false;
        pollfd p{Fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return false;
        char buf[65536];
        const ssize_t n = ::recv(Fd, buf, sizeof buf, 0);
        if (n <= 0) {
            Eof = true;
            return false;
        }
        In.append(buf, static_cast<size_t>(n));
        return true;
    }

    std::string In;   // bytes received and not yet taken
    bool Eof = false;
};

}  // namespace orva::test
