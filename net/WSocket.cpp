#include "net/WSocket.h"

#include "platform/ApplicationState.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>

namespace {

// Windows' codes for a library or an entry point that cannot be found.
constexpr int kModuleNotFound = 126;
constexpr int kProcedureNotFound = 127;
constexpr int kEntryPoints = 35;

void* g_library = nullptr;
WSADATA g_data{};
std::array<void*, kEntryPoints> g_table{};
int g_socketCount = 0;
bool g_forced = false;

std::string Prefixed(const std::string& name) {
    return WINSOCK_EXPORT_PREFIX + name;
}

// The library beside the running program (the staged installation), else
// where this build made it; ROSTRIX_WINSOCK_LIBRARY names another.
std::string LibraryPath() {
    if (const char* chosen = std::getenv("ROSTRIX_WINSOCK_LIBRARY")) return chosen;
    std::error_code ignored;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ignored);
    std::filesystem::path beside = self.parent_path() / "libwsock32.so";
    if (!self.empty() && std::filesystem::exists(beside, ignored)) return beside.string();
#ifdef ROSTRIX_WINSOCK_BUILD_PATH
    if (std::filesystem::exists(ROSTRIX_WINSOCK_BUILD_PATH, ignored))
        return ROSTRIX_WINSOCK_BUILD_PATH;
#endif
    return "libwsock32.so";
}

void* Slot(int index, const char* name) {
    if (g_table[std::size_t(index)] == nullptr) g_table[std::size_t(index)] = WSocketGetProc(name);
    return g_table[std::size_t(index)];
}

template <typename Function> Function* Bound(int index, const char* name) {
    return reinterpret_cast<Function*>(Slot(index, name));
}

LRESULT SocketWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* object = reinterpret_cast<WSocketMessageWindow*>(GetWindowLongPtrA(window, 0));
    if (object == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    TMessage record{message, wParam, lParam, 0};
    object->WndProc(record);
    return record.Result;
}

} // namespace

void* WSocketGetProc(const std::string& name) {
    if (g_library == nullptr) {
        // Kept mapped after a close: look-up threads may still be finishing.
        void* library = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (library == nullptr)
            throw ESocketException(std::string("Unable to load ") + kWinsockLibraryName +
                                   " Error #" + std::to_string(kModuleNotFound));
        auto setPoster = reinterpret_cast<void (*)(WinsockMessagePoster)>(
            dlsym(library, Prefixed("SetMessagePoster").c_str()));
        auto startup = reinterpret_cast<int (*)(WORD, WSADATA*)>(
            dlsym(library, Prefixed("WSAStartup").c_str()));
        if (setPoster == nullptr || startup == nullptr) {
            dlclose(library);
            throw ESocketException(std::string("Procedure ") +
                                   (startup == nullptr ? "WSAStartup" : "SetMessagePoster") +
                                   " not found in " + kWinsockLibraryName + " Error #" +
                                   std::to_string(kProcedureNotFound));
        }
        setPoster(PostMessageA);
        int error = startup(0x0101, &g_data);
        if (error != 0) {
            dlclose(library);
            char text[128];
            std::snprintf(text, sizeof text, "%s: WSAStartup error #%d", kWinsockLibraryName,
                          error);
            throw ESocketException(text);
        }
        g_library = library;
    }
    if (name.empty()) return nullptr;
    void* address = dlsym(g_library, Prefixed(name).c_str());
    if (address == nullptr)
        throw ESocketException("Procedure " + name + " not found in " + kWinsockLibraryName +
                               " Error #" + std::to_string(kProcedureNotFound));
    return address;
}

void WSocketForceLoadWinsock() {
    if (g_forced) return;
    g_forced = true;
    ++g_socketCount;
    WSocketGetProc("");
}

void WSocketCancelForceLoadWinsock() {
    if (!g_forced) return;
    g_forced = false;
    if (--g_socketCount <= 0) WSocketUnloadWinsock();
}

