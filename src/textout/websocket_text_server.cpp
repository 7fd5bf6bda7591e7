// The text out's WebSocket server over libwebsockets. The engine thread hands messages over
// through a small locked queue and lws_cancel_service; everything else (the connections, their
// queues, the current message) belongs to the server's thread.
#include "textout/websocket_text_server.h"

#include <arpa/inet.h>
#include <libwebsockets.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace orva {
namespace {

using Message = std::shared_ptr<const std::string>;

constexpr const char* kListenAddress = "127.0.0.1";
// The status of the close frame that turns away a reader over the limit: "try again later".
constexpr int kCloseTryAgainLater = 1013;

// Why 127.0.0.1:port cannot be bound, in the system's words (the library only says that it
// could not).
std::string BindFailure(uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return std::strerror(errno);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reason = "the port cannot be listened on";
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 1) != 0)
        reason = std::strerror(errno);
    ::close(fd);
    return reason;
}

}  // namespace

struct TWebSocketTextServer::Impl {
    struct Client {
        std::deque<Message> Queue;   // messages not yet written to this reader
    };

    lws_context* Context = nullptr;
    std::thread Thread;
    std::atomic<bool> Stopping{false};
    uint16_t Port = 0;
    std::atomic<size_t> ClientCount{0};

    std::mutex Lock;                 // guards Pending
    std::deque<Message> Pending;     // handed over by Send, not yet taken by the server's thread

    // The server's thread only.
    Message Current;                                 // the message shown now
    std::unordered_map<lws*, Client> Connections;    // readers past their handshake
    std::vector<unsigned char> Frame;                // LWS_PRE bytes of room, then the payload

    static int Callback(lws* wsi, lws_callback_reasons reason, void* user, void* in, size_t len);
    int OnEvent(lws* wsi, lws_callback_reasons reason);
    void TakePending();
    void Enqueue(Client& client, lws* wsi, const Message& message);
};

int TWebSocketTextServer::Impl::Callback(lws* wsi, lws_callback_reasons reason, void* user, void* in, size_t len) {
    lws_context* context = lws_get_context(wsi);
    auto* self = context ? static_cast<Impl*>(lws_context_user(context)) : nullptr;
    if (!self) return lws_callback_http_dummy(wsi, reason, user, in, len);
    const int result = self->OnEvent(wsi, reason);
    return result > 0 ? lws_callback_http_dummy(wsi, reason, user, in, len) : result;
}

// 0 or -1 for the events handled here, 1 to leave the event to the library's default.
int TWebSocketTextServer::Impl::OnEvent(lws* wsi, lws_callback_reasons reason) {
    switch (reason) {
    case LWS_CALLBACK_ESTABLISHED: {
        if (Connections.size() >= kMaxClients) {
            static const char kReason[] = "too many readers";
            lws_close_reason(wsi, static_cast<lws_close_status>(kCloseTryAgainLater),
                             reinterpret_cast<unsigned char*>(const_cast<char*>(kReason)), sizeof kReason - 1);
            return -1;
        }
        Client& client = Connections[wsi];
        ClientCount = Connections.size();
        if (Current) Enqueue(client, wsi, Current);
        return 0;
    }
    case LWS_CALLBACK_CLOSED:
        Connections.erase(wsi);
        ClientCount = Connections.size();
        return 0;
    case LWS_CALLBACK_RECEIVE:
        return 0;  // what readers send is of no interest
    case LWS_CALLBACK_EVENT_WAIT_CANCELLED:
        TakePending();
        return 0;
    case LWS_CALLBACK_SERVER_WRITEABLE: {
        auto it = Connections.find(wsi);
        if (it == Connections.end() || it->second.Queue.empty()) return 0;
        const Message message = std::move(it->second.Queue.front());
        it->second.Queue.pop_front();
        Frame.resize(LWS_PRE + message->size());
        std::memcpy(Frame.data() + LWS_PRE, message->data(), message->size());
        // The library keeps what the socket did not take and sends it before the next
        // writeable event, so one frame per event never interleaves.
        if (lws_write(wsi, Frame.data() + LWS_PRE, message->size(), LWS_WRITE_TEXT) < static_cast<int>(message->size()))
            return -1;
        if (!it->second.Queue.empty()) lws_callback_on_writable(wsi);
        return 0;
    }
    default:
        return 1;
    }
}

