#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
};

std::vector<Seen> g_seen;
// What the test window does with a message, besides recording it.
std::function<void(HWND, UINT, WPARAM)> g_action;

LRESULT Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back({window, message, wParam});
    if (g_action) g_action(window, message, wParam);
    return message == WM_USER + 9 ? LRESULT(wParam + 1)
                                  : DefWindowProcA(window, message, wParam, lParam);
}

class WindowMessages : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Recorder;
        windowClass.cbWndExtra = sizeof(LONG_PTR);
        windowClass.lpszClassName = "RecorderClass";
        RegisterClassA(&windowClass);
        g_seen.clear();
        g_action = nullptr;
        SetBackgroundExceptionHandler(
            [this](const std::exception& e) { caught.push_back(e.what()); });
    }
    void TearDown() override {
        for (HWND window : made)
            DestroyWindow(window);
        EXPECT_TRUE(UnregisterClassA("RecorderClass", ModuleInstance()));
        SetBackgroundExceptionHandler(nullptr);
        ClearApplicationTerminated();
        g_action = nullptr;
    }
    HWND Make() {
        HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "recorderclass", "", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, ModuleInstance(), nullptr);
        made.push_back(window);
        return window;
    }
    // Takes and dispatches every waiting message, as the socket's pump does.
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    // Only the user messages, not the WM_DESTROY of a destruction.
    static std::vector<WPARAM> UserOrder() {
        std::vector<WPARAM> order;
        for (const Seen& s : g_seen)
            if (s.message >= WM_USER) order.push_back(s.wParam);
        return order;
    }
    std::vector<HWND> made;
    std::vector<std::string> caught;
};

TEST_F(WindowMessages, PostedMessagesComeInPostingOrderAcrossWindowsAndNeverInsideThePost) {
    HWND a = Make(), b = Make();
    ASSERT_NE(a, b);
    // The first message posts another while it is handled: that one waits
    // for the messages already queued.
    g_action = [&](HWND, UINT, WPARAM wParam) {
        if (wParam == 1) {
            EXPECT_TRUE(PostMessageA(b, WM_USER, 5, 0));
            EXPECT_EQ(UserOrder().back(), 1u);
        }
    };
    ASSERT_TRUE(PostMessageA(a, WM_USER, 1, 0));
    ASSERT_TRUE(PostMessageA(b, WM_USER + 1, 2, 0));
    ASSERT_TRUE(PostMessageA(a, WM_USER + 2, 3, 0));
    ASSERT_TRUE(PostMessageA(b, WM_USER, 4, 0));
    EXPECT_TRUE(g_seen.empty());
    Pump();
    EXPECT_EQ(UserOrder(), (std::vector<WPARAM>{1, 2, 3, 4, 5}));
    EXPECT_EQ(g_seen[1].window, b);
}

