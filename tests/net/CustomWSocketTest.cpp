// The asynchronous socket on 127.0.0.1: sessions between two of our own
// sockets (one listening, accepting and handing over with Dup), and peers
// that misbehave on purpose.

#include "net/LineWSocket.h"
#include "tests/net/SocketPeers.h"
#include "tests/net/WinsockSupport.h"

#include <QTimer>
#include <atomic>
#include <chrono>
#include <dirent.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const char* StateName(TSocketState state) {
    static const char* const names[] = {"invalid",   "opened",    "bound",     "connecting",
                                        "connected", "accepting", "listening", "closed"};
    return names[state];
}

template <typename Call> std::string RaisedBy(Call call) {
    try {
        call();
    } catch (const ESocketException& error) {
        return error.what();
    }
    return "nothing raised";
}

int OpenDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr)
            ++count;
        closedir(dir);
    }
    return count;
}

std::string Pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = char('a' + (i * 7 + i / 251) % 26);
    return data;
}

// Records what a socket tells its owner, in order.
struct Recorder {
    std::vector<std::string> log;
    std::string received;
    int closed = 0;
    int lastClosedError = -1;
    int connectedError = -1;

    void Attach(TCustomWSocket& s) {
        s.OnChangeState = [this](TCustomWSocket*, TSocketState from, TSocketState to) {
            log.push_back(std::string("state ") + StateName(from) + ">" + StateName(to));
        };
        s.OnSessionConnected = [this](TCustomWSocket*, WORD error) {
            connectedError = error;
            log.push_back("connected " + std::to_string(error));
        };
        s.OnDataAvailable = [this](TCustomWSocket* sender, WORD) {
            char buffer[65536];
            int got = sender->Receive(buffer, sizeof buffer);
            if (got > 0) received.append(buffer, std::size_t(got));
            if (log.empty() || log.back() != "data") log.push_back("data");
        };
        s.OnDataSent = [this](TCustomWSocket*, WORD error) {
            log.push_back("sent " + std::to_string(error));
        };
        s.OnSessionClosed = [this](TCustomWSocket*, WORD error) {
            ++closed;
            lastClosedError = error;
            log.push_back("closed " + std::to_string(error));
        };
    }
};

// A listening socket of ours that accepts one session at a time into a
// socket of its own with Dup.
struct Server {
    Recorder recorder; // outlives the sockets that report to it
    TWSocket listener;
    std::unique_ptr<TWSocket> peer;
    std::string port;

    Server() {
        listener.SetAddr("127.0.0.1");
        listener.SetPort("0");
        listener.OnSessionAvailable = [this](TCustomWSocket*, WORD error) {
            EXPECT_EQ(error, 0);
            SOCKET handle = listener.Accept();
            peer = std::make_unique<TWSocket>();
            // Closes hand everything to the peer instead of resetting.
            peer->LingerOnOff = wsLingerOff;
            recorder.Attach(*peer);
            peer->Dup(handle);
        };
        listener.Listen();
        port = listener.GetXPort();
    }
};

void ConnectTo(TWSocket& client, const std::string& port) {
    client.SetAddr("127.0.0.1");
    client.SetPort(port);
    client.Connect();
}

