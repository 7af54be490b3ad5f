#include "net/CustomWSocket.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kDnsLookupBufferSize = MAXGETHOSTSTRUCT + 1;
constexpr int kDiscardSize = 1024;
constexpr int kListenBacklog = 5;
constexpr long kConnectEvents = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
constexpr long kListenEvents = FD_READ | FD_WRITE | FD_ACCEPT | FD_CLOSE;
constexpr long kDupEvents = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;
constexpr int kMaxAddressText = 256;

std::string Trim(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

std::string DottedOf(ULONG networkOrder) {
    IN_ADDR in{networkOrder};
    return WSocket_inet_ntoa(in);
}

// The sends that fail because the connection is gone: the session ends,
// no exception.
bool ConnectionGone(int error) {
    return error == WSAECONNRESET || error == WSAENOTSOCK || error == WSAENOTCONN ||
           error == WSAEINVAL || error == WSAECONNABORTED;
}

} // namespace

TCustomWSocket::TCustomWSocket() : FDnsLookupBuffer(kDnsLookupBufferSize) {
    AllocateSocketHWnd();
    MultiCastIpTTL = 1;
    AssignDefaultValue();
    WSocketCountSocket();
}

TCustomWSocket::~TCustomWSocket() {
    *FAlive = false;
    FDestroying = true;
    try {
        CancelDnsLookup();
    } catch (const std::exception&) {
        // The look-up's answer finds no window any more and is dropped.
    }
    try {
        if (FState != wsClosed) Close();
    } catch (const std::exception&) {
        // Nothing is left to report a failed close to.
    }
    WSocketUncountSocket();
    FBufList.clear();
    DeallocateSocketHWnd();
    if (WSocketSocketCount() < 1) WSocketUnregisterClass();
}

void TCustomWSocket::AssignDefaultValue() {
    sin = SOCKADDR_IN{};
    sin.sin_family = short(FAddrFormat);
    FAddrResolved = FPortResolved = FLocalPortResolved = false;
    FAddrAssigned = FPortAssigned = false;
    FProtoAssigned = true;
    FProto = WS_IPPROTO_TCP;
    FProtoStr = "tcp";
    FType = WS_SOCK_STREAM;
    FLocalPortStr = "0";
    FLocalAddr = "0.0.0.0";
    LingerOnOff = wsLingerOn;
    LingerTimeout = 0;
    FHSocket = INVALID_SOCKET;
    FSelectEvent = 0;
    FState = wsClosed;
    FAllSent = true;
    FPaused = false;
    FCloseInvoked = false;
    FReadCount = 0;
    MultiThreaded = false;
    MultiCast = false;
    MultiCastAddrStr.clear();
    ReuseAddr = false;
    ComponentOptions = {};
    FlushTimeout = 60;
    FSendFlags = 0;
}

// ---- end points ----

void TCustomWSocket::SetAddr(const std::string& text) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Addr if not closed");
        return;
    }
    if (FAddrAssigned && FAddrStr == text) return;
    FAddrStr = Trim(text);
    FAddrResolved = false;
    FAddrAssigned = !FAddrStr.empty();
}

void TCustomWSocket::SetRemotePort(const std::string& text) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Port if not closed");
        return;
    }
    if (FPortAssigned && FPortStr == text) return;
    FPortStr = Trim(text);
    FPortResolved = false;
    FPortAssigned = !FPortStr.empty();
}

void TCustomWSocket::SetProto(const std::string& text) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Proto if not closed");
        return;
    }
    if (FProtoAssigned && FProtoStr == text) return;
    FProtoStr = Trim(text);
    FProtoResolved = false;
    FProtoAssigned = !FProtoStr.empty();
}

void TCustomWSocket::SetLocalAddr(const std::string& text) {
    if (FState != wsClosed) {
        RaiseException("Cannot change LocalAddr if not closed");
        return;
    }
    FLocalAddr = text.empty() ? "0.0.0.0" : text;
}

void TCustomWSocket::SetLocalPort(const std::string& text) {
    if (FState != wsClosed) {
        RaiseException("Cannot change LocalPort if not closed");
        return;
    }
    FLocalPortStr = text;
    FLocalPortResolved = false;
}

TSocketSendFlags TCustomWSocket::SendFlags() const {
    if (FSendFlags == 0) return wsSendNormal;
    if (FSendFlags == WS_MSG_OOB) return wsSendUrgent;
    throw ESocketException("Invalid internal SendFlags");
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags flags) {
    switch (flags) {
    case wsSendNormal:
        FSendFlags = 0;
        break;
    case wsSendUrgent:
        FSendFlags = WS_MSG_OOB;
        break;
    default:
        RaiseException("Invalid SendFlags");
    }
}

// ---- events ----

