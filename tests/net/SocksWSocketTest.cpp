// The SOCKS layer: against in-process peers for what real servers will not
// do on demand (replies split byte by byte, a reply and a banner in one
// segment, every reply code, a close in the middle), and against dante
// (levels 4 and 5) and microsocks (level 5, with and without a user code)
// started from their Debian programs.

#include "net/LineWSocket.h"
#include "tests/net/HexBytes.h"
#include "tests/net/SocketPeers.h"
#include "tests/net/WinsockSupport.h"
#include "tests/support/Scratch.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

template <typename Call> std::string RaisedBy(Call call) {
    try {
        call();
    } catch (const ESocketException& error) {
        return error.what();
    }
    return "nothing raised";
}

// What the owner of a SOCKS socket hears, in order.
struct SocksLog {
    std::vector<std::string> log;
    std::string data;
    int closed = 0;

    void Attach(TCustomSocksWSocket& s) {
        s.OnSocksConnected = [this](TCustomWSocket*, WORD e) {
            log.push_back("socks connected " + std::to_string(e));
        };
        s.OnSocksError = [this](TCustomWSocket*, int e, const std::string& text) {
            log.push_back("socks error " + std::to_string(e) + " " + text);
        };
        s.OnSocksAuthState = [this](TCustomWSocket*, TSocksAuthState state) {
            log.push_back("auth " + std::to_string(int(state)));
        };
        s.OnSessionConnected = [this](TCustomWSocket*, WORD e) {
            log.push_back("connected " + std::to_string(e));
        };
        s.OnDataAvailable = [this](TCustomWSocket* sender, WORD) {
            char buffer[4096];
            int got = sender->Receive(buffer, sizeof buffer);
            if (got > 0) {
                data.append(buffer, std::size_t(got));
                log.push_back("data " + std::string(buffer, std::size_t(got)));
            }
        };
        s.OnSessionClosed = [this](TCustomWSocket*, WORD e) {
            ++closed;
            log.push_back("closed " + std::to_string(e));
        };
    }
};

void Through(TWSocket& s, unsigned short socksPort, const std::string& level,
             const std::string& host, unsigned short port) {
    s.SetSocksServer("127.0.0.1");
    s.SetSocksPort(std::to_string(socksPort));
    s.SetSocksLevel(level);
    s.SetAddr(host);
    s.SetPort(std::to_string(port));
    s.Connect();
}

// A level-5 server without authentication that checks the greeting, then
// answers the request with the reply, written as told.
std::function<void(int)> Level5Server(const std::string& reply, bool bytewise,
                                      std::string* request = nullptr) {
    return [=](int fd) {
        if (ReadExactly(fd, 3) != Bytes("05 01 00")) return;
        WriteBytewise(fd, Bytes("05 00"));
        std::string head = ReadExactly(fd, 5);
        if (head.size() < 5) return;
        std::string rest = ReadExactly(fd, std::size_t((unsigned char)head[4]) + 2);
        if (request != nullptr) *request = head + rest;
        if (bytewise)
            WriteBytewise(fd, reply, 2);
        else
            WriteAll(fd, reply);
        ReadExactly(fd, 1); // until the client closes
    };
}

