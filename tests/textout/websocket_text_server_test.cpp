// The text out's WebSocket server against a client written from the protocol, over real
// loopback sockets.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "textout/websocket_text_server.h"
#include "textout/ws_client.h"

namespace orva {
namespace {

using test::Eventually;
using test::WsClient;
using Got = WsClient::Got;

std::string Ok(WsClient::Frame f) { return f.Kind == Got::Text ? f.Text : "<not a text frame: " + std::to_string(int(f.Kind)) + ">"; }

// A socket listening on 127.0.0.1 at a port the system picked.
struct Listener {
    int Fd = ::socket(AF_INET, SOCK_STREAM, 0);
    uint16_t Port = 0;
    Listener() {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(Fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 && ::listen(Fd, 4) == 0 &&
            ::getsockname(Fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            Port = ntohs(addr.sin_port);
    }
    ~Listener() { ::close(Fd); }
};

TEST(WebSocketTextServer, ReadersGetEveryMessageInOrderAndTheCurrentOneWhenTheyConnect) {
    TWebSocketTextServer server;
    std::string error;
    ASSERT_TRUE(server.Start(0, error)) << error;
    ASSERT_NE(server.Port(), 0);

    WsClient a;
    ASSERT_TRUE(a.Connect("127.0.0.1", server.Port(), error)) << error;
    server.Send("朝の光が差し込んでいる。");
    server.Send("アヤ「おはよう。」");
    EXPECT_EQ(Ok(a.Read()), "朝の光が差し込んでいる。");
    EXPECT_EQ(Ok(a.Read()), "アヤ「おはよう。」");

    // What a reader sends is ignored, long or short.
    ASSERT_TRUE(a.SendText("hello"));
    ASSERT_TRUE(a.SendText(std::string(3000, 'x')));

    // A reader that connects now gets the message on the screen first.
    WsClient b;
    ASSERT_TRUE(b.Connect("127.0.0.1", server.Port(), error)) << error;
    EXPECT_EQ(Ok(b.Read()), "アヤ「おはよう。」");

    // A message longer than 64 KiB takes the frame's longest length form.
    const std::string longText(70000, 'a');
    server.Send("一日が終わった。");
    server.Send(longText);
    for (WsClient* c : {&a, &b}) {
        EXPECT_EQ(Ok(c->Read()), "一日が終わった。");
        EXPECT_EQ(c->Read().Text.size(), longText.size());
    }
    EXPECT_EQ(server.Clients(), 2u);
    // Stopping closes both connections; the readers see their ends.
    server.Stop();
    EXPECT_NE(a.Read().Kind, Got::Text);
    EXPECT_NE(b.Read().Kind, Got::Text);
}

TEST(WebSocketTextServer, SixteenReadersAtMostAndAPlaceFreedIsTakenAgain) {
    TWebSocketTextServer server;
    std::string error;
    ASSERT_TRUE(server.Start(0, error)) << error;
    server.Send("いま");
    std::vector<std::unique_ptr<WsClient>> readers;
    for (size_t i = 0; i < TWebSocketTextServer::kMaxClients; ++i) {
        readers.push_back(std::make_unique<WsClient>());
        ASSERT_TRUE(readers.back()->Connect("127.0.0.1", server.Port(), error)) << i << ": " << error;
        EXPECT_EQ(Ok(readers.back()->Read()), "いま") << i;
    }
    // The seventeenth is closed with "try again later" and never gets a message.
    WsClient extra;
    ASSERT_TRUE(extra.Connect("127.0.0.1", server.Port(), error)) << error;
    const WsClient::Frame refused = extra.Read();
    EXPECT_EQ(refused.Kind, Got::Close);
    EXPECT_EQ(refused.CloseCode, 1013);
    EXPECT_EQ(server.Clients(), TWebSocketTextServer::kMaxClients);

    // One leaves; its place goes to the next reader, which gets the current message.
    readers.front()->Close();
    ASSERT_TRUE(Eventually([&] { return server.Clients() == TWebSocketTextServer::kMaxClients - 1; }));
    WsClient next;
    ASSERT_TRUE(next.Connect("127.0.0.1", server.Port(), error)) << error;
    EXPECT_EQ(Ok(next.Read()), "いま");
    server.Send("つぎ");
    EXPECT_EQ(Ok(next.Read()), "つぎ");
    EXPECT_EQ(Ok(readers.back()->Read()), "つぎ");
}

TEST(WebSocketTextServer, ListensOnTheLoopbackAddressOnly) {
    TWebSocketTextServer server;
    std::string error;
    ASSERT_TRUE(server.Start(0, error)) << error;
    WsClient c;
    EXPECT_TRUE(c.ConnectTcp("127.0.0.1", server.Port()));
    // Another loopback address of this machine and the IPv6 loopback find nothing there.
    EXPECT_FALSE(c.ConnectTcp("127.0.0.2", server.Port()));
    EXPECT_EQ(c.LastErrno, ECONNREFUSED);
    EXPECT_FALSE(c.ConnectTcp("::1", server.Port()));
}

TEST(WebSocketTextServer, APortInUseIsOneLineAndSendingStaysHarmless) {
    Listener taken;
    ASSERT_NE(taken.Port, 0);
    TWebSocketTextServer server;
    std::string error;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(server.Start(taken.Port, error));
    const std::string libraryNoise = testing::internal::GetCapturedStderr();
    EXPECT_EQ(error, "cannot listen on 127.0.0.1:" + std::to_string(taken.Port) + ": Address already in use");
    EXPECT_EQ(libraryNoise, "");
    EXPECT_FALSE(server.Running());
    server.Send("誰もいない");
    // The same server starts on a free port afterwards.
    ASSERT_TRUE(server.Start(0, error)) << error;
    EXPECT_TRUE(server.Running());
}

TEST(WebSocketTextServer, ASlowReaderLosesItsOldestMessagesAndHoldsUpNoOne) {
    TWebSocketTextServer server;
    std::string error;
    ASSERT_TRUE(server.Start(0, error)) << error;
    WsClient slow, fast;
    ASSERT_TRUE(slow.Connect("127.0.0.1", server.Port(), error, 4096)) << error;
    ASSERT_TRUE(fast.Connect("127.0.0.1", server.Port(), error)) << error;
    ASSERT_TRUE(Eventually([&] { return server.Clients() == 2; }));

    // Far more than the slow reader's socket and queue hold; the slow reader reads nothing
    // until the fast one has had everything.
    constexpr int kMessages = 400;
    const std::string filler(32 * 1024, 'x');
    auto text = [&](int i) { return std::to_string(i) + ":" + filler; };
    std::vector<int> fastGot;
    std::atomic<size_t> fastCount{0};
    std::thread reader([&] {
        for (int i = 0; i < kMessages; ++i) {
            const WsClient::Frame f = fast.Read();
            if (f.Kind != Got::Text) break;
            fastGot.push_back(std::stoi(f.Text));
            ++fastCount;
        }
    });
    for (int i = 0; i < kMessages; ++i) {
        server.Send(text(i));
        // The engine's pace: a few messages at a time, never faster than the server takes them.
        if (i % 8 == 7 && !Eventually([&] { return fastCount + 8 >= size_t(i); })) {
            ADD_FAILURE() << "the fast reader stopped at " << fastCount;
            break;
        }
    }
    reader.join();
    ASSERT_EQ(fastGot.size(), size_t(kMessages));
    for (int i = 0; i < kMessages; ++i) EXPECT_EQ(fastGot[size_t(i)], i);

    // The slow reader gets an increasing run that ends with the newest message, with the
    // oldest ones it could not take left out.
    std::vector<int> slowGot;
    while (slowGot.empty() || slowGot.back() != kMessages - 1) {
        const WsClient::Frame f = slow.Read();
        ASSERT_EQ(f.Kind, Got::Text) << "after " << slowGot.size() << " messages";
        slowGot.push_back(std::stoi(f.Text));
    }
    EXPECT_LT(slowGot.size(), size_t(kMessages));
    EXPECT_TRUE(std::is_sorted(slowGot.begin(), slowGot.end()));
    EXPECT_EQ(server.Clients(), 2u);
}

}  // namespace
}  // namespace orva
