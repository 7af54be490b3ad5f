#include "platform/WindowMessages.h"

#include "platform/ApplicationState.h"

#include <QBasicTimer>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <QTimerEvent>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const QEvent::Type kWakeEvent = QEvent::Type(QEvent::registerEventType());

struct ThreadQueue;

// A hidden window: a QObject of its thread, with its class's procedure and
// its extra bytes.
class HiddenWindow : public QObject {
public:
    HiddenWindow(ThreadQueue* queue, std::string className, WNDPROC procedure, int extraBytes)
        : queue(queue), className(std::move(className)), procedure(procedure),
          extra(std::size_t(extraBytes > 0 ? extraBytes : 0)) {}
    ThreadQueue* const queue;
    const std::string className;
    const WNDPROC procedure;
    std::vector<unsigned char> extra;
};

// Qt's side of one thread's queue: each wake event dispatches the first
// message, unless a peek or get of this thread is taking messages itself.
class QueueObject : public QObject {
public:
    explicit QueueObject(ThreadQueue* queue) : queue(queue) {}
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent*) override { waitTimer.stop(); }
    ThreadQueue* const queue;
    QBasicTimer waitTimer;
};

struct ThreadQueue {
    std::deque<MSG> messages;
    QueueObject* object = nullptr;
    std::size_t wakesPosted = 0;
    int taking = 0; // peeks and gets under way on this thread
};

struct RegisteredClass {
    WNDCLASSA record;
    std::string name;
    ATOM atom;
};

// All windows, classes and queues, behind one lock; procedures are called
// without it.
std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}
std::map<std::uintptr_t, HiddenWindow*>& Windows() {
    static auto* windows = new std::map<std::uintptr_t, HiddenWindow*>;
    return *windows;
}
std::map<std::string, RegisteredClass>& Classes() {
    static auto* classes = new std::map<std::string, RegisteredClass>;
    return *classes;
}
std::map<QThread*, ThreadQueue*>& Queues() {
    static auto* queues = new std::map<QThread*, ThreadQueue*>;
    return *queues;
}
std::uintptr_t g_nextHandle = 0x10000;
ATOM g_nextAtom = 0xC000;
std::atomic<bool> g_terminated{false};

std::function<void(const std::exception&)>& BackgroundHandler() {
    static std::function<void(const std::exception&)> handler;
    return handler;
}

std::string ClassKey(const char* name) {
    std::string key = name != nullptr ? name : "";
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return key;
}

std::uintptr_t Handle(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

HiddenWindow* FindLocked(HWND window) {
    auto found = Windows().find(Handle(window));
    return found == Windows().end() ? nullptr : found->second;
}

// The calling thread's queue, made on first use; its object lives in the
// thread so that Qt delivers the wake events there.
ThreadQueue* CurrentQueueLocked() {
    QThread* thread = QThread::currentThread();
    ThreadQueue*& queue = Queues()[thread];
    if (queue == nullptr) {
        queue = new ThreadQueue;
        queue->object = new QueueObject(queue);
        // A thread's windows and messages end with it.
        QObject::connect(thread, &QThread::finished, queue->object, [thread] {
            std::lock_guard guard(Lock());
            auto found = Queues().find(thread);
            if (found == Queues().end()) return;
            ThreadQueue* ended = found->second;
            std::erase_if(Windows(), [ended](const auto& entry) {
                if (entry.second->queue != ended) return false;
                delete entry.second;
                return true;
            });
            ended->object->deleteLater();
            delete ended;
            Queues().erase(found);
        });
    }
    return queue;
}

ThreadQueue* CurrentQueue() {
    std::lock_guard guard(Lock());
    return CurrentQueueLocked();
}

// Keeps at least one wake event per queued message, so that Qt's loop
// dispatches everything that a peek left behind.
void TopUpWakesLocked(ThreadQueue* queue, std::vector<QObject*>& wake) {
    while (queue->wakesPosted < queue->messages.size()) {
        ++queue->wakesPosted;
        wake.push_back(queue->object);
    }
}

void PostWakes(const std::vector<QObject*>& wake) {
    for (QObject* object : wake)
        QCoreApplication::postEvent(object, new QEvent(kWakeEvent));
}

void LetQtDeliver() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && msg.hwnd != window) return false;
    // The quit message is taken whatever range is asked for.
    if ((filterMin == 0 && filterMax == 0) || msg.message == WM_QUIT) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

void ReportBackground(const std::exception& error) {
    std::function<void(const std::exception&)> handler = BackgroundHandler();
    if (handler)
        handler(error);
    else
        ShowException(error);
}

bool QueueObject::event(QEvent* event) {
    if (event->type() != kWakeEvent) return QObject::event(event);
    MSG msg;
    {
        std::lock_guard guard(Lock());
        if (queue->wakesPosted > 0) --queue->wakesPosted;
        if (queue->taking > 0 || queue->messages.empty()) return true;
        msg = queue->messages.front();
        queue->messages.pop_front();
    }
    if (msg.message == WM_QUIT && msg.hwnd == nullptr) {
        g_terminated = true;
        QCoreApplication::exit(int(msg.wParam));
    } else {
        DispatchMessageA(&msg);
    }
    return true;
}