void WSocketUnloadWinsock() {
    if (g_library != nullptr) {
        // Its result is not checked.
        if (auto cleanup =
                reinterpret_cast<int (*)()>(dlsym(g_library, Prefixed("WSACleanup").c_str())))
            cleanup();
        dlclose(g_library);
        g_library = nullptr;
        g_table.fill(nullptr);
    }
    g_socketCount = 0;
    g_forced = false;
}

WSADATA WinsockInfo() {
    WSocketGetProc("");
    WSADATA copy = g_data;
    if (g_socketCount <= 0) WSocketUnloadWinsock();
    return copy;
}

bool WSocketLibraryLoaded() {
    return g_library != nullptr;
}

int WSocketBoundEntryPoints() {
    int bound = 0;
    for (void* slot : g_table)
        bound += slot != nullptr;
    return bound;
}

int WSocketSocketCount() {
    return g_socketCount;
}

void WSocketCountSocket() {
    ++g_socketCount;
}

void WSocketUncountSocket() {
    if (--g_socketCount < 1) {
        WSocketUnloadWinsock();
        g_socketCount = 0;
    }
}

// The wrappers, in table order; each binds its entry point on first call.
int WSocket_WSAStartup(WORD version, WSADATA* data) {
    return Bound<int(WORD, WSADATA*)>(0, "WSAStartup")(version, data);
}
int WSocket_WSACleanup() {
    return Bound<int()>(1, "WSACleanup")();
}
void WSocket_WSASetLastError(int error) {
    Bound<void(int)>(2, "WSASetLastError")(error);
}
int WSocket_WSAGetLastError() {
    return Bound<int()>(3, "WSAGetLastError")();
}
int WSocket_WSACancelAsyncRequest(HANDLE request) {
    return Bound<int(HANDLE)>(4, "WSACancelAsyncRequest")(request);
}
HANDLE WSocket_WSAAsyncGetHostByName(HWND window, UINT message, const char* name, char* buffer,
                                     int length) {
    return Bound<HANDLE(HWND, UINT, const char*, char*, int)>(5, "WSAAsyncGetHostByName")(
        window, message, name, buffer, length);
}
HANDLE WSocket_WSAAsyncGetHostByAddr(HWND window, UINT message, const char* address, int length,
                                     int type, char* buffer, int bufferLength) {
    return Bound<HANDLE(HWND, UINT, const char*, int, int, char*, int)>(6, "WSAAsyncGetHostByAddr")(
        window, message, address, length, type, buffer, bufferLength);
}
int WSocket_WSAAsyncSelect(SOCKET s, HWND window, UINT message, long events) {
    return Bound<int(SOCKET, HWND, UINT, long)>(7, "WSAAsyncSelect")(s, window, message, events);
}
SERVENT* WSocket_getservbyname(const char* name, const char* proto) {
    return Bound<SERVENT*(const char*, const char*)>(8, "getservbyname")(name, proto);
}
PROTOENT* WSocket_getprotobyname(const char* name) {
    return Bound<PROTOENT*(const char*)>(9, "getprotobyname")(name);
}
HOSTENT* WSocket_gethostbyname(const char* name) {
    return Bound<HOSTENT*(const char*)>(10, "gethostbyname")(name);
}
HOSTENT* WSocket_gethostbyaddr(const char* address, int length, int type) {
    return Bound<HOSTENT*(const char*, int, int)>(11, "gethostbyaddr")(address, length, type);
}
int WSocket_gethostname(char* name, int length) {
    return Bound<int(char*, int)>(12, "gethostname")(name, length);
}
SOCKET WSocket_socket(int family, int type, int protocol) {
    return Bound<SOCKET(int, int, int)>(13, "socket")(family, type, protocol);
}
int WSocket_shutdown(SOCKET s, int how) {
    return Bound<int(SOCKET, int)>(14, "shutdown")(s, how);
}
int WSocket_setsockopt(SOCKET s, int level, int option, const char* value, int length) {
    return Bound<int(SOCKET, int, int, const char*, int)>(15, "setsockopt")(s, level, option, value,
                                                                            length);
}
int WSocket_getsockopt(SOCKET s, int level, int option, char* value, int* length) {
    return Bound<int(SOCKET, int, int, char*, int*)>(16, "getsockopt")(s, level, option, value,
                                                                       length);
}
int WSocket_sendto(SOCKET s, const char* data, int length, int flags, const SOCKADDR* to,
                   int toLength) {
    return Bound<int(SOCKET, const char*, int, int, const SOCKADDR*, int)>(17, "sendto")(
        s, data, length, flags, to, toLength);
}
int WSocket_send(SOCKET s, const char* data, int length, int flags) {
    return Bound<int(SOCKET, const char*, int, int)>(18, "send")(s, data, length, flags);
}
USHORT WSocket_ntohs(USHORT value) {
    return Bound<USHORT(USHORT)>(19, "ntohs")(value);
}
ULONG WSocket_ntohl(ULONG value) {
    return Bound<ULONG(ULONG)>(20, "ntohl")(value);
}
int WSocket_listen(SOCKET s, int backlog) {
    return Bound<int(SOCKET, int)>(21, "listen")(s, backlog);
}
int WSocket_ioctlsocket(SOCKET s, long command, ULONG* argument) {
    return Bound<int(SOCKET, long, ULONG*)>(22, "ioctlsocket")(s, command, argument);
}
char* WSocket_inet_ntoa(IN_ADDR address) {
    return Bound<char*(IN_ADDR)>(23, "inet_ntoa")(address);
}
ULONG WSocket_inet_addr(const char* text) {
    return Bound<ULONG(const char*)>(24, "inet_addr")(text);
}
USHORT WSocket_htons(USHORT value) {
    return Bound<USHORT(USHORT)>(25, "htons")(value);
}
ULONG WSocket_htonl(ULONG value) {
    return Bound<ULONG(ULONG)>(26, "htonl")(value);
}
int WSocket_getsockname(SOCKET s, SOCKADDR* name, int* length) {
    return Bound<int(SOCKET, SOCKADDR*, int*)>(27, "getsockname")(s, name, length);
}
int WSocket_getpeername(SOCKET s, SOCKADDR* name, int* length) {
    return Bound<int(SOCKET, SOCKADDR*, int*)>(28, "getpeername")(s, name, length);
}
int WSocket_connect(SOCKET s, const SOCKADDR* name, int length) {
    return Bound<int(SOCKET, const SOCKADDR*, int)>(29, "connect")(s, name, length);
}
int WSocket_closesocket(SOCKET s) {
    return Bound<int(SOCKET)>(30, "closesocket")(s);
}
int WSocket_bind(SOCKET s, const SOCKADDR* name, int length) {
    return Bound<int(SOCKET, const SOCKADDR*, int)>(31, "bind")(s, name, length);
}
SOCKET WSocket_accept(SOCKET s, SOCKADDR* name, int* length) {
    return Bound<SOCKET(SOCKET, SOCKADDR*, int*)>(32, "accept")(s, name, length);
}
int WSocket_recv(SOCKET s, char* buffer, int length, int flags) {
    return Bound<int(SOCKET, char*, int, int)>(33, "recv")(s, buffer, length, flags);
}
int WSocket_recvfrom(SOCKET s, char* buffer, int length, int flags, SOCKADDR* from,
                     int* fromLength) {
    return Bound<int(SOCKET, char*, int, int, SOCKADDR*, int*)>(34, "recvfrom")(
        s, buffer, length, flags, from, fromLength);
}

