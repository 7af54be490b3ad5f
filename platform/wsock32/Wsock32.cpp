// Windows Sockets 1.1 over POSIX sockets: the project's libwsock32.so.
// Everything but the name look-ups runs on the thread that calls it (the
// GUI thread); asynchronous notifications come from QSocketNotifiers and
// are posted as window messages, never sent.

#include "platform/Winsock.h"
#include "platform/wsock32/ErrorCodes.h"
#include "platform/wsock32/HostEntry.h"

#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>
#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#define WINSOCK_API(type, name) extern "C" __attribute__((visibility("default"))) type rxws_##name

namespace {

thread_local int t_lastError = 0;

void SetError(int code) {
    t_lastError = code;
}

int Fail(int code) {
    SetError(code);
    return SOCKET_ERROR;
}

int FailErrno() {
    return Fail(WinsockErrorOfErrno(errno));
}

WinsockMessagePoster g_post = nullptr;
int g_startups = 0;

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_post != nullptr && window != nullptr) g_post(window, message, wParam, lParam);
}

enum class Phase { Fresh, Connecting, Connected, Listening };

struct Socket {
    SOCKET handle = INVALID_SOCKET;
    int fd = -1;
    int type = SOCK_STREAM;
    Phase phase = Phase::Fresh;
    HWND window = nullptr;
    UINT message = 0;
    long events = 0;
    // Re-enabling as Winsock does: read by a receive, write by a send that
    // would block or fell short, accept by an accept.
    bool readArmed = true;
    bool writeArmed = false;
    bool acceptArmed = true;
    bool closePosted = false;
    bool sendShut = false;
    // The system tells of a reset once, to whichever call meets it first;
    // Winsock still reports it with FD_CLOSE.
    int lostError = 0;
    LINGER linger{0, 0};
    std::unique_ptr<QSocketNotifier> reader;
    std::unique_ptr<QSocketNotifier> writer;
};

// Kept for the life of the process: its notifiers must not outlive Qt at exit.
std::map<SOCKET, std::unique_ptr<Socket>>& Sockets() {
    static auto* sockets = new std::map<SOCKET, std::unique_ptr<Socket>>;
    return *sockets;
}
SOCKET g_nextHandle = 0x100;

Socket* Find(SOCKET handle) {
    auto found = Sockets().find(handle);
    return found == Sockets().end() ? nullptr : found->second.get();
}

bool Registered(const Socket& s) {
    return s.window != nullptr && s.events != 0;
}

void PostEvent(const Socket& s, long event, int error) {
    if (s.events & event) Post(s.window, s.message, s.handle, MakeLParam(WORD(event), WORD(error)));
}

void Examine(SOCKET handle);

// Keeps the error that ended a stream, for the FD_CLOSE still to come.
void NoteLost(Socket& s, int error) {
    if (s.type == SOCK_STREAM && s.lostError == 0 &&
        (error == ECONNRESET || error == ECONNABORTED || error == ETIMEDOUT))
        s.lostError = WinsockErrorOfErrno(error);
}

void UpdateNotifiers(Socket& s) {
    bool read = false, write = false;
    if (Registered(s)) {
        read = (s.phase == Phase::Listening && s.acceptArmed) ||
               (s.phase == Phase::Connected && s.readArmed && !s.closePosted);
        write = s.phase == Phase::Connecting || (s.phase == Phase::Connected && s.writeArmed);
    }
    SOCKET handle = s.handle;
    if (read && !s.reader) {
        s.reader = std::make_unique<QSocketNotifier>(s.fd, QSocketNotifier::Read);
        QObject::connect(s.reader.get(), &QSocketNotifier::activated,
                         [handle] { Examine(handle); });
    }
    if (write && !s.writer) {
        s.writer = std::make_unique<QSocketNotifier>(s.fd, QSocketNotifier::Write);
        QObject::connect(s.writer.get(), &QSocketNotifier::activated,
                         [handle] { Examine(handle); });
    }
    if (s.reader) s.reader->setEnabled(read);
    if (s.writer) s.writer->setEnabled(write);
}

