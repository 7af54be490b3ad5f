// The FTP client against scripted servers of the test's own: what real
// servers will not do on demand (odd replies, closes, silence, long lines).

#include "tests/installer/FtpPeer.h"
#include "tests/net/SocketPeers.h"
#include "tests/support/Scratch.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The peer's half of a login: greeting, USER, PASS.
void Login(int fd, std::vector<std::string>& got) {
    WriteAll(fd, "220 ready\r\n");
    got.push_back(PeerLine(fd));
    WriteAll(fd, "331 password please\r\n");
    got.push_back(PeerLine(fd));
    WriteAll(fd, "230 in\r\n");
}

// The server's side up to a passive transfer: the login, the PASV answer
// for `data`, the transfer command, and the data connection, given back.
int OpenPassiveTransfer(int fd, DataListener& data) {
    std::vector<std::string> got;
    Login(fd, got);
    PeerLine(fd);
    WriteAll(fd, data.Pasv());
    PeerLine(fd);
    return data.Accept();
}

// A client that works passive and fetches the server's `name` into `local`.
void ReadyToFetch(RecordingClient& ftp, const std::string& name, const std::string& local) {
    ftp.SetPassive(true);
    ftp.HostFileName = name;
    ftp.SetLocalFileName(local);
}

TEST(FtpPeer, ContinuationLinesAndUserAnswered230) {
    std::vector<std::string> got;
    ScriptedPeer peer([&](int fd) {
        WriteAll(fd, "220-Welcome\r\nfree text 999 here\r\n220-more\r\n220 ready\r\n");
        got.push_back(PeerLine(fd));
        WriteAll(fd, "230-Hello\r\n230 Logged in\r\n");
        got.push_back(PeerLine(fd));
        WriteAll(fd, "221 bye\r\n");
    });
    RecordingClient ftp(peer.port, "bob", "secret");
    ASSERT_TRUE(ftp.Connect()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.LastResponse(), "230 Logged in");
    EXPECT_TRUE(ftp.Quit());
    ASSERT_TRUE(peer.Finished());
    // PASS is never sent once USER was answered with 230.
    EXPECT_EQ(got, (std::vector<std::string>{"USER bob", "QUIT"}));
}