// ---- hidden windows ----

HWND XSocketAllocateHWnd(WSocketMessageWindow* object) {
    if (!GetClassInfoA(ModuleInstance(), kSocketWindowClass, nullptr)) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = SocketWindowProcedure;
        windowClass.cbWndExtra = sizeof(LONG_PTR); // the owning object
        windowClass.hInstance = ModuleInstance();
        windowClass.lpszClassName = kSocketWindowClass;
        if (RegisterClassA(&windowClass) == 0) return nullptr;
    }
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kSocketWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, ModuleInstance(), nullptr);
    if (window != nullptr && object != nullptr) SetWindowLongPtrA(window, 0, LONG_PTR(object));
    return window;
}

bool XSocketDeallocateHWnd(HWND window) {
    return DestroyWindow(window);
}

bool WSocketUnregisterClass() {
    return UnregisterClassA(kSocketWindowClass, ModuleInstance());
}

WSocketMessageWindow::~WSocketMessageWindow() {
    DeallocateSocketHWnd();
}

void WSocketMessageWindow::WndProc(TMessage& message) {
    try {
        HandleMessage(message);
    } catch (const std::exception& error) {
        HandleBackGroundException(error);
    }
}

void WSocketMessageWindow::HandleMessage(TMessage& message) {
    if (message.Msg == WM_TRIGGER_EXCEPTION) throw ESocketException("Test exception in WSocket");
    message.Result = DefWindowProcA(FWindowHandle, message.Msg, message.WParam, message.LParam);
}

