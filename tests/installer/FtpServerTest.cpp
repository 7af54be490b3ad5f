// The FTP client end to end against real servers on 127.0.0.1: pyftpdlib
// (anonymous with write access, and with a user) and vsftpd. Files are
// compared byte for byte with cmp; the dialogues are pinned in transcripts.

#include "tests/installer/FtpPeer.h"
#include "tests/net/SocketPeers.h"
#include "tests/support/Golden.h"
#include "tests/support/Scratch.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    return std::system(("cmp -s '" + a + "' '" + b + "'").c_str()) == 0;
}

std::string Pattern(std::size_t size, unsigned seed) {
    std::string data(size, '\0');
    unsigned x = seed;
    for (char& c : data) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 16);
    }
    return data;
}

// A pyftpdlib server sharing a scratch folder; with a user, anonymous
// logins are off.
class Pyftpdlib {
public:
    explicit Pyftpdlib(const std::string& user = "", const std::string& password = "") {
        server = StartOnFreePort(
            [&](unsigned short free) {
                return PyftpdlibCommand(root.Path(), free, true, user, password);
            },
            port);
    }
    TempFolder root;
    unsigned short port = 0;
    std::unique_ptr<ServerProcess> server;
};

class FtpPyftpdlib : public testing::Test {
protected:
    void SetUp() override {
        if (!PyftpdlibInstalled()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    }
    TempFolder local;
};

// Every command the installer's client knows, in one session, passive or
// active; the dialogue is pinned.
TEST_F(FtpPyftpdlib, SessionOfEveryCommand) {
    for (bool passive : {true, false}) {
        Pyftpdlib server;
        ASSERT_TRUE(server.server->Running());
        const std::string up = local.File("up.bin"), down = local.File("down.bin");
        const std::string first = Pattern(300000, 1), more = Pattern(70001, 2);
        WriteFile(up, first);
        RecordingClient ftp(server.port);
        ftp.SetPassive(passive);
        ASSERT_TRUE(ftp.Connect()) << ftp.ErrorMessage();
        ASSERT_TRUE(ftp.TypeBinary());
        ftp.HostFileName = "up.bin";
        ftp.SetLocalFileName(up);
        ASSERT_TRUE(ftp.Put()) << ftp.ErrorMessage() << ftp.Transcript();
        EXPECT_EQ(ftp.ByteCount(), 300000);
        EXPECT_TRUE(SameFile(up, server.root.File("up.bin")));
        WriteFile(local.File("more.bin"), more);
        ftp.SetLocalFileName(local.File("more.bin"));
        ASSERT_TRUE(ftp.Append()) << ftp.ErrorMessage();
        ASSERT_TRUE(ftp.Size());
        EXPECT_EQ(ftp.SizeResult(), 370001);
        ftp.SetLocalFileName(down);
        ASSERT_TRUE(ftp.Get()) << ftp.ErrorMessage();
        EXPECT_TRUE(ReadFile(down) == first + more) << ftp.Transcript();
        EXPECT_TRUE(SameFile(down, server.root.File("up.bin")));
        ftp.HostFileName = "sub";
        ASSERT_TRUE(ftp.Mkd()) << ftp.ErrorMessage();
        EXPECT_EQ(ftp.DirResult(), "/sub");
        ftp.HostFileName = "";
        ftp.SetLocalFileName(local.File("names.txt"));
        ASSERT_TRUE(ftp.Ls()) << ftp.ErrorMessage();
        EXPECT_EQ(ReadFile(local.File("names.txt")), "sub\r\nup.bin\r\n");
        ftp.SetLocalFileName(local.File("list.txt"));
        const std::size_t before = ftp.log.size();
        ASSERT_TRUE(ftp.Dir()) << ftp.ErrorMessage();
        EXPECT_NE(ReadFile(local.File("list.txt")).find(" up.bin\r\n"), std::string::npos);
        // A listing's length depends on the owner's name and the date: it
        // stays out of the pinned dialogue.
        ftp.log.resize(before);
        ftp.HostFileName = "up.bin";
        ftp.SetLocalFileName("renamed.bin");
        ASSERT_TRUE(ftp.Ren()) << ftp.ErrorMessage();
        EXPECT_TRUE(SameFile(down, server.root.File("renamed.bin")));
        ftp.HostFileName = "renamed.bin";
        ASSERT_TRUE(ftp.Dele()) << ftp.ErrorMessage();
        EXPECT_NE(access(server.root.File("renamed.bin").c_str(), F_OK), 0);
        ftp.HostDirName = "sub";
        ASSERT_TRUE(ftp.Cwd());
        ASSERT_TRUE(ftp.Pwd());
        EXPECT_EQ(ftp.DirResult(), "/sub");
        ASSERT_TRUE(ftp.CDup());
        ftp.HostFileName = "sub";
        ASSERT_TRUE(ftp.Rmd()) << ftp.ErrorMessage();
        ftp.HostFileName = "missing.bin";
        ftp.SetLocalFileName(local.File("missing.bin"));
        EXPECT_FALSE(ftp.Get());
        EXPECT_EQ(ftp.ErrorMessage().rfind("550 ", 0), 0u) << ftp.ErrorMessage();
        EXPECT_TRUE(ftp.Connected());
        ASSERT_TRUE(ftp.Syst());
        ASSERT_TRUE(ftp.Quit());
        EXPECT_FALSE(ftp.Connected());
        // The server is on this machine: the data address given is loopback.
        for (const std::string& c : ftp.sent) {
            if (c.rfind("PORT ", 0) == 0) {
                EXPECT_EQ(c.rfind("PORT 127,0,0,1,", 0), 0u) << c;
            }
        }
        CompareGolden(std::string(FTP_TRANSCRIPTS) + "/pyftpdlib-" +
                          (passive ? "passive" : "active") + ".txt",
                      ftp.Transcript());
    }
}

TEST_F(FtpPyftpdlib, UserLoginAndResume) {
    Pyftpdlib server("rx", "s3cret");
    ASSERT_TRUE(server.server->Running());
    const std::string whole = Pattern(500000, 3);
    WriteFile(server.root.File("f.bin"), whole);
    {
        RecordingClient ftp(server.port, "rx", "wrong");
        EXPECT_FALSE(ftp.Connect());
        EXPECT_EQ(ftp.ErrorMessage().rfind("530 ", 0), 0u) << ftp.ErrorMessage();
        EXPECT_TRUE(ftp.Quit());
    }
    RecordingClient ftp(server.port, "rx", "s3cret");
    ftp.SetPassive(true);
    ASSERT_TRUE(ftp.Connect()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TypeBinary());
    // A download cut at 123457 bytes goes on from there.
    const std::string part = local.File("f.bin");
    WriteFile(part, whole.substr(0, 123457));
    ftp.HostFileName = "f.bin";
    ftp.SetLocalFileName(part);
    std::int64_t lastCount = 0;
    ftp.OnProgress = [&](TCustomFtpCli*, std::int64_t count, bool&) { lastCount = count; };
    ASSERT_TRUE(ftp.RestGet()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ByteCount(), 500000 - 123457);
    EXPECT_EQ(lastCount, 500000);
    EXPECT_TRUE(SameFile(part, server.root.File("f.bin")));
    // An upload resumed at an offset the caller gives.
    WriteFile(server.root.File("g.bin"), whole.substr(0, 200000));
    ftp.HostFileName = "g.bin";
    ftp.SetResumeAt(200000);
    ASSERT_TRUE(ftp.RestPut()) << ftp.ErrorMessage();
    EXPECT_TRUE(SameFile(part, server.root.File("g.bin")));
    // An empty file is stored empty.
    WriteFile(local.File("empty.bin"), "");
    ftp.HostFileName = "empty.bin";
    ftp.SetLocalFileName(local.File("empty.bin"));
    ASSERT_TRUE(ftp.Put()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ByteCount(), 0);
    EXPECT_TRUE(SameFile(local.File("empty.bin"), server.root.File("empty.bin")));
    ASSERT_TRUE(ftp.Quit());
}

TEST_F(FtpPyftpdlib, HighLevelRequestsRunTheirSteps) {
    Pyftpdlib server;
    ASSERT_TRUE(server.server->Running());
    mkdir(server.root.File("pub").c_str(), 0755);
    WriteFile(server.root.File("pub/a.txt"), "alpha\n");
    RecordingClient ftp(server.port);
    ftp.HostDirName = "pub";
    ftp.HostFileName = "a.txt";
    ftp.SetLocalFileName(local.File("a.txt"));
    ASSERT_TRUE(ftp.Receive()) << ftp.ErrorMessage() << ftp.Transcript();
    EXPECT_EQ(ReadFile(local.File("a.txt")), "alpha\n");
    EXPECT_FALSE(ftp.Connected());
    ftp.SetLocalFileName(local.File("names.txt"));
    ftp.HostFileName = "";
    ASSERT_TRUE(ftp.List()) << ftp.ErrorMessage();
    EXPECT_EQ(ReadFile(local.File("names.txt")), "a.txt\r\n");
    EXPECT_FALSE(ftp.Connected());
    ftp.SetLocalFileName(local.File("a.txt"));
    // A failed RETR ends the request with its code and sends no QUIT.
    ftp.HostFileName = "nothing.txt";
    ftp.sent.clear();
    EXPECT_FALSE(ftp.Receive());
    EXPECT_EQ(ftp.StatusCode(), 550);
    EXPECT_NE(ftp.sent.back(), "QUIT");
    EXPECT_TRUE(ftp.Connected());
    EXPECT_TRUE(ftp.Quit());
}

// Through a SOCKS 5 relay: the settings stay with the component, so a second
// session and every data connection go through the relay too; with no
// password only the no-authentication method is offered.
TEST_F(FtpPyftpdlib, SocksSettingsOutliveEveryClose) {
    Pyftpdlib server;
    ASSERT_TRUE(server.server->Running());
    const std::string data = Pattern(250000, 6);
    WriteFile(server.root.File("s.bin"), data);
    Socks5Relay relay;
    RecordingClient ftp(server.port);
    ftp.SetConnectionType(ftpSocks5);
    ftp.SocksServer = "127.0.0.1";
    ftp.SocksPort = std::to_string(relay.port);
    EXPECT_TRUE(ftp.Passive());
    for (int session = 0; session < 2; ++session) {
        ASSERT_TRUE(ftp.Connect()) << ftp.ErrorMessage();
        ASSERT_TRUE(ftp.TypeBinary());
        ftp.HostFileName = "s.bin";
        ftp.SetLocalFileName(local.File("s.bin"));
        ASSERT_TRUE(ftp.Get()) << ftp.ErrorMessage();
        EXPECT_TRUE(SameFile(local.File("s.bin"), server.root.File("s.bin")));
        ASSERT_TRUE(ftp.Quit());
    }
    const auto connections = relay.Connections();
    ASSERT_EQ(connections.size(), 4u);
    for (std::size_t i = 0; i < connections.size(); ++i) {
        EXPECT_EQ(connections[i].methods, std::string(1, '\0')) << i;
        // Control, data, control, data.
        EXPECT_EQ(connections[i].target == server.port, i % 2 == 0) << i;
    }
}

// Counters past 32 bits: a file of 4 GiB and 1 MiB, sparse on both sides,
// resumed at 4 GiB.
TEST_F(FtpPyftpdlib, FilesOver4GiB) {
    Pyftpdlib server;
    ASSERT_TRUE(server.server->Running());
    const std::int64_t base = std::int64_t(1) << 32;
    const std::string tail = Pattern(1 << 20, 4);
    const std::string remote = server.root.File("huge.bin"), mine = local.File("huge.bin");
    for (const std::string& path : {remote, mine}) {
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, base), 0);
        if (path == remote) {
            ASSERT_EQ(pwrite(fd, tail.data(), tail.size(), base), ssize_t(tail.size()));
        }
        close(fd);
    }
    RecordingClient ftp(server.port);
    ASSERT_TRUE(ftp.Connect());
    ASSERT_TRUE(ftp.TypeBinary());
    ftp.HostFileName = "huge.bin";
    ASSERT_TRUE(ftp.Size());
    EXPECT_EQ(ftp.SizeResult(), base + (1 << 20));
    ftp.SetLocalFileName(mine);
    std::int64_t lastCount = 0;
    ftp.OnProgress = [&](TCustomFtpCli*, std::int64_t count, bool&) { lastCount = count; };
    ASSERT_TRUE(ftp.RestGet()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ByteCount(), 1 << 20);
    EXPECT_EQ(lastCount, base + (1 << 20));
    bool restSent = false;
    for (const std::string& c : ftp.sent)
        restSent |= c == "REST 4294967296";
    EXPECT_TRUE(restSent);
    EXPECT_TRUE(SameFile(mine, remote));
    ASSERT_TRUE(ftp.Quit());
}