TEST(FtpPeer, FolderResultsUnquoteDoubledQuotes) {
    struct Case {
        const char* reply;
        const char* folder;
    } cases[] = {
        {"257 \"/a \"\"b\"\" c\" is current\r\n", "/a \"b\" c"},
        {"257 \"/plain\"\r\n", "/plain"},
        {"257 no quotes here\r\n", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        ScriptedPeer peer([&](int fd) {
            Login(fd, got);
            got.push_back(PeerLine(fd));
            WriteAll(fd, c.reply);
            PeerLine(fd);
        });
        RecordingClient ftp(peer.port);
        ASSERT_TRUE(ftp.Connect());
        ASSERT_TRUE(ftp.Pwd()) << c.reply;
        EXPECT_EQ(ftp.DirResult(), c.folder) << c.reply;
        ftp.Abort();
    }
}

// A passive download whose 227 reply is given; the peer serves "payload"
// when the client connects to the listener.
struct PasvResult {
    bool ok;
    std::string error;
    std::string file;
    bool retrSent;
};

PasvResult PassiveDownload(const std::function<std::string(const DataListener&)>& reply) {
    TempFolder folder;
    bool retrSent = false;
    ScriptedPeer peer([&](int fd) {
        std::vector<std::string> got;
        Login(fd, got);
        DataListener data;
        if (PeerLine(fd) != "PASV") return;
        WriteAll(fd, reply(data));
        if (PeerLine(fd) != "RETR f.bin") return;
        retrSent = true;
        int d = data.Accept();
        WriteAll(fd, "150 here it comes\r\n");
        WriteAll(d, "payload");
        close(d);
        WriteAll(fd, "226 done\r\n");
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port);
    ReadyToFetch(ftp, "f.bin", folder.File("f.bin"));
    PasvResult r{};
    if (!ftp.Connect()) return {false, ftp.ErrorMessage(), "", false};
    r.ok = ftp.Get();
    r.error = ftp.ErrorMessage();
    ftp.Abort();
    peer.Finished();
    r.file = ReadFile(folder.File("f.bin"));
    r.retrSent = retrSent;
    return r;
}

TEST(FtpPeer, PassiveRepliesAreRangeCheckedAndAimAtTheControlPeer) {
    struct Case {
        const char* name;
        std::function<std::string(const DataListener&)> reply;
        bool ok;
    } cases[] = {
        {"standard", [](const DataListener& d) { return d.Pasv(); }, true},
        {"without parentheses",
         [](const DataListener& d) {
             return "227 Entering Passive Mode 127,0,0,1," + std::to_string(d.port >> 8) + "," +
                    std::to_string(d.port & 0xFF) + "\r\n";
         },
         true},
        // Another host announced: the data still goes to the control peer.
        {"foreign host", [](const DataListener& d) { return d.Pasv("10,99,0,7"); }, true},
        {"byte over 255",
         [](const DataListener&) { return std::string("227 (127,0,0,256,4,1)\r\n"); }, false},
        {"port byte over 255",
         [](const DataListener&) { return std::string("227 (127,0,0,1,4,300)\r\n"); }, false},
        {"port 0", [](const DataListener&) { return std::string("227 (127,0,0,1,0,0)\r\n"); },
         false},
        {"five numbers", [](const DataListener&) { return std::string("227 (127,0,0,1,4)\r\n"); },
         false},
    };
    for (const Case& c : cases) {
        PasvResult r = PassiveDownload(c.reply);
        EXPECT_EQ(r.ok, c.ok) << c.name << ": " << r.error;
        if (c.ok) {
            EXPECT_EQ(r.file, "payload") << c.name;
        } else {
            EXPECT_FALSE(r.retrSent) << c.name;
            EXPECT_NE(r.error.find("Invalid passive address"), std::string::npos) << c.name;
        }
    }
}

TEST(FtpPeer, ActiveDataConnectionOnlyFromTheServer) {
    TempFolder folder;
    ScriptedPeer peer([&](int fd) {
        std::vector<std::string> got;
        Login(fd, got);
        std::string port = PeerLine(fd);
        WriteAll(fd, "200 ok\r\n");
        if (PeerLine(fd) != "RETR f.bin") return;
        WriteAll(fd, "150 opening\r\n");
        // A stranger comes first and offers other bytes; it must be turned
        // away, while the server's own connection is taken.
        int stranger = ConnectFrom("127.0.0.2", PortOf(port));
        if (stranger >= 0) {
            WriteAll(stranger, "forged");
            close(stranger);
        }
        usleep(100000);
        int d = ConnectFrom("127.0.0.1", PortOf(port));
        WriteAll(d, "genuine");
        close(d);
        WriteAll(fd, "226 done\r\n");
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port);
    ftp.HostFileName = "f.bin";
    ftp.SetLocalFileName(folder.File("f.bin"));
    ASSERT_TRUE(ftp.Connect());
    EXPECT_TRUE(ftp.Get()) << ftp.ErrorMessage();
    ftp.Abort();
    EXPECT_EQ(ReadFile(folder.File("f.bin")), "genuine");
    bool refused = false;
    for (const std::string& l : ftp.log)
        refused |= l == "! Data connection refused from 127.0.0.2";
    EXPECT_TRUE(refused);
}

TEST(FtpPeer, LostControlConnectionFailsTheRequest) {
    // Before the greeting; while USER waits; in the middle of a download.
    {
        ScriptedPeer peer([](int) {});
        RecordingClient ftp(peer.port);
        EXPECT_FALSE(ftp.Connect());
        EXPECT_EQ(ftp.ErrorMessage(), "500 Control connection closed.");
        EXPECT_EQ(ftp.State(), ftpReady);
    }
    {
        ScriptedPeer peer([](int fd) {
            WriteAll(fd, "220 ready\r\n");
            PeerLine(fd);
        });
        RecordingClient ftp(peer.port);
        EXPECT_FALSE(ftp.Connect());
        EXPECT_EQ(ftp.ErrorMessage(), "500 Control connection closed.");
    }
    {
        TempFolder folder;
        ScriptedPeer peer([&](int fd) {
            DataListener data;
            int d = OpenPassiveTransfer(fd, data);
            WriteAll(fd, "150 here\r\n");
            WriteAll(d, std::string(10000, 'x'));
            close(d);
            // No 226: the server goes away.
        });
        RecordingClient ftp(peer.port);
        ReadyToFetch(ftp, "f", folder.File("f"));
        ASSERT_TRUE(ftp.Connect());
        EXPECT_FALSE(ftp.Get());
        EXPECT_EQ(ftp.ErrorMessage(), "500 Control connection closed.");
        PumpMessages(50);
        ASSERT_FALSE(ftp.doneErrors.empty());
        EXPECT_NE(ftp.doneErrors.back(), 0);
    }
}

TEST(FtpPeer, ResetWhileAReplyIsAwaited) {
    // Half a line, then a reset: the failed receive adds nothing, and the
    // request fails with the close.
    ScriptedPeer peer([](int fd) {
        WriteAll(fd, "220 ready\r\n");
        PeerLine(fd);
        WriteAll(fd, "331 pass");
        usleep(50000);
        linger reset{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    });
    RecordingClient ftp(peer.port);
    EXPECT_FALSE(ftp.Connect());
    EXPECT_EQ(ftp.ErrorMessage().rfind("500 Control connection closed.", 0), 0u)
        << ftp.ErrorMessage();
    PumpMessages(50);
    ASSERT_FALSE(ftp.doneErrors.empty());
    EXPECT_NE(ftp.doneErrors.back(), 0);
    EXPECT_EQ(ftp.State(), ftpReady);
}

TEST(FtpPeer, MissingLocalFolderSendsNoRetr) {
    std::vector<std::string> got;
    ScriptedPeer peer([&](int fd) {
        Login(fd, got);
        for (std::string l = PeerLine(fd); !l.empty(); l = PeerLine(fd)) {
            got.push_back(l);
            WriteAll(fd, l == "QUIT" ? "221 bye\r\n" : "200 ok\r\n");
        }
    });
    TempFolder folder;
    RecordingClient ftp(peer.port);
    ftp.HostFileName = "f";
    ftp.SetLocalFileName(folder.File("no/such/f"));
    ASSERT_TRUE(ftp.Connect());
    EXPECT_FALSE(ftp.Get());
    EXPECT_EQ(ftp.StatusCode(), 550);
    EXPECT_EQ(ftp.ErrorMessage(), "Unable to open local file " + folder.File("no/such/f"));
    EXPECT_TRUE(ftp.Quit());
    ASSERT_TRUE(peer.Finished());
    for (const std::string& l : got)
        EXPECT_EQ(l.rfind("RETR", 0), std::string::npos) << l;
}

// Each block moves the deadline: a transfer longer than the time-out, with
// no pause as long, goes through.
TEST(FtpPeer, SlowTransferOutlivesTheTimeout) {
    ScriptedPeer peer([](int fd) {
        DataListener data;
        int d = OpenPassiveTransfer(fd, data);
        WriteAll(fd, "150 here\r\n");
        for (int i = 0; i < 5; ++i) {
            usleep(400000);
            WriteAll(d, "block");
        }
        close(d);
        WriteAll(fd, "226 done\r\n");
        PeerLine(fd);
    });
    TempFolder folder;
    RecordingClient ftp(peer.port);
    ftp.Timeout = 1;
    ReadyToFetch(ftp, "f", folder.File("f"));
    ASSERT_TRUE(ftp.Connect());
    EXPECT_TRUE(ftp.Get()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(folder.File("f")), "blockblockblockblockblock");
    ftp.Abort();
}

// A listing shown instead of stored: line by line (runs of line ends
// skipped), or a block at a time.
TEST(FtpPeer, DisplayFileGivesLinesOrBlocks) {
    const std::string listing = "one\r\ntwo\n\r\nthree\r\n";
    for (TFtpDisplayFileMode mode : {ftpLineByLine, ftpBinary}) {
        ScriptedPeer peer([&](int fd) {
            DataListener data;
            int d = OpenPassiveTransfer(fd, data);
            WriteAll(fd, "150 here\r\n");
            WriteAll(d, listing);
            close(d);
            WriteAll(fd, "226 done\r\n");
            PeerLine(fd);
        });
        RecordingClient ftp(peer.port);
        ftp.SetPassive(true);
        ftp.DisplayFileFlag = true;
        ftp.SetDisplayFileMode(mode);
        std::vector<std::string> shown;
        ftp.OnDisplayFile = [&](TCustomFtpCli*, const std::string& text) { shown.push_back(text); };
        ASSERT_TRUE(ftp.Connect());
        ASSERT_TRUE(ftp.Dir()) << ftp.ErrorMessage();
        EXPECT_EQ(ftp.sent.back(), "LIST");
        const std::vector<std::string> expected =
            mode == ftpLineByLine ? std::vector<std::string>{"one", "two", "three"}
                                  : std::vector<std::string>{listing};
        EXPECT_EQ(shown, expected);
        ftp.Abort();
    }
}

// A download goes on in blocks of at most 4096 bytes, each after a progress
// call that counts the bytes before it, and all that has arrived goes on
// while the server pauses: the server sends a small part, a large one and
// the last bytes, each only once the client has had what came before (or
// after 3 seconds).
TEST(FtpPeer, DataGoesOnInBlocksOf4096AfterTheirProgressAndNothingWaitsForMore) {
    std::string payload(4 * 65536 + 60100, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = char(i * 31 + i / 4099);
    const std::vector<std::size_t> ends = {20000, payload.size() - 100, payload.size()};
    std::atomic<std::size_t> count{0};
    std::atomic<int> partsArrived{0};
    ScriptedPeer peer([&](int fd) {
        DataListener data;
        int d = OpenPassiveTransfer(fd, data);
        WriteAll(fd, "150 here\r\n");
        partsArrived = WriteInParts(d, payload, ends, count);
        close(d);
        WriteAll(fd, "226 done\r\n");
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port);
    ftp.SetPassive(true);
    ftp.HostFileName = "f";
    ftp.DisplayFileFlag = true;
    ftp.SetDisplayFileMode(ftpBinary);
    std::string shown;
    std::size_t largest = 0;
    std::int64_t progress = -1;
    bool progressBeforeEachBlock = true;
    ftp.OnProgress = [&](TCustomFtpCli*, std::int64_t bytes, bool&) { progress = bytes; };
    ftp.OnDisplayFile = [&](TCustomFtpCli*, const std::string& block) {
        progressBeforeEachBlock = progressBeforeEachBlock && progress == std::int64_t(shown.size());
        progress = -1;
        largest = std::max(largest, block.size());
        shown += block;
        count = shown.size();
    };
    ASSERT_TRUE(ftp.Connect());
    EXPECT_TRUE(ftp.Get()) << ftp.ErrorMessage();
    EXPECT_EQ(partsArrived, 3) << "a part waited for the next";
    EXPECT_LE(largest, 4096u);
    EXPECT_TRUE(shown == payload);
    EXPECT_EQ(ftp.ByteCount(), std::int64_t(payload.size()));
    EXPECT_TRUE(progressBeforeEachBlock);
    ftp.Abort();
}

TEST(FtpPeer, FinalReplyBeforeTheDataEndCountsEveryByte) {
    TempFolder folder;
    std::string payload(4 << 20, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = char(i * 31 + i / 4099);
    ScriptedPeer peer([&](int fd) {
        DataListener data;
        int d = OpenPassiveTransfer(fd, data);
        WriteAll(fd, "150 here\r\n226 all sent\r\n");
        WriteAll(d, payload);
        close(d);
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port);
    ReadyToFetch(ftp, "big", folder.File("big"));
    ASSERT_TRUE(ftp.Connect());
    ASSERT_TRUE(ftp.Get()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ByteCount(), std::int64_t(payload.size()));
    EXPECT_TRUE(ReadFile(folder.File("big")) == payload);
    ASSERT_FALSE(ftp.log.empty());
    EXPECT_EQ(ftp.log.back().rfind("! 4194304 bytes received/sent in ", 0), 0u) << ftp.log.back();
    ftp.Abort();
}

TEST(FtpPeer, ADataConnectionResetFailsTheDownloadWithItsError) {
    TempFolder folder;
    ScriptedPeer peer([&](int fd) {
        DataListener data;
        int d = OpenPassiveTransfer(fd, data);
        WriteAll(fd, "150 here\r\n");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        // Two whole blocks, so that the receive after them is the one that
        // meets the reset.
        WriteAll(d, std::string(8192, 'x'));
        // Cut off: the client hears of it as a reset, not an end.
        linger abortive{1, 0};
        setsockopt(d, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        close(d);
        WriteAll(fd, "226 all sent\r\n");
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port);
    ReadyToFetch(ftp, "cut", folder.File("cut"));
    ASSERT_TRUE(ftp.Connect());
    EXPECT_FALSE(ftp.Get());
    EXPECT_EQ(ftp.ErrorMessage(), "426 Data connection closed, error #10054");
    ftp.Abort();
}

TEST(FtpPeer, SilenceTimesOutWithinAFifthOfASecond) {
    ScriptedPeer peer([](int fd) {
        WriteAll(fd, "220 ready\r\n");
        PeerLine(fd);
        // Says nothing more until the client goes.
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port);
    ftp.Timeout = 1;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ftp.Connect());
    auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(ftp.ErrorMessage(), "426 Timeout");
    EXPECT_EQ(ftp.StatusCode(), 426);
    // The deadline is counted in whole milliseconds of the tick count.
    EXPECT_GE(elapsed, 0.998);
    EXPECT_LT(elapsed, 1.2);
    EXPECT_FALSE(ftp.Connected());
    // The connection is gone: QUIT ends at once, with success; other commands
    // are refused without waiting.
    EXPECT_TRUE(ftp.Quit());
    EXPECT_FALSE(ftp.Pwd());
    EXPECT_EQ(ftp.State(), ftpReady);
}

TEST(FtpPeer, OddReplyLines) {
    struct Case {
        const char* name;
        std::string reply; // the answer to USER
        bool ok;
        const char* error;
    } cases[] = {
        {"line over the buffer", "230 " + std::string(5000, 'x') + "\r\n", false,
         "500 Reply line too long."},
        {"just under the buffer", "230 " + std::string(4000, 'x') + "\r\n", true, ""},
        // Eleven digits are no code: the line is text, the next one decides.
        {"overlong code", "99999999999 x\r\n230 in\r\n", true, ""},
        {"four digits", "2300 x\r\n530 no\r\n", false, "530 no"},
    };
    for (const Case& c : cases) {
        ScriptedPeer peer([&](int fd) {
            WriteAll(fd, "220 ready\r\n");
            PeerLine(fd);
            WriteAll(fd, c.reply);
            PeerLine(fd);
        });
        RecordingClient ftp(peer.port);
        EXPECT_EQ(ftp.Connect(), c.ok) << c.name << ": " << ftp.ErrorMessage();
        EXPECT_EQ(ftp.ErrorMessage(), c.error) << c.name;
        ftp.Abort();
    }
}

TEST(FtpPeer, RefusedStepEndsTheRequest) {
    // An empty user name is refused by the step the sequencer starts after
    // the greeting: the request ends with a code and the text.
    ScriptedPeer peer([](int fd) {
        WriteAll(fd, "220 ready\r\n");
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port, "", "");
    ftp.Timeout = 5;
    EXPECT_FALSE(ftp.Connect());
    EXPECT_EQ(ftp.ErrorMessage(), "UserName emtpy");
    PumpMessages(50);
    ASSERT_EQ(ftp.doneErrors.size(), 1u);
    EXPECT_EQ(ftp.doneErrors[0], 500);
    ftp.Abort();
}

// A call is answered by its own request: one that cannot start (connected
// already, a line end that would smuggle a command in) fails at once, with
// the error hook set as without it; a SIZE reply without a size fails
// rather than give an earlier file's size.
TEST(FtpPeer, ACallNeverTakesAnEarlierRequestsResult) {
    std::vector<std::string> got;
    ScriptedPeer peer([&](int fd) {
        Login(fd, got);
        // SIZE is answered with its argument.
        for (std::string l = PeerLine(fd); !l.empty(); l = PeerLine(fd)) {
            got.push_back(l);
            WriteAll(fd, (l == "QUIT"                ? "221 bye"
                          : l.rfind("SIZE ", 0) == 0 ? l.substr(5)
                                                     : "200 ok") +
                             "\r\n");
        }
    });
    RecordingClient ftp(peer.port);
    std::vector<std::string> refused;
    ftp.OnError = [&](const std::string& text) { refused.push_back(text); };
    ASSERT_TRUE(ftp.Connect());
    EXPECT_FALSE(ftp.Connect());
    ftp.HostDirName = "pub\r\nDELE x";
    EXPECT_FALSE(ftp.Cwd());
    ftp.HostFileName = "a\nDELE x";
    EXPECT_FALSE(ftp.Size());
    EXPECT_FALSE(ftp.Mkd());
    ftp.SetLocalFileName("NOOP\r\nDELE x");
    EXPECT_FALSE(ftp.Quote());
    EXPECT_EQ(refused.size(), 5u);
    for (const char* reply : {"213 abc", "213 -5", "213 99999999999999999999", "550 No such"}) {
        ftp.HostFileName = "213 5000000000";
        ASSERT_TRUE(ftp.Size());
        EXPECT_EQ(ftp.SizeResult(), 5000000000);
        ftp.HostFileName = reply;
        EXPECT_FALSE(ftp.Size()) << reply;
        EXPECT_EQ(ftp.ErrorMessage(), reply);
        EXPECT_EQ(ftp.SizeResult(), 0) << reply;
    }
    EXPECT_TRUE(ftp.Quit());
    ASSERT_TRUE(peer.Finished());
    for (const std::string& l : got)
        EXPECT_EQ(l.find("DELE"), std::string::npos) << l;
    EXPECT_EQ(got.back(), "QUIT");
}

TEST(FtpPeer, LocalWriteFailureFailsTheDownload) {
    ScriptedPeer peer([&](int fd) {
        DataListener data;
        int d = OpenPassiveTransfer(fd, data);
        WriteAll(fd, "150 here\r\n");
        WriteAll(d, std::string(100000, 'y'));
        close(d);
        WriteAll(fd, "226 done\r\n");
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port);
    ReadyToFetch(ftp, "f", "/dev/full");
    ASSERT_TRUE(ftp.Connect());
    EXPECT_FALSE(ftp.Get());
    EXPECT_EQ(ftp.ErrorMessage(), "426 Error writing local file /dev/full");
    EXPECT_EQ(ftp.StatusCode(), 426);
    ftp.Abort();
}

TEST(FtpPeer, AbortFromProgressFailsWhateverTheServerSays) {
    // Upload: the server stores what came and answers 226. Download: the 226
    // is there before the data.
    for (bool upload : {true, false}) {
        TempFolder folder;
        WriteFile(folder.File("up"), std::string(200000, 'u'));
        ScriptedPeer peer([&](int fd) {
            DataListener data;
            int d = OpenPassiveTransfer(fd, data);
            if (upload) {
                WriteAll(fd, "150 send\r\n");
                ReadUntil(d, "never");
                close(d);
                WriteAll(fd, "226 stored\r\n");
            } else {
                WriteAll(fd, "150 here\r\n226 sent\r\n");
                WriteAll(d, std::string(200000, 'd'));
                close(d);
            }
            PeerLine(fd);
        });
        RecordingClient ftp(peer.port);
        ReadyToFetch(ftp, "f", folder.File(upload ? "up" : "down"));
        ftp.OnProgress = [](TCustomFtpCli*, std::int64_t count, bool& abort) {
            abort = count > 5000;
        };
        ASSERT_TRUE(ftp.Connect());
        EXPECT_FALSE(upload ? ftp.Put() : ftp.Get());
        EXPECT_EQ(ftp.ErrorMessage(), "426 Abort requested") << (upload ? "upload" : "download");
        EXPECT_EQ(ftp.StatusCode(), 426);
        ftp.Abort();
    }
}

// A local file that fails while it is read: the server must see the data
// connection reset, not a clean end it would store as the whole file, and
// the request fails even when the server answers 226.
TEST(FtpPeer, UploadThatCannotReadItsFileResetsTheDataAndFails) {
    bool reset = false, clean = false;
    ScriptedPeer peer([&](int fd) {
        DataListener data;
        int d = OpenPassiveTransfer(fd, data);
        WriteAll(fd, "150 send\r\n");
        char buffer[4096];
        ssize_t n;
        while ((n = read(d, buffer, sizeof buffer)) > 0) {
        }
        reset = n < 0 && errno == ECONNRESET;
        clean = n == 0;
        close(d);
        WriteAll(fd, "226 stored\r\n");
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port);
    ftp.SetPassive(true);
    ftp.HostFileName = "f";
    // Opens, but reading its first bytes fails.
    ftp.SetLocalFileName("/proc/self/mem");
    ASSERT_TRUE(ftp.Connect());
    EXPECT_FALSE(ftp.Put());
    EXPECT_EQ(ftp.ErrorMessage(), "426 Error reading file /proc/self/mem");
    EXPECT_EQ(ftp.StatusCode(), 426);
    ftp.Abort();
    ASSERT_TRUE(peer.Finished());
    EXPECT_TRUE(reset);
    EXPECT_FALSE(clean);
}

TEST(FtpPeer, LoginRefusedKeepsTheConnection) {
    ScriptedPeer peer([](int fd) {
        WriteAll(fd, "220 ready\r\n");
        PeerLine(fd);
        WriteAll(fd, "331 pass\r\n");
        PeerLine(fd);
        WriteAll(fd, "530 Login incorrect.\r\n");
        PeerLine(fd);
        WriteAll(fd, "221 bye\r\n");
    });
    RecordingClient ftp(peer.port);
    EXPECT_FALSE(ftp.Connect());
    EXPECT_EQ(ftp.ErrorMessage(), "530 Login incorrect.");
    EXPECT_TRUE(ftp.Connected());
    // A further Connect is refused at once and leaves the message alone.
    EXPECT_FALSE(ftp.Connect());
    EXPECT_EQ(ftp.ErrorMessage(), "530 Login incorrect.");
    EXPECT_TRUE(ftp.Quit());
    EXPECT_FALSE(ftp.Connected());
}

TEST(FtpPeer, GreetingOtherThan220) {
    ScriptedPeer peer([](int fd) {
        WriteAll(fd, "421 Too many users\r\n");
        PeerLine(fd);
    });
    RecordingClient ftp(peer.port);
    EXPECT_FALSE(ftp.Connect());
    EXPECT_EQ(ftp.ErrorMessage(), "421 Too many users");
    EXPECT_EQ(ftp.StatusCode(), 421);
}

} // namespace