TEST(SocksWSocket, Level5RepliesSplitOrJoinedWithTheFirstBytesOfTheProtocol) {
    struct Case {
        const char* name;
        std::string reply;
        bool bytewise;
        std::string boundAddr, boundPort, banner;
    };
    const std::string longName(255, 'b');
    const Case cases[] = {
        {"IPv4 reply byte by byte", Bytes("05 00 00 01 0a 00 00 07 04 d2"), true, "10.0.0.7",
         "1234", ""},
        {"domain reply byte by byte", Bytes("05 00 00 03 05 62 6f 75 6e 64 00 50"), true, "bound",
         "80", ""},
        {"reply and banner in one segment", Bytes("05 00 00 01 7f 00 00 01 00 15") + "220 hi\r\n",
         false, "127.0.0.1", "21", "220 hi\r\n"},
        {"longest domain and a banner", Bytes("05 00 00 03 ff") + longName + Bytes("00 19") + "+OK",
         false, longName, "25", "+OK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string request;
        ScriptedPeer peer(Level5Server(c.reply, c.bytewise, &request));
        SocksLog events;
        TWSocket s;
        events.Attach(s);
        Through(s, peer.port, "5", "target.example", 8021);
        ASSERT_TRUE(PumpUntil([&] {
            return s.SocksState() == socksData && events.data.size() >= c.banner.size() &&
                   !events.log.empty() && events.log.back().rfind("socks", 0) != 0;
        }));
        EXPECT_EQ(Hex(request), Hex(Bytes("05 01 00 03 0e") + "target.example" + Bytes("1f 55")));
        std::vector<std::string> expected{"socks connected 0", "connected 0"};
        if (!c.banner.empty()) expected.push_back("data " + c.banner);
        EXPECT_EQ(events.log, expected);
        EXPECT_EQ(s.BoundAddr(), c.boundAddr);
        EXPECT_EQ(s.BoundPort(), c.boundPort);
        s.Close();
    }
}

TEST(SocksWSocket, EveryFailedReplyEndsTheSessionWithItsCodeThreeTimes) {
    struct Case {
        std::string level;
        std::string reply; // after the method reply at level 5
        int error;
        std::string text;
    };
    const Case cases[] = {
        {"5", Bytes("05 01 00 01 00 00 00 00 00 00"), 20004, "general SOCKS server failure"},
        {"5", Bytes("05 02 00 01 00 00 00 00 00 00"), 20005, "connection not allowed by ruleset"},
        {"5", Bytes("05 03 00 01 00 00 00 00 00 00"), 20006, "network unreachable"},
        {"5", Bytes("05 04 00 01 00 00 00 00 00 00"), 20007, "host unreachable"},
        {"5", Bytes("05 05 00 01 00 00 00 00 00 00"), 20008, "connection refused"},
        {"5", Bytes("05 06 00 01 00 00 00 00 00 00"), 20009, "time to live expired"},
        {"5", Bytes("05 07 00 01 00 00 00 00 00 00"), 20010, "command not supported"},
        {"5", Bytes("05 08 00 01 00 00 00 00 00 00"), 20011, "address type not supported"},
        {"5", Bytes("05 2a 00 01 00 00 00 00 00 00"), 20012, "unassigned error #42"},
        {"5", Bytes("05 00 00 04") + std::string(18, '\0'), 20011, "address type not supported"},
        {"5", Bytes("04 00 00 01 00 00 00 00 00 00"), 20002, "socks version error"},
        {"4", Bytes("00 5b 00 00 00 00 00 00"), 20016, "request rejected or failed"},
        {"4", Bytes("00 5c 00 00 00 00 00 00"), 20008, "connection refused"},
        {"4", Bytes("00 5d 00 00 00 00 00 00"), 20015, "authentification failed"},
        {"4", Bytes("00 63 00 00 00 00 00 00"), 20012, "unassigned error #99"},
        {"5", "", 20016, "request rejected or failed"}, // the server just closes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level + " " + c.text);
        ScriptedPeer peer([&](int fd) {
            if (c.level == "4") {
                ReadUntil(fd, std::string("\0", 1));
            } else {
                ReadExactly(fd, 3);
                if (c.reply.empty()) return; // closes in the middle
                WriteAll(fd, Bytes("05 00"));
                ReadExactly(fd, 7 + 9);
            }
            WriteAll(fd, c.reply);
            ReadExactly(fd, 1);
        });
        SocksLog events;
        TWSocket s;
        events.Attach(s);
        Through(s, peer.port, c.level, "127.0.0.1", 9);
        ASSERT_TRUE(PumpUntil([&] { return events.closed > 0; }));
        PumpFor(20);
        const std::string code = std::to_string(c.error);
        EXPECT_EQ(events.log, (std::vector<std::string>{"socks connected 0",
                                                        "socks error " + code + " " + c.text,
                                                        "connected " + code, "closed " + code}));
        EXPECT_EQ(s.State(), wsClosed);
        EXPECT_EQ(s.SocksServer(), ""); // the defaults are back
        EXPECT_EQ(s.SocksLevel(), "5");
    }
}

TEST(SocksWSocket, UserCodeLoginByteByByteRightAndWrong) {
    for (bool accepted : {true, false}) {
        SCOPED_TRACE(accepted ? "accepted" : "refused");
        std::string authRequest;
        ScriptedPeer peer([&](int fd) {
            if (ReadExactly(fd, 3) != Bytes("05 01 02")) return;
            WriteAll(fd, Bytes("05 02"));
            authRequest = ReadExactly(fd, 3 + 4 + 6);
            WriteBytewise(fd, accepted ? Bytes("01 00") : Bytes("01 01"), 20);
            if (!accepted) return;
            ReadExactly(fd, 7 + 9);
            WriteAll(fd, Bytes("05 00 00 01 7f 00 00 01 00 07"));
            ReadExactly(fd, 1);
        });
        SocksLog events;
        TWSocket s;
        events.Attach(s);
        s.SocksAuthentication = socksAuthenticateUsercode;
        s.SocksUsercode = "user";
        s.SocksPassword = "secret";
        Through(s, peer.port, "5", "127.0.0.1", 7);
        ASSERT_TRUE(PumpUntil([&] {
            return accepted ? s.SocksState() == socksData && s.State() == wsConnected
                            : events.closed > 0;
        }));
        EXPECT_EQ(Hex(authRequest), Hex(Bytes("01 04") + "user" + Bytes("06") + "secret"));
        if (accepted)
            EXPECT_EQ(events.log, (std::vector<std::string>{"socks connected 0", "auth 0", "auth 1",
                                                            "connected 0"}));
        else
            EXPECT_EQ(events.log,
                      (std::vector<std::string>{"socks connected 0", "auth 0",
                                                "socks error 20015 socks authentication failed",
                                                "connected 20015", "closed 20015"}));
        s.Close();
    }
}

TEST(SocksWSocket, AServerThatAcceptsNoOfferedMethodEndsTheSession) {
    ScriptedPeer peer([](int fd) {
        ReadExactly(fd, 3);
        WriteAll(fd, Bytes("05 ff"));
        ReadExactly(fd, 1);
    });
    SocksLog events;
    TWSocket s;
    events.Attach(s);
    Through(s, peer.port, "5", "127.0.0.1", 7);
    ASSERT_TRUE(PumpUntil([&] { return events.closed > 0; }));
    EXPECT_EQ(events.log[1], "socks error 20003 authentification method not acceptable");
    EXPECT_EQ(events.log.back(), "closed 20003");
}

TEST(SocksWSocket, Level4ASendsTheNameAndLinesAfterTheReplyArriveWhole) {
    std::string request;
    ScriptedPeer peer([&](int fd) {
        request = ReadUntil(fd, std::string("files.example\0", 14));
        WriteBytewise(fd, Bytes("00 5a 00 00 00 00 00 00"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        WriteAll(fd, "line one\r\nline two\r\n");
        ReadExactly(fd, 1);
    });
    SocksLog events;
    TWSocket s;
    events.Attach(s);
    s.SetLineMode(true);
    s.SocksUsercode = "me";
    Through(s, peer.port, "4a", "files.example", 21);
    EXPECT_EQ(s.SocksLevel(), "4A");
    ASSERT_TRUE(PumpUntil([&] { return events.data.size() == 20; }));
    EXPECT_EQ(Hex(request), Hex(Bytes("04 01 00 15 00 00 00 01") + "me" + std::string("\0", 1) +
                                "files.example" + std::string("\0", 1)));
    EXPECT_EQ(events.log, (std::vector<std::string>{"socks connected 0", "connected 0",
                                                    "data line one\r\n", "data line two\r\n"}));
}

TEST(SocksWSocket, SettingsAndRefusalsBeforeAnythingIsSent) {
    TWSocket s;
    EXPECT_EQ(RaisedBy([&] { s.SetSocksLevel("4B"); }), "Invalid socks level. Must be 4, 4A or 5.");
    s.SetSocksServer(" 127.0.0.1 ");
    EXPECT_EQ(s.SocksServer(), "127.0.0.1");
    s.SetAddr("127.0.0.1");
    s.SetPort("0");
    EXPECT_EQ(RaisedBy([&] { s.Listen(); }), "Listening is not supported thru socks server");
    s.SetProto("udp");
    EXPECT_EQ(RaisedBy([&] { s.Connect(); }),
              "tcp is the only protocol supported thru socks server");
    s.SetProto("tcp");

    // A field longer than its length byte never reaches a server.
    const RefusedPort closed;
    s.SetSocksPort(std::to_string(closed.port));
    s.SocksUsercode = std::string(256, 'u');
    EXPECT_EQ(RaisedBy([&] { s.Connect(); }), "connect: socks user code longer than 255 bytes");
    s.SocksUsercode = "";
    s.SocksPassword = std::string(256, 'p');
    EXPECT_EQ(RaisedBy([&] { s.Connect(); }), "connect: socks password longer than 255 bytes");
    s.SocksPassword = "";
    s.SetAddr(std::string(256, 'h'));
    EXPECT_EQ(RaisedBy([&] { s.Connect(); }), "connect: host name longer than 255 bytes");
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(s.HSocket(), INVALID_SOCKET);
}

TEST(SocksWSocket, AServerThatCannotBeReachedIsReportedTwiceThenClosed) {
    SocksLog events;
    TWSocket s;
    events.Attach(s);
    const RefusedPort closed;
    Through(s, closed.port, "5", "127.0.0.1", 7);
    ASSERT_TRUE(PumpUntil([&] { return events.closed > 0; }));
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"socks connected 10061", "connected 10061", "closed 0"}));
}