void TCustomWSocket::ChangeState(TSocketState newState) {
    TSocketState oldState = FState;
    FState = newState;
    TriggerChangeState(oldState, newState);
}

bool TCustomWSocket::TriggerDataAvailable(WORD error) {
    if (!OnDataAvailable) return false;
    OnDataAvailable(this, error);
    return true;
}

void TCustomWSocket::TriggerSessionAvailable(WORD error) {
    if (OnSessionAvailable) OnSessionAvailable(this, error);
}

void TCustomWSocket::TriggerSessionConnected(WORD error) {
    if (OnSessionConnected) OnSessionConnected(this, error);
}

void TCustomWSocket::TriggerSessionClosed(WORD error) {
    if (OnSessionClosed) OnSessionClosed(this, error);
}

void TCustomWSocket::TriggerDataSent(WORD error) {
    if (OnDataSent) OnDataSent(this, error);
}

void TCustomWSocket::TriggerChangeState(TSocketState oldState, TSocketState newState) {
    // A socket being destroyed tells nobody: its owner may be half gone.
    if (OnChangeState && !FDestroying) OnChangeState(this, oldState, newState);
}

void TCustomWSocket::TriggerDNSLookupDone(WORD error) {
    if (OnDnsLookupDone) OnDnsLookupDone(this, error);
}

void TCustomWSocket::TriggerError() {
    if (OnError) OnError(this);
}

void TCustomWSocket::TriggerSendData(int count) {
    if (OnSendData) OnSendData(this, count);
}

void TCustomWSocket::TriggerDisplay(const std::string& text) {
    if (OnDisplay) OnDisplay(this, text);
}

// ---- failures ----

void TCustomWSocket::RaiseException(const std::string& text) {
    if (OnError)
        TriggerError();
    else
        throw ESocketException(text);
}

void TCustomWSocket::RaiseExceptionFmt(const char* format, const std::string& text, int code) {
    std::vector<char> out(std::strlen(format) + text.size() + 16);
    if (text.empty())
        std::snprintf(out.data(), out.size(), format, code);
    else
        std::snprintf(out.data(), out.size(), format, text.c_str(), code);
    RaiseException(out.data());
}

void TCustomWSocket::SocketError(const std::string& sockfunc) {
    int error = WSocket_WSAGetLastError();
    std::string line = "Error " + std::to_string(error) + " in function " + sockfunc + "\r\n" +
                       WSocketErrorDesc(error);
    auto alive = FAlive;
    if (error == WSAECONNRESET || error == WSAENOTCONN) {
        // The same close as any other: state, the event once, the defaults.
        InternalClose(false, WORD(error));
        if (!*alive) throw ESocketException(line);
    }
    FLastError = error;
    RaiseException(line);
}

void TCustomWSocket::HandleBackGroundException(const std::exception& E) {
    bool canClose = true;
    auto alive = FAlive;
    if (OnBgException) {
        try {
            OnBgException(this, E, canClose);
        } catch (const std::exception&) {
            // A failing handler must not stop the abort below.
        }
        if (!*alive) return;
    }
    if (canClose) {
        try {
            Abort();
        } catch (const std::exception&) {
            // The socket is being abandoned; a failing close changes nothing.
        }
    }
}

// ---- messages ----

void TCustomWSocket::HandleMessage(TMessage& message) {
    switch (message.Msg) {
    case WM_ASYNCSELECT:
        WMASyncSelect(message);
        break;
    case WM_ASYNCGETHOSTBYNAME:
        WMAsyncGetHostByName(message);
        break;
    case WM_ASYNCGETHOSTBYADDR:
        WMAsyncGetHostByAddr(message);
        break;
    case WM_CLOSE_DELAYED:
        Close();
        break;
    case WM_WSOCKET_RELEASE:
        delete this;
        break;
    default:
        WSocketMessageWindow::HandleMessage(message);
    }
}

void TCustomWSocket::WMASyncSelect(TMessage& msg) {
    const SOCKET handle = SOCKET(msg.WParam);
    if (handle != FHSocket || FPaused) return;
    const WORD events = msg.LParamLo();
    const WORD error = msg.LParamHi();
    auto alive = FAlive;
    // Once a handler has destroyed or closed the socket, the rest of the
    // message is no longer its.
    auto gone = [&] { return !*alive || FHSocket != handle; };

    if ((events & FD_CONNECT) && FState != wsConnected) {
        ChangeState(wsConnected);
        if (gone()) return;
        TriggerSessionConnected(error);
        if (!*alive) return;
        if (error != 0 && FState != wsClosed && FHSocket == handle) Close();
        if (gone()) return;
    }
    if (events & FD_READ) {
        if (FState != wsConnected) {
            ChangeState(wsConnected);
            if (gone()) return;
            TriggerSessionConnected(error);
            if (gone()) return;
        }
        ASyncReceive(error, ComponentOptions);
        if (gone()) return;
    }
    if (events & FD_WRITE) {
        TryToSend();
        if (gone()) return;
        if (FAllSent) TriggerDataSent(error);
        if (gone()) return;
    }
    if (events & FD_ACCEPT) {
        TriggerSessionAvailable(error);
        if (gone()) return;
    }
    if ((events & FD_CLOSE) && FState != wsConnecting) {
        // Everything still waiting is delivered before the close.
        ASyncReceive(0, ComponentOptions.Without(wsoNoReceiveLoop));
        if (gone()) return;
        if (!FCloseInvoked) {
            FCloseInvoked = true;
            TriggerSessionClosed(error);
            if (gone()) return;
        }
        if (FState != wsClosed) Close();
    }
}

