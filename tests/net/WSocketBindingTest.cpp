// The socket layer's binding to the Winsock library and its hidden windows.

#include "net/WSocket.h"
#include "tests/net/WinsockSupport.h"

#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

class WSocketBinding : public testing::Test {
protected:
    void SetUp() override { WSocketUnloadWinsock(); }
    void TearDown() override {
        unsetenv("ROSTRIX_WINSOCK_LIBRARY");
        WSocketUnloadWinsock();
    }
};

template <typename Call> std::string RaisedBy(Call call) {
    try {
        call();
    } catch (const ESocketException& error) {
        return error.what();
    }
    return "nothing raised";
}

TEST_F(WSocketBinding, EntryPointsAreBoundOnFirstUseAndClearedByTheLastSocket) {
    EXPECT_FALSE(WSocketLibraryLoaded());
    WSocketCountSocket();
    WSocketCountSocket();
    EXPECT_EQ(WSocket_htons(0x1234), 0x3412);
    EXPECT_TRUE(WSocketLibraryLoaded());
    EXPECT_EQ(WSocketBoundEntryPoints(), 1);
    EXPECT_EQ(WSocket_htons(1), 0x0100);
    EXPECT_EQ(WSocket_ntohl(1), 0x01000000u);
    EXPECT_EQ(WSocketBoundEntryPoints(), 2);

    WSocketUncountSocket();
    EXPECT_TRUE(WSocketLibraryLoaded());
    WSocketUncountSocket(); // the last one
    EXPECT_FALSE(WSocketLibraryLoaded());
    EXPECT_EQ(WSocketBoundEntryPoints(), 0);
    EXPECT_EQ(WSocketSocketCount(), 0);
    EXPECT_EQ(WSocket_htonl(1), 0x01000000u); // loads again from scratch
    EXPECT_EQ(WSocketBoundEntryPoints(), 1);
}

TEST_F(WSocketBinding, ForcingKeepsTheLibraryAndCancellingTwiceChangesNothing) {
    WSocketCancelForceLoadWinsock();
    EXPECT_EQ(WSocketSocketCount(), 0);
    EXPECT_FALSE(WSocketLibraryLoaded());
    WSocketForceLoadWinsock();
    WSocketForceLoadWinsock();
    EXPECT_EQ(WSocketSocketCount(), 1);
    EXPECT_TRUE(WSocketLibraryLoaded());
    WSADATA data = WinsockInfo();
    EXPECT_EQ(data.wVersion, 0x0101);
    EXPECT_TRUE(WSocketLibraryLoaded()); // held by the forced count
    WSocketCancelForceLoadWinsock();
    EXPECT_FALSE(WSocketLibraryLoaded());
    WSocketCancelForceLoadWinsock();
    EXPECT_EQ(WSocketSocketCount(), 0);

    data = WinsockInfo(); // with no socket it loads, answers and unloads
    EXPECT_EQ(data.wHighVersion, 0x0101);
    EXPECT_FALSE(WSocketLibraryLoaded());
}

TEST_F(WSocketBinding, AMissingLibraryOrEntryPointRaisesTheTexts) {
    EXPECT_EQ(RaisedBy([] { WSocketGetProc("NoSuchCall"); }),
              "Procedure NoSuchCall not found in wsock32.dll Error #127");
    EXPECT_TRUE(WSocketLibraryLoaded()); // it stays loaded
    EXPECT_EQ(WSocketGetProc(""), nullptr);

    WSocketUnloadWinsock();
    setenv("ROSTRIX_WINSOCK_LIBRARY", "/nonexistent/libwsock32.so", 1);
    EXPECT_EQ(RaisedBy([] { WSocket_htons(1); }), "Unable to load wsock32.dll Error #126");
    EXPECT_FALSE(WSocketLibraryLoaded());
}

TEST_F(WSocketBinding, TheLibraryExportsPrefixedNamesOnly) {
    WSocketGetProc("");
    Dl_info own;
    ASSERT_NE(dladdr(WSocketGetProc("recv"), &own), 0);
    const std::string library = own.dli_fname;
    EXPECT_NE(library.find("libwsock32.so"), std::string::npos);
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    const char* names[] = {"WSAStartup",
                           "WSACleanup",
                           "WSASetLastError",
                           "WSAGetLastError",
                           "WSACancelAsyncRequest",
                           "WSAAsyncGetHostByName",
                           "WSAAsyncGetHostByAddr",
                           "WSAAsyncSelect",
                           "getservbyname",
                           "getprotobyname",
                           "gethostbyname",
                           "gethostbyaddr",
                           "gethostname",
                           "socket",
                           "shutdown",
                           "setsockopt",
                           "getsockopt",
                           "sendto",
                           "send",
                           "ntohs",
                           "ntohl",
                           "listen",
                           "ioctlsocket",
                           "inet_ntoa",
                           "inet_addr",
                           "htons",
                           "htonl",
                           "getsockname",
                           "getpeername",
                           "connect",
                           "closesocket",
                           "bind",
                           "accept",
                           "recv",
                           "recvfrom"};
    static_assert(std::size(names) == 35);
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_NE(WSocketGetProc(name), nullptr);
        // Under its own name the symbol, if any, is the C library's.
        void* plain = dlsym(handle, name);
        Dl_info where;
        if (plain != nullptr && dladdr(plain, &where) != 0) {
            EXPECT_EQ(std::string(where.dli_fname).find("libwsock32"), std::string::npos);
        }
    }
    EXPECT_EQ(WSocketBoundEntryPoints(), 0); // fetching is not binding
    dlclose(handle);
}

