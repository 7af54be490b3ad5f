// The HTTP client against curl (HTTP/1.0, "curl -0") on the same servers:
// a 256 MiB file from lighttpd, a 64 MiB POST to a sink, and the processor
// time spent while a server stalls for 3 seconds. Both clients run as
// processes of their own, timed from their start to their exit, and so do
// the servers, so that neither client's figures hold a server's work. Build
// as Release and run by hand: build-release/bench/http_bench. The program
// runs itself for its client ("get", "post") and its sink ("sink").
#include "bench/TransferCost.h"
#include "net/HttpProt.h"
#include "tests/net/HttpSupport.h"
#include "tests/net/SocketPeers.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::int64_t kFile = 256ll << 20;
constexpr std::int64_t kPost = 64ll << 20;
constexpr int kRounds = 5;
constexpr int kStall = 3000;

// The client's side: one blocking request, the POST's body read from a
// file as curl reads it. Succeeds when the request did and the document
// has `expected` bytes.
int ClientRole(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const bool post = std::strcmp(argv[1], "post") == 0;
    THttpCli cli;
    cli.URL = argv[2];
    std::ifstream body;
    if (post) {
        body.open(argv[3], std::ios::binary);
        cli.SendStream = &body;
    }
    const std::int64_t expected = std::stoll(argv[post ? 4 : 3]);
    std::int64_t count = 0;
    cli.OnDocData = [&](THttpCli*, const char*, int length) { count += length; };
    const Outcome o = Request(cli, post ? httpPOST : httpGET, 120000);
    if (o.code != 0) std::fprintf(stderr, "ours failed: %s\n", o.error.c_str());
    if (count != expected)
        std::fprintf(stderr, "ours got %lld of %lld bytes\n", static_cast<long long>(count),
                     static_cast<long long>(expected));
    return o.code == 0 && count == expected ? 0 : 1;
}

// The server's side: on 127.0.0.1 at the port, reads each request with its
// body and answers 200 with the text, stalling that many milliseconds
// before the text; until it is stopped.
int SinkRole(char** argv) {
    unsigned short port = static_cast<unsigned short>(std::stoi(argv[2]));
    const int stall = std::stoi(argv[3]);
    const std::string text = argv[4];
    const unsigned short asked = port;
    const int listener = ListenOnLoopback(port, 4);
    if (port != asked) return 1;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const int fd = accept(listener, nullptr, nullptr);
        if (fd < 0) continue;
        const std::string header = ReadUntil(fd, "\r\n\r\n");
        const std::size_t at = header.find("ontent-Length: ");
        long long left = at == std::string::npos ? 0 : std::stoll(header.substr(at + 15));
        while (left > 0) {
            const ssize_t n =
                read(fd, buffer.data(), std::size_t(std::min<long long>(left, 1 << 20)));
            if (n <= 0) break;
            left -= n;
        }
        WriteAll(fd,
                 "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(text.size()) + "\r\n\r\n");
        if (stall > 0) std::this_thread::sleep_for(std::chrono::milliseconds(stall));
        WriteAll(fd, text);
        close(fd);
    }
}

std::unique_ptr<ServerProcess> StartSink(unsigned short& port, int stall, const std::string& text) {
    return StartOnFreePort(
        [&](unsigned short free) {
            return std::vector<std::string>{SelfPath(), "sink", std::to_string(free),
                                            std::to_string(stall), text};
        },
        port);
}

// curl for HTTP/1.0 with the arguments.
std::vector<std::string> Curl(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/curl", "-0", "-s", "-o", "/dev/null"};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "get") == 0) return ClientRole(argc, argv);
    if (argc >= 5 && std::strcmp(argv[1], "post") == 0) return ClientRole(argc, argv);
    if (argc >= 5 && std::strcmp(argv[1], "sink") == 0) return SinkRole(argv);

    const std::string folder = ScratchWithBigFile("http-bench", kFile);
    if (folder.empty()) return 1;
    const std::string self = SelfPath();
    {
        unsigned short port = 0;
        const auto server = StartOnFreePort(
            [&](unsigned short free) { return LighttpdCommand(folder, folder + "/root", free); },
            port);
        if (!server->Running()) {
            std::fprintf(stderr, "lighttpd did not answer\n");
            return 1;
        }
        const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/big.bin";
        Compare("GET 256 MiB from lighttpd", double(kFile),
                {self, "get", url, std::to_string(kFile)}, Curl({url}), kRounds);
    }
    {
        const std::string body = folder + "/post.bin";
        WritePatternFile(body, kPost);
        unsigned short port = 0;
        const auto sink = StartSink(port, 0, "ok");
        if (!sink->Running()) {
            std::fprintf(stderr, "the sink did not answer\n");
            return 1;
        }
        const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/up";
        Compare("POST 64 MiB to a sink", double(kPost), {self, "post", url, body, "2"},
                Curl({"--data-binary", "@" + body, url}), kRounds);
    }
    {
        unsigned short port = 0;
        const auto sink = StartSink(port, kStall, "late");
        if (!sink->Running()) {
            std::fprintf(stderr, "the stalling server did not answer\n");
            return 1;
        }
        const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/";
        Compare("3-second stall", 0, {self, "get", url, "4"}, Curl({url}), 1);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