// Posts what is true of the socket now, in Winsock's order: connect, write,
// read (or accept), close. Each event is posted once until re-enabled.
void Examine(SOCKET handle) {
    Socket* found = Find(handle);
    if (found == nullptr) return;
    Socket& s = *found;
    if (!Registered(s)) {
        UpdateNotifiers(s);
        return;
    }
    pollfd p{s.fd, POLLIN | POLLOUT | POLLRDHUP, 0};
    if (poll(&p, 1, 0) < 0) p.revents = 0;

    if (s.phase == Phase::Connecting && (p.revents & (POLLOUT | POLLERR | POLLHUP))) {
        int error = 0;
        socklen_t length = sizeof error;
        getsockopt(s.fd, SOL_SOCKET, SO_ERROR, &error, &length);
        s.phase = error == 0 ? Phase::Connected : Phase::Fresh;
        s.writeArmed = error == 0;
        PostEvent(s, FD_CONNECT, WinsockErrorOfErrno(error));
    }
    if (s.phase == Phase::Listening) {
        if (s.acceptArmed && (p.revents & POLLIN)) {
            s.acceptArmed = false;
            PostEvent(s, FD_ACCEPT, 0);
        }
    } else if (s.phase == Phase::Connected) {
        if (s.writeArmed && (p.revents & POLLOUT)) {
            s.writeArmed = false;
            PostEvent(s, FD_WRITE, 0);
        }
        if (s.readArmed && !s.closePosted &&
            (p.revents & (POLLIN | POLLHUP | POLLERR | POLLRDHUP))) {
            int waiting = 0;
            if (ioctl(s.fd, FIONREAD, &waiting) < 0) waiting = 0;
            char byte;
            ssize_t peeked = waiting > 0 ? 1 : recv(s.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
            if (peeked > 0 || (peeked == 0 && s.type != SOCK_STREAM)) {
                s.readArmed = false;
                PostEvent(s, FD_READ, 0);
            } else if (peeked == 0) {
                // The peer closed and everything it sent has been read.
                s.closePosted = true;
                PostEvent(s, FD_CLOSE, s.lostError);
            } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                s.closePosted = true;
                PostEvent(s, FD_CLOSE, WinsockErrorOfErrno(errno));
            }
        }
    }
    UpdateNotifiers(s);
}

bool ToPosix(const SOCKADDR* name, int length, sockaddr_in& address) {
    if (name == nullptr || length < int(sizeof(SOCKADDR_IN))) return false;
    std::memcpy(&address, name, sizeof address);
    return true;
}

int FromPosix(const sockaddr_in& address, SOCKADDR* name, int* length) {
    if (name == nullptr || length == nullptr || *length < int(sizeof(SOCKADDR_IN)))
        return Fail(WSAEFAULT);
    SOCKADDR_IN out{};
    out.sin_family = short(address.sin_family);
    out.sin_port = address.sin_port;
    out.sin_addr.S_addr = address.sin_addr.s_addr;
    std::memcpy(name, &out, sizeof out);
    *length = sizeof out;
    return 0;
}

int PosixFlags(int flags) {
    int posix = 0;
    if (flags & WS_MSG_OOB) posix |= MSG_OOB;
    if (flags & WS_MSG_PEEK) posix |= MSG_PEEK;
    if (flags & WS_MSG_DONTROUTE) posix |= MSG_DONTROUTE;
    return posix;
}

void SetNonBlocking(int fd, bool on) {
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK);
}

SOCKET Adopt(int fd, int type, Phase phase) {
    auto s = std::make_unique<Socket>();
    s->handle = g_nextHandle;
    g_nextHandle += 4;
    s->fd = fd;
    s->type = type;
    s->phase = phase;
    SOCKET handle = s->handle;
    Sockets()[handle] = std::move(s);
    return handle;
}

// Notifiers go before the descriptor, so that none watches a number the
// system may give to someone else.
void CloseSocket(std::unique_ptr<Socket> s) {
    s->reader.reset();
    s->writer.reset();
    int fd = s->fd;
    if (s->linger.l_onoff != 0 && s->linger.l_linger == 0) {
        linger abortive{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        close(fd);
    } else if (s->linger.l_onoff != 0) {
        // A graceful close that may wait for the peer runs in the
        // background, not in the caller's thread.
        int seconds = s->linger.l_linger;
        std::thread([fd, seconds] {
            SetNonBlocking(fd, false);
            linger graceful{1, seconds};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &graceful, sizeof graceful);
            close(fd);
        }).detach();
    } else {
        close(fd);
    }
}

// ---- host entries ----