void WSocketMessageWindow::HandleBackGroundException(const std::exception& error) {
    ShowException(error);
}

void WSocketMessageWindow::AllocateSocketHWnd() {
    FWindowHandle = XSocketAllocateHWnd(this);
    FThreadId = GetCurrentThreadId();
    if (FWindowHandle == nullptr)
        throw ESocketException("Cannot create a hidden window for TWSocket");
}

void WSocketMessageWindow::DeallocateSocketHWnd() {
    if (FWindowHandle == nullptr) return;
    SetWindowLongPtrA(FWindowHandle, 0, 0);
    if (XSocketDeallocateHWnd(FWindowHandle)) FWindowHandle = nullptr;
}

void WSocketMessageWindow::ThreadDetach() {
    if (GetCurrentThreadId() != FThreadId)
        throw ESocketException("Cannot detach from other thread");
    if (SocketHandle() != INVALID_SOCKET)
        WSocket_WSAAsyncSelect(SocketHandle(), FWindowHandle, 0, 0);
    DeallocateSocketHWnd();
}

void WSocketMessageWindow::ThreadAttach() {
    if (FWindowHandle != nullptr) throw ESocketException("Cannot attach when not detached");
    AllocateSocketHWnd();
    if (SocketHandle() != INVALID_SOCKET)
        WSocket_WSAAsyncSelect(SocketHandle(), FWindowHandle, WM_ASYNCSELECT, SelectedEvents());
}

bool WSocketMessageWindow::ProcessMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
    } else {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void WSocketMessageWindow::ProcessMessages() {
    if (ProcessMessage()) {
        while (ProcessMessage()) {
        }
        return;
    }
    // Nothing waited: block briefly for the next event instead of spinning
    // in the caller's wait loop.
    WaitForNextEvent(kIdleWaitMilliseconds);
    while (ProcessMessage()) {
    }
}

void WSocketMessageWindow::MessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    FTerminated = true;
}

void WSocketMessageWindow::MessagePump() {
    if (MultiThreaded)
        ProcessMessages();
    else
        ProcessApplicationMessages();
}

// ---- resolution and error texts ----

