// The FTP client against curl on the same server and file: 1 GiB from
// vsftpd on 127.0.0.1, passive and active, both written to /dev/null; and the
// processor time spent while a server stalls a transfer for 3 seconds. Both
// clients run as processes of their own, timed from their start to their
// exit, and so does the stalling server. Build as Release and run by hand:
// build-release/bench/ftp_bench. The program runs itself for its client
// ("get") and its stalling server ("stall").
#include "bench/TransferCost.h"
#include "installer/FtpCli.h"
#include "tests/installer/FtpPeer.h"
#include "tests/net/SocketPeers.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::int64_t kFile = 1ll << 30;
constexpr int kRounds = 5;
constexpr int kStall = 3000;

// The client's side: a whole session (connect, binary type, get, quit) as
// the installer runs it. Succeeds when the file came whole.
int ClientRole(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const bool passive = std::strcmp(argv[3], "pasv") == 0;
    const std::int64_t expected = std::stoll(argv[5]);
    TFtpClient ftp;
    ftp.HostName = "127.0.0.1";
    ftp.Port = argv[2];
    ftp.UserName = "anonymous";
    ftp.PassWord = "bench@";
    ftp.SetPassive(passive);
    ftp.HostFileName = argv[4];
    ftp.SetLocalFileName("/dev/null");
    std::string dialogue;
    ftp.OnDisplay = [&](TCustomFtpCli*, const std::string& line) { dialogue += line + "\n"; };
    const bool ok = ftp.Connect() && ftp.TypeBinary() && ftp.Get();
    const std::int64_t count = ftp.ByteCount();
    const std::string error = ftp.ErrorMessage();
    ftp.Quit();
    if (!ok) std::fprintf(stderr, "ours failed: %s\n%s", error.c_str(), dialogue.c_str());
    if (count != expected)
        std::fprintf(stderr, "ours got %lld of %lld bytes\n", static_cast<long long>(count),
                     static_cast<long long>(expected));
    return ok && count == expected ? 0 : 1;
}

std::vector<std::string> Ours(unsigned short port, bool passive, const std::string& file,
                              std::int64_t bytes) {
    return {SelfPath(),           "get", std::to_string(port), passive ? "pasv" : "port", file,
            std::to_string(bytes)};
}

// curl on the same URL.
std::vector<std::string> Curl(const std::string& url, bool passive) {
    std::vector<std::string> argv = {"/usr/bin/curl", "-s", "-o", "/dev/null"};
    if (passive)
        argv.push_back("--disable-epsv");
    else
        argv.insert(argv.end(), {"--disable-eprt", "-P", "127.0.0.1"});
    argv.push_back(url);
    return argv;
}

// The stalling server's side: a passive FTP server on 127.0.0.1 at the port
// that sends 64 KiB, stalls, then sends 64 KiB more; until it is stopped.
int StallRole(char** argv) {
    unsigned short port = static_cast<unsigned short>(std::stoi(argv[2]));
    const unsigned short asked = port;
    const int listener = ListenOnLoopback(port, 4);
    if (port != asked) return 1;
    const std::string half(64 << 10, 's');
    for (;;) {
        const int fd = accept(listener, nullptr, nullptr);
        if (fd < 0) continue;
        WriteAll(fd, "220 ready\r\n");
        DataListener data;
        for (std::string line = PeerLine(fd); !line.empty(); line = PeerLine(fd)) {
            const std::string verb = line.substr(0, 4);
            if (verb == "USER") {
                WriteAll(fd, "331 password\r\n");
            } else if (verb == "PASS") {
                WriteAll(fd, "230 in\r\n");
            } else if (verb == "PASV") {
                WriteAll(fd, data.Pasv());
            } else if (verb == "RETR") {
                int d = data.Accept();
                WriteAll(fd, "150 here\r\n");
                WriteAll(d, half);
                std::this_thread::sleep_for(std::chrono::milliseconds(kStall));
                WriteAll(d, half);
                close(d);
                WriteAll(fd, "226 done\r\n");
            } else if (verb == "QUIT") {
                WriteAll(fd, "221 bye\r\n");
                break;
            } else if (verb == "EPSV") {
                WriteAll(fd, "500 no\r\n");
            } else if (verb == "SIZE") {
                WriteAll(fd, "213 131072\r\n");
            } else {
                WriteAll(fd, "200 ok\r\n");
            }
        }
        close(fd);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 6 && std::strcmp(argv[1], "get") == 0) return ClientRole(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "stall") == 0) return StallRole(argv);

    const std::string folder = ScratchWithBigFile("ftp-bench", kFile);
    if (folder.empty()) return 1;
    const std::string root = folder + "/root";
    {
        unsigned short port = 0;
        const auto server = StartOnFreePort(
            [&](unsigned short free) { return VsftpdCommand(folder, root, free); }, port);
        if (!server->Running()) {
            std::fprintf(stderr, "vsftpd did not answer\n");
            return 1;
        }
        const std::string url = "ftp://127.0.0.1:" + std::to_string(port) + "/big.bin";
        for (bool passive : {true, false})
            Compare(passive ? "1 GiB from vsftpd, PASV" : "1 GiB from vsftpd, PORT", double(kFile),
                    Ours(port, passive, "big.bin", kFile), Curl(url, passive), kRounds);
    }
    {
        unsigned short port = 0;
        const auto server = StartOnFreePort(
            [&](unsigned short free) {
                return std::vector<std::string>{SelfPath(), "stall", std::to_string(free)};
            },
            port);
        if (!server->Running()) {
            std::fprintf(stderr, "the stalling server did not answer\n");
            return 1;
        }
        Compare("3-second stall", 0, Ours(port, true, "stall.bin", 128 << 10),
                Curl("ftp://127.0.0.1:" + std::to_string(port) + "/stall.bin", true), 1);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