HostAnswer LookUpName(const std::string& name) {
    HostAnswer answer;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    // No AI_ADDRCONFIG: "localhost" must resolve where loopback is all there is.
    hints.ai_flags = AI_CANONNAME;
    addrinfo* list = nullptr;
    int rc = getaddrinfo(name.c_str(), nullptr, &hints, &list);
    if (rc != 0) {
        answer.error = WinsockErrorOfLookup(rc);
        return answer;
    }
    answer.name = list->ai_canonname != nullptr ? list->ai_canonname : name;
    if (answer.name != name) answer.aliases.push_back(name);
    for (addrinfo* at = list; at != nullptr; at = at->ai_next) {
        std::uint32_t address = reinterpret_cast<sockaddr_in*>(at->ai_addr)->sin_addr.s_addr;
        if (std::find(answer.addresses.begin(), answer.addresses.end(), address) ==
            answer.addresses.end())
            answer.addresses.push_back(address);
    }
    freeaddrinfo(list);
    if (answer.addresses.empty()) answer.error = WSANO_DATA;
    return answer;
}

HostAnswer LookUpAddress(std::uint32_t address) {
    HostAnswer answer;
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = address;
    char name[NI_MAXHOST];
    int rc = getnameinfo(reinterpret_cast<sockaddr*>(&where), sizeof where, name, sizeof name,
                         nullptr, 0, NI_NAMEREQD);
    if (rc != 0) {
        answer.error = WinsockErrorOfLookup(rc);
        return answer;
    }
    answer.name = name;
    answer.addresses.push_back(address);
    return answer;
}

// The blocking look-ups answer in storage of the calling thread, valid
// until its next look-up, as Winsock's do.
HOSTENT* ThreadHostEnt(const HostAnswer& answer) {
    thread_local std::vector<char> storage;
    if (answer.error != 0) {
        SetError(answer.error);
        return nullptr;
    }
    std::size_t needed = PackedSize(answer, answer.addresses.size(), answer.aliases.size());
    storage.assign(needed, 0);
    if (!PackHostEnt(answer, storage.data(), storage.size(), needed)) {
        SetError(WSANO_RECOVERY);
        return nullptr;
    }
    return reinterpret_cast<HOSTENT*>(storage.data());
}

// ---- asynchronous look-ups ----

struct Request {
    HWND window;
    UINT message;
    char* buffer;
    int length;
};

std::map<std::uintptr_t, Request> g_requests;
std::uintptr_t g_nextRequest = 1;
// Lives on the thread that first started the library, for the life of the
// process, so that a worker can always queue its answer to it; an answer
// for a request that is gone (cancelled, or cleaned up) is then dropped.
QObject* g_home = nullptr;

void Complete(std::uintptr_t id, const HostAnswer& answer) {
    auto found = g_requests.find(id);
    if (found == g_requests.end()) return; // cancelled: nothing is posted
    Request request = found->second;
    g_requests.erase(found);
    int error = answer.error;
    std::size_t needed = 0;
    if (error == 0 &&
        !PackHostEnt(answer, request.buffer, std::size_t(std::max(request.length, 0)), needed))
        error = WSAENOBUFS;
    WORD size = error == WSAENOBUFS ? WORD(std::min<std::size_t>(needed, 0xFFFF)) : 0;
    Post(request.window, request.message, WPARAM(id), MakeLParam(size, WORD(error)));
}

template <typename Work>
HANDLE StartLookup(HWND window, UINT message, char* buffer, int length, Work work) {
    if (g_startups == 0 || g_home == nullptr) {
        SetError(WSANOTINITIALISED);
        return nullptr;
    }
    std::uintptr_t id = g_nextRequest++;
    g_requests[id] = Request{window, message, buffer, length};
    QObject* home = g_home;
    std::thread([id, home, work] {
        HostAnswer answer = work();
        QMetaObject::invokeMethod(
            home, [id, answer] { Complete(id, answer); }, Qt::QueuedConnection);
    }).detach();
    return reinterpret_cast<HANDLE>(id);
}

// ---- services and protocols ----

struct Known {
    const char* name;
    int number;
};
// Used when the system's files are missing.
const Known kServices[] = {{"ftp", 21}, {"smtp", 25}, {"http", 80}};
const Known kProtocols[] = {{"tcp", 6}, {"udp", 17}};

bool FileMissing(const char* variable, const char* path) {
    const char* chosen = std::getenv(variable);
    return access(chosen != nullptr ? chosen : path, R_OK) != 0;
}

bool SameAscii(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

struct EntryStorage {
    std::string name, proto;
    char* aliases[1] = {nullptr};
};

} // namespace

// ---- the entry points ----

WINSOCK_API(void, SetMessagePoster)(WinsockMessagePoster poster) {
    g_post = poster;
}