LRESULT CallProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure != nullptr ? procedure(window, message, wParam, lParam)
                                : DefWindowProcA(window, message, wParam, lParam);
}

// The windows that AllocateHWnd makes: window data 0 holds the method.
constexpr char kMethodWindowClass[] = "HiddenMethodWindow";

LRESULT MethodWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* method = reinterpret_cast<std::function<void(TMessage&)>*>(GetWindowLongPtrA(window, 0));
    if (method == nullptr || !*method) return DefWindowProcA(window, message, wParam, lParam);
    TMessage record{message, wParam, lParam, 0};
    (*method)(record);
    return record.Result;
}

std::chrono::steady_clock::time_point g_tickStart = std::chrono::steady_clock::now();
std::atomic<DWORD> g_tickOffset{0};

} // namespace

HINSTANCE ModuleInstance() {
    static char module;
    return reinterpret_cast<HINSTANCE>(&module);
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        windowClass->lpszClassName[0] == '\0')
        return 0;
    std::lock_guard guard(Lock());
    std::string key = ClassKey(windowClass->lpszClassName);
    if (Classes().count(key) != 0) return 0;
    RegisteredClass& entry = Classes()[key];
    entry.record = *windowClass;
    entry.name = windowClass->lpszClassName;
    entry.record.lpszClassName = entry.name.c_str();
    entry.atom = g_nextAtom++;
    return entry.atom;
}

bool GetClassInfoA(HINSTANCE, const char* className, WNDCLASSA* windowClass) {
    std::lock_guard guard(Lock());
    auto found = Classes().find(ClassKey(className));
    if (found == Classes().end()) return false;
    if (windowClass != nullptr) *windowClass = found->second.record;
    return true;
}

bool UnregisterClassA(const char* className, HINSTANCE) {
    std::lock_guard guard(Lock());
    std::string key = ClassKey(className);
    auto found = Classes().find(key);
    if (found == Classes().end()) return false;
    for (const auto& [handle, window] : Windows())
        if (window->className == key) return false;
    Classes().erase(found);
    return true;
}

HWND CreateWindowExA(DWORD, const char* className, const char*, DWORD, int, int, int, int, HWND,
                     void*, HINSTANCE, void*) {
    std::lock_guard guard(Lock());
    std::string key = ClassKey(className);
    auto found = Classes().find(key);
    if (found == Classes().end()) return nullptr;
    ThreadQueue* queue = CurrentQueueLocked();
    auto* window = new HiddenWindow(queue, key, found->second.record.lpfnWndProc,
                                    found->second.record.cbWndExtra);
    std::uintptr_t handle = g_nextHandle;
    g_nextHandle += 2;
    Windows()[handle] = window;
    return reinterpret_cast<HWND>(handle);
}

bool DestroyWindow(HWND window) {
    WNDPROC procedure;
    {
        std::lock_guard guard(Lock());
        HiddenWindow* found = FindLocked(window);
        if (found == nullptr) return false;
        procedure = found->procedure;
    }
    CallProcedure(procedure, window, WM_DESTROY, 0, 0);
    std::lock_guard guard(Lock());
    HiddenWindow* found = FindLocked(window);
    if (found == nullptr) return false; // destroyed again from its WM_DESTROY
    Windows().erase(Handle(window));
    std::erase_if(found->queue->messages, [window](const MSG& msg) { return msg.hwnd == window; });
    delete found;
    return true;
}

bool IsWindow(HWND window) {
    std::lock_guard guard(Lock());
    return FindLocked(window) != nullptr;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    std::lock_guard guard(Lock());
    HiddenWindow* found = FindLocked(window);
    if (found == nullptr || index < 0 ||
        std::size_t(index) + sizeof(LONG_PTR) > found->extra.size())
        return 0;
    LONG_PTR value;
    std::memcpy(&value, found->extra.data() + index, sizeof value);
    return value;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    std::lock_guard guard(Lock());
    HiddenWindow* found = FindLocked(window);
    if (found == nullptr || index < 0 ||
        std::size_t(index) + sizeof(LONG_PTR) > found->extra.size())
        return 0;
    LONG_PTR old;
    std::memcpy(&old, found->extra.data() + index, sizeof old);
    std::memcpy(found->extra.data() + index, &value, sizeof value);
    return old;
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

bool PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::vector<QObject*> wake;
    {
        std::lock_guard guard(Lock());
        ThreadQueue* queue;
        if (window == nullptr) {
            queue = CurrentQueueLocked();
        } else {
            HiddenWindow* found = FindLocked(window);
            if (found == nullptr) return false;
            queue = found->queue;
        }
        queue->messages.push_back(MSG{window, message, wParam, lParam, GetTickCount()});
        TopUpWakesLocked(queue, wake);
    }
    PostWakes(wake);
    return true;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure;
    QObject* target;
    {
        std::lock_guard guard(Lock());
        HiddenWindow* found = FindLocked(window);
        if (found == nullptr) return 0;
        procedure = found->procedure;
        target = found;
    }
    if (target->thread() == QThread::currentThread())
        return CallProcedure(procedure, window, message, wParam, lParam);
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        target, [&] { result = CallProcedure(procedure, window, message, wParam, lParam); },
        Qt::BlockingQueuedConnection);
    return result;
}