TEST(WSocket, SessionBothWaysWithEventsInOrderAndDefaultsAfterTheClose) {
    Server server;
    EXPECT_EQ(server.listener.State(), wsListening);
    Recorder events;
    TWSocket client;
    events.Attach(client);
    ConnectTo(client, server.port);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected && server.peer; }));
    EXPECT_EQ(server.peer->State(), wsConnected);
    EXPECT_EQ(client.PeerAddr(), "127.0.0.1");
    EXPECT_EQ(client.PeerPort(), server.port);

    EXPECT_EQ(client.SendStr("hello from the client"), 21);
    ASSERT_TRUE(PumpUntil([&] { return server.recorder.received.size() == 21; }));
    server.peer->SendStr("and back");
    ASSERT_TRUE(PumpUntil([&] { return events.received == "and back"; }));
    EXPECT_EQ(server.recorder.received, "hello from the client");
    EXPECT_EQ(client.ReadCount(), 8);

    client.Close();
    ASSERT_TRUE(PumpUntil([&] { return server.recorder.closed == 1; }));
    PumpFor(50);
    EXPECT_EQ(events.closed, 1);
    EXPECT_EQ(server.recorder.closed, 1);
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"state closed>opened", "state opened>connecting",
                                        "state connecting>connected", "connected 0", "sent 0",
                                        "sent 0", "data", "state connected>closed", "closed 0"}));

    // The defaults are back: the end points must be given again.
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(client.ReadCount(), 0);
    EXPECT_EQ(client.LocalAddr(), "0.0.0.0");
    EXPECT_EQ(client.Proto(), "tcp");
    EXPECT_EQ(client.PeerAddr(), "error");
    EXPECT_EQ(RaisedBy([&] { client.Connect(); }), "Connect: No Port Specified");
    client.SetPort(server.port);
    EXPECT_EQ(RaisedBy([&] { client.Connect(); }), "Connect: No IP Address Specified");
}

TEST(WSocket, ALargeSendGoesThroughTheQueueAndOnDataSentFiresOnceAtTheEnd) {
    Server server;
    Recorder events;
    TWSocket client;
    events.Attach(client);
    int sendData = 0;
    client.OnSendData = [&](TCustomWSocket*, int bytes) {
        EXPECT_GT(bytes, 0);
        EXPECT_LE(bytes, 1460); // one chunk at most
        sendData += bytes;
    };
    ConnectTo(client, server.port);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected && server.peer; }));
    PumpFor(20);
    events.log.clear();

    const std::string data = Pattern(8 << 20);
    EXPECT_EQ(client.Send(data.data(), int(data.size())), int(data.size()));
    EXPECT_FALSE(client.AllSent()); // the socket's buffer cannot take 8 MB at once
    ASSERT_TRUE(PumpUntil([&] { return server.recorder.received.size() == data.size(); }, 20000));
    PumpFor(20);
    EXPECT_TRUE(server.recorder.received == data);
    EXPECT_EQ(sendData, int(data.size()));
    EXPECT_EQ(events.log, std::vector<std::string>{"sent 0"});
}

TEST(WSocket, EveryByteArrivesBeforeTheCloseFromEitherSide) {
    for (bool serverCloses : {true, false}) {
        SCOPED_TRACE(serverCloses ? "server closes" : "client closes");
        Server server;
        Recorder events;
        TWSocket client;
        events.Attach(client);
        client.LingerOnOff = wsLingerOff;
        ConnectTo(client, server.port);
        ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected && server.peer; }));
        const std::string data = Pattern(3 << 20);
        TWSocket& sender = serverCloses ? *server.peer : client;
        Recorder& receiver = serverCloses ? events : server.recorder;
        Recorder& closer = serverCloses ? server.recorder : events;
        sender.Send(data.data(), int(data.size()));
        // The sender closes once all is handed to the library.
        sender.OnDataSent = [](TCustomWSocket* s, WORD) { s->Close(); };
        ASSERT_TRUE(PumpUntil([&] { return receiver.closed == 1; }, 20000));
        EXPECT_EQ(receiver.received.size(), data.size());
        EXPECT_TRUE(receiver.received == data);
        // The data, then the close, then the state.
        ASSERT_GE(receiver.log.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(receiver.log.end() - 3, receiver.log.end()),
                  (std::vector<std::string>{"data", "closed 0", "state connected>closed"}));
        PumpFor(30);
        EXPECT_EQ(receiver.closed, 1);
        EXPECT_EQ(closer.closed, 1);
    }
}

TEST(WSocket, ARefusedConnectReportsTheCodeAndClosesOnce) {
    Recorder events;
    TWSocket client;
    events.Attach(client);
    const RefusedPort closed;
    ConnectTo(client, std::to_string(closed.port));
    ASSERT_TRUE(PumpUntil([&] { return events.closed > 0; }));
    PumpFor(30);
    EXPECT_EQ(events.connectedError, WSAECONNREFUSED);
    EXPECT_EQ(WSocketErrorDesc(events.connectedError), "Connection refused");
    EXPECT_EQ(events.closed, 1);
    EXPECT_EQ(events.lastClosedError, 0);
    EXPECT_EQ(client.State(), wsClosed);
}