void TCustomWSocket::ASyncReceive(WORD error, TWSocketOptions options) {
    auto alive = FAlive;
    const SOCKET handle = FHSocket;
    try {
        for (;;) {
            FLastError = 0;
            if (!TriggerDataAvailable(error)) {
                char discard[kDiscardSize];
                if (DoRecv(discard, kDiscardSize, 0) < 0) {
                    int code = WSocket_WSAGetLastError();
                    if (code == WSAEWOULDBLOCK) {
                        FLastError = 0;
                        break;
                    }
                    FLastError = code;
                }
            }
            if (!*alive || FHSocket != handle) return;
            if (options.Contains(wsoNoReceiveLoop) || FLastError != 0) break;
            ULONG waiting = 0;
            if (WSocket_ioctlsocket(FHSocket, WS_FIONREAD, &waiting) == SOCKET_ERROR) {
                FLastError = WSocket_WSAGetLastError();
                break;
            }
            if (waiting == 0) break;
        }
    } catch (const std::exception& e) {
        // A handler's failure ends the loop loudly: the socket is aborted,
        // which also ends any caller waiting on it.
        if (*alive) HandleBackGroundException(e);
    }
}

// ---- connecting, listening, accepting ----

void TCustomWSocket::BeginSession() {
    FCloseInvoked = false;
    FPaused = false;
}

void TCustomWSocket::ResolveEndPoints(bool forListen) {
    if (!FProtoResolved) {
        FProto = WSocketResolveProto(FProtoStr);
        if (forListen)
            FType = FProto == WS_IPPROTO_UDP ? WS_SOCK_DGRAM : WS_SOCK_STREAM;
        else
            FType = FProto == WS_IPPROTO_TCP   ? WS_SOCK_STREAM
                    : FProto == WS_IPPROTO_UDP ? WS_SOCK_DGRAM
                                               : WS_SOCK_RAW;
        FProtoResolved = true;
    }
    if (!FPortResolved) {
        FPortNum = WSocketResolvePort(FPortStr, FProtoStr);
        sin.sin_port = WSocket_htons(FPortNum);
        FPortResolved = true;
    }
    if (!forListen && !FLocalPortResolved) {
        FLocalPortNum = WSocketResolvePort(FLocalPortStr, FProtoStr);
        FLocalPortResolved = true;
    }
    if (!FAddrResolved) {
        sin.sin_addr.S_addr = WSocketResolveHost(FAddrStr);
        FAddrResolved = true;
    }
}