class RecordingSocket : public WSocketMessageWindow {
public:
    std::vector<UINT> handled;
    std::vector<std::string> background;

protected:
    void HandleMessage(TMessage& message) override {
        handled.push_back(message.Msg);
        if (message.Msg == WM_ASYNCSELECT)
            message.Result = 5;
        else
            WSocketMessageWindow::HandleMessage(message);
    }
    void HandleBackGroundException(const std::exception& error) override {
        background.push_back(error.what());
    }
};

TEST_F(WSocketBinding, SocketWindowsHandTheirMessagesToTheirObject) {
    std::vector<std::string> atDispatch;
    SetBackgroundExceptionHandler([&](const std::exception& e) { atDispatch.push_back(e.what()); });
    {
        RecordingSocket socket;
        socket.AllocateSocketHWnd();
        HWND window = socket.Handle();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(socket.ThreadId(), GetCurrentThreadId());
        WNDCLASSA windowClass;
        ASSERT_TRUE(GetClassInfoA(ModuleInstance(), "XSocketWindowClass", &windowClass));
        EXPECT_GE(windowClass.cbWndExtra, int(sizeof(void*)));

        EXPECT_EQ(SendMessageA(window, WM_ASYNCSELECT, 1, 0), 5);
        PostMessageA(window, WM_TRIGGER_EXCEPTION, 0, 0);
        EXPECT_TRUE(socket.ProcessMessage());
        EXPECT_FALSE(socket.ProcessMessage());
        EXPECT_EQ(socket.background, (std::vector<std::string>{"Test exception in WSocket"}));

        // Once the object is gone from the window, the default procedure answers.
        SetWindowLongPtrA(window, 0, 0);
        EXPECT_EQ(SendMessageA(window, WM_ASYNCSELECT, 1, 0), 0);
        EXPECT_EQ(socket.handled, (std::vector<UINT>{WM_ASYNCSELECT, WM_TRIGGER_EXCEPTION}));
        SetWindowLongPtrA(window, 0, LONG_PTR(&socket));

        PostQuitMessage(0);
        socket.ProcessMessages();
        EXPECT_TRUE(socket.Terminated());
        socket.DeallocateSocketHWnd();
        EXPECT_EQ(socket.Handle(), nullptr);
        EXPECT_FALSE(IsWindow(window));
    }
    EXPECT_TRUE(WSocketUnregisterClass());
    EXPECT_TRUE(atDispatch.empty());
    SetBackgroundExceptionHandler(nullptr);
}

// A socket window that serves a real socket of the library.
class ServingSocket : public WSocketMessageWindow {
public:
    SOCKET socket = INVALID_SOCKET;
    std::vector<WORD> events;

protected:
    void HandleMessage(TMessage& message) override {
        if (message.Msg == WM_ASYNCSELECT && SOCKET(message.WParam) == socket)
            events.push_back(message.LParamLo());
    }
    SOCKET SocketHandle() const override { return socket; }
    long SelectedEvents() const override { return FD_READ | FD_CLOSE; }
};

TEST_F(WSocketBinding, DetachingStopsTheNotificationsAndAttachingSelectsThemAgain) {
    WSocketForceLoadWinsock();
    NoticeWindow server;
    USHORT port;
    SOCKET listener = Listener(port);
    ServingSocket socket;
    socket.AllocateSocketHWnd();
    socket.socket = Connecting(server, port); // connected, its events go to `server` for now
    ASSERT_TRUE(PumpUntil([&] { return server.Count(socket.socket, FD_WRITE) == 1; }));
    SOCKET accepted = WSocket_accept(listener, nullptr, nullptr);
    HWND before = socket.Handle();

    std::string raised;
    std::thread([&] {
        try {
            socket.ThreadDetach();
        } catch (const ESocketException& error) {
            raised = error.what();
        }
    }).join();
    EXPECT_EQ(raised, "Cannot detach from other thread");
    EXPECT_EQ(RaisedBy([&] { socket.ThreadAttach(); }), "Cannot attach when not detached");

    socket.ThreadDetach();
    EXPECT_FALSE(IsWindow(before));
    WSocket_send(accepted, "x", 1, 0);
    PumpFor(100);
    EXPECT_EQ(server.Count(socket.socket, FD_READ), 0);
    EXPECT_TRUE(socket.events.empty());

    socket.ThreadAttach();
    EXPECT_NE(socket.Handle(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !socket.events.empty(); }));
    EXPECT_EQ(socket.events, (std::vector<WORD>{FD_READ}));
}

} // namespace
