#pragma once
// The socket layer's reach into Windows Sockets 1.1: the library is loaded
// by name on first use and each entry point bound by name; hidden windows
// receive the library's notifications; message pumps for the blocking
// helpers; and the blocking resolution of host, port and protocol texts
// with the texts of the Winsock error codes.

#include "platform/WindowMessages.h" // AllocateHWnd, DeallocateHWnd
#include "platform/Winsock.h"

#include <stdexcept>
#include <string>
#include <vector>

// The socket layer's exception: a message text only.
class ESocketException : public std::runtime_error {
public:
    explicit ESocketException(const std::string& message) : std::runtime_error(message) {}
};

// The socket layer's private messages.
constexpr UINT WM_ASYNCSELECT = WM_USER + 1;
constexpr UINT WM_ASYNCGETHOSTBYNAME = WM_USER + 2;
constexpr UINT WM_ASYNCGETHOSTBYADDR = WM_USER + 3;
constexpr UINT WM_CLOSE_DELAYED = WM_USER + 4;
constexpr UINT WM_WSOCKET_RELEASE = WM_USER + 5;
constexpr UINT WM_TRIGGER_EXCEPTION = WM_USER + 6;
constexpr UINT WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20;

constexpr char kWinsockLibraryName[] = "wsock32.dll";
constexpr char kSocketWindowClass[] = "XSocketWindowClass";

// ---- the binding ----

// The address of a named entry point, loading and starting the library
// first; an empty name only loads and starts it and returns null.
void* WSocketGetProc(const std::string& name);
void WSocketForceLoadWinsock();
void WSocketCancelForceLoadWinsock();
void WSocketUnloadWinsock();
WSADATA WinsockInfo();
bool WSocketLibraryLoaded();
// How many of the 35 entry points are bound now.
int WSocketBoundEntryPoints();

// The socket count: sockets add themselves when made and take themselves
// away when destroyed; the last one unloads the library.
int WSocketSocketCount();
void WSocketCountSocket();
void WSocketUncountSocket();

int WSocket_WSAStartup(WORD version, WSADATA* data);
int WSocket_WSACleanup();
void WSocket_WSASetLastError(int error);
int WSocket_WSAGetLastError();
int WSocket_WSACancelAsyncRequest(HANDLE request);
HANDLE WSocket_WSAAsyncGetHostByName(HWND window, UINT message, const char* name, char* buffer,
                                     int length);
HANDLE WSocket_WSAAsyncGetHostByAddr(HWND window, UINT message, const char* address, int length,
                                     int type, char* buffer, int bufferLength);
int WSocket_WSAAsyncSelect(SOCKET s, HWND window, UINT message, long events);
SERVENT* WSocket_getservbyname(const char* name, const char* proto);
PROTOENT* WSocket_getprotobyname(const char* name);
HOSTENT* WSocket_gethostbyname(const char* name);
HOSTENT* WSocket_gethostbyaddr(const char* address, int length, int type);
int WSocket_gethostname(char* name, int length);
SOCKET WSocket_socket(int family, int type, int protocol);
int WSocket_shutdown(SOCKET s, int how);
int WSocket_setsockopt(SOCKET s, int level, int option, const char* value, int length);
int WSocket_getsockopt(SOCKET s, int level, int option, char* value, int* length);
int WSocket_sendto(SOCKET s, const char* data, int length, int flags, const SOCKADDR* to,
                   int toLength);
int WSocket_send(SOCKET s, const char* data, int length, int flags);
USHORT WSocket_ntohs(USHORT value);
ULONG WSocket_ntohl(ULONG value);
int WSocket_listen(SOCKET s, int backlog);
int WSocket_ioctlsocket(SOCKET s, long command, ULONG* argument);
char* WSocket_inet_ntoa(IN_ADDR address);
ULONG WSocket_inet_addr(const char* text);
USHORT WSocket_htons(USHORT value);
ULONG WSocket_htonl(ULONG value);
int WSocket_getsockname(SOCKET s, SOCKADDR* name, int* length);
int WSocket_getpeername(SOCKET s, SOCKADDR* name, int* length);
int WSocket_connect(SOCKET s, const SOCKADDR* name, int length);
int WSocket_closesocket(SOCKET s);
int WSocket_bind(SOCKET s, const SOCKADDR* name, int length);
SOCKET WSocket_accept(SOCKET s, SOCKADDR* name, int* length);
int WSocket_recv(SOCKET s, char* buffer, int length, int flags);
int WSocket_recvfrom(SOCKET s, char* buffer, int length, int flags, SOCKADDR* from,
                     int* fromLength);

// ---- hidden windows ----

// What owns a hidden socket window and receives its messages: the socket
// component derives from it. It keeps the window, the thread that made it
// and the terminated flag of its own pump.
class WSocketMessageWindow {
public:
    virtual ~WSocketMessageWindow();

    // Handles one message; an exception of the platform's hierarchy raised
    // by HandleMessage goes to HandleBackGroundException and no further.
    virtual void WndProc(TMessage& message);
    virtual void AllocateSocketHWnd();
    virtual void DeallocateSocketHWnd();
    virtual void HandleBackGroundException(const std::exception& error);
    // Moving the socket to another thread: the old thread stops its
    // notifications and drops the window; the new one makes a window and
    // selects the same events again.
    void ThreadDetach();
    void ThreadAttach();

    // The pumps of the blocking helpers.
    bool ProcessMessage();
    void ProcessMessages();
    void MessageLoop();
    virtual void MessagePump();

    HWND Handle() const { return FWindowHandle; }
    DWORD ThreadId() const { return FThreadId; }
    bool Terminated() const { return FTerminated; }
    bool MultiThreaded = false;

protected:
    // The messages of the socket; the base raises the test exception for
    // WM_TRIGGER_EXCEPTION and leaves the rest to the default procedure.
    virtual void HandleMessage(TMessage& message);
    // The socket the window serves and the events last selected for it;
    // none in the base.
    virtual SOCKET SocketHandle() const { return INVALID_SOCKET; }
    virtual long SelectedEvents() const { return 0; }

    HWND FWindowHandle = nullptr;
    DWORD FThreadId = 0;
    bool FTerminated = false;
};

HWND XSocketAllocateHWnd(WSocketMessageWindow* object);
bool XSocketDeallocateHWnd(HWND window);
bool WSocketUnregisterClass();

// ---- resolution and error texts ----

bool WSocketIsDottedIP(const std::string& text);
// The address in network order.
ULONG WSocketResolveHost(const std::string& text);
// The port in host order.
USHORT WSocketResolvePort(const std::string& port, const std::string& proto);
int WSocketResolveProto(const std::string& proto);
HOSTENT* WSocketGetHostByAddr(const std::string& address);
HOSTENT* WSocketGetHostByName(const std::string& name);
std::string WSocketResolveIp(const std::string& address);
std::string LocalHostName();
// The unit's list, refilled by each call.
const std::vector<std::string>& LocalIPList();
std::string WSocketErrorDesc(int code);