void TCustomWSocket::Connect() {
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        RaiseException("Connect: Socket already in use");
        return;
    }
    if (!FPortAssigned) {
        RaiseException("Connect: No Port Specified");
        return;
    }
    if (!FAddrAssigned) {
        RaiseException("Connect: No IP Address Specified");
        return;
    }
    if (!FProtoAssigned) {
        RaiseException("Connect: No Protocol Specified");
        return;
    }
    try {
        ResolveEndPoints(false);
    } catch (const ESocketException& e) {
        RaiseException(std::string("connect: ") + e.what());
        return;
    }
    DeleteBufferedData();
    FHSocket = WSocket_socket(FAddrFormat, FType, FProto);
    if (FHSocket == INVALID_SOCKET) {
        SocketError("Connect (socket)");
        return;
    }
    BeginSession();
    ChangeState(wsOpened);
    if (FState != wsOpened) {
        WSocket_WSASetLastError(WSAEINVAL);
        SocketError("Connect (Invalid operation in OnChangeState)");
        return;
    }
    const int on = 1;
    const char* value = reinterpret_cast<const char*>(&on);
    if (FType == WS_SOCK_DGRAM) {
        BindSocket();
        if (MultiCast && MultiCastIpTTL != 1) {
            int ttl = MultiCastIpTTL;
            if (WSocket_setsockopt(FHSocket, WS_IPPROTO_IP, WS_IP_MULTICAST_TTL,
                                   reinterpret_cast<const char*>(&ttl),
                                   sizeof ttl) == SOCKET_ERROR) {
                SocketError("setsockopt(IP_MULTICAST_TTL)");
                return;
            }
        }
        if (sin.sin_addr.S_addr == WS_INADDR_NONE &&
            WSocket_setsockopt(FHSocket, WS_SOL_SOCKET, WS_SO_BROADCAST, value, sizeof on) ==
                SOCKET_ERROR) {
            SocketError("setsockopt(SO_BROADCAST)");
            return;
        }
    } else if (FType == WS_SOCK_STREAM) {
        if (WSocket_setsockopt(FHSocket, WS_SOL_SOCKET, WS_SO_REUSEADDR, value, sizeof on) ==
            SOCKET_ERROR) {
            SocketError("setsockopt(SO_REUSEADDR)");
            return;
        }
        if (ComponentOptions.Contains(wsoTcpNoDelay) &&
            WSocket_setsockopt(FHSocket, WS_IPPROTO_TCP, WS_TCP_NODELAY, value, sizeof on) ==
                SOCKET_ERROR) {
            SocketError("setsockopt(IPPROTO_TCP, TCP_NODELAY)");
            return;
        }
        SetLingerOption();
        if (WSocket_setsockopt(FHSocket, WS_SOL_SOCKET, WS_SO_KEEPALIVE, value, sizeof on) ==
            SOCKET_ERROR) {
            SocketError("setsockopt(SO_KEEPALIVE)");
            return;
        }
        if (FLocalPortNum != 0 || FLocalAddr != "0.0.0.0") BindSocket();
    }
    FSelectEvent = kConnectEvents;
    if (WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) ==
        SOCKET_ERROR) {
        SocketError("WSAAsyncSelect");
        return;
    }
    if (FType == WS_SOCK_DGRAM) {
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    if (WSocket_connect(FHSocket, reinterpret_cast<const SOCKADDR*>(&sin), sizeof sin) == 0 ||
        WSocket_WSAGetLastError() == WSAEWOULDBLOCK) {
        ChangeState(wsConnecting);
    } else {
        FLastError = WSocket_WSAGetLastError();
        SocketError("Connect");
    }
}

void TCustomWSocket::BindSocket() {
    SOCKADDR_IN local{};
    local.sin_family = short(FAddrFormat);
    local.sin_addr.S_addr = WSocketResolveHost(FLocalAddr);
    local.sin_port = WSocket_htons(FLocalPortNum);
    if (WSocket_bind(FHSocket, reinterpret_cast<const SOCKADDR*>(&local), sizeof local) ==
        SOCKET_ERROR) {
        RaiseExceptionFmt("winsock.bind failed, error #%d", "", WSocket_WSAGetLastError());
        return;
    }
    int length = sizeof local;
    if (WSocket_getsockname(FHSocket, reinterpret_cast<SOCKADDR*>(&local), &length) ==
        SOCKET_ERROR) {
        RaiseExceptionFmt("winsock.getsockname failed, error #%d", "", WSocket_WSAGetLastError());
        return;
    }
    FLocalPortNum = WSocket_ntohs(local.sin_port);
    FLocalPortStr = std::to_string(FLocalPortNum);
}

void TCustomWSocket::SetLingerOption() {
    if (LingerOnOff == wsLingerNoSet) return;
    if (FHSocket == INVALID_SOCKET) {
        RaiseException("Cannot set linger option at this time");
        return;
    }
    LINGER linger{USHORT(LingerOnOff == wsLingerOn ? 1 : 0), USHORT(LingerTimeout)};
    if (WSocket_setsockopt(FHSocket, WS_SOL_SOCKET, WS_SO_LINGER,
                           reinterpret_cast<const char*>(&linger), sizeof linger) == SOCKET_ERROR)
        SocketError("setsockopt(SO_LINGER)");
}