WINSOCK_API(int, WSAStartup)(WORD version, WSADATA* data) {
    int major = version & 0xFF, minor = version >> 8;
    if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
    if (data == nullptr) return WSAEFAULT;
    std::memset(data, 0, sizeof *data);
    data->wVersion = 0x0101;
    data->wHighVersion = 0x0101;
    std::strcpy(data->szDescription, "WinSock 1.1 on POSIX sockets");
    std::strcpy(data->szSystemStatus, "Running");
    data->iMaxSockets = 32767;
    data->iMaxUdpDg = 65467;
    if (g_home == nullptr) g_home = new QObject;
    ++g_startups;
    return 0;
}

WINSOCK_API(int, WSACleanup)() {
    if (g_startups == 0) return Fail(WSANOTINITIALISED);
    if (--g_startups == 0) {
        while (!Sockets().empty()) {
            auto first = Sockets().begin();
            std::unique_ptr<Socket> s = std::move(first->second);
            Sockets().erase(first);
            CloseSocket(std::move(s));
        }
        g_requests.clear();
    }
    return 0;
}

WINSOCK_API(void, WSASetLastError)(int error) {
    SetError(error);
}
WINSOCK_API(int, WSAGetLastError)() {
    return t_lastError;
}

WINSOCK_API(int, WSACancelAsyncRequest)(HANDLE request) {
    if (g_requests.erase(reinterpret_cast<std::uintptr_t>(request)) == 0) return Fail(WSAEINVAL);
    return 0;
}

WINSOCK_API(HANDLE, WSAAsyncGetHostByName)
(HWND window, UINT message, const char* name, char* buffer, int length) {
    if (name == nullptr) {
        SetError(WSAEFAULT);
        return nullptr;
    }
    std::string text = name;
    return StartLookup(window, message, buffer, length, [text] { return LookUpName(text); });
}

WINSOCK_API(HANDLE, WSAAsyncGetHostByAddr)
(HWND window, UINT message, const char* address, int length, int type, char* buffer,
 int bufferLength) {
    if (address == nullptr || length != 4 || type != WS_AF_INET) {
        SetError(address == nullptr ? WSAEFAULT : WSAEAFNOSUPPORT);
        return nullptr;
    }
    std::uint32_t value;
    std::memcpy(&value, address, 4);
    return StartLookup(window, message, buffer, bufferLength,
                       [value] { return LookUpAddress(value); });
}

WINSOCK_API(int, WSAAsyncSelect)(SOCKET handle, HWND window, UINT message, long events) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    s->window = window;
    s->message = message;
    s->events = events;
    SetNonBlocking(s->fd, true);
    // A new registration reports again whatever is already true.
    s->readArmed = true;
    s->acceptArmed = true;
    s->closePosted = false;
    s->writeArmed = s->phase == Phase::Connected;
    UpdateNotifiers(*s);
    return 0;
}

WINSOCK_API(SERVENT*, getservbyname)(const char* name, const char* proto) {
    thread_local SERVENT entry;
    thread_local EntryStorage storage;
    if (name == nullptr) return SetError(WSAEFAULT), nullptr;
    int port = -1;
    if (FileMissing("ROSTRIX_SERVICES_FILE", "/etc/services")) {
        if (proto == nullptr || SameAscii(proto, "tcp"))
            for (const Known& k : kServices)
                if (SameAscii(name, k.name)) port = k.number;
        storage.proto = "tcp";
    } else {
        servent result, *found = nullptr;
        char work[4096];
        if (getservbyname_r(name, proto, &result, work, sizeof work, &found) == 0 &&
            found != nullptr) {
            port = ntohs(std::uint16_t(found->s_port));
            storage.proto = found->s_proto;
        }
    }
    if (port < 0) return SetError(WSANO_DATA), nullptr;
    storage.name = name;
    entry = SERVENT{storage.name.data(), storage.aliases, short(htons(std::uint16_t(port))),
                    storage.proto.data()};
    return &entry;
}

WINSOCK_API(PROTOENT*, getprotobyname)(const char* name) {
    thread_local PROTOENT entry;
    thread_local EntryStorage storage;
    if (name == nullptr) return SetError(WSAEFAULT), nullptr;
    int number = -1;
    if (FileMissing("ROSTRIX_PROTOCOLS_FILE", "/etc/protocols")) {
        for (const Known& k : kProtocols)
            if (SameAscii(name, k.name)) number = k.number;
    } else {
        protoent result, *found = nullptr;
        char work[4096];
        if (getprotobyname_r(name, &result, work, sizeof work, &found) == 0 && found != nullptr)
            number = found->p_proto;
    }
    if (number < 0) return SetError(WSANO_DATA), nullptr;
    storage.name = name;
    entry = PROTOENT{storage.name.data(), storage.aliases, short(number)};
    return &entry;
}