// ---- real servers ----

// A target on 127.0.0.1 that greets, answers one line and closes.
std::function<void(int)> Target() {
    return [](int fd) {
        WriteAll(fd, "hello through socks\r\n");
        std::string line = ReadUntil(fd, "\n");
        WriteAll(fd, "echo " + line);
    };
}

void TalkThrough(TWSocket& s, SocksLog& events, ScriptedPeer& target) {
    ASSERT_TRUE(PumpUntil([&] { return events.data == "hello through socks\r\n"; }));
    s.SendStr("ping\n");
    ASSERT_TRUE(PumpUntil([&] { return events.closed > 0; }));
    EXPECT_EQ(events.data, "hello through socks\r\necho ping\n");
    EXPECT_EQ(events.log.front(), "socks connected 0");
    EXPECT_NE(std::find(events.log.begin(), events.log.end(), "connected 0"), events.log.end());
    EXPECT_TRUE(target.Finished());
}

class Dante : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        server_ = StartOnFreePort(
                      [](unsigned short port) { return DanteCommand(folder_->Path(), port); },
                      port_)
                      .release();
    }
    static void TearDownTestSuite() {
        delete server_;
        delete folder_;
    }
    void SetUp() override { ASSERT_TRUE(server_->Running()) << "danted did not answer"; }
    static TempFolder* folder_;
    static ServerProcess* server_;
    static unsigned short port_;
};
TempFolder* Dante::folder_ = nullptr;
ServerProcess* Dante::server_ = nullptr;
unsigned short Dante::port_ = 0;