void TCustomWSocket::Listen() {
    const char* missing = !FPortAssigned    ? "listen: port not assigned"
                          : !FProtoAssigned ? "listen: protocol not assigned"
                          : !FAddrAssigned  ? "listen: address not assigned"
                                            : nullptr;
    if (missing != nullptr) {
        WSocket_WSASetLastError(WSAEINVAL);
        SocketError(missing);
        return;
    }
    try {
        ResolveEndPoints(true);
    } catch (const ESocketException& e) {
        RaiseException(std::string("listen: ") + e.what());
        return;
    }
    DeleteBufferedData();
    FHSocket = WSocket_socket(FAddrFormat, FType, FProto);
    if (FHSocket == INVALID_SOCKET) {
        SocketError("socket");
        return;
    }
    BeginSession();
    const int on = 1;
    if (FType == WS_SOCK_DGRAM && ReuseAddr &&
        WSocket_setsockopt(FHSocket, WS_SOL_SOCKET, WS_SO_REUSEADDR,
                           reinterpret_cast<const char*>(&on), sizeof on) == SOCKET_ERROR) {
        SocketError("setsockopt(SO_REUSEADDR)");
        return;
    }
    if (WSocket_bind(FHSocket, reinterpret_cast<const SOCKADDR*>(&sin), sizeof sin) ==
        SOCKET_ERROR) {
        // The state still says closed, so no close would free the handle:
        // it goes here, before the failure is reported.
        int error = WSocket_WSAGetLastError();
        WSocket_closesocket(FHSocket);
        FHSocket = INVALID_SOCKET;
        WSocket_WSASetLastError(error);
        SocketError("Bind");
        return;
    }
    ChangeState(wsBound);
    if (FType == WS_SOCK_DGRAM && MultiCast) {
        IP_MREQ request{};
        request.imr_multiaddr.S_addr = WSocket_inet_addr(MultiCastAddrStr.c_str());
        request.imr_interface.S_addr = WS_INADDR_ANY;
        if (WSocket_setsockopt(FHSocket, WS_IPPROTO_IP, WS_IP_ADD_MEMBERSHIP,
                               reinterpret_cast<const char*>(&request),
                               sizeof request) == SOCKET_ERROR) {
            SocketError("setsockopt(IP MULTICAST)");
            return;
        }
    }
    if (FType == WS_SOCK_STREAM) {
        if (WSocket_listen(FHSocket, kListenBacklog) == SOCKET_ERROR) {
            SocketError("Listen");
            return;
        }
        ChangeState(wsListening);
    } else if (FType == WS_SOCK_DGRAM || FType == WS_SOCK_RAW) {
        ChangeState(wsListening);
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
    } else {
        SocketError("Listen: unexpected protocol.");
        return;
    }
    FSelectEvent = kListenEvents;
    if (FHSocket != INVALID_SOCKET &&
        WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) ==
            SOCKET_ERROR)
        SocketError("WSAASyncSelect");
}

SOCKET TCustomWSocket::Accept() {
    if (FState != wsListening) {
        WSocket_WSASetLastError(WSAEINVAL);
        SocketError("not a listening socket");
        return INVALID_SOCKET;
    }
    int length = sizeof sin;
    FASocket = WSocket_accept(FHSocket, reinterpret_cast<SOCKADDR*>(&sin), &length);
    if (FASocket == INVALID_SOCKET) {
        SocketError("Accept");
        return INVALID_SOCKET;
    }
    return FASocket;
}

void TCustomWSocket::Dup(SOCKET handle) {
    if (handle == 0 || handle == INVALID_SOCKET) {
        WSocket_WSASetLastError(WSAEINVAL);
        SocketError("Dup");
        return;
    }
    if (FState != wsClosed) {
        if (WSocket_closesocket(FHSocket) == SOCKET_ERROR) {
            SocketError("Dup (closesocket)");
            return;
        }
        ChangeState(wsClosed);
    }
    FHSocket = handle;
    BeginSession();
    SetLingerOption();
    FSelectEvent = kDupEvents;
    if (WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) ==
        SOCKET_ERROR) {
        SocketError("WSAAsyncSelect");
        return;
    }
    ChangeState(wsConnected);
}

// ---- sending ----

int TCustomWSocket::Send(const void* data, int length) {
    if (FState != wsConnected) {
        WSocket_WSASetLastError(WSAENOTCONN);
        SocketError("Send");
        return -1;
    }
    FAllSent = false;
    int result = 0;
    if (length > 0) {
        PutDataInSendBuffer(data, length);
        result = length;
    }
    auto alive = FAlive;
    TryToSend();
    // OnDataSent fires from the message loop, never inside Send.
    if (*alive && FAllSent && FHSocket != INVALID_SOCKET)
        PostMessageA(FWindowHandle, WM_ASYNCSELECT, WPARAM(FHSocket), MakeLParam(FD_WRITE, 0));
    return result;
}

int TCustomWSocket::SendStr(const std::string& text) {
    if (text.empty()) return 0;
    return Send(text.data(), int(text.size()));
}

int TCustomWSocket::SendTo(const SOCKADDR_IN& to, int toLength, const void* data, int length) {
    int result = WSocket_sendto(FHSocket, static_cast<const char*>(data), length, FSendFlags,
                                reinterpret_cast<const SOCKADDR*>(&to), toLength);
    if (result > 0) TriggerSendData(result);
    return result;
}

int TCustomWSocket::RealSend(const void* data, int length) {
    int result;
    if (FType == WS_SOCK_DGRAM)
        result = WSocket_sendto(FHSocket, static_cast<const char*>(data), length, FSendFlags,
                                reinterpret_cast<const SOCKADDR*>(&sin), sizeof sin);
    else
        result = WSocket_send(FHSocket, static_cast<const char*>(data), length, FSendFlags);
    if (result > 0) TriggerSendData(result);
    return result;
}

