#pragma once
// Loopback helpers for the tests of the Winsock library: a window that
// records the notifications it gets, listeners and connections on
// 127.0.0.1, and pumping until something has happened.

#include "net/WSocket.h"

#include <functional>
#include <string>
#include <vector>

struct Notice {
    UINT message;
    WPARAM wParam;
    WORD low;  // the network event, or the size a look-up needs
    WORD high; // the error
};

class NoticeWindow {
public:
    NoticeWindow();
    ~NoticeWindow();
    HWND window;
    std::vector<Notice> notices;
    // Called for each notice after it is recorded.
    std::function<void(const Notice&)> onNotice;
    // The events recorded for one socket, in order.
    std::vector<WORD> EventsOf(SOCKET s) const;
    int Count(SOCKET s, WORD event) const;
};

// Pumps messages until `done` holds or the time has passed; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000);
// Pumps messages for a while, for checks that nothing more arrives.
void PumpFor(DWORD milliseconds);

SOCKADDR_IN Loopback(USHORT port);
// A listening socket on an ephemeral port of 127.0.0.1; its port goes to `port`.
SOCKET Listener(USHORT& port);
// A stream socket whose events go to the window, connecting to the port.
SOCKET Connecting(const NoticeWindow& to, USHORT port);
std::string Receive(SOCKET s, int most = 1 << 20);