// vsftpd, anonymous and read-only, in both modes.
TEST(FtpVsftpd, DownloadsInBothModes) {
    if (!ProgramExists("/usr/sbin/vsftpd")) GTEST_SKIP() << "vsftpd is not installed";
    TempFolder folder;
    mkdir(folder.File("root").c_str(), 0755);
    const std::string data = Pattern(2 << 20, 5);
    WriteFile(folder.File("root/file.bin"), data);
    unsigned short port = 0;
    const auto server = StartOnFreePort(
        [&](unsigned short free) {
            return VsftpdCommand(folder.Path(), folder.File("root"), free);
        },
        port);
    ASSERT_TRUE(server->Running());
    for (bool passive : {true, false}) {
        RecordingClient ftp(port);
        ftp.SetPassive(passive);
        ASSERT_TRUE(ftp.Connect()) << ftp.ErrorMessage();
        ASSERT_TRUE(ftp.TypeBinary());
        ftp.HostFileName = "file.bin";
        ftp.SetLocalFileName(folder.File("got.bin"));
        ASSERT_TRUE(ftp.Get()) << ftp.ErrorMessage();
        EXPECT_TRUE(SameFile(folder.File("got.bin"), folder.File("root/file.bin")));
        EXPECT_EQ(ftp.ByteCount(), std::int64_t(data.size()));
        ASSERT_TRUE(ftp.Quit());
        unlink(folder.File("got.bin").c_str());
    }
}