void TCustomWSocket::PutDataInSendBuffer(const void* data, int length) {
    if (length < 1) return;
    const char* bytes = static_cast<const char*>(data);
    if (FBufList.empty()) FBufList.push_back(std::make_unique<TBuffer>(FBufSize));
    int written = FBufList.back()->Write(bytes, length);
    while (written < length) {
        FBufList.push_back(std::make_unique<TBuffer>(FBufSize));
        written += FBufList.back()->Write(bytes + written, length - written);
    }
    FAllSent = false;
}

void TCustomWSocket::PutStringInSendBuffer(const std::string& text) {
    PutDataInSendBuffer(text.data(), int(text.size()));
}

void TCustomWSocket::DeleteBufferedData() {
    FBufList.clear();
}

void TCustomWSocket::TryToSend() {
    if (FHSocket == INVALID_SOCKET) return;
    if (FBufList.empty()) {
        FAllSent = true;
        return;
    }
    auto alive = FAlive;
    for (;;) {
        int length = 0;
        char* data = FBufList.front()->Peek(length);
        if (length <= 0) {
            if (FBufList.size() == 1) {
                FAllSent = true;
                return;
            }
            FBufList.pop_front();
            continue;
        }
        int count = RealSend(data, length);
        if (!*alive) return; // OnSendData destroyed the socket
        if (count == 0) return;
        if (count == SOCKET_ERROR) {
            int error = WSocket_WSAGetLastError();
            if (ConnectionGone(error)) {
                InternalClose(true, WORD(error));
            } else if (error != WSAEWOULDBLOCK) {
                SocketError("TryToSend failed");
            }
            // 10035: the rest goes at the next FD_WRITE.
            return;
        }
        FBufList.front()->Remove(count);
        if (count < length) return;
    }
}

void TCustomWSocket::Flush() {
    auto alive = FAlive;
    const DWORD deadline = GetTickCount() + DWORD(FlushTimeout) * 1000;
    while (FHSocket != INVALID_SOCKET && !FAllSent) {
        if (TickReached(GetTickCount(), deadline)) break;
        TryToSend();
        if (!*alive) return; // a handler destroyed the socket
        MessagePump();
        if (!*alive) return;
    }
}

// ---- receiving ----

int TCustomWSocket::DoRecv(void* buffer, int size, int flags) {
    int result = WSocket_recv(FHSocket, static_cast<char*>(buffer), size, flags);
    FRcvdFlag = result >= size;
    return result;
}

int TCustomWSocket::DoRecvFrom(void* buffer, int size, SOCKADDR_IN& from, int& fromLength) {
    int result = WSocket_recvfrom(FHSocket, static_cast<char*>(buffer), size, 0,
                                  reinterpret_cast<SOCKADDR*>(&from), &fromLength);
    FRcvdFlag = result >= size;
    return result;
}

// The count is 32 bits and wraps past 2 GiB, as a long transfer goes on.
void TCustomWSocket::AddToReadCount(int bytes) {
    FReadCount = static_cast<int>(static_cast<std::uint32_t>(FReadCount) +
                                  static_cast<std::uint32_t>(bytes));
}

int TCustomWSocket::Receive(void* buffer, int size) {
    int result = DoRecv(buffer, size, 0);
    if (result < 0)
        FLastError = WSocket_WSAGetLastError();
    else
        AddToReadCount(result);
    return result;
}

std::string TCustomWSocket::ReceiveStr() {
    int count = GetRcvdCount();
    if (count < 0) return "";
    if (count == 0) count = 255;
    std::string text(std::size_t(count), '\0');
    int got = Receive(text.data(), count);
    text.resize(got > 0 ? std::size_t(got) : 0);
    return text;
}

int TCustomWSocket::ReceiveFrom(void* buffer, int size, SOCKADDR_IN& from, int& fromLength) {
    int result = DoRecvFrom(buffer, size, from, fromLength);
    if (result < 0)
        FLastError = WSocket_WSAGetLastError();
    else
        AddToReadCount(result);
    return result;
}

int TCustomWSocket::PeekData(void* buffer, int size) {
    int result = DoRecv(buffer, size, WS_MSG_PEEK);
    if (result < 0) FLastError = WSocket_WSAGetLastError();
    return result;
}

int TCustomWSocket::GetRcvdCount() {
    ULONG waiting = 0;
    if (WSocket_ioctlsocket(FHSocket, WS_FIONREAD, &waiting) == SOCKET_ERROR) {
        SocketError("ioctlSocket");
        return -1;
    }
    return int(waiting);
}

// ---- closing ----

void TCustomWSocket::Close() {
    InternalClose(true, 0);
}

void TCustomWSocket::CloseDelayed() {
    PostMessageA(FWindowHandle, WM_CLOSE_DELAYED, 0, 0);
}