WINSOCK_API(HOSTENT*, gethostbyname)(const char* name) {
    if (name == nullptr) return SetError(WSAEFAULT), nullptr;
    return ThreadHostEnt(LookUpName(name));
}

WINSOCK_API(HOSTENT*, gethostbyaddr)(const char* address, int length, int type) {
    if (address == nullptr || length != 4) return SetError(WSAEFAULT), nullptr;
    if (type != WS_AF_INET) return SetError(WSAEAFNOSUPPORT), nullptr;
    std::uint32_t value;
    std::memcpy(&value, address, 4);
    return ThreadHostEnt(LookUpAddress(value));
}

WINSOCK_API(int, gethostname)(char* name, int length) {
    if (name == nullptr || length <= 0) return Fail(WSAEFAULT);
    char own[256] = {};
    if (::gethostname(own, sizeof own - 1) != 0) return FailErrno();
    if (std::strlen(own) + 1 > std::size_t(length)) return Fail(WSAEFAULT);
    std::strcpy(name, own);
    return 0;
}

WINSOCK_API(SOCKET, socket)(int family, int type, int protocol) {
    if (g_startups == 0) return SetError(WSANOTINITIALISED), INVALID_SOCKET;
    if (family != WS_AF_INET) return SetError(WSAEAFNOSUPPORT), INVALID_SOCKET;
    if (type != WS_SOCK_STREAM && type != WS_SOCK_DGRAM && type != WS_SOCK_RAW)
        return SetError(WSAESOCKTNOSUPPORT), INVALID_SOCKET;
    int posixType = type == WS_SOCK_STREAM  ? SOCK_STREAM
                    : type == WS_SOCK_DGRAM ? SOCK_DGRAM
                                            : SOCK_RAW;
    int fd = ::socket(AF_INET, posixType | SOCK_CLOEXEC, protocol);
    if (fd < 0) return FailErrno(), INVALID_SOCKET;
    return Adopt(fd, posixType, posixType == SOCK_STREAM ? Phase::Fresh : Phase::Connected);
}

WINSOCK_API(int, shutdown)(SOCKET handle, int how) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    if (how < SD_RECEIVE || how > SD_BOTH) return Fail(WSAEINVAL);
    if (::shutdown(s->fd, how == SD_RECEIVE ? SHUT_RD : how == SD_SEND ? SHUT_WR : SHUT_RDWR) != 0)
        return FailErrno();
    if (how != SD_RECEIVE) s->sendShut = true;
    return 0;
}

WINSOCK_API(int, setsockopt)(SOCKET handle, int level, int option, const char* value, int length) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    if (value == nullptr) return Fail(WSAEFAULT);
    auto flag = [&](int posixLevel, int posixOption) {
        if (length < 1) return Fail(WSAEFAULT);
        int on = 0;
        std::memcpy(&on, value, std::min<std::size_t>(std::size_t(length), sizeof on));
        on = on != 0;
        return ::setsockopt(s->fd, posixLevel, posixOption, &on, sizeof on) == 0 ? 0 : FailErrno();
    };
    auto number = [&](int posixLevel, int posixOption) {
        if (length < int(sizeof(int))) return Fail(WSAEFAULT);
        int n;
        std::memcpy(&n, value, sizeof n);
        return ::setsockopt(s->fd, posixLevel, posixOption, &n, sizeof n) == 0 ? 0 : FailErrno();
    };
    if (level == WS_SOL_SOCKET) {
        switch (option) {
        case WS_SO_REUSEADDR:
            return flag(SOL_SOCKET, SO_REUSEADDR);
        case WS_SO_KEEPALIVE:
            return flag(SOL_SOCKET, SO_KEEPALIVE);
        case WS_SO_BROADCAST:
            return flag(SOL_SOCKET, SO_BROADCAST);
        case WS_SO_OOBINLINE:
            return flag(SOL_SOCKET, SO_OOBINLINE);
        case WS_SO_SNDBUF:
            return number(SOL_SOCKET, SO_SNDBUF);
        case WS_SO_RCVBUF:
            return number(SOL_SOCKET, SO_RCVBUF);
        case WS_SO_LINGER:
            // Kept and applied at the close, which decides how to close.
            if (length < int(sizeof(LINGER))) return Fail(WSAEFAULT);
            std::memcpy(&s->linger, value, sizeof s->linger);
            return 0;
        case WS_SO_DONTLINGER:
            s->linger.l_onoff = 0;
            return 0;
        }
    } else if (level == WS_IPPROTO_TCP && option == WS_TCP_NODELAY) {
        return flag(IPPROTO_TCP, TCP_NODELAY);
    } else if (level == WS_IPPROTO_IP) {
        switch (option) {
        case WS_IP_MULTICAST_TTL:
            return number(IPPROTO_IP, IP_MULTICAST_TTL);
        case WS_IP_MULTICAST_LOOP:
            return number(IPPROTO_IP, IP_MULTICAST_LOOP);
        case WS_IP_MULTICAST_IF:
            return length < 4 ? Fail(WSAEFAULT)
                              : (::setsockopt(s->fd, IPPROTO_IP, IP_MULTICAST_IF, value, 4) == 0
                                     ? 0
                                     : FailErrno());
        case WS_IP_ADD_MEMBERSHIP:
        case WS_IP_DROP_MEMBERSHIP: {
            if (length < int(sizeof(IP_MREQ))) return Fail(WSAEFAULT);
            IP_MREQ in;
            std::memcpy(&in, value, sizeof in);
            ip_mreq request{};
            request.imr_multiaddr.s_addr = in.imr_multiaddr.S_addr;
            request.imr_interface.s_addr = in.imr_interface.S_addr;
            int posix = option == WS_IP_ADD_MEMBERSHIP ? IP_ADD_MEMBERSHIP : IP_DROP_MEMBERSHIP;
            return ::setsockopt(s->fd, IPPROTO_IP, posix, &request, sizeof request) == 0
                       ? 0
                       : FailErrno();
        }
        }
    }
    return Fail(WSAENOPROTOOPT);
}

