// 100 MB from one socket of the project's Winsock library to another on
// 127.0.0.1, driven by their notifications as the socket layer is: the
// sender writes on FD_WRITE until a send falls short, the receiver reads on
// FD_READ until nothing waits.
#include "net/WSocket.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

constexpr long long kTotal = 100LL << 20;
constexpr int kChunk = 256 << 10;

void HundredMegabytesOverLoopback(benchmark::State& state) {
    WSocketForceLoadWinsock();
    std::vector<char> out(kChunk, 'x'), in(kChunk);
    for (auto _ : state) {
        long long sent = 0, received = 0;
        SOCKET client = INVALID_SOCKET, server = INVALID_SOCKET;
        auto sendMore = [&] {
            while (sent < kTotal) {
                int n = WSocket_send(client, out.data(),
                                     int(std::min<long long>(kChunk, kTotal - sent)), 0);
                if (n <= 0) return;
                sent += n;
                if (n < kChunk) return;
            }
        };
        auto readAll = [&] {
            for (;;) {
                int n = WSocket_recv(server, in.data(), kChunk, 0);
                if (n <= 0) return;
                received += n;
            }
        };
        HWND window = AllocateHWnd([&](TMessage& message) {
            if (message.Msg != WM_ASYNCSELECT) return;
            SOCKET s = SOCKET(message.WParam);
            if (s == client && message.LParamLo() == FD_WRITE) sendMore();
            if (s == server && message.LParamLo() == FD_READ) readAll();
        });
        SOCKET listener = WSocket_socket(WS_AF_INET, WS_SOCK_STREAM, 0);
        SOCKADDR_IN address{};
        address.sin_family = WS_AF_INET;
        address.sin_addr.S_addr = WSocket_inet_addr("127.0.0.1");
        int length = sizeof address;
        WSocket_bind(listener, reinterpret_cast<SOCKADDR*>(&address), sizeof address);
        WSocket_listen(listener, 1);
        WSocket_getsockname(listener, reinterpret_cast<SOCKADDR*>(&address), &length);
        client = WSocket_socket(WS_AF_INET, WS_SOCK_STREAM, 0);
        WSocket_connect(client, reinterpret_cast<SOCKADDR*>(&address), sizeof address);
        server = WSocket_accept(listener, nullptr, nullptr);
        WSocket_WSAAsyncSelect(server, window, WM_ASYNCSELECT, FD_READ | FD_CLOSE);
        WSocket_WSAAsyncSelect(client, window, WM_ASYNCSELECT, FD_WRITE | FD_CLOSE);
        while (received < kTotal)
            ProcessApplicationMessages();
        WSocket_closesocket(client);
        WSocket_closesocket(server);
        WSocket_closesocket(listener);
        DeallocateHWnd(window);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kTotal);
    WSocketCancelForceLoadWinsock();
}
BENCHMARK(HundredMegabytesOverLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QCoreApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