TEST(WSocket, AListenThatCannotBindLeavesNoHandleOpen) {
    Server taken;
    TWSocket second;
    second.SetAddr("127.0.0.1");
    second.SetPort(taken.port);
    const int before = OpenDescriptors();
    EXPECT_EQ(RaisedBy([&] { second.Listen(); }),
              "Error 10048 in function Bind\r\nAddress already in use");
    EXPECT_EQ(OpenDescriptors(), before);
    EXPECT_EQ(second.State(), wsClosed);
    EXPECT_EQ(second.HSocket(), INVALID_SOCKET);
}

TEST(WSocket, PausedSocketHearsNothingUntilResumed) {
    Server server;
    Recorder events;
    TWSocket client;
    events.Attach(client);
    ConnectTo(client, server.port);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected && server.peer; }));
    client.Pause();
    server.peer->SendStr("waiting");
    PumpFor(150);
    EXPECT_EQ(events.received, "");
    client.Resume();
    ASSERT_TRUE(PumpUntil([&] { return events.received == "waiting"; }));
}

TEST(WSocket, CallsThatNeedAnotherStateFailWithTheirTexts) {
    TWSocket s;
    EXPECT_EQ(RaisedBy([&] { s.Dup(0); }), "Error 10022 in function Dup\r\nInvalid argument");
    EXPECT_EQ(RaisedBy([&] { s.Accept(); }),
              "Error 10022 in function not a listening socket\r\nInvalid argument");
    EXPECT_EQ(RaisedBy([&] { s.SendStr("x"); }),
              "Error 10057 in function Send\r\nSocket is not connected");
    EXPECT_EQ(RaisedBy([&] { s.Listen(); }),
              "Error 10022 in function listen: port not assigned\r\nInvalid argument");
    EXPECT_EQ(s.LastError(), WSAEINVAL);

    Server server;
    EXPECT_EQ(RaisedBy([&] { server.listener.SetAddr("x"); }), "Cannot change Addr if not closed");
    EXPECT_EQ(RaisedBy([&] { server.listener.SetPort("1"); }), "Cannot change Port if not closed");
    EXPECT_EQ(RaisedBy([&] { server.listener.SetProto("udp"); }),
              "Cannot change Proto if not closed");
    EXPECT_EQ(RaisedBy([&] { server.listener.SetLocalPort("1"); }),
              "Cannot change LocalPort if not closed");
    EXPECT_EQ(RaisedBy([&] { server.listener.SetLocalAddr("1"); }),
              "Cannot change LocalAddr if not closed");
    EXPECT_EQ(RaisedBy([&] { server.listener.Connect(); }), "Connect: Socket already in use");

    // With OnError set nothing is raised; the code stays readable.
    int errors = 0;
    s.OnError = [&](TCustomWSocket*) { ++errors; };
    s.Dup(INVALID_SOCKET);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(s.LastError(), WSAEINVAL);
}

TEST(WSocket, ASendWhileConnectingClosesOnceAndTheNextSessionIsReportedToo) {
    Server server;
    Recorder events;
    TWSocket client;
    events.Attach(client);
    ConnectTo(client, server.port);
    ASSERT_EQ(client.State(), wsConnecting);
    EXPECT_EQ(RaisedBy([&] { client.SendStr("early"); }),
              "Error 10057 in function Send\r\nSocket is not connected");
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(events.closed, 1);
    EXPECT_EQ(events.lastClosedError, WSAENOTCONN);
    EXPECT_EQ(events.log.back(), "closed 10057");

    // The next session starts from the defaults and its close is reported.
    ConnectTo(client, server.port);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected; }));
    client.Close();
    EXPECT_EQ(events.closed, 2);
}

