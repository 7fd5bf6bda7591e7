// The text out's WebSocket server: listens on 127.0.0.1 only and sends each message's text as
// one UTF-8 text frame to every connected reader (a browser page with a pop-up dictionary),
// and the current message to a reader when it connects. It runs on a thread of its own; Send
// only queues and wakes it, so the game's frames never wait for the network.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orva {

class TWebSocketTextServer {
public:
    static constexpr size_t kMaxClients = 16;    // a further reader is closed with 1013 "try again later"
    static constexpr size_t kClientQueue = 64;   // messages waiting for one reader; the oldest go first

    TWebSocketTextServer();
    ~TWebSocketTextServer();
    TWebSocketTextServer(const TWebSocketTextServer&) = delete;
    TWebSocketTextServer& operator=(const TWebSocketTextServer&) = delete;

    // Listens on 127.0.0.1:`port` (0: a free port the system picks) and starts the server's
    // thread. False with `error` (one line) when the port cannot be had.
    bool Start(uint16_t port, std::string& error);
    // Closes every connection and ends the thread; Start may be called again.
    void Stop();
    bool Running() const;
    // The port listened on (the one picked for 0).
    uint16_t Port() const;
    // Readers connected now (their handshake done).
    size_t Clients() const;

    // Queues one message for every reader; never blocks on the network.
    void Send(std::string utf8);

private:
    struct Impl;
    std::unique_ptr<Impl> P;
};

}  // namespace orva
