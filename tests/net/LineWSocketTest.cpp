// Line mode, ReadLine and the send chunks, with a scripted peer on
// 127.0.0.1 that writes its packets with pauses between them.

#include "net/LineWSocket.h"
#include "tests/net/SocketPeers.h"
#include "tests/net/WinsockSupport.h"

#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>
#include <string>
#include <thread>
#include <vector>

namespace {

// Writes each packet with a pause before it, then waits for the client to
// close (at most 5 seconds). With `start`, nothing is written before it is
// set.
std::function<void(int)> Packets(std::vector<std::string> packets, bool closeAtEnd = false,
                                 const std::atomic<bool>* start = nullptr) {
    return [=](int fd) {
        while (start != nullptr && !*start)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (const std::string& p : packets) {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            WriteAll(fd, p);
        }
        if (!closeAtEnd) ReadExactly(fd, 1 << 20);
    };
}

// Sets the flag from the message loop, so once ReadLine waits: bytes
// that came before it would go to the owner's handler, or be dropped with
// none, instead of to ReadLine.
void WhenWaiting(std::atomic<bool>& flag) {
    QTimer::singleShot(0, [&flag] { flag = true; });
}

void ConnectTo(TWSocket& s, unsigned short port) {
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
}

// Reads every line handed over, whole.
void CollectLines(TWSocket& s, std::vector<std::string>& lines) {
    s.OnDataAvailable = [&lines](TCustomWSocket* sender, WORD) {
        int length = sender->RcvdCount();
        std::string line(std::size_t(std::max(length, 0)), '\0');
        int got = sender->Receive(line.data(), length);
        line.resize(got > 0 ? std::size_t(got) : 0);
        lines.push_back(line);
    };
}

TEST(LineWSocket, LinesAreHandedOverWholeHoweverThePacketsCut) {
    struct Case {
        const char* name;
        std::vector<std::string> packets;
        std::vector<std::string> lines;
    } cases[] = {
        {"a line and the start of the next",
         {"123456789\r\nabc", "de\r\n"},
         {"123456789\r\n", "abcde\r\n"}},
        {"the line end split", {"one\r", "\ntwo\r\n"}, {"one\r\n", "two\r\n"}},
        {"three lines in one packet", {"a\r\nbb\r\nccc\r\n"}, {"a\r\n", "bb\r\n", "ccc\r\n"}},
        {"a byte at a time", {"x", "y", "\r", "\n", "z", "\r\n"}, {"xy\r\n", "z\r\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPeer peer(Packets(c.packets));
        std::vector<std::string> lines;
        TWSocket s;
        s.SetLineMode(true);
        CollectLines(s, lines);
        ConnectTo(s, peer.port);
        ASSERT_TRUE(PumpUntil([&] { return lines.size() >= c.lines.size(); }));
        PumpFor(20);
        EXPECT_EQ(lines, c.lines);
    }
}

TEST(LineWSocket, TheLastLineComesAtTheCloseBeforeOnSessionClosed) {
    ScriptedPeer peer(Packets({"first\r\nabc"}, true));
    std::vector<std::string> lines;
    TWSocket s;
    s.SetLineMode(true);
    CollectLines(s, lines);
    s.OnSessionClosed = [&](TCustomWSocket*, WORD) { lines.push_back("closed"); };
    ConnectTo(s, peer.port);
    ASSERT_TRUE(PumpUntil([&] { return !lines.empty() && lines.back() == "closed"; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"first\r\n", "abc", "closed"}));
}

// A socket that shows how many received bytes it holds.
struct HoldingSocket : TWSocket {
    using TWSocket::HeldCount;
};

TEST(LineWSocket, AnUnfinishedLinePastTheLimitIsDroppedOrKeptAsTheHandlerSays) {
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "kept" : "dropped");
        // The line end follows only once the 70000 bytes have been taken,
        // so that it never arrives in the same read as their last part.
        std::atomic<bool> written{false}, taken{false};
        ScriptedPeer peer([&](int fd) {
            WriteAll(fd, std::string(70000, 'x'));
            written = true;
            while (!taken)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            WriteAll(fd, "tail\r\n");
            ReadExactly(fd, 1);
        });
        std::vector<std::string> lines;
        std::vector<int> exceeded;
        HoldingSocket s;
        s.SetLineMode(true);
        CollectLines(s, lines);
        if (keep)
            s.OnLineLimitExceeded = [&](TCustomWSocket*, int count, bool& clear) {
                exceeded.push_back(count);
                clear = false;
            };
        ConnectTo(s, peer.port);
        ASSERT_TRUE(PumpUntil([&] {
            ULONG waiting = 1;
            return written && s.State() == wsConnected &&
                   WSocket_ioctlsocket(s.HSocket(), WS_FIONREAD, &waiting) == 0 && waiting == 0 &&
                   s.HeldCount() == (keep ? 70000 : 0);
        }));
        taken = true;
        ASSERT_TRUE(PumpUntil([&] { return !lines.empty(); }));
        ASSERT_EQ(lines.size(), 1u);
        if (keep) {
            EXPECT_EQ(lines[0], std::string(70000, 'x') + "tail\r\n");
            ASSERT_FALSE(exceeded.empty());
            EXPECT_GT(exceeded.front(), 65536);
        } else {
            EXPECT_EQ(lines[0], "tail\r\n");
        }
    }
}

TEST(LineWSocket, AHandlerThatReadsNothingDoesNotHoldTheLoop) {
    // The last line comes only when asked for: new data would offer the
    // held line again.
    std::atomic<bool> more{false};
    ScriptedPeer peer([&](int fd) {
        WriteAll(fd, "one\r\ntwo\r\n");
        while (!more)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        WriteAll(fd, "three\r\n");
        ReadExactly(fd, 1);
    });
    int calls = 0;
    std::vector<std::string> lines;
    TWSocket s;
    s.SetLineMode(true);
    s.OnDataAvailable = [&](TCustomWSocket*, WORD) { ++calls; };
    ConnectTo(s, peer.port);
    ASSERT_TRUE(PumpUntil([&] { return calls >= 1; }));
    PumpFor(30);
    EXPECT_EQ(calls, 1); // offered once, then left held
    CollectLines(s, lines);
    more = true;
    ASSERT_TRUE(PumpUntil([&] { return lines.size() == 3; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"one\r\n", "two\r\n", "three\r\n"}));
}

TEST(LineWSocket, AnEchoThatFindsTheConnectionResetEndsTheSessionOnce) {
    for (bool edit : {false, true}) {
        SCOPED_TRACE(edit ? "edited" : "echoed");
        // The peer's bytes and its reset are both there before the client
        // reads, so the echo is what meets the reset.
        std::atomic<bool> go{false};
        ScriptedPeer peer([&](int fd) {
            while (!go)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            WriteAll(fd, "ab\tc\r\nmore");
            linger abortive{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            // The peer's close that follows is a reset.
        });
        std::vector<std::string> lines;
        std::vector<int> closes;
        TWSocket s;
        s.SetLineMode(true);
        s.LineEcho = true;
        s.LineEdit = edit;
        CollectLines(s, lines);
        s.OnSessionClosed = [&](TCustomWSocket*, WORD error) { closes.push_back(error); };
        ConnectTo(s, peer.port);
        ASSERT_TRUE(PumpUntil([&] { return s.State() == wsConnected; }));
        go = true;
        ASSERT_TRUE(peer.Finished()); // without pumping, so nothing is read yet
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_TRUE(PumpUntil([&] { return !closes.empty(); }));
        PumpFor(30);
        EXPECT_EQ(closes.size(), 1u);
        EXPECT_EQ(s.State(), wsClosed);
    }
}

TEST(LineWSocket, SwitchingLineModeOffHandsTheHeldBytesOverFromTheLoop) {
    ScriptedPeer peer(Packets({"head\r\nrest of it"}));
    std::vector<std::string> got;
    TWSocket s;
    s.SetLineMode(true);
    s.OnDataAvailable = [&](TCustomWSocket* sender, WORD) {
        got.push_back(static_cast<TWSocket*>(sender)->ReceiveStr());
        static_cast<TWSocket*>(sender)->SetLineMode(false);
    };
    ConnectTo(s, peer.port);
    ASSERT_TRUE(PumpUntil([&] { return got.size() == 2; }));
    EXPECT_EQ(got, (std::vector<std::string>{"head\r\n", "rest of it"}));
}

TEST(LineWSocket, EditingAndEchoRewriteTheLine) {
    std::string echoed;
    ScriptedPeer peer([&](int fd) {
        WriteAll(fd, "ab\bc\td\r\n");
        echoed = ReadUntil(fd, "d\r\n");
        ReadExactly(fd, 1);
    });
    std::vector<std::string> lines;
    TWSocket s;
    s.SetLineMode(true);
    s.LineEdit = true;
    s.LineEcho = true;
    CollectLines(s, lines);
    ConnectTo(s, peer.port);
    ASSERT_TRUE(PumpUntil([&] { return !lines.empty() && !echoed.empty(); }));
    EXPECT_EQ(lines, std::vector<std::string>{"ac      d\r\n"});
    EXPECT_EQ(echoed, "ab\b \bc      d\r\n");
}

TEST(LineWSocket, ReadLineTakesOneLineAtATimeAndGivesUpAtItsTimeOut) {
    std::atomic<bool> waiting{false};
    ScriptedPeer peer(Packets({"first\r\nsecond\r\npart"}, false, &waiting));
    TWSocket s;
    std::string text = "old";
    EXPECT_THROW(s.ReadLine(1, text), ESocketException);
    EXPECT_EQ(text, "");
    ConnectTo(s, peer.port);
    ASSERT_TRUE(PumpUntil([&] { return s.State() == wsConnected; }));
    WhenWaiting(waiting);
    s.ReadLine(5, text);
    EXPECT_EQ(text, "first\r\n");
    EXPECT_EQ(s.Timeout(), 5000);
    s.ReadLine(0, text); // the second line of the same packet is kept
    EXPECT_EQ(text, "second\r\n");
    EXPECT_EQ(s.Timeout(), 60000);
    DWORD start = GetTickCount();
    s.ReadLine(-300, text);
    DWORD spent = GetTickCount() - start;
    EXPECT_EQ(text, "part"); // what came, without a line end
    EXPECT_GE(spent, 290u);
    EXPECT_LT(spent, 3000u);
    EXPECT_EQ(s.Timeout(), 300);
    EXPECT_FALSE(s.LineMode());
}

TEST(LineWSocket, ReadLineEndsWithTheLastLineWhenThePeerCloses) {
    std::atomic<bool> waiting{false};
    ScriptedPeer peer(Packets({"abc"}, true, &waiting));
    TWSocket s;
    ConnectTo(s, peer.port);
    ASSERT_TRUE(PumpUntil([&] { return s.State() == wsConnected; }));
    std::string text;
    DWORD start = GetTickCount();
    WhenWaiting(waiting);
    s.ReadLine(10, text);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(text, "abc");
}

TEST(LineWSocket, ReadLineGivesBackWhatFollowsItsLineToTheOwner) {
    std::atomic<bool> waiting{false};
    ScriptedPeer peer(Packets({"line\r\nafter"}, false, &waiting));
    std::string raw;
    TWSocket s;
    s.OnDataAvailable = [&](TCustomWSocket* sender, WORD) {
        raw += static_cast<TWSocket*>(sender)->ReceiveStr();
    };
    ConnectTo(s, peer.port);
    ASSERT_TRUE(PumpUntil([&] { return s.State() == wsConnected; }));
    std::string text;
    WhenWaiting(waiting);
    s.ReadLine(5, text);
    EXPECT_EQ(text, "line\r\n");
    ASSERT_TRUE(PumpUntil([&] { return raw == "after"; }));
}

TEST(LineWSocket, ALineTooLongEndsAWaitingReadLine) {
    std::atomic<bool> waiting{false};
    ScriptedPeer peer(Packets({std::string(70000, 'y')}, false, &waiting));
    TWSocket s;
    std::string seen;
    s.OnLineLimitExceeded = [](TCustomWSocket*, int, bool&) {
        throw ESocketException("line too long");
    };
    s.OnBgException = [&](TCustomWSocket*, const std::exception& e, bool&) { seen = e.what(); };
    ConnectTo(s, peer.port);
    ASSERT_TRUE(PumpUntil([&] { return s.State() == wsConnected; }));
    std::string text;
    DWORD start = GetTickCount();
    WhenWaiting(waiting);
    s.ReadLine(10, text);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(seen, "line too long");
    EXPECT_EQ(s.State(), wsClosed);
}

TEST(LineWSocket, TenMegabytesOfEightyByteLines) {
    constexpr int kLines = (10 << 20) / 80;
    std::string body;
    body.reserve(std::size_t(kLines) * 80);
    for (int i = 0; i < kLines; ++i) {
        std::string line = std::to_string(i);
        line.resize(78, '.');
        body += line + "\r\n";
    }
    ScriptedPeer peer([&](int fd) {
        WriteAll(fd, body);
        ReadExactly(fd, 1);
    });
    int count = 0, wrong = 0;
    TWSocket s;
    s.SetLineMode(true);
    s.OnDataAvailable = [&](TCustomWSocket* sender, WORD) {
        char line[128];
        int got = sender->Receive(line, sizeof line);
        if (got != 80 || std::string(line, 80) != body.substr(std::size_t(count) * 80, 80)) ++wrong;
        ++count;
    };
    ConnectTo(s, peer.port);
    ASSERT_TRUE(PumpUntil([&] { return count == kLines; }, 60000));
    EXPECT_EQ(wrong, 0);
}

TEST(TBuffer, ChunksWriteWhatFitsAndReadInOrder) {
    TBuffer buffer(0);
    EXPECT_EQ(buffer.BufSize(), 1514);
    const std::string data(2000, 'd');
    EXPECT_EQ(buffer.Write(data.data(), 2000), 1514);
    EXPECT_EQ(buffer.Write("x", 1), 0);
    char out[1000];
    EXPECT_EQ(buffer.Read(out, 1000), 1000);
    int length = 0;
    EXPECT_NE(buffer.Peek(length), nullptr);
    EXPECT_EQ(length, 514);
    EXPECT_EQ(buffer.Remove(600), 514);
    EXPECT_EQ(buffer.Peek(length), nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(buffer.Write("abcdef", 6), 6); // everything read: it starts again
    buffer.SetBufSize(4);                    // smaller than held: keeps what fits
    EXPECT_EQ(buffer.Read(out, 10), 4);
    EXPECT_EQ(std::string(out, 4), "abcd");
}

} // namespace