WINSOCK_API(int, getsockopt)(SOCKET handle, int level, int option, char* value, int* length) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    if (value == nullptr || length == nullptr) return Fail(WSAEFAULT);
    auto answer = [&](int n) {
        if (*length < int(sizeof n)) return Fail(WSAEFAULT);
        std::memcpy(value, &n, sizeof n);
        *length = sizeof n;
        return 0;
    };
    auto posixInt = [&](int posixLevel, int posixOption) {
        int n = 0;
        socklen_t size = sizeof n;
        if (::getsockopt(s->fd, posixLevel, posixOption, &n, &size) != 0) return FailErrno();
        return answer(n);
    };
    if (level == WS_SOL_SOCKET) {
        switch (option) {
        case WS_SO_ERROR: {
            int error = 0;
            socklen_t size = sizeof error;
            ::getsockopt(s->fd, SOL_SOCKET, SO_ERROR, &error, &size);
            return answer(WinsockErrorOfErrno(error));
        }
        case WS_SO_TYPE:
            return answer(s->type == SOCK_STREAM  ? WS_SOCK_STREAM
                          : s->type == SOCK_DGRAM ? WS_SOCK_DGRAM
                                                  : WS_SOCK_RAW);
        case WS_SO_ACCEPTCONN:
            return answer(s->phase == Phase::Listening);
        case WS_SO_REUSEADDR:
            return posixInt(SOL_SOCKET, SO_REUSEADDR);
        case WS_SO_KEEPALIVE:
            return posixInt(SOL_SOCKET, SO_KEEPALIVE);
        case WS_SO_BROADCAST:
            return posixInt(SOL_SOCKET, SO_BROADCAST);
        case WS_SO_SNDBUF:
            return posixInt(SOL_SOCKET, SO_SNDBUF);
        case WS_SO_RCVBUF:
            return posixInt(SOL_SOCKET, SO_RCVBUF);
        case WS_SO_LINGER:
            if (*length < int(sizeof(LINGER))) return Fail(WSAEFAULT);
            std::memcpy(value, &s->linger, sizeof s->linger);
            *length = sizeof s->linger;
            return 0;
        }
    } else if (level == WS_IPPROTO_TCP && option == WS_TCP_NODELAY) {
        return posixInt(IPPROTO_TCP, TCP_NODELAY);
    }
    return Fail(WSAENOPROTOOPT);
}

WINSOCK_API(int, sendto)
(SOCKET handle, const char* data, int length, int flags, const SOCKADDR* to, int toLength) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    if (length < 0 || (data == nullptr && length > 0)) return Fail(WSAEFAULT);
    sockaddr_in address;
    const bool addressed = to != nullptr;
    if (addressed && !ToPosix(to, toLength, address)) return Fail(WSAEFAULT);
    ssize_t sent = ::sendto(s->fd, data, std::size_t(length), PosixFlags(flags) | MSG_NOSIGNAL,
                            addressed ? reinterpret_cast<sockaddr*>(&address) : nullptr,
                            addressed ? sizeof address : 0);
    int error = errno;
    if (sent < 0 || sent < length) s->writeArmed = true;
    if (sent < 0) NoteLost(*s, error);
    UpdateNotifiers(*s);
    if (sent < 0)
        return Fail(error == EPIPE && s->sendShut ? WSAESHUTDOWN : WinsockErrorOfErrno(error));
    return int(sent);
}