void TCustomWSocket::Release() {
    PostMessageA(FWindowHandle, WM_WSOCKET_RELEASE, 0, 0);
}

void TCustomWSocket::Abort() {
    CancelDnsLookup();
    DeleteBufferedData();
    if (FState == wsConnected && FProto == WS_IPPROTO_TCP) {
        LingerOnOff = wsLingerOff;
        SetLingerOption();
    }
    InternalClose(false, 0);
}

void TCustomWSocket::Shutdown(int how) {
    if (FHSocket != INVALID_SOCKET) WSocket_shutdown(FHSocket, how);
}

void TCustomWSocket::InternalClose(bool shut, WORD error) {
    if (FHSocket == INVALID_SOCKET) {
        if (FState != wsClosed) {
            ChangeState(wsClosed);
            AssignDefaultValue();
        }
        return;
    }
    if (FState == wsClosed) return;
    if (shut) WSocket_shutdown(FHSocket, SD_SEND);
    while (WSocket_closesocket(FHSocket) == SOCKET_ERROR) {
        int code = WSocket_WSAGetLastError();
        if (code == WSAEWOULDBLOCK) {
            MessagePump();
            continue;
        }
        FHSocket = INVALID_SOCKET;
        if (code != WSANOTINITIALISED) {
            SocketError("Disconnect (closesocket)");
            return;
        }
        break;
    }
    FHSocket = INVALID_SOCKET;
    ChangeState(wsClosed);
    if (!FDestroying && !FCloseInvoked) {
        FCloseInvoked = true;
        auto alive = FAlive;
        TriggerSessionClosed(error);
        if (!*alive) return;
    }
    // A handler that started a new session keeps it.
    if (FHSocket == INVALID_SOCKET) AssignDefaultValue();
}

void TCustomWSocket::WaitForClose() {
    auto alive = FAlive;
    const DWORD deadline = GetTickCount() + DWORD(FlushTimeout) * 1000;
    while (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        if (TickReached(GetTickCount(), deadline)) break;
        MessagePump();
        if (!*alive || FHSocket == INVALID_SOCKET) break;
        ULONG waiting = 0;
        if (WSocket_ioctlsocket(FHSocket, WS_FIONREAD, &waiting) == SOCKET_ERROR) break;
        if (waiting > 0) {
            TriggerDataAvailable(0);
            if (!*alive || FHSocket == INVALID_SOCKET) break;
        }
        // A stale 10035 from an earlier call must not keep the loop going.
        WSocket_WSASetLastError(0);
        char probe;
        if (WSocket_recv(FHSocket, &probe, 0, 0) <= 0 &&
            WSocket_WSAGetLastError() != WSAEWOULDBLOCK)
            break;
        MessagePump();
    }
}

void TCustomWSocket::Pause() {
    FPaused = true;
    if (FHSocket != INVALID_SOCKET) WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, 0, 0);
}

void TCustomWSocket::Resume() {
    FPaused = false;
    if (FHSocket != INVALID_SOCKET)
        WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent);
}

// ---- look-ups ----

void TCustomWSocket::DnsLookup(const std::string& host) {
    if (host.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        TriggerDNSLookupDone(WSAEINVAL);
        return;
    }
    if (FDnsLookupHandle != nullptr) CancelDnsLookup();
    FDnsResult.clear();
    FDnsResultList.clear();
    ULONG address = WSocket_inet_addr(host.c_str());
    if (address != WS_INADDR_NONE) {
        FDnsResult = DottedOf(address);
        FDnsResultList.push_back(FDnsResult);
        TriggerDNSLookupDone(0);
        return;
    }
    if (FWindowHandle == nullptr) {
        RaiseException("DnsLookup: Window not assigned");
        return;
    }
    FDnsLookupCheckMsg = false;
    FDnsLookupHandle =
        WSocket_WSAAsyncGetHostByName(FWindowHandle, WM_ASYNCGETHOSTBYNAME, host.c_str(),
                                      FDnsLookupBuffer.data(), int(FDnsLookupBuffer.size()));
    if (FDnsLookupHandle == nullptr) {
        RaiseExceptionFmt("%s: can't start DNS lookup, error #%d", host, WSocket_WSAGetLastError());
        return;
    }
    if (FDnsLookupCheckMsg) {
        FDnsLookupCheckMsg = false;
        WMAsyncGetHostByName(FDnsLookupTempMsg);
    }
}