namespace {

constexpr std::size_t kMaxHostText = 256;
constexpr std::size_t kMaxPortText = 32; // ports and protocols of this length or more are refused
constexpr unsigned kMaxPort = 65535;
constexpr unsigned kMaxProto = 255;

std::string Trim(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The decimal number at the start of the text, up to the first non-digit;
// false once it passes the limit, before any type could overflow.
bool LeadingNumber(const std::string& text, unsigned limit, unsigned& value) {
    value = 0;
    for (std::size_t i = 0; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + unsigned(text[i] - '0');
        if (value > limit) return false;
    }
    return true;
}

std::string Format(const char* format, const std::string& text, int code) {
    std::vector<char> out(std::strlen(format) + text.size() + 16);
    std::snprintf(out.data(), out.size(), format, text.c_str(), code);
    return out.data();
}

std::string Dotted(const char* address) {
    IN_ADDR in;
    std::memcpy(&in.S_addr, address, 4);
    return WSocket_inet_ntoa(in);
}

std::vector<std::string>& LocalAddresses() {
    static std::vector<std::string> list;
    return list;
}

} // namespace

bool WSocketIsDottedIP(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    int dots = 0;
    for (;;) {
        if (i >= text.size() || !IsDigit(text[i])) return false; // a part must begin with a digit
        unsigned part = 0;
        while (i < text.size() && IsDigit(text[i])) {
            part = part * 10 + unsigned(text[i] - '0');
            if (part > 255) return false;
            ++i;
        }
        if (i < text.size() && text[i] == '.') {
            if (++dots > 3) return false;
            ++i;
            continue;
        }
        break;
    }
    while (i < text.size() && text[i] == ' ')
        ++i;
    return dots == 3 && i == text.size();
}

ULONG WSocketResolveHost(const std::string& text) {
    if (text.empty() || text.size() > kMaxHostText)
        throw ESocketException("WSocketResolveHost: '" + text + "' Invalid Hostname.");
    std::string host = Trim(text);
    if (WSocketIsDottedIP(host)) {
        ULONG address = WSocket_inet_addr(host.c_str());
        if (address == WS_INADDR_NONE && host != "255.255.255.255")
            throw ESocketException("WSocketResolveHost: '" + text + "' Invalid IP address.");
        return address;
    }
    HOSTENT* entry = WSocket_gethostbyname(host.c_str());
    if (entry == nullptr)
        throw ESocketException(
            Format("WSocketResolveHost: Cannot convert host address '%s', Error #%d", text,
                   WSocket_WSAGetLastError()));
    ULONG address;
    std::memcpy(&address, entry->h_addr_list[0], 4);
    return address;
}

USHORT WSocketResolvePort(const std::string& port, const std::string& proto) {
    if (port.empty() || port.size() >= kMaxPortText)
        throw ESocketException("WSocketResolvePort: Invalid Port.");
    if (proto.empty() || proto.size() >= kMaxPortText)
        throw ESocketException("WSocketResolvePort: Invalid Proto.");
    if (IsDigit(port[0])) {
        unsigned value;
        if (!LeadingNumber(port, kMaxPort, value))
            throw ESocketException("WSocketResolvePort: Invalid Port.");
        return USHORT(value);
    }
    std::string name = Trim(port), protocol = Trim(proto);
    SERVENT* entry =
        WSocket_getservbyname(name.c_str(), protocol.empty() ? nullptr : protocol.c_str());
    if (entry == nullptr)
        throw ESocketException(Format("WSocketResolvePort: Cannot convert port '%s', Error #%d",
                                      port, WSocket_WSAGetLastError()));
    return WSocket_ntohs(USHORT(entry->s_port));
}

int WSocketResolveProto(const std::string& proto) {
    if (proto.empty() || proto.size() >= kMaxPortText)
        throw ESocketException("WSocketResolveProto: Invalid Protocol.");
    std::string name = Trim(proto);
    if (!name.empty() && IsDigit(name[0])) {
        unsigned value;
        if (!LeadingNumber(name, kMaxProto, value))
            throw ESocketException("WSocketResolveProto: Invalid Protocol.");
        return int(value);
    }
    PROTOENT* entry = WSocket_getprotobyname(name.c_str());
    if (entry == nullptr)
        throw ESocketException(
            Format("WSocketResolveProto: Cannot convert protocol '%s', Error #%d", proto,
                   WSocket_WSAGetLastError()));
    return entry->p_proto;
}

HOSTENT* WSocketGetHostByAddr(const std::string& address) {
    if (address.empty() || address.size() > kMaxHostText)
        throw ESocketException("WSocketGetHostByAddr: Invalid address.");
    ULONG value = WSocket_inet_addr(address.c_str());
    return WSocket_gethostbyaddr(reinterpret_cast<const char*>(&value), 4, WS_AF_INET);
}

HOSTENT* WSocketGetHostByName(const std::string& name) {
    if (name.empty() || name.size() > kMaxHostText)
        throw ESocketException("WSocketGetHostByName: Invalid Hostname.");
    return WSocket_gethostbyname(name.c_str());
}

std::string WSocketResolveIp(const std::string& address) {
    HOSTENT* entry = WSocketGetHostByAddr(address);
    return entry != nullptr && entry->h_name != nullptr ? entry->h_name : "";
}

std::string LocalHostName() {
    // Room for any host name the system allows, not just 64 bytes.
    char name[256] = {};
    if (WSocket_gethostname(name, sizeof name) != 0)
        throw ESocketException("Winsock.GetHostName failed");
    return name;
}

const std::vector<std::string>& LocalIPList() {
    std::vector<std::string>& list = LocalAddresses();
    list.clear();
    HOSTENT* entry = WSocket_gethostbyname(LocalHostName().c_str());
    if (entry != nullptr)
        for (char** at = entry->h_addr_list; *at != nullptr; ++at)
            list.push_back(Dotted(*at));
    return list;
}

std::string WSocketErrorDesc(int code) {
    switch (code) {
    case 0:
        return "No Error";
    case WSAEINTR:
        return "Interrupted system call";
    case WSAEBADF:
        return "Bad file number";
    case WSAEACCES:
        return "Permission denied";
    case WSAEFAULT:
        return "Bad address";
    case WSAEINVAL:
        return "Invalid argument";
    case WSAEMFILE:
        return "Too many open files";
    case WSAEWOULDBLOCK:
        return "Operation would block";
    case WSAEINPROGRESS:
        return "Operation now in progress";
    case WSAEALREADY:
        return "Operation already in progress";
    case WSAENOTSOCK:
        return "Socket operation on non-socket";
    case WSAEDESTADDRREQ:
        return "Destination address required";
    case WSAEMSGSIZE:
        return "Message too long";
    case WSAEPROTOTYPE:
        return "Protocol wrong type for socket";
    case WSAENOPROTOOPT:
        return "Protocol not available";
    case WSAEPROTONOSUPPORT:
        return "Protocol not supported";
    case WSAESOCKTNOSUPPORT:
        return "Socket type not supported";
    case WSAEOPNOTSUPP:
        return "Operation not supported on socket";
    case WSAEPFNOSUPPORT:
        return "Protocol family not supported";
    case WSAEAFNOSUPPORT:
        return "Address family not supported by protocol family";
    case WSAEADDRINUSE:
        return "Address already in use";
    case WSAEADDRNOTAVAIL:
        return "Address not available";
    case WSAENETDOWN:
        return "Network is down";
    case WSAENETUNREACH:
        return "Network is unreachable";
    case WSAENETRESET:
        return "Network dropped connection on reset";
    case WSAECONNABORTED:
        return "Connection aborted";
    case WSAECONNRESET:
        return "Connection reset by peer";
    case WSAENOBUFS:
        return "No buffer space available";
    case WSAEISCONN:
        return "Socket is already connected";
    case WSAENOTCONN:
        return "Socket is not connected";
    case WSAESHUTDOWN:
        return "Can't send after socket shutdown";
    case WSAETOOMANYREFS:
        return "Too many references: can't splice";
    case WSAETIMEDOUT:
        return "Connection timed out";
    case WSAECONNREFUSED:
        return "Connection refused";
    case WSAELOOP:
        return "Too many levels of symbolic links";
    case WSAENAMETOOLONG:
        return "File name too long";
    case WSAEHOSTDOWN:
        return "Host is down";
    case WSAEHOSTUNREACH:
        return "No route to host";
    case WSAENOTEMPTY:
        return "Directory not empty";
    case WSAEPROCLIM:
        return "Too many processes";
    case WSAEUSERS:
        return "Too many users";
    case WSAEDQUOT:
        return "Disc quota exceeded";
    case WSAESTALE:
        return "Stale NFS file handle";
    case WSAEREMOTE:
        return "Too many levels of remote in path";
    case WSASYSNOTREADY:
        return "Network sub-system is unusable";
    case WSAVERNOTSUPPORTED:
        return "WinSock DLL cannot support this application";
    case WSANOTINITIALISED:
        return "WinSock not initialized";
    case WSAHOST_NOT_FOUND:
        return "Host not found";
    case WSATRY_AGAIN:
        return "Non-authoritative host not found";
    case WSANO_RECOVERY:
        return "Non-recoverable error";
    case WSANO_DATA:
        return "No Data";
    default:
        return "Not a WinSock error";
    }
}

namespace {

// At the end of the program the library goes, whatever the count.
struct UnloadAtEnd {
    ~UnloadAtEnd() { WSocketUnloadWinsock(); }
} g_unloadAtEnd;

} // namespace