TEST(WSocket, AHandlerThatReconnectsFromOnSessionClosedKeepsItsNewSession) {
    Server server;
    TWSocket client;
    int closes = 0;
    client.OnSessionClosed = [&](TCustomWSocket*, WORD) {
        if (++closes == 1) ConnectTo(client, server.port);
    };
    ConnectTo(client, server.port);
    ASSERT_EQ(client.State(), wsConnecting);
    EXPECT_THROW(client.SendStr("early"), ESocketException);
    EXPECT_EQ(closes, 1);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected; }));
    EXPECT_EQ(client.Port(), server.port);
    client.Close();
    EXPECT_EQ(closes, 2);
}

TEST(WSocket, ADataHandlerThatClosesAtThePeersCloseFiresOnSessionClosedOnce) {
    Server server;
    TWSocket client;
    int closes = 0;
    std::string received;
    client.OnSessionClosed = [&](TCustomWSocket*, WORD) { ++closes; };
    client.OnDataAvailable = [&](TCustomWSocket* s, WORD) {
        char buffer[256];
        int got = s->Receive(buffer, sizeof buffer);
        if (got > 0) received.append(buffer, std::size_t(got));
        if (got == 0) s->Close(); // the end of the stream
    };
    ConnectTo(client, server.port);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected && server.peer; }));
    server.peer->SendStr("last words");
    server.peer->CloseDelayed();
    ASSERT_TRUE(PumpUntil([&] { return closes > 0; }));
    PumpFor(50);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(received, "last words");
    EXPECT_EQ(client.State(), wsClosed);
}

TEST(WSocket, AHandlerMayDestroyTheSocketFromOnSessionClosed) {
    for (bool peerCloses : {true, false}) {
        SCOPED_TRACE(peerCloses ? "peer closes" : "own close");
        Server server;
        auto* client = new TWSocket;
        bool destroyed = false;
        client->OnSessionClosed = [&](TCustomWSocket* s, WORD) {
            destroyed = true; // before the handler itself goes with the socket
            delete s;
        };
        ConnectTo(*client, server.port);
        ASSERT_TRUE(PumpUntil([&] { return client->State() == wsConnected && server.peer; }));
        if (peerCloses)
            server.peer->Close();
        else
            client->Close();
        ASSERT_TRUE(PumpUntil([&] { return destroyed; }));
        PumpFor(30);
    }
    // Release destroys from the message loop.
    auto* released = new TWSocket;
    const int count = WSocketSocketCount();
    released->Release();
    EXPECT_EQ(WSocketSocketCount(), count);
    ASSERT_TRUE(PumpUntil([&] { return WSocketSocketCount() == count - 1; }));
}

TEST(WSocket, AnExceptionInADataHandlerAbortsTheSocketThroughTheBackgroundHandler) {
    Server server;
    TWSocket client;
    std::string seen;
    int closes = 0;
    client.OnDataAvailable = [](TCustomWSocket* s, WORD) {
        s->ReceiveStr();
        throw ESocketException("line too long");
    };
    client.OnBgException = [&](TCustomWSocket*, const std::exception& e, bool& canClose) {
        seen = e.what();
        EXPECT_TRUE(canClose);
    };
    client.OnSessionClosed = [&](TCustomWSocket*, WORD) { ++closes; };
    ConnectTo(client, server.port);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected && server.peer; }));
    server.peer->SendStr("anything");
    ASSERT_TRUE(PumpUntil([&] { return closes == 1; }));
    EXPECT_EQ(seen, "line too long");
    EXPECT_EQ(client.State(), wsClosed);

    // The test message takes the same road; CanClose false keeps the socket.
    TWSocket other;
    other.OnBgException = [&](TCustomWSocket*, const std::exception& e, bool& canClose) {
        seen = e.what();
        canClose = false;
    };
    PostMessageA(other.Handle(), WM_TRIGGER_EXCEPTION, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return seen == "Test exception in WSocket"; }));
}