void TCustomWSocket::WMAsyncGetHostByName(TMessage& msg) {
    if (FDnsLookupHandle == nullptr) {
        // The answer came before the request's handle was known.
        FDnsLookupTempMsg = msg;
        FDnsLookupCheckMsg = true;
        return;
    }
    if (HANDLE(msg.WParam) != FDnsLookupHandle) return;
    FDnsLookupHandle = nullptr;
    WORD error = msg.LParamHi();
    if (error == 0) {
        const auto* entry = reinterpret_cast<const HOSTENT*>(FDnsLookupBuffer.data());
        for (char** at = entry->h_addr_list; at != nullptr && *at != nullptr; ++at) {
            ULONG address;
            std::memcpy(&address, *at, 4);
            FDnsResultList.push_back(DottedOf(address));
        }
        if (!FDnsResultList.empty()) FDnsResult = FDnsResultList.front();
    }
    TriggerDNSLookupDone(error);
}

void TCustomWSocket::ReverseDnsLookup(const std::string& address) {
    if (address.empty() || address.size() > kMaxAddressText) {
        RaiseException("ReverseDnsLookup: Invalid host name.");
        TriggerDNSLookupDone(WSAEINVAL);
        return;
    }
    if (FDnsLookupHandle != nullptr) CancelDnsLookup();
    FDnsResult.clear();
    FDnsResultList.clear();
    if (FWindowHandle == nullptr) {
        RaiseException("ReverseDnsLookup: Window not assigned");
        return;
    }
    ULONG value = WSocket_inet_addr(address.c_str());
    FDnsLookupHandle = WSocket_WSAAsyncGetHostByAddr(
        FWindowHandle, WM_ASYNCGETHOSTBYADDR, reinterpret_cast<const char*>(&value), 4, WS_PF_INET,
        FDnsLookupBuffer.data(), int(FDnsLookupBuffer.size()));
    if (FDnsLookupHandle == nullptr)
        RaiseExceptionFmt("%s: can't start DNS lookup, error #%d", address,
                          WSocket_WSAGetLastError());
}

void TCustomWSocket::WMAsyncGetHostByAddr(TMessage& msg) {
    if (FDnsLookupHandle == nullptr || HANDLE(msg.WParam) != FDnsLookupHandle) return;
    FDnsLookupHandle = nullptr;
    WORD error = msg.LParamHi();
    if (error == 0) {
        const auto* entry = reinterpret_cast<const HOSTENT*>(FDnsLookupBuffer.data());
        FDnsResult = entry->h_name != nullptr ? entry->h_name : "";
        FDnsResultList.push_back(FDnsResult);
    }
    TriggerDNSLookupDone(error);
}

void TCustomWSocket::CancelDnsLookup() {
    if (FDnsLookupHandle == nullptr) return;
    if (WSocket_WSACancelAsyncRequest(FDnsLookupHandle) == SOCKET_ERROR) {
        FDnsLookupHandle = nullptr;
        SocketError("WSACancelAsyncRequest");
        return;
    }
    FDnsLookupHandle = nullptr;
    if (!FDestroying) TriggerDNSLookupDone(WSAEINTR);
}

// ---- addresses ----

std::string TCustomWSocket::GetPeerAddr() {
    if (FState != wsConnected) return "error";
    SOCKADDR_IN peer{};
    int length = sizeof peer;
    if (WSocket_getpeername(FHSocket, reinterpret_cast<SOCKADDR*>(&peer), &length) != 0) {
        SocketError("GetPeerName");
        return "error";
    }
    return WSocket_inet_ntoa(peer.sin_addr);
}

std::string TCustomWSocket::GetPeerPort() {
    if (FState != wsConnected) return "error";
    SOCKADDR_IN peer{};
    int length = sizeof peer;
    if (WSocket_getpeername(FHSocket, reinterpret_cast<SOCKADDR*>(&peer), &length) != 0) {
        SocketError("GetPeerPort");
        return "error";
    }
    return std::to_string(WSocket_ntohs(peer.sin_port));
}

int TCustomWSocket::GetPeerName(SOCKADDR_IN& name, int& length) {
    if (FState != wsConnected) return -1;
    return WSocket_getpeername(FHSocket, reinterpret_cast<SOCKADDR*>(&name), &length);
}

int TCustomWSocket::GetSockName(SOCKADDR_IN& name, int& length) {
    return WSocket_getsockname(FHSocket, reinterpret_cast<SOCKADDR*>(&name), &length);
}

std::string TCustomWSocket::GetXAddr() {
    if (FState != wsBound && FState != wsConnected && FState != wsListening) return "error";
    SOCKADDR_IN local{};
    int length = sizeof local;
    if (GetSockName(local, length) != 0) return "error";
    return WSocket_inet_ntoa(local.sin_addr);
}

std::string TCustomWSocket::GetXPort() {
    if (FState != wsBound && FState != wsConnected && FState != wsListening) return "error";
    SOCKADDR_IN local{};
    int length = sizeof local;
    if (GetSockName(local, length) != 0) return "error";
    return std::to_string(WSocket_ntohs(local.sin_port));
}