bool PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    ThreadQueue* queue = CurrentQueue();
    {
        std::lock_guard guard(Lock());
        ++queue->taking;
    }
    LetQtDeliver();
    std::vector<QObject*> wake;
    bool taken = false;
    {
        std::lock_guard guard(Lock());
        --queue->taking;
        for (auto at = queue->messages.begin(); at != queue->messages.end(); ++at) {
            if (!Matches(*at, window, filterMin, filterMax)) continue;
            if (msg != nullptr) *msg = *at;
            if (removeMessage & PM_REMOVE) queue->messages.erase(at);
            taken = true;
            break;
        }
        TopUpWakesLocked(queue, wake);
    }
    PostWakes(wake);
    return taken;
}

bool GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    MSG taken;
    while (!PeekMessageA(&taken, window, filterMin, filterMax, PM_REMOVE))
        WaitForNextEvent(100);
    if (msg != nullptr) *msg = taken;
    return taken.message != WM_QUIT;
}

bool TranslateMessage(const MSG*) {
    return false;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) return 0;
    WNDPROC procedure;
    {
        std::lock_guard guard(Lock());
        HiddenWindow* found = FindLocked(msg->hwnd);
        if (found == nullptr) return 0;
        procedure = found->procedure;
    }
    try {
        return CallProcedure(procedure, msg->hwnd, msg->message, msg->wParam, msg->lParam);
    } catch (const std::exception& error) {
        ReportBackground(error);
    } catch (...) {
        ShowUnknownException();
    }
    return 0;
}

void PostQuitMessage(int exitCode) {
    PostMessageA(nullptr, WM_QUIT, WPARAM(exitCode), 0);
}

bool ApplicationTerminated() {
    return g_terminated;
}

void TerminateApplication() {
    g_terminated = true;
    PostQuitMessage(0);
}

void ClearApplicationTerminated() {
    g_terminated = false;
}

void ProcessApplicationMessages() {
    // Waits at most once, and only when nothing was waiting.
    bool tookOrWaited = false;
    MSG msg;
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (tookOrWaited) return;
            tookOrWaited = true;
            WaitForNextEvent(kIdleWaitMilliseconds);
            continue;
        }
        tookOrWaited = true;
        if (msg.message == WM_QUIT && msg.hwnd == nullptr)
            g_terminated = true;
        else
            DispatchMessageA(&msg);
    }
}

void WaitForNextEvent(DWORD milliseconds) {
    if (QCoreApplication::instance() == nullptr) {
        Sleep(milliseconds);
        return;
    }
    ThreadQueue* queue = CurrentQueue();
    {
        std::lock_guard guard(Lock());
        ++queue->taking;
        if (!queue->messages.empty()) {
            --queue->taking;
            return;
        }
    }
    // The timer wakes the loop when nothing else does.
    queue->object->waitTimer.start(int(milliseconds), queue->object);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    queue->object->waitTimer.stop();
    std::vector<QObject*> wake;
    {
        std::lock_guard guard(Lock());
        --queue->taking;
        TopUpWakesLocked(queue, wake);
    }
    PostWakes(wake);
}

void SetBackgroundExceptionHandler(std::function<void(const std::exception&)> handler) {
    BackgroundHandler() = std::move(handler);
}

HWND AllocateHWnd(std::function<void(TMessage&)> method) {
    WNDCLASSA windowClass;
    if (!GetClassInfoA(ModuleInstance(), kMethodWindowClass, &windowClass)) {
        windowClass = WNDCLASSA{};
        windowClass.lpfnWndProc = MethodWindowProcedure;
        windowClass.cbWndExtra = sizeof(LONG_PTR);
        windowClass.hInstance = ModuleInstance();
        windowClass.lpszClassName = kMethodWindowClass;
        RegisterClassA(&windowClass);
    }
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kMethodWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, ModuleInstance(), nullptr);
    if (window != nullptr)
        SetWindowLongPtrA(window, 0,
                          LONG_PTR(new std::function<void(TMessage&)>(std::move(method))));
    return window;
}

void DeallocateHWnd(HWND window) {
    auto* method = reinterpret_cast<std::function<void(TMessage&)>*>(GetWindowLongPtrA(window, 0));
    SetWindowLongPtrA(window, 0, 0);
    DestroyWindow(window);
    delete method;
}

DWORD GetCurrentThreadId() {
    static std::atomic<DWORD> next{1};
    thread_local DWORD id = next++;
    return id;
}

DWORD GetTickCount() {
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - g_tickStart);
    return DWORD(std::uint64_t(elapsed.count())) + g_tickOffset.load();
}

bool TickReached(DWORD now, DWORD deadline) {
    // The distance, read as signed, is right for deadlines within 24.8 days
    // on either side, also across the wrap.
    return std::int32_t(now - deadline) >= 0;
}

void SetTickCount(DWORD now) {
    g_tickOffset = now - (GetTickCount() - g_tickOffset.load());
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
