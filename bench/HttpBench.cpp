// The HTTP client against curl (HTTP/1.0, "curl -0") on the same servers:
// a 256 MiB file from lighttpd, a 64 MiB POST to an in-process sink, and
// the processor time spent while a server stalls for 3 seconds. Build as
// Release and run by hand: build-release/bench/http_bench.
#include "bench/TransferCost.h"
#include "net/HttpProt.h"
#include "tests/net/HttpSupport.h"
#include "tests/net/SocketPeers.h"

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::int64_t kFile = 256ll << 20;
constexpr std::int64_t kPost = 64ll << 20;
constexpr int kRounds = 3;

// Runs the blocking request; wall and processor time of this process.
Cost Ours(THttpCli& cli, THttpRequest method) {
    const double start = Now(), cpu = OwnCpuSeconds();
    Outcome o = Request(cli, method, 120000);
    const Cost c{Now() - start, OwnCpuSeconds() - cpu};
    if (o.code != 0) std::fprintf(stderr, "ours failed: %s\n", o.error.c_str());
    return c;
}

// Runs curl; wall and processor time of curl.
Cost Curl(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/curl", "-0", "-s", "-o", "/dev/null"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
}

// A server that reads a request with its body and answers 200, for each
// of `count` connections; stalls `stall` milliseconds before the body.
std::thread Sink(unsigned short& port, int count, int stall, const std::string& bodyText) {
    int listener = ListenOnLoopback(port, 4);
    return std::thread([=] {
        std::vector<char> buffer(1 << 20);
        for (int i = 0; i < count; ++i) {
            int fd = accept(listener, nullptr, nullptr);
            std::string header = ReadUntil(fd, "\r\n\r\n");
            std::size_t at = header.find("ontent-Length: ");
            long long left = at == std::string::npos ? 0 : std::stoll(header.substr(at + 15));
            while (left > 0) {
                ssize_t n = read(fd, buffer.data(), std::min<long long>(left, buffer.size()));
                if (n <= 0) break;
                left -= n;
            }
            WriteAll(fd, "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(bodyText.size()) +
                             "\r\n\r\n");
            if (stall > 0) std::this_thread::sleep_for(std::chrono::milliseconds(stall));
            WriteAll(fd, bodyText);
            close(fd);
        }
        close(listener);
    });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::string folder = ScratchWithBigFile("http-bench", kFile);
    if (folder.empty()) return 1;
    unsigned short port = 0;
    const auto server = StartOnFreePort(
        [&](unsigned short free) { return LighttpdCommand(folder, folder + "/root", free); },
        port);
    if (!server->Running()) {
        std::fprintf(stderr, "lighttpd did not answer\n");
        return 1;
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/big.bin";

    std::vector<Cost> ours, curl;
    for (int round = 0; round < kRounds; ++round) {
        THttpCli cli;
        cli.URL = url;
        std::int64_t count = 0;
        cli.OnDocData = [&](THttpCli*, const char*, int length) { count += length; };
        ours.push_back(Ours(cli, httpGET));
        if (count != kFile) std::fprintf(stderr, "ours got %lld bytes\n", (long long)count);
        curl.push_back(Curl({url}));
    }
    ReportCosts("GET 256 MiB from lighttpd", double(kFile), Best(ours), Best(curl));

    // The POST body from memory, as the online form sends it.
    std::string body(std::size_t(kPost), 'x');
    std::ofstream(folder + "/post.bin", std::ios::binary) << body;
    ours.clear();
    curl.clear();
    for (int round = 0; round < kRounds; ++round) {
        unsigned short sinkPort = 0;
        std::thread sink = Sink(sinkPort, 2, 0, "ok");
        const std::string sinkUrl = "http://127.0.0.1:" + std::to_string(sinkPort) + "/up";
        THttpCli cli;
        cli.URL = sinkUrl;
        std::istringstream in(body);
        cli.SendStream = &in;
        ours.push_back(Ours(cli, httpPOST));
        curl.push_back(Curl({"--data-binary", "@" + folder + "/post.bin", sinkUrl}));
        sink.join();
    }
    ReportCosts("POST 64 MiB to a sink", double(kPost), Best(ours), Best(curl));

    unsigned short stallPort = 0;
    std::thread stall = Sink(stallPort, 2, 3000, "late");
    const std::string stallUrl = "http://127.0.0.1:" + std::to_string(stallPort) + "/";
    THttpCli cli;
    cli.URL = stallUrl;
    Cost oursStall = Ours(cli, httpGET);
    Cost curlStall = Curl({stallUrl});
    stall.join();
    ReportCosts("3-second stall", 0, oursStall, curlStall);
    std::filesystem::remove_all(folder);
    return 0;
}
