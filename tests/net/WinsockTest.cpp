// The project's Winsock library against real sockets on 127.0.0.1: how its
// notifications are posted and enabled again, look-ups, and handles.

#include "tests/net/WinsockSupport.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace {

using Events = std::vector<WORD>;

class Winsock : public testing::Test {
protected:
    void SetUp() override { WSocketForceLoadWinsock(); }
    void TearDown() override { WSocketUnloadWinsock(); } // closes what is left

    // A connected pair: `c` the client on `client`, `a` the accepted side
    // on `server`, each past its first notifications.
    void Connect() {
        listener = Listener(port);
        ASSERT_EQ(WSocket_WSAAsyncSelect(listener, server.window, WM_ASYNCSELECT,
                                         FD_ACCEPT | FD_READ | FD_WRITE | FD_CLOSE),
                  0);
        c = Connecting(client, port);
        ASSERT_TRUE(PumpUntil([&] {
            return server.Count(listener, FD_ACCEPT) == 1 && client.Count(c, FD_WRITE) == 1;
        }));
        a = WSocket_accept(listener, nullptr, nullptr);
        ASSERT_NE(a, INVALID_SOCKET);
        ASSERT_TRUE(PumpUntil([&] { return server.Count(a, FD_WRITE) == 1; }));
    }
    // Sends all of it from the server side, waiting for FD_WRITE when the
    // socket is full.
    void SendAll(SOCKET s, const std::string& data) {
        std::size_t sent = 0;
        while (sent < data.size()) {
            int writes = server.Count(s, FD_WRITE);
            int n = WSocket_send(s, data.data() + sent, int(data.size() - sent), 0);
            if (n > 0) sent += std::size_t(n);
            if (sent < data.size()) {
                ASSERT_TRUE(PumpUntil([&] { return server.Count(s, FD_WRITE) > writes; }));
            }
        }
    }

    // The server sends 300,000 bytes and closes at once; the client reads
    // them in smaller pieces than wait.
    void SendThenClose(const LINGER* linger) {
        Connect();
        if (linger != nullptr)
            WSocket_setsockopt(a, WS_SOL_SOCKET, WS_SO_LINGER,
                               reinterpret_cast<const char*>(linger), sizeof *linger);
        std::string received;
        bool readAfterClose = false;
        client.onNotice = [&](const Notice& n) {
            if (n.wParam != c) return;
            if (n.low == FD_READ) {
                readAfterClose |= client.Count(c, FD_CLOSE) > 0;
                received += Receive(c, 7000); // less than is waiting, so more reads follow
            }
        };
        std::string data(300000, '\0');
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = char(i * 7 % 251);
        SendAll(a, data);
        EXPECT_EQ(WSocket_closesocket(a), 0);
        ASSERT_TRUE(PumpUntil([&] { return client.Count(c, FD_CLOSE) == 1; }));
        PumpFor(100);
        EXPECT_EQ(received.size(), data.size());
        EXPECT_TRUE(received == data);
        EXPECT_FALSE(readAfterClose);
        EXPECT_EQ(client.Count(c, FD_CLOSE), 1);
        EXPECT_EQ(client.notices.back().high, 0);
    }

    NoticeWindow client, server;
    USHORT port = 0;
    SOCKET listener = INVALID_SOCKET, c = INVALID_SOCKET, a = INVALID_SOCKET;
};

