// The FTP client against curl on the same server and file: 1 GiB from
// vsftpd on 127.0.0.1, passive and active, both written to /dev/null; and the
// processor time spent while a server stalls a transfer for 3 seconds. Build
// as Release and run by hand: build-release/bench/ftp_bench.
#include "bench/TransferCost.h"
#include "installer/FtpCli.h"
#include "tests/installer/FtpPeer.h"
#include "tests/net/SocketPeers.h"

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::int64_t kFile = 1ll << 30;
constexpr int kRounds = 5;

// A whole session (connect, binary type, get, quit) as the installer runs
// it; wall and processor time of this process.
Cost Ours(unsigned short port, bool passive, const std::string& file) {
    TFtpClient ftp;
    ftp.HostName = "127.0.0.1";
    ftp.Port = std::to_string(port);
    ftp.UserName = "anonymous";
    ftp.PassWord = "bench@";
    ftp.SetPassive(passive);
    ftp.HostFileName = file;
    ftp.SetLocalFileName("/dev/null");
    std::string dialogue;
    ftp.OnDisplay = [&](TCustomFtpCli*, const std::string& line) { dialogue += line + "\n"; };
    const double start = Now(), cpu = OwnCpuSeconds();
    const bool ok = ftp.Connect() && ftp.TypeBinary() && ftp.Get();
    const std::int64_t count = ftp.ByteCount();
    const std::string error = ftp.ErrorMessage();
    ftp.Quit();
    const Cost c{Now() - start, OwnCpuSeconds() - cpu};
    if (!ok) std::fprintf(stderr, "ours failed: %s\n%s", error.c_str(), dialogue.c_str());
    if (file == "big.bin" && count != kFile)
        std::fprintf(stderr, "ours got %lld bytes\n", static_cast<long long>(count));
    return c;
}

// curl on the same URL; wall and processor time of curl.
Cost Curl(const std::string& url, bool passive) {
    std::vector<std::string> argv = {"/usr/bin/curl", "-s", "-o", "/dev/null"};
    if (passive)
        argv.push_back("--disable-epsv");
    else
        argv.insert(argv.end(), {"--disable-eprt", "-P", "127.0.0.1"});
    argv.push_back(url);
    return RunProgram(argv);
}

// A passive FTP server for `count` sessions that sends 64 KiB, stalls for
// `stall` milliseconds, then sends 64 KiB more.
std::thread StallingServer(unsigned short& port, int count, int stall) {
    int listener = ListenOnLoopback(port, 4);
    return std::thread([=] {
        const std::string half(64 << 10, 's');
        for (int i = 0; i < count; ++i) {
            int fd = accept(listener, nullptr, nullptr);
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
                    std::this_thread::sleep_for(std::chrono::milliseconds(stall));
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
        close(listener);
    });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::string folder = ScratchWithBigFile("ftp-bench", kFile);
    if (folder.empty()) return 1;
    const std::string root = folder + "/root";
    unsigned short port = 0;
    {
        const auto server = StartOnFreePort(
            [&](unsigned short free) { return VsftpdCommand(folder, root, free); }, port);
        if (!server->Running()) {
            std::fprintf(stderr, "vsftpd did not answer\n");
            return 1;
        }
        const std::string url = "ftp://127.0.0.1:" + std::to_string(port) + "/big.bin";
        for (bool passive : {true, false}) {
            std::vector<Cost> ours, curl;
            for (int round = 0; round < kRounds; ++round) {
                ours.push_back(Ours(port, passive, "big.bin"));
                curl.push_back(Curl(url, passive));
            }
            ReportCosts(passive ? "1 GiB from vsftpd, PASV" : "1 GiB from vsftpd, PORT",
                        double(kFile), Best(ours), Best(curl));
        }
    }

    unsigned short stallPort = 0;
    std::thread stall = StallingServer(stallPort, 2, 3000);
    const Cost oursStall = Ours(stallPort, true, "stall.bin");
    const Cost curlStall =
        Curl("ftp://127.0.0.1:" + std::to_string(stallPort) + "/stall.bin", true);
    stall.join();
    ReportCosts("3-second stall", 0, oursStall, curlStall);
    std::filesystem::remove_all(folder);
    return 0;
}