TEST_F(Dante, Levels4And5ReachTheTarget) {
    for (const char* level : {"4", "5"}) {
        SCOPED_TRACE(level);
        ScriptedPeer target(Target());
        SocksLog events;
        TWSocket s;
        events.Attach(s);
        Through(s, port_, level, "127.0.0.1", target.port);
        TalkThrough(s, events, target);
    }
}

TEST_F(Dante, ARefusedTargetGivesItsCode) {
    struct Case {
        const char* level;
        int error;
    } cases[] = {{"5", 20008}, {"4", 20016}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        SocksLog events;
        TWSocket s;
        events.Attach(s);
        const RefusedPort closed;
        Through(s, port_, c.level, "127.0.0.1", closed.port);
        ASSERT_TRUE(PumpUntil([&] { return events.closed > 0; }, 10000));
        ASSERT_GE(events.log.size(), 4u);
        EXPECT_EQ(events.log[1].substr(0, 17), "socks error " + std::to_string(c.error));
        EXPECT_EQ(events.log.back(), "closed " + std::to_string(c.error));
    }
}

TEST(DanteLogin, UserCodeLoginRightAndWrong) {
    // "s3cret" under SHA-512 crypt, as the account's shadow entry.
    const std::string crypted = "$6$rostrixsalt$9Ftox4.K/9sgyaiiKLrZiDkygzKFNFPGMXGWETBCse7sA5U"
                                "BuxX3khQVijGcuU/kT7XgeZ3ZrQUtZTvmYhbLM.";
    if (geteuid() != 0) GTEST_SKIP() << "a private account for dante needs root";
    TempFolder folder;
    unsigned short port = 0;
    const auto server = StartOnFreePort(
        [&](unsigned short free) { return DanteCommand(folder.Path(), free, true); }, port,
        PrivateAccounts(folder.Path(), "rostrix", crypted));
    ASSERT_TRUE(server->Running()) << "danted did not answer";
    for (const char* password : {"s3cret", "wrong"}) {
        const bool right = std::string(password) == "s3cret";
        SCOPED_TRACE(password);
        ScriptedPeer target(Target());
        SocksLog events;
        TWSocket s;
        events.Attach(s);
        s.SocksAuthentication = socksAuthenticateUsercode;
        s.SocksUsercode = "rostrix";
        s.SocksPassword = password;
        Through(s, port, "5", "127.0.0.1", target.port);
        if (right) {
            TalkThrough(s, events, target);
            EXPECT_EQ(events.log[1], "auth 0");
            EXPECT_EQ(events.log[2], "auth 1");
        } else {
            ASSERT_TRUE(PumpUntil([&] { return events.closed > 0; }, 10000));
            EXPECT_EQ(events.log,
                      (std::vector<std::string>{"socks connected 0", "auth 0",
                                                "socks error 20015 socks authentication failed",
                                                "connected 20015", "closed 20015"}));
        }
    }
}