TEST_F(Winsock, ConnectThenWriteAndReadAgainOnlyAfterAReceive) {
    listener = Listener(port);
    WSocket_WSAAsyncSelect(listener, server.window, WM_ASYNCSELECT, FD_ACCEPT);
    c = Connecting(client, port);
    EXPECT_TRUE(client.notices.empty()); // posted, never sent
    ASSERT_TRUE(PumpUntil([&] { return client.Count(c, FD_WRITE) == 1; }));
    EXPECT_EQ(client.EventsOf(c), (Events{FD_CONNECT, FD_WRITE}));
    EXPECT_EQ(client.notices[0].high, 0);

    ASSERT_TRUE(PumpUntil([&] { return server.Count(listener, FD_ACCEPT) == 1; }));
    a = WSocket_accept(listener, nullptr, nullptr);
    ASSERT_NE(a, INVALID_SOCKET);
    // The listener's registration was FD_ACCEPT alone, and the accepted
    // socket inherits it.
    SOCKET second = Connecting(client, port);
    ASSERT_TRUE(PumpUntil([&] { return server.Count(listener, FD_ACCEPT) == 2; }));
    EXPECT_TRUE(server.EventsOf(a).empty());
    WSocket_WSAAsyncSelect(a, server.window, WM_ASYNCSELECT, FD_READ | FD_WRITE | FD_CLOSE);

    ASSERT_EQ(WSocket_send(a, "hello", 5, 0), 5);
    ASSERT_TRUE(PumpUntil([&] { return client.Count(c, FD_READ) == 1; }));
    ASSERT_EQ(WSocket_send(a, " world", 6, 0), 6);
    PumpFor(100);
    EXPECT_EQ(client.Count(c, FD_READ), 1); // not again before a receive

    char peek[2];
    EXPECT_EQ(WSocket_recv(c, peek, 2, WS_MSG_PEEK), 2);
    ASSERT_TRUE(PumpUntil([&] { return client.Count(c, FD_READ) == 2; }));
    EXPECT_EQ(Receive(c), "hello world");
    PumpFor(100);
    EXPECT_EQ(client.Count(c, FD_READ), 2); // everything was read

    // A receive that would block enables it again too.
    EXPECT_EQ(WSocket_recv(c, peek, 2, 0), SOCKET_ERROR);
    EXPECT_EQ(WSocket_WSAGetLastError(), WSAEWOULDBLOCK);
    WSocket_send(a, "!", 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return client.Count(c, FD_READ) == 3; }));
    EXPECT_EQ(client.Count(c, FD_WRITE), 1);
    EXPECT_EQ(client.Count(second, FD_CONNECT), 1);
}

TEST_F(Winsock, ANewRegistrationPostsWhatIsTrueInWinsocksOrder) {
    listener = Listener(port);
    WSocket_WSAAsyncSelect(listener, server.window, WM_ASYNCSELECT,
                           FD_ACCEPT | FD_READ | FD_WRITE | FD_CLOSE);
    c = Connecting(client, port);
    ASSERT_TRUE(PumpUntil([&] { return client.Count(c, FD_WRITE) == 1; }));
    ASSERT_EQ(WSocket_send(c, "early", 5, 0), 5);
    WSocket_shutdown(c, SD_SEND);
    ASSERT_TRUE(PumpUntil([&] { return server.Count(listener, FD_ACCEPT) == 1; }));
    a = WSocket_accept(listener, nullptr, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return server.Count(a, FD_READ) == 1; }));
    EXPECT_EQ(server.EventsOf(a), (Events{FD_WRITE, FD_READ}));

    // Registering again reports both again; the close comes once the data
    // is read.
    WSocket_WSAAsyncSelect(a, server.window, WM_ASYNCSELECT, FD_READ | FD_WRITE | FD_CLOSE);
    ASSERT_TRUE(PumpUntil([&] { return server.Count(a, FD_READ) == 2; }));
    EXPECT_EQ(server.EventsOf(a), (Events{FD_WRITE, FD_READ, FD_WRITE, FD_READ}));
    EXPECT_EQ(Receive(a), "early");
    ASSERT_TRUE(PumpUntil([&] { return server.Count(a, FD_CLOSE) == 1; }));
    EXPECT_EQ(server.EventsOf(a).back(), FD_CLOSE);
}

TEST_F(Winsock, APeerThatSendsAndClosesAtOnceDeliversEverythingBeforeOneClose) {
    SendThenClose(nullptr);
}

// A positive linger closes in the background, and as gracefully.
TEST_F(Winsock, APeerThatLingersDeliversEverythingBeforeOneClose) {
    LINGER graceful{1, 2};
    SendThenClose(&graceful);
}

TEST_F(Winsock, ARefusedConnectIsReportedThroughFdConnect) {
    SOCKET closed = Listener(port);
    WSocket_closesocket(closed);
    c = Connecting(client, port);
    ASSERT_TRUE(PumpUntil([&] { return client.Count(c, FD_CONNECT) == 1; }));
    PumpFor(100);
    EXPECT_EQ(client.EventsOf(c), (Events{FD_CONNECT}));
    EXPECT_EQ(client.notices[0].high, WSAECONNREFUSED);
}

