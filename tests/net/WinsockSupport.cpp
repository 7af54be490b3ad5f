#include "tests/net/WinsockSupport.h"

#include <gtest/gtest.h>

NoticeWindow::NoticeWindow() {
    window = AllocateHWnd([this](TMessage& message) {
        notices.push_back({message.Msg, message.WParam, message.LParamLo(), message.LParamHi()});
        if (onNotice) onNotice(notices.back());
    });
}

NoticeWindow::~NoticeWindow() {
    DeallocateHWnd(window);
}

std::vector<WORD> NoticeWindow::EventsOf(SOCKET s) const {
    std::vector<WORD> events;
    for (const Notice& n : notices)
        if (n.message == WM_ASYNCSELECT && n.wParam == s) events.push_back(n.low);
    return events;
}

int NoticeWindow::Count(SOCKET s, WORD event) const {
    int count = 0;
    for (WORD e : EventsOf(s))
        count += e == event;
    return count;
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    DWORD deadline = GetTickCount() + milliseconds;
    while (!done()) {
        if (TickReached(GetTickCount(), deadline)) return false;
        ProcessApplicationMessages();
    }
    return true;
}

void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

SOCKADDR_IN Loopback(USHORT port) {
    SOCKADDR_IN address{};
    address.sin_family = WS_AF_INET;
    address.sin_port = WSocket_htons(port);
    address.sin_addr.S_addr = WSocket_inet_addr("127.0.0.1");
    return address;
}

SOCKET Listener(USHORT& port) {
    SOCKET s = WSocket_socket(WS_AF_INET, WS_SOCK_STREAM, WS_IPPROTO_TCP);
    SOCKADDR_IN address = Loopback(0);
    EXPECT_EQ(WSocket_bind(s, reinterpret_cast<SOCKADDR*>(&address), sizeof address), 0);
    EXPECT_EQ(WSocket_listen(s, 5), 0);
    int length = sizeof address;
    EXPECT_EQ(WSocket_getsockname(s, reinterpret_cast<SOCKADDR*>(&address), &length), 0);
    port = WSocket_ntohs(address.sin_port);
    return s;
}

SOCKET Connecting(const NoticeWindow& to, USHORT port) {
    SOCKET s = WSocket_socket(WS_AF_INET, WS_SOCK_STREAM, WS_IPPROTO_TCP);
    EXPECT_EQ(WSocket_WSAAsyncSelect(s, to.window, WM_ASYNCSELECT,
                                     FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE),
              0);
    SOCKADDR_IN address = Loopback(port);
    int rc = WSocket_connect(s, reinterpret_cast<SOCKADDR*>(&address), sizeof address);
    if (rc != 0) {
        EXPECT_EQ(WSocket_WSAGetLastError(), WSAEWOULDBLOCK);
    }
    return s;
}

std::string Receive(SOCKET s, int most) {
    std::string data(std::size_t(most), '\0');
    int got = WSocket_recv(s, data.data(), most, 0);
    data.resize(got > 0 ? std::size_t(got) : 0);
    return data;
}
