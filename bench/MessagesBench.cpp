// The window messages on the Qt event loop: the time from PostMessageA to
// the window procedure, through a peek-and-dispatch pump and through Qt's
// own loop; and the processor time a wait loop spends while nothing
// happens for two seconds (it should block, not spin).
#include "net/WSocket.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <sys/resource.h>

namespace {

int g_handled = 0;

LRESULT Counter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) ++g_handled;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CounterWindow() {
    static HWND window = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Counter;
        windowClass.lpszClassName = "BenchCounter";
        RegisterClassA(&windowClass);
        return CreateWindowExA(0, "BenchCounter", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                               ModuleInstance(), nullptr);
    }();
    return window;
}

void PostToDispatchThroughPeek(benchmark::State& state) {
    HWND window = CounterWindow();
    MSG msg;
    for (auto _ : state) {
        int before = g_handled;
        PostMessageA(window, WM_USER, 0, 0);
        while (g_handled == before)
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}
BENCHMARK(PostToDispatchThroughPeek);

void PostToDispatchThroughQtsLoop(benchmark::State& state) {
    HWND window = CounterWindow();
    for (auto _ : state) {
        int before = g_handled;
        PostMessageA(window, WM_USER, 0, 0);
        while (g_handled == before)
            QCoreApplication::processEvents();
    }
}
BENCHMARK(PostToDispatchThroughQtsLoop);

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A blocking helper's wait with no events: pump, Sleep(0), again, until the
// deadline, as the protocol clients' blocking forms do.
void IdleWaitOfTwoSeconds(benchmark::State& state, bool multiThreaded) {
    WSocketMessageWindow pump;
    pump.MultiThreaded = multiThreaded;
    double processor = 0;
    for (auto _ : state) {
        double start = ProcessorSeconds();
        DWORD deadline = GetTickCount() + 2000;
        while (!TickReached(GetTickCount(), deadline)) {
            pump.MessagePump();
            Sleep(0);
        }
        processor += ProcessorSeconds() - start;
    }
    state.counters["processor_share_%"] = 100 * processor / (2.0 * double(state.iterations()));
}
BENCHMARK_CAPTURE(IdleWaitOfTwoSeconds, application_pump, false)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(IdleWaitOfTwoSeconds, socket_pump, true)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QCoreApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