TEST_F(Winsock, FdWriteComesAgainOnlyAfterASendThatFellShort) {
    Connect();
    // Small buffers on both sides, so that the connection fills up.
    int size = 4096;
    WSocket_setsockopt(c, WS_SOL_SOCKET, WS_SO_SNDBUF, reinterpret_cast<char*>(&size), sizeof size);
    WSocket_setsockopt(a, WS_SOL_SOCKET, WS_SO_RCVBUF, reinterpret_cast<char*>(&size), sizeof size);
    ASSERT_EQ(WSocket_send(c, "x", 1, 0), 1);
    PumpFor(50);
    EXPECT_EQ(client.Count(c, FD_WRITE), 1); // a send that went whole arms nothing

    // Fill the buffers until a send falls short or would block; while the
    // connection still takes more, each short send brings one FD_WRITE.
    std::string big(1 << 20, 'b');
    auto fill = [&] {
        for (int i = 0; i < 1000; ++i)
            if (WSocket_send(c, big.data(), int(big.size()), 0) < int(big.size())) return;
    };
    fill();
    for (int round = 0; round < 50; ++round) {
        int before = client.Count(c, FD_WRITE);
        PumpFor(60);
        if (client.Count(c, FD_WRITE) == before) break;
        fill();
    }
    int settled = client.Count(c, FD_WRITE);
    PumpFor(100);
    EXPECT_EQ(client.Count(c, FD_WRITE), settled); // no room until the peer reads
    std::size_t drained = 0;
    ASSERT_TRUE(PumpUntil([&] {
        drained += Receive(a).size();
        return client.Count(c, FD_WRITE) == settled + 1;
    }));
    PumpFor(50);
    EXPECT_EQ(client.Count(c, FD_WRITE), settled + 1);
    EXPECT_GT(drained, 0u);
}

TEST_F(Winsock, AnAbortiveCloseReachesThePeerAsAReset) {
    Connect();
    LINGER abortive{1, 0};
    WSocket_setsockopt(a, WS_SOL_SOCKET, WS_SO_LINGER, reinterpret_cast<char*>(&abortive),
                       sizeof abortive);
    LINGER back{};
    int length = sizeof back;
    WSocket_getsockopt(a, WS_SOL_SOCKET, WS_SO_LINGER, reinterpret_cast<char*>(&back), &length);
    EXPECT_EQ(back.l_onoff, 1);
    EXPECT_EQ(WSocket_closesocket(a), 0);
    ASSERT_TRUE(PumpUntil([&] { return client.Count(c, FD_CLOSE) == 1; }));
    EXPECT_EQ(client.notices.back().high, WSAECONNRESET);
    EXPECT_EQ(WSocket_closesocket(a), SOCKET_ERROR); // gone
    EXPECT_EQ(WSocket_WSAGetLastError(), WSAENOTSOCK);
}

// The system reports a reset once: to the receive that meets it first. A
// reader that took it that way still sees the close carry it, as the only
// news that the stream ended short.
TEST_F(Winsock, AResetThatAReceiveTookStillGoesWithTheClose) {
    Connect();
    std::string received;
    int failure = 0;
    client.onNotice = [&](const Notice& n) {
        if (n.wParam != c || n.low != FD_READ) return;
        char buffer[64];
        for (int got; (got = WSocket_recv(c, buffer, sizeof buffer, 0)) > 0;)
            received.append(buffer, std::size_t(got));
        failure = WSocket_WSAGetLastError();
    };
    ASSERT_EQ(WSocket_send(a, "abc", 3, 0), 3);
    LINGER abortive{1, 0};
    WSocket_setsockopt(a, WS_SOL_SOCKET, WS_SO_LINGER, reinterpret_cast<char*>(&abortive),
                       sizeof abortive);
    EXPECT_EQ(WSocket_closesocket(a), 0);
    ASSERT_TRUE(PumpUntil([&] { return client.Count(c, FD_CLOSE) == 1; }));
    EXPECT_EQ(received, "abc");
    EXPECT_EQ(failure, WSAECONNRESET);
    EXPECT_EQ(client.notices.back().high, WSAECONNRESET);
}

TEST_F(Winsock, AStaleMessageForAClosedHandleNeverNamesANewSocket) {
    Connect();
    WSocket_send(a, "x", 1, 0);
    MSG queued;
    ASSERT_TRUE(PumpUntil([&] {
        WaitForNextEvent(5);
        return PeekMessageA(&queued, client.window, WM_ASYNCSELECT, WM_ASYNCSELECT, PM_NOREMOVE);
    }));
    EXPECT_EQ(queued.wParam, c);
    WSocket_closesocket(c);
    SOCKET d = Connecting(client, port);
    EXPECT_NE(d, c);
    ASSERT_TRUE(PumpUntil([&] { return client.Count(d, FD_WRITE) == 1; }));
    EXPECT_EQ(client.Count(c, FD_READ), 1); // the stale one, under the old handle
    EXPECT_EQ(client.EventsOf(d), (Events{FD_CONNECT, FD_WRITE}));

    std::set<SOCKET> handles{c, d};
    for (int i = 0; i < 100; ++i) {
        SOCKET s = WSocket_socket(WS_AF_INET, WS_SOCK_STREAM, 0);
        EXPECT_TRUE(handles.insert(s).second);
        WSocket_closesocket(s);
    }
}

