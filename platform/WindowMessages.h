#pragma once
// Hidden message windows and posted messages, as the network layer expects
// them of the window system, on the Qt event loop: each thread has one
// message queue, first in first out across all its windows; a hidden window
// is a QObject of the thread that made it, with a window procedure and
// extra window data. A posted message also posts an event to the thread's
// queue object, so that Qt's own loop dispatches it when nobody peeks.
//
// Messages are never delivered inside the call that posts them; a message
// for a window that is destroyed before its turn is dropped. An exception
// that escapes a window procedure is caught at dispatch and handed to the
// background-exception handler; it never crosses Qt's loop.

#include <cstdint>
#include <exception>
#include <functional>

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using ATOM = std::uint16_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LONG_PTR = std::intptr_t;
struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_USER = 0x0400;
constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080u;

struct WNDCLASSA {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    void* hIcon = nullptr;
    void* hCursor = nullptr;
    void* hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
};

// The message record a window's handler method receives.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
    WORD LParamLo() const { return WORD(std::uintptr_t(LParam) & 0xFFFF); }
    WORD LParamHi() const { return WORD((std::uintptr_t(LParam) >> 16) & 0xFFFF); }
};

constexpr LPARAM MakeLParam(WORD low, WORD high) {
    return LPARAM(DWORD(low) | DWORD(high) << 16);
}

// The program's module instance, stored in window classes.
HINSTANCE ModuleInstance();

// Window classes by name (compared case-blind). Registering a name twice
// fails (0); a class with windows left cannot be unregistered.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
bool GetClassInfoA(HINSTANCE instance, const char* className, WNDCLASSA* windowClass);
bool UnregisterClassA(const char* className, HINSTANCE instance);

// A hidden window of a registered class; position, size, parent and menu
// are taken and ignored. Handles are never reused within a process.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, void* menu,
                     HINSTANCE instance, void* param);
// Sends WM_DESTROY, drops the window's queued messages and frees it; safe
// from inside the window's own procedure.
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);

// Pointer-sized extra window data at a byte offset below the class's
// extra bytes; 0 for a bad window or offset.
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Queues a message for the window's thread; false for a window that does
// not exist. A null window posts a message of the calling thread.
bool PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window procedure now (on the window's thread) and returns its
// result; 0 for a window that does not exist.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Lets Qt deliver what is pending (socket notifications, hand-offs from
// other threads), then takes the first queued message of the calling
// thread that matches the window (null: any) and the range (0, 0: all;
// WM_QUIT is in every range).
bool PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage);
// Waits for a message; false for WM_QUIT.
bool GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
bool TranslateMessage(const MSG* msg);
// Calls the window procedure; a message for a window that no longer exists
// is dropped. Exceptions go to the background-exception handler.
LRESULT DispatchMessageA(const MSG* msg);
void PostQuitMessage(int exitCode);

// The application's terminated flag: set when Qt's own loop meets WM_QUIT,
// or by TerminateApplication, which also posts WM_QUIT.
bool ApplicationTerminated();
void TerminateApplication();
void ClearApplicationTerminated();

// The application's process-messages call: dispatches every waiting
// message (a WM_QUIT sets the terminated flag); when none was waiting it
// waits for the next event, at most a few milliseconds, so that a loop
// pumping while it waits does not spin.
void ProcessApplicationMessages();
// Blocks until Qt has an event for this thread or the time has passed;
// messages that arrive stay queued.
void WaitForNextEvent(DWORD milliseconds);
constexpr DWORD kIdleWaitMilliseconds = 10;

// What happens to an exception that escapes a window procedure at
// dispatch; by default the standard exception box shows it.
void SetBackgroundExceptionHandler(std::function<void(const std::exception&)> handler);

// A hidden window whose messages go to a method of an object: the
// class library's helper for components that need a window of their own.
HWND AllocateHWnd(std::function<void(TMessage&)> method);
void DeallocateHWnd(HWND window);

DWORD GetCurrentThreadId();

// Milliseconds since an arbitrary start, in 32 bits: it wraps after 49.7
// days, so deadlines are compared with TickReached, never with "<".
DWORD GetTickCount();
bool TickReached(DWORD now, DWORD deadline);
// Moves the tick count so that it reads `now` at this moment (tests use it
// to cross the wrap).
void SetTickCount(DWORD now);
void Sleep(DWORD milliseconds);