TEST_F(WindowMessages, QtsOwnLoopDispatchesWhatNobodyPeeksAndWhatAPeekLeft) {
    HWND a = Make(), b = Make();
    for (WPARAM i = 1; i <= 4; ++i)
        PostMessageA(i % 2 ? a : b, WM_USER, i, 0);
    MSG msg;
    // A filtered peek takes b's first message only; Qt's loop does the rest
    // in their order.
    ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 5, PM_NOREMOVE));
    QCoreApplication::processEvents();
    EXPECT_EQ(UserOrder(), (std::vector<WPARAM>{1, 3, 4}));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(WindowMessages, AMessageForADestroyedWindowIsDroppedAndItsHandleNeverComesBack) {
    HWND gone = Make(), kept = Make();
    PostMessageA(gone, WM_USER, 1, 0);
    PostMessageA(kept, WM_USER, 2, 0);
    MSG stale;
    ASSERT_TRUE(PeekMessageA(&stale, gone, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(DestroyWindow(gone));
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_FALSE(DestroyWindow(gone));
    EXPECT_FALSE(PostMessageA(gone, WM_USER, 3, 0));
    EXPECT_EQ(SendMessageA(gone, WM_USER + 9, 3, 0), 0);
    EXPECT_EQ(GetWindowLongPtrA(gone, 0), 0);
    EXPECT_EQ(DispatchMessageA(&stale), 0); // a message taken before the end
    for (int i = 0; i < 50; ++i)
        EXPECT_NE(Make(), gone);
    Pump();
    EXPECT_EQ(UserOrder(), (std::vector<WPARAM>{2}));
}

TEST_F(WindowMessages, AWindowDestroyedFromItsOwnHandlerGetsNothingMore) {
    HWND window = Make(), other = Make();
    g_action = [&](HWND w, UINT message, WPARAM wParam) {
        if (message == WM_USER && wParam == 1) {
            EXPECT_TRUE(DestroyWindow(w));
        }
    };
    PostMessageA(window, WM_USER, 1, 0);
    PostMessageA(window, WM_USER, 2, 0);
    PostMessageA(other, WM_USER, 3, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(UserOrder(), (std::vector<WPARAM>{1, 3}));
    ASSERT_EQ(g_seen.size(), 3u);
    EXPECT_EQ(g_seen[1].message, WM_DESTROY);
}

TEST_F(WindowMessages, AnExceptionFromAHandlerIsCaughtAtDispatch) {
    HWND window = Make();
    g_action = [](HWND, UINT message, WPARAM wParam) {
        if (message == WM_USER && wParam % 2 == 1)
            throw std::runtime_error("handler " + std::to_string(wParam));
    };
    for (WPARAM i = 1; i <= 4; ++i)
        PostMessageA(window, WM_USER, i, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_NO_THROW(DispatchMessageA(&msg));
    // Through Qt's own loop as well, and the next message still comes.
    QCoreApplication::processEvents();
    EXPECT_EQ(caught, (std::vector<std::string>{"handler 1", "handler 3"}));
    EXPECT_EQ(UserOrder(), (std::vector<WPARAM>{1, 2, 3, 4}));
    // A sent message runs in the sender's call, so the sender gets it.
    EXPECT_THROW(SendMessageA(window, WM_USER, 5, 0), std::runtime_error);
}

TEST_F(WindowMessages, SendCallsTheProcedureAtOnceAndExtraDataStaysInItsBounds) {
    HWND window = Make();
    EXPECT_EQ(SendMessageA(window, WM_USER + 9, 41, 0), 42);
    EXPECT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(SetWindowLongPtrA(window, 0, 77), 0);
    EXPECT_EQ(SetWindowLongPtrA(window, 0, 78), 77);
    EXPECT_EQ(GetWindowLongPtrA(window, 0), 78);
    EXPECT_EQ(GetWindowLongPtrA(window, 1), 0); // would pass the extra bytes
    EXPECT_EQ(SetWindowLongPtrA(window, -1, 5), 0);

    WNDCLASSA again{};
    again.lpszClassName = "RECORDERCLASS";
    EXPECT_EQ(RegisterClassA(&again), 0);
    EXPECT_FALSE(UnregisterClassA("RecorderClass", ModuleInstance())); // a window is left
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                              ModuleInstance(), nullptr),
              nullptr);
}

TEST_F(WindowMessages, MethodWindowsHandTheRecordToTheirMethod) {
    std::vector<UINT> got;
    HWND window = AllocateHWnd([&](TMessage& message) {
        got.push_back(message.Msg);
        EXPECT_EQ(message.LParamLo(), 0x1234);
        EXPECT_EQ(message.LParamHi(), 0xBEEF);
        message.Result = 7;
    });
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_USER + 1, 0, MakeLParam(0x1234, 0xBEEF)), 7);
    PostMessageA(window, WM_USER + 2, 0, MakeLParam(0x1234, 0xBEEF));
    QCoreApplication::processEvents();
    DeallocateHWnd(window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(got, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST_F(WindowMessages, TheQuitMessageEndsGetAndSetsTheTerminatedFlag) {
    HWND window = Make();
    PostMessageA(window, WM_USER, 1, 0);
    PostQuitMessage(0);
    MSG msg;
    EXPECT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, WM_USER, WM_USER)); // in every range
    EXPECT_EQ(msg.message, WM_QUIT);

    EXPECT_FALSE(ApplicationTerminated());
    PostMessageA(window, WM_USER, 2, 0);
    PostQuitMessage(0);
    ProcessApplicationMessages();
    EXPECT_TRUE(ApplicationTerminated());
    EXPECT_EQ(UserOrder(), (std::vector<WPARAM>{2}));

    ClearApplicationTerminated();
    PostQuitMessage(0);
    QCoreApplication::processEvents(); // Qt's own loop meets it
    EXPECT_TRUE(ApplicationTerminated());
}

TEST(TickCount, DeadlinesAreComparedAcrossTheWrap) {
    struct Case {
        DWORD now, deadline;
        bool reached;
    };
    const Case cases[] = {
        {100, 100, true},          {99, 100, false},
        {0xFFFFFFF0, 0x10, false}, {0x10, 0xFFFFFFF0, true}, // the deadline wrapped, then now
        {0x7FFFFFFF, 0, true},     {0, 0x7FFFFFFF, false},
        {0xFFFFFFFF, 0, false},    {5, 0xFFFFFFFF, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TickReached(c.now, c.deadline), c.reached) << c.now << " " << c.deadline;

    // A wait that starts just before the count wraps ends after it.
    SetTickCount(0xFFFFFFF0);
    DWORD start = GetTickCount();
    DWORD deadline = start + 40;
    ASSERT_LT(deadline, start);
    int rounds = 0;
    while (!TickReached(GetTickCount(), deadline) && rounds < 1000) {
        WaitForNextEvent(5);
        ++rounds;
    }
    EXPECT_LT(rounds, 1000);
    EXPECT_LT(GetTickCount(), start); // it wrapped
    SetTickCount(0);
}

} // namespace