WINSOCK_API(int, send)(SOCKET handle, const char* data, int length, int flags) {
    return rxws_sendto(handle, data, length, flags, nullptr, 0);
}

WINSOCK_API(USHORT, ntohs)(USHORT value) {
    return ::ntohs(value);
}
WINSOCK_API(ULONG, ntohl)(ULONG value) {
    return ::ntohl(value);
}
WINSOCK_API(USHORT, htons)(USHORT value) {
    return ::htons(value);
}
WINSOCK_API(ULONG, htonl)(ULONG value) {
    return ::htonl(value);
}

WINSOCK_API(int, listen)(SOCKET handle, int backlog) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    if (s->type != SOCK_STREAM) return Fail(WSAEOPNOTSUPP);
    if (::listen(s->fd, std::max(backlog, 1)) != 0) return FailErrno();
    s->phase = Phase::Listening;
    s->acceptArmed = true;
    UpdateNotifiers(*s);
    return 0;
}

WINSOCK_API(int, ioctlsocket)(SOCKET handle, long command, ULONG* argument) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    if (argument == nullptr) return Fail(WSAEFAULT);
    int n = 0;
    switch (command) {
    case WS_FIONREAD:
        if (ioctl(s->fd, FIONREAD, &n) != 0) return FailErrno();
        *argument = ULONG(n);
        return 0;
    case WS_FIONBIO:
        // A socket with notifications selected stays non-blocking.
        if (*argument == 0 && Registered(*s)) return Fail(WSAEINVAL);
        SetNonBlocking(s->fd, *argument != 0);
        return 0;
    case WS_SIOCATMARK:
        if (ioctl(s->fd, SIOCATMARK, &n) != 0) return FailErrno();
        *argument = ULONG(n);
        return 0;
    }
    return Fail(WSAEINVAL);
}

WINSOCK_API(char*, inet_ntoa)(IN_ADDR address) {
    thread_local char text[16];
    const auto* b = reinterpret_cast<const unsigned char*>(&address.S_addr);
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return text;
}

// One to four parts, each decimal, octal (a leading 0) or hexadecimal (0x);
// the last part fills the bytes the others leave. Anything else, or a part
// too large for its bytes, gives INADDR_NONE.
WINSOCK_API(ULONG, inet_addr)(const char* text) {
    if (text == nullptr) return WS_INADDR_NONE;
    std::uint64_t parts[4];
    int count = 0;
    const char* p = text;
    for (;;) {
        if (count == 4) return WS_INADDR_NONE;
        int base = 10;
        if (*p == '0') {
            base = 8;
            if (p[1] == 'x' || p[1] == 'X') {
                base = 16;
                p += 2;
                if (!std::isxdigit(static_cast<unsigned char>(*p))) return WS_INADDR_NONE;
            }
        }
        if (!std::isxdigit(static_cast<unsigned char>(*p))) return WS_INADDR_NONE;
        std::uint64_t value = 0;
        for (;; ++p) {
            int digit;
            unsigned char c = static_cast<unsigned char>(*p);
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (base == 16 && std::isxdigit(c))
                digit = std::tolower(c) - 'a' + 10;
            else
                break;
            if (digit >= base) return WS_INADDR_NONE;
            value = value * std::uint64_t(base) + std::uint64_t(digit);
            if (value > 0xFFFFFFFFu) return WS_INADDR_NONE;
        }
        parts[count++] = value;
        if (*p != '.') break;
        ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p != '\0') return WS_INADDR_NONE;
    std::uint64_t address = 0;
    for (int i = 0; i < count - 1; ++i) {
        if (parts[i] > 255) return WS_INADDR_NONE;
        address |= parts[i] << (24 - 8 * i);
    }
    std::uint64_t last = parts[count - 1];
    if (last > (0xFFFFFFFFu >> (8 * (count - 1)))) return WS_INADDR_NONE;
    address |= last;
    return ::htonl(std::uint32_t(address));
}