void TWebSocketTextServer::Impl::TakePending() {
    std::deque<Message> batch;
    {
        std::lock_guard<std::mutex> guard(Lock);
        batch.swap(Pending);
    }
    for (const Message& message : batch) {
        Current = message;
        for (auto& [wsi, client] : Connections) Enqueue(client, wsi, message);
    }
}

void TWebSocketTextServer::Impl::Enqueue(Client& client, lws* wsi, const Message& message) {
    // A reader that does not keep up loses its oldest messages, never the newest, and never
    // holds up the others.
    client.Queue.push_back(message);
    if (client.Queue.size() > kClientQueue) client.Queue.pop_front();
    lws_callback_on_writable(wsi);
}

TWebSocketTextServer::TWebSocketTextServer() : P(std::make_unique<Impl>()) {}

TWebSocketTextServer::~TWebSocketTextServer() { Stop(); }

bool TWebSocketTextServer::Start(uint16_t port, std::string& error) {
    Stop();
    // The library's own log would repeat on stderr what Start reports in one line.
    lws_set_log_level(0, nullptr);

    static const lws_protocols kProtocols[] = {
        {"orva-text", &Impl::Callback, 0, 0, 0, nullptr, 0},
        {nullptr, nullptr, 0, 0, 0, nullptr, 0},
    };
    lws_context_creation_info info{};
    info.options = LWS_SERVER_OPTION_EXPLICIT_VHOSTS | LWS_SERVER_OPTION_DISABLE_IPV6 |
                   LWS_SERVER_OPTION_FAIL_UPON_UNABLE_TO_BIND;
    info.gid = -1;
    info.uid = -1;
    info.user = P.get();
    // The listener, the wake-up pipe, the readers and a few handshakes in progress: more
    // connections than this are turned away by the library itself.
    info.fd_limit_per_thread = 2 * kMaxClients + 16;
    P->Context = lws_create_context(&info);
    if (!P->Context) {
        error = "cannot start the WebSocket server";
        return false;
    }
    info.port = port;
    info.iface = kListenAddress;
    info.protocols = kProtocols;
    lws_vhost* vhost = lws_create_vhost(P->Context, &info);
    if (!vhost) {
        lws_context_destroy(P->Context);
        P->Context = nullptr;
        error = "cannot listen on " + std::string(kListenAddress) + ":" + std::to_string(port) + ": " + BindFailure(port);
        return false;
    }
    P->Port = static_cast<uint16_t>(lws_get_vhost_listen_port(vhost));
    P->Stopping = false;
    P->Thread = std::thread([impl = P.get()] {
        while (!impl->Stopping)
            if (lws_service(impl->Context, 0) < 0) break;
    });
    return true;
}

void TWebSocketTextServer::Stop() {
    if (!P->Context) return;
    P->Stopping = true;
    lws_cancel_service(P->Context);
    if (P->Thread.joinable()) P->Thread.join();
    lws_context_destroy(P->Context);
    P->Context = nullptr;
    P->Connections.clear();
    P->Current.reset();
    P->ClientCount = 0;
    std::lock_guard<std::mutex> guard(P->Lock);
    P->Pending.clear();
}

bool TWebSocketTextServer::Running() const { return P->Context != nullptr; }

uint16_t TWebSocketTextServer::Port() const { return P->Port; }

size_t TWebSocketTextServer::Clients() const { return P->ClientCount; }

void TWebSocketTextServer::Send(std::string utf8) {
    if (!P->Context) return;
    {
        std::lock_guard<std::mutex> guard(P->Lock);
        P->Pending.push_back(std::make_shared<const std::string>(std::move(utf8)));
        if (P->Pending.size() > kClientQueue) P->Pending.pop_front();
    }
    lws_cancel_service(P->Context);
}

}  // namespace orva
