// The FTP client against curl on the same server and file: 1 GiB from
// vsftpd on 127.0.0.1, passive and active, both written to /dev/null; and the
// processor time spent while a server stalls a transfer for 3 seconds. Build
// as Release and run by hand: build-release/bench/ftp_bench.
#include "installer/FtpCli.h"
#include "tests/installer/FtpPeer.h"
#include "tests/net/SocketPeers.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::int64_t kFile = 1ll << 30;
constexpr int kRounds = 5;

struct Cost {
    double seconds = 0;
    double cpu = 0;
};

double CpuOf(const rusage& r) {
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

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
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const double start = Now();
    const bool ok = ftp.Connect() && ftp.TypeBinary() && ftp.Get();
    const std::int64_t count = ftp.ByteCount();
    const std::string error = ftp.ErrorMessage();
    ftp.Quit();
    Cost c{Now() - start, 0};
    getrusage(RUSAGE_SELF, &after);
    c.cpu = CpuOf(after) - CpuOf(before);
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
    const double start = Now();
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> a;
        for (std::string& s : argv)
            a.push_back(s.data());
        a.push_back(nullptr);
        execv(a[0], a.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "curl failed with %d\n", status);
    return {Now() - start, CpuOf(usage)};
}

// A passive FTP server for `count` sessions that sends 64 KiB, stalls for
// `stall` milliseconds, then sends 64 KiB more.
std::thread StallingServer(unsigned short& port, int count, int stall) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, 4);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
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

void Report(const char* what, const Cost& ours, const Cost& curl) {
    std::printf(
        "%-26s ours %7.0f MB/s (cpu %.2f s)  curl %7.0f MB/s (cpu %.2f s)  share %5.1f %%\n", what,
        double(kFile) / ours.seconds / 1e6, ours.cpu, double(kFile) / curl.seconds / 1e6, curl.cpu,
        100 * curl.seconds / ours.seconds);
}

Cost Best(const std::vector<Cost>& costs) {
    Cost best = costs.front();
    for (const Cost& c : costs)
        if (c.seconds < best.seconds) best = c;
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    char scratch[] = "/tmp/ftp-bench-XXXXXX";
    if (mkdtemp(scratch) == nullptr) return 1;
    const std::string folder = scratch;
    const std::string root = folder + "/root";
    std::filesystem::create_directories(root);
    {
        // Real bytes, not a hole, read as a user's file would be (from the
        // page cache after the first round).
        std::ofstream out(root + "/big.bin", std::ios::binary);
        std::string block(1 << 20, '\0');
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = char(i * 131 % 251);
        for (std::int64_t i = 0; i < kFile; i += std::int64_t(block.size()))
            out.write(block.data(), std::streamsize(block.size()));
    }
    const unsigned short port = FreeLoopbackPort();
    {
        ServerProcess server(VsftpdCommand(folder, root, port), port);
        if (!server.Running()) {
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
            Report(passive ? "1 GiB from vsftpd, PASV" : "1 GiB from vsftpd, PORT", Best(ours),
                   Best(curl));
        }
    }

    unsigned short stallPort = 0;
    std::thread stall = StallingServer(stallPort, 2, 3000);
    const Cost oursStall = Ours(stallPort, true, "stall.bin");
    const Cost curlStall =
        Curl("ftp://127.0.0.1:" + std::to_string(stallPort) + "/stall.bin", true);
    stall.join();
    std::printf("3-second stall              ours %.2f s wall, %.3f s cpu   curl %.2f s wall, "
                "%.3f s cpu\n",
                oursStall.seconds, oursStall.cpu, curlStall.seconds, curlStall.cpu);
    std::filesystem::remove_all(folder);
    return 0;
}