TEST(WSocket, FlushAndWaitForCloseGiveUpAtTheirDeadline) {
    Server server;
    TWSocket client;
    ConnectTo(client, server.port);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected && server.peer; }));
    server.peer->Pause(); // reads nothing, so the queue cannot drain
    client.FlushTimeout = 1;
    const std::string data = Pattern(32 << 20);
    client.Send(data.data(), int(data.size()));
    DWORD start = GetTickCount();
    client.Flush();
    DWORD spent = GetTickCount() - start;
    EXPECT_FALSE(client.AllSent());
    EXPECT_GE(spent, 900u);
    EXPECT_LT(spent, 5000u);

    // A stale "would block" from an earlier call does not keep it waiting.
    TWSocket quiet;
    ConnectTo(quiet, server.port);
    ASSERT_TRUE(PumpUntil([&] { return quiet.State() == wsConnected; }));
    quiet.FlushTimeout = 1;
    WSocket_WSASetLastError(WSAEWOULDBLOCK);
    start = GetTickCount();
    quiet.WaitForClose();
    EXPECT_LT(GetTickCount() - start, 5000u);

    // Nor past a peer that has closed, when no message says so (paused).
    std::atomic<bool> paused{false};
    ScriptedPeer closing([&](int) {
        while (!paused)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    TWSocket deaf;
    ConnectTo(deaf, std::to_string(closing.port));
    ASSERT_TRUE(PumpUntil([&] { return deaf.State() == wsConnected; }));
    deaf.Pause();
    paused = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the peer's close arrives
    deaf.FlushTimeout = 5;
    WSocket_WSASetLastError(WSAEWOULDBLOCK);
    start = GetTickCount();
    deaf.WaitForClose();
    EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST(WSocket, WaitForCloseWaitsWhileThePeerStaysConnectedAndEndsAtItsClose) {
    Server server;
    TWSocket client;
    std::string received;
    client.OnDataAvailable = [&](TCustomWSocket* s, WORD) { received += s->ReceiveStr(); };
    ConnectTo(client, server.port);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected && server.peer; }));
    client.FlushTimeout = 20;
    server.peer->SendStr("bye");
    QTimer::singleShot(300, [&] { server.peer->Close(); });
    const DWORD start = GetTickCount();
    client.WaitForClose();
    const DWORD spent = GetTickCount() - start;
    EXPECT_GE(spent, 250u);
    EXPECT_LT(spent, 10000u);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsClosed; }));
    EXPECT_EQ(received, "bye");
}

TEST(WSocket, LookUpsOfDottedNamesAndEmptyTexts) {
    TWSocket s;
    std::vector<int> done;
    s.OnDnsLookupDone = [&](TCustomWSocket*, WORD error) { done.push_back(error); };
    s.DnsLookup("127.0.0.1");
    EXPECT_EQ(done, std::vector<int>{0}); // before it returns
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
    EXPECT_EQ(RaisedBy([&] { s.DnsLookup(""); }), "DNS lookup: invalid host name.");
    int errors = 0;
    s.OnError = [&](TCustomWSocket*) { ++errors; };
    s.DnsLookup("");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(done, (std::vector<int>{0, WSAEINVAL}));
    s.ReverseDnsLookup("");
    EXPECT_EQ(errors, 2);

    s.DnsLookup("localhost");
    ASSERT_TRUE(PumpUntil([&] { return done.size() == 4; }));
    EXPECT_EQ(done.back(), 0);
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");

    s.DnsLookup("localhost");
    s.CancelDnsLookup();
    EXPECT_EQ(done.back(), WSAEINTR);
}