// A whole download past 4 GiB: the byte count and the summary line need 64
// bits. The served file is sparse; the downloaded one is written out.
TEST(FtpVsftpd, WholeFileOver4GiB) {
    if (!ProgramExists("/usr/sbin/vsftpd")) GTEST_SKIP() << "vsftpd is not installed";
    TempFolder folder;
    const std::int64_t size = (std::int64_t(1) << 32) + (1 << 20);
    struct statvfs disk {};
    if (statvfs(folder.Path().c_str(), &disk) != 0 ||
        std::int64_t(disk.f_bavail) * std::int64_t(disk.f_frsize) < size + (400ll << 20))
        GTEST_SKIP() << "the scratch folder's disk lacks 4.5 GB for the downloaded copy";
    mkdir(folder.File("root").c_str(), 0755);
    {
        const std::string tail = Pattern(1 << 20, 7);
        int fd = open(folder.File("root/huge.bin").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, tail.data(), tail.size(), size - std::int64_t(tail.size())),
                  ssize_t(tail.size()));
        close(fd);
    }
    unsigned short port = 0;
    const auto server = StartOnFreePort(
        [&](unsigned short free) {
            return VsftpdCommand(folder.Path(), folder.File("root"), free);
        },
        port);
    ASSERT_TRUE(server->Running());
    RecordingClient ftp(port);
    ftp.SetPassive(true);
    ASSERT_TRUE(ftp.Connect()) << ftp.ErrorMessage();
    ASSERT_TRUE(ftp.TypeBinary());
    ftp.HostFileName = "huge.bin";
    ftp.SetLocalFileName(folder.File("got.bin"));
    ASSERT_TRUE(ftp.Get()) << ftp.ErrorMessage();
    EXPECT_EQ(ftp.ByteCount(), size);
    ASSERT_FALSE(ftp.log.empty());
    EXPECT_EQ(ftp.log.back().rfind("! 4296015872 bytes received/sent in ", 0), 0u)
        << ftp.log.back();
    EXPECT_TRUE(SameFile(folder.File("got.bin"), folder.File("root/huge.bin")));
    ASSERT_TRUE(ftp.Quit());
}

} // namespace