TEST(Microsocks, Level5WithAndWithoutAUserCode) {
    const std::string program = "/usr/bin/microsocks";
    ASSERT_TRUE(ProgramExists(program)) << "scripts/install-deps installs microsocks";
    struct Case {
        const char* name;
        bool serverWantsLogin;
        std::string password;
        bool reaches;
    } cases[] = {
        {"no user code", false, "", true},
        {"right password", true, "s3cret", true},
        {"wrong password", true, "wrong", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unsigned short port = 0;
        const auto server = StartOnFreePort(
            [&](unsigned short free) {
                std::vector<std::string> argv{program, "-i", "127.0.0.1", "-p",
                                              std::to_string(free)};
                if (c.serverWantsLogin)
                    argv.insert(argv.end(), {"-u", "rostrix", "-P", "s3cret"});
                return argv;
            },
            port);
        ASSERT_TRUE(server->Running());
        ScriptedPeer target(Target());
        SocksLog events;
        TWSocket s;
        events.Attach(s);
        if (c.serverWantsLogin) {
            s.SocksAuthentication = socksAuthenticateUsercode;
            s.SocksUsercode = "rostrix";
            s.SocksPassword = c.password;
        }
        Through(s, port, "5", "127.0.0.1", target.port);
        if (c.reaches) {
            TalkThrough(s, events, target);
        } else {
            ASSERT_TRUE(PumpUntil([&] { return events.closed > 0; }));
            EXPECT_EQ(events.log,
                      (std::vector<std::string>{"socks connected 0", "auth 0",
                                                "socks error 20015 socks authentication failed",
                                                "connected 20015", "closed 20015"}));
        }
    }
}

} // namespace