TEST_F(Winsock, LookUpsAnswerLaterIntoTheCallersBufferAndACancelledOneNever) {
    alignas(8) char buffer[1025 + 16];
    std::memset(buffer, 0x5A, sizeof buffer);
    HANDLE found = WSocket_WSAAsyncGetHostByName(client.window, WM_ASYNCGETHOSTBYNAME, "localhost",
                                                 buffer, 1025);
    HANDLE cancelled = WSocket_WSAAsyncGetHostByName(client.window, WM_ASYNCGETHOSTBYNAME,
                                                     "localhost", buffer, 1025);
    alignas(8) char small[40 + 16];
    std::memset(small, 0x5A, sizeof small);
    HANDLE tooSmall =
        WSocket_WSAAsyncGetHostByName(client.window, WM_ASYNCGETHOSTBYNAME, "localhost", small, 40);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(WSocket_WSACancelAsyncRequest(cancelled), 0);
    EXPECT_TRUE(client.notices.empty());
    ASSERT_TRUE(PumpUntil([&] { return client.notices.size() == 2; }));
    PumpFor(200);
    ASSERT_EQ(client.notices.size(), 2u);
    for (const Notice& n : client.notices) {
        EXPECT_NE(n.wParam, WPARAM(cancelled));
        if (n.wParam == WPARAM(found)) {
            EXPECT_EQ(n.high, 0);
            HOSTENT entry;
            std::memcpy(&entry, buffer, sizeof entry);
            EXPECT_STRNE(entry.h_name, "");
            EXPECT_EQ(entry.h_length, 4);
            EXPECT_EQ(std::memcmp(entry.h_addr_list[0], "\x7F\0\0\x01", 4), 0);
        } else {
            EXPECT_EQ(n.wParam, WPARAM(tooSmall));
            EXPECT_EQ(n.high, WSAENOBUFS);
            EXPECT_GT(n.low, 40);
        }
    }
    for (std::size_t i = 1025; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], 0x5A);
    for (std::size_t i = 0; i < sizeof small; ++i)
        EXPECT_EQ(small[i], 0x5A);                                 // nothing written
    EXPECT_EQ(WSocket_WSACancelAsyncRequest(found), SOCKET_ERROR); // already answered

    char address[4] = {127, 0, 0, 1};
    HANDLE reverse = WSocket_WSAAsyncGetHostByAddr(client.window, WM_ASYNCGETHOSTBYADDR, address, 4,
                                                   WS_AF_INET, buffer, 1025);
    ASSERT_TRUE(PumpUntil([&] { return client.notices.size() == 3; }));
    EXPECT_EQ(client.notices.back().wParam, WPARAM(reverse));
    EXPECT_EQ(client.notices.back().high, 0);
}

TEST_F(Winsock, ServicesAndProtocolsComeFromABuiltInTableWhenTheFilesAreMissing) {
    setenv("ROSTRIX_SERVICES_FILE", "/nonexistent/services", 1);
    setenv("ROSTRIX_PROTOCOLS_FILE", "/nonexistent/protocols", 1);
    struct Case {
        const char* name;
        int number;
    };
    for (Case service : {Case{"ftp", 21}, Case{"smtp", 25}, Case{"HTTP", 80}}) {
        SERVENT* entry = WSocket_getservbyname(service.name, "tcp");
        ASSERT_NE(entry, nullptr) << service.name;
        EXPECT_EQ(WSocket_ntohs(USHORT(entry->s_port)), service.number);
    }
    for (Case protocol : {Case{"tcp", 6}, Case{"udp", 17}}) {
        PROTOENT* entry = WSocket_getprotobyname(protocol.name);
        ASSERT_NE(entry, nullptr) << protocol.name;
        EXPECT_EQ(entry->p_proto, protocol.number);
    }
    EXPECT_EQ(WSocket_getservbyname("gopher", "tcp"), nullptr);
    EXPECT_EQ(WSocket_WSAGetLastError(), WSANO_DATA);
    EXPECT_EQ(WSocket_getprotobyname("icmp"), nullptr);
    unsetenv("ROSTRIX_SERVICES_FILE");
    unsetenv("ROSTRIX_PROTOCOLS_FILE");
}

} // namespace
