// The socket component on 127.0.0.1: 100 MB through TWSocket each way (to
// be set beside winsock_loopback_bench, the library alone), 10 MB of short
// lines in line mode, and the processor time of a stalled two-second
// WaitUntilReady.
#include "net/LineWSocket.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kTotal = 100 << 20;
constexpr int kReadSize = 256 << 10;

// A connected pair: a client and the server's socket that accepted it.
struct Pair {
    TWSocket listener, client;
    std::unique_ptr<TWSocket> server;

    Pair() {
        listener.SetAddr("127.0.0.1");
        listener.SetPort("0");
        listener.OnSessionAvailable = [this](TCustomWSocket*, WORD) {
            server = std::make_unique<TWSocket>();
            server->Dup(listener.Accept());
        };
        listener.Listen();
        client.SetAddr("127.0.0.1");
        client.SetPort(listener.GetXPort());
        client.Connect();
        while (client.State() != wsConnected || !server)
            ProcessApplicationMessages();
    }
};

void HundredMegabytesThroughTWSocket(benchmark::State& state) {
    WSocketForceLoadWinsock();
    const std::string data(kTotal, 'x');
    std::vector<char> in(kReadSize);
    for (auto _ : state) {
        Pair pair;
        TWSocket& sender = state.range(0) == 0 ? pair.client : *pair.server;
        TWSocket& receiver = state.range(0) == 0 ? *pair.server : pair.client;
        long long received = 0;
        receiver.OnDataAvailable = [&](TCustomWSocket* s, WORD) {
            int n = s->Receive(in.data(), kReadSize);
            if (n > 0) received += n;
        };
        sender.Send(data.data(), kTotal);
        while (received < kTotal)
            ProcessApplicationMessages();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kTotal);
    state.SetLabel(state.range(0) == 0 ? "client to server" : "server to client");
    WSocketCancelForceLoadWinsock();
}
BENCHMARK(HundredMegabytesThroughTWSocket)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The library alone, sending as the queue does: one 1460-byte chunk per
// call, on FD_WRITE until a send falls short. The gap between this and
// winsock_loopback_bench's 256 KB sends is the cost of the chunk size.
void HundredMegabytesInChunkSizedSends(benchmark::State& state) {
    WSocketForceLoadWinsock();
    constexpr int kChunk = 1460;
    std::vector<char> out(kChunk, 'x'), in(kReadSize);
    for (auto _ : state) {
        Pair pair;
        SOCKET client = pair.client.HSocket(), server = pair.server->HSocket();
        pair.client.Pause();
        pair.server->Pause();
        long long sent = 0, received = 0;
        HWND window = AllocateHWnd([&](TMessage& message) {
            if (message.Msg != WM_ASYNCSELECT) return;
            if (SOCKET(message.WParam) == client && message.LParamLo() == FD_WRITE)
                while (sent < kTotal) {
                    int n = WSocket_send(client, out.data(), kChunk, 0);
                    if (n <= 0) break;
                    sent += n;
                    if (n < kChunk) break;
                }
            if (SOCKET(message.WParam) == server && message.LParamLo() == FD_READ)
                for (int n; (n = WSocket_recv(server, in.data(), kReadSize, 0)) > 0;)
                    received += n;
        });
        WSocket_WSAAsyncSelect(server, window, WM_ASYNCSELECT, FD_READ | FD_CLOSE);
        WSocket_WSAAsyncSelect(client, window, WM_ASYNCSELECT, FD_WRITE | FD_CLOSE);
        while (received < kTotal)
            ProcessApplicationMessages();
        WSocket_WSAAsyncSelect(server, window, 0, 0);
        WSocket_WSAAsyncSelect(client, window, 0, 0);
        DeallocateHWnd(window);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kTotal);
    WSocketCancelForceLoadWinsock();
}
BENCHMARK(HundredMegabytesInChunkSizedSends)->Unit(benchmark::kMillisecond)->UseRealTime();

void TenMegabytesOfShortLines(benchmark::State& state) {
    WSocketForceLoadWinsock();
    std::string body;
    while (body.size() < (10u << 20))
        body += "short line " + std::to_string(body.size() % 1000) + "\r\n";
    std::int64_t lines = 0;
    for (auto _ : state) {
        Pair pair;
        std::size_t received = 0;
        pair.server->SetLineMode(true);
        pair.server->OnDataAvailable = [&](TCustomWSocket* s, WORD) {
            char line[64];
            int n = s->Receive(line, sizeof line);
            if (n > 0) received += std::size_t(n);
            ++lines;
        };
        pair.client.Send(body.data(), int(body.size()));
        while (received < body.size())
            ProcessApplicationMessages();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(body.size()));
    state.counters["lines/s"] = benchmark::Counter(double(lines), benchmark::Counter::kIsRate);
    WSocketCancelForceLoadWinsock();
}
BENCHMARK(TenMegabytesOfShortLines)->Unit(benchmark::kMillisecond)->UseRealTime();

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void StalledTwoSecondWaitUntilReady(benchmark::State& state) {
    WSocketForceLoadWinsock();
    double cpu = 0;
    for (auto _ : state) {
        Pair pair; // connected, but nothing ever arrives
        pair.client.SetTimeout(2000);
        bool done = false;
        double before = ProcessorSeconds();
        int result = pair.client.WaitUntilReady(done);
        cpu += ProcessorSeconds() - before;
        if (result != kWaitTimedOut) state.SkipWithError("the wait did not time out");
    }
    state.counters["cpu_ms_per_wait"] = 1000 * cpu / double(state.iterations());
    WSocketCancelForceLoadWinsock();
}
BENCHMARK(StalledTwoSecondWaitUntilReady)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QCoreApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