TEST(WSocket, DatagramsConnectAtOnceAndCarryTheirSender) {
    TWSocket server;
    std::vector<std::string> log;
    std::string from;
    server.SetProto("udp");
    server.SetAddr("127.0.0.1");
    server.SetPort("0");
    server.OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState to) {
        log.push_back(StateName(to));
    };
    server.OnSessionConnected = [&](TCustomWSocket*, WORD e) {
        log.push_back("connected " + std::to_string(e));
    };
    server.OnDataAvailable = [&](TCustomWSocket* s, WORD) {
        char buffer[512];
        SOCKADDR_IN sender{};
        int length = sizeof sender;
        int got = s->ReceiveFrom(buffer, sizeof buffer, sender, length);
        if (got > 0) log.push_back("datagram " + std::string(buffer, std::size_t(got)));
        from = WSocket_inet_ntoa(sender.sin_addr);
    };
    server.Listen();
    EXPECT_EQ(log, (std::vector<std::string>{"bound", "listening", "connected", "connected 0"}));

    TWSocket client;
    client.SetProto("udp");
    client.SetAddr("127.0.0.1");
    client.SetPort(server.GetXPort());
    int connected = -1;
    client.OnSessionConnected = [&](TCustomWSocket*, WORD e) { connected = e; };
    client.Connect();
    EXPECT_EQ(connected, 0); // before Connect returns
    EXPECT_EQ(client.State(), wsConnected);
    client.SendStr("one datagram");
    ASSERT_TRUE(PumpUntil([&] { return log.size() == 5; }));
    EXPECT_EQ(log.back(), "datagram one datagram");
    EXPECT_EQ(from, "127.0.0.1");
}

TEST(WSocket, APeerThatResetsDuringALargeSendClosesTheSessionOnce) {
    ScriptedPeer peer([](int fd) {
        ReadExactly(fd, 4096);
        linger abortive{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    });
    TWSocket client;
    std::vector<int> closes;
    client.OnSessionClosed = [&](TCustomWSocket*, WORD e) { closes.push_back(e); };
    client.SetAddr("127.0.0.1");
    client.SetPort(std::to_string(peer.port));
    client.Connect();
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected; }));
    const std::string data = Pattern(32 << 20);
    client.Send(data.data(), int(data.size()));
    ASSERT_TRUE(PumpUntil([&] { return !closes.empty(); }));
    PumpFor(50);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_TRUE(closes[0] == WSAECONNRESET || closes[0] == WSAECONNABORTED) << closes[0];
    EXPECT_EQ(client.State(), wsClosed);
}

TEST(WSocket, AHandlerMayDestroyTheSocketWhileItSendsOrFlushes) {
    {
        // After the first piece has gone.
        Server server;
        auto* client = new TWSocket;
        bool destroyed = false;
        client->OnSendData = [&](TCustomWSocket* s, int) {
            destroyed = true;
            delete s;
        };
        ConnectTo(*client, server.port);
        ASSERT_TRUE(PumpUntil([&] { return client->State() == wsConnected && server.peer; }));
        const std::string data = Pattern(3 * 1460);
        client->Send(data.data(), int(data.size()));
        EXPECT_TRUE(destroyed);
        PumpFor(30);
    }
    {
        // A reset ends the session in the middle of a Flush.
        std::atomic<bool> flushing{false};
        ScriptedPeer peer([&](int fd) {
            ReadExactly(fd, 4096);
            while (!flushing)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            linger abortive{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        });
        auto* client = new TWSocket;
        bool destroyed = false;
        client->OnSessionClosed = [&](TCustomWSocket* s, WORD) {
            destroyed = true;
            delete s;
        };
        client->SetAddr("127.0.0.1");
        client->SetPort(std::to_string(peer.port));
        client->Connect();
        ASSERT_TRUE(PumpUntil([&] { return client->State() == wsConnected; }));
        client->FlushTimeout = 10;
        const std::string data = Pattern(32 << 20);
        client->Send(data.data(), int(data.size()));
        ASSERT_FALSE(destroyed);
        flushing = true;
        client->Flush();
        EXPECT_TRUE(destroyed);
    }
}

TEST(WSocket, DestroyingAConnectedSocketClosesItWithoutTellingTheOwner) {
    Server server;
    std::vector<std::string> log;
    auto client = std::make_unique<TWSocket>();
    client->OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState to) {
        log.push_back(StateName(to));
    };
    client->OnSessionClosed = [&](TCustomWSocket*, WORD) { log.push_back("closed"); };
    ConnectTo(*client, server.port);
    ASSERT_TRUE(PumpUntil([&] { return client->State() == wsConnected && server.peer; }));
    log.clear();
    client.reset();
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(PumpUntil([&] { return server.recorder.closed == 1; })); // the peer hears it
}

} // namespace