WINSOCK_API(int, getsockname)(SOCKET handle, SOCKADDR* name, int* length) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (::getsockname(s->fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return FailErrno();
    return FromPosix(address, name, length);
}

WINSOCK_API(int, getpeername)(SOCKET handle, SOCKADDR* name, int* length) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (::getpeername(s->fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return FailErrno();
    return FromPosix(address, name, length);
}

WINSOCK_API(int, connect)(SOCKET handle, const SOCKADDR* name, int length) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    sockaddr_in address;
    if (!ToPosix(name, length, address)) return Fail(WSAEFAULT);
    if (::connect(s->fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        if (s->type == SOCK_STREAM) {
            s->phase = Phase::Connected;
            s->writeArmed = true;
            if (Registered(*s)) PostEvent(*s, FD_CONNECT, 0);
        }
        UpdateNotifiers(*s);
        return 0;
    }
    int error = errno;
    if (error == EINPROGRESS) {
        s->phase = Phase::Connecting;
        UpdateNotifiers(*s);
        return Fail(WSAEWOULDBLOCK);
    }
    bool refused = error == ECONNREFUSED || error == ENETUNREACH || error == EHOSTUNREACH ||
                   error == ETIMEDOUT;
    if (refused && Registered(*s) && s->type == SOCK_STREAM) {
        // The caller learns of it as of any other failed connect.
        PostEvent(*s, FD_CONNECT, WinsockErrorOfErrno(error));
        return Fail(WSAEWOULDBLOCK);
    }
    return Fail(WinsockErrorOfErrno(error));
}

WINSOCK_API(int, closesocket)(SOCKET handle) {
    auto found = Sockets().find(handle);
    if (found == Sockets().end()) return Fail(WSAENOTSOCK);
    std::unique_ptr<Socket> s = std::move(found->second);
    Sockets().erase(found);
    CloseSocket(std::move(s));
    return 0;
}

WINSOCK_API(int, bind)(SOCKET handle, const SOCKADDR* name, int length) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    sockaddr_in address;
    if (!ToPosix(name, length, address)) return Fail(WSAEFAULT);
    if (address.sin_family != AF_INET) return Fail(WSAEAFNOSUPPORT);
    if (::bind(s->fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return FailErrno();
    return 0;
}

WINSOCK_API(SOCKET, accept)(SOCKET handle, SOCKADDR* name, int* length) {
    Socket* s = Find(handle);
    if (s == nullptr) return SetError(WSAENOTSOCK), INVALID_SOCKET;
    if (s->phase != Phase::Listening) return SetError(WSAEINVAL), INVALID_SOCKET;
    sockaddr_in address{};
    socklen_t size = sizeof address;
    int flags = fcntl(s->fd, F_GETFL);
    int fd = accept4(s->fd, reinterpret_cast<sockaddr*>(&address), &size,
                     SOCK_CLOEXEC | (flags >= 0 && (flags & O_NONBLOCK) ? SOCK_NONBLOCK : 0));
    int error = errno;
    s->acceptArmed = true;
    UpdateNotifiers(*s);
    if (fd < 0) return SetError(WinsockErrorOfErrno(error)), INVALID_SOCKET;
    if (name != nullptr && FromPosix(address, name, length) != 0) {
        close(fd);
        return INVALID_SOCKET;
    }
    SOCKET accepted = Adopt(fd, SOCK_STREAM, Phase::Connected);
    Socket* child = Find(accepted);
    // The accepted socket inherits the listener's registration.
    child->window = s->window;
    child->message = s->message;
    child->events = s->events;
    child->writeArmed = true;
    UpdateNotifiers(*child);
    return accepted;
}

WINSOCK_API(int, recvfrom)
(SOCKET handle, char* buffer, int length, int flags, SOCKADDR* from, int* fromLength) {
    Socket* s = Find(handle);
    if (s == nullptr) return Fail(WSAENOTSOCK);
    if (length < 0 || (buffer == nullptr && length > 0)) return Fail(WSAEFAULT);
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ssize_t got = ::recvfrom(s->fd, buffer, std::size_t(length), PosixFlags(flags),
                             from != nullptr ? reinterpret_cast<sockaddr*>(&address) : nullptr,
                             from != nullptr ? &size : nullptr);
    int error = errno;
    // Every receive, a peek or a failure included, enables FD_READ again.
    s->readArmed = true;
    if (got < 0) NoteLost(*s, error);
    UpdateNotifiers(*s);
    if (got < 0) return Fail(WinsockErrorOfErrno(error));
    if (from != nullptr && FromPosix(address, from, fromLength) != 0) return SOCKET_ERROR;
    return int(got);
}

WINSOCK_API(int, recv)(SOCKET handle, char* buffer, int length, int flags) {
    return rxws_recvfrom(handle, buffer, length, flags, nullptr, nullptr);
}
