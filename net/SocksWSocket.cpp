#include "net/SocksWSocket.h"

#include <algorithm>
#include <cstring>

namespace {

std::string Trim(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

constexpr unsigned char kMethodNone = 0;
constexpr unsigned char kMethodUsercode = 2;

} // namespace

TCustomSocksWSocket::TCustomSocksWSocket() {
    AssignDefaultValue();
}

void TCustomSocksWSocket::AssignDefaultValue() {
    TCustomWSocket::AssignDefaultValue();
    FSocksState = socksData;
    FSocksServer.clear();
    FSocksPort.clear();
    FSocksServerAssigned = FSocksPortAssigned = false;
    FSocksLevel = "5";
    FSocksRcvdCnt = 0;
    FSocksRcvdPtr = 0;
    FRcvCnt = 0;
}

void TCustomSocksWSocket::SetSocksLevel(const std::string& level) {
    if (FState != wsClosed) {
        RaiseException("Can't change socks level if not closed");
        return;
    }
    if (level != "4" && level != "5" && level != "4A" && level != "4a") {
        RaiseException("Invalid socks level. Must be 4, 4A or 5.");
        return;
    }
    FSocksLevel = level == "4a" ? "4A" : level;
}

void TCustomSocksWSocket::SetSocksPort(const std::string& port) {
    if (FState != wsClosed) {
        RaiseException("Can't change socks port if not closed");
        return;
    }
    FSocksPort = Trim(port);
    FSocksPortAssigned = !FSocksPort.empty();
}

void TCustomSocksWSocket::SetSocksServer(const std::string& server) {
    if (FState != wsClosed) {
        RaiseException("Can't change socks server if not closed");
        return;
    }
    FSocksServer = Trim(server);
    FSocksServerAssigned = !FSocksServer.empty();
}

void TCustomSocksWSocket::Listen() {
    if (FSocksServerAssigned) {
        RaiseException("Listening is not supported thru socks server");
        return;
    }
    TCustomWSocket::Listen();
}

void TCustomSocksWSocket::Connect() {
    if (!FSocksServerAssigned) {
        TCustomWSocket::Connect();
        return;
    }
    if (Lower(FProtoStr) != "tcp") {
        RaiseException("tcp is the only protocol supported thru socks server");
        return;
    }
    // Each field travels behind one length byte: a request that cannot say
    // it whole is never sent.
    const char* tooLong = nullptr;
    if (SocksUsercode.size() > kSocksFieldMax)
        tooLong = "socks user code longer than 255 bytes";
    else if (SocksPassword.size() > kSocksFieldMax)
        tooLong = "socks password longer than 255 bytes";
    else if (FAddrStr.size() > kSocksFieldMax)
        tooLong = "host name longer than 255 bytes";
    if (tooLong != nullptr) {
        RaiseException(std::string("connect: ") + tooLong);
        return;
    }
    try {
        if (!FPortResolved) {
            sin.sin_port = WSocket_htons(WSocketResolvePort(FSocksPort, FProtoStr));
            FPortResolved = true;
        }
        if (!FAddrResolved) {
            sin.sin_addr.S_addr = WSocketResolveHost(FSocksServer);
            FAddrResolved = true;
        }
        FDestPort = WSocket_htons(WSocketResolvePort(FPortStr, FProtoStr));
    } catch (const ESocketException& e) {
        RaiseException(std::string("connect: ") + e.what());
        return;
    }
    FSocksState = socksNegociateMethods;
    FRcvCnt = 0;
    TCustomWSocket::Connect();
}

int TCustomSocksWSocket::GetRcvdCount() {
    if (FSocksRcvdCnt > 0) return FSocksRcvdCnt;
    return TCustomWSocket::GetRcvdCount();
}

int TCustomSocksWSocket::DoRecv(void* buffer, int size, int flags) {
    if (FSocksRcvdCnt <= 0) return TCustomWSocket::DoRecv(buffer, size, flags);
    int count = std::min(size, FSocksRcvdCnt);
    std::memcpy(buffer, FRcvBuf + FSocksRcvdPtr, std::size_t(std::max(count, 0)));
    if ((flags & WS_MSG_PEEK) == 0) {
        FSocksRcvdCnt -= count;
        FSocksRcvdPtr = FSocksRcvdCnt > 0 ? FSocksRcvdPtr + count : 0;
    }
    return count;
}

void TCustomSocksWSocket::TriggerSocksConnected(WORD error) {
    if (OnSocksConnected) OnSocksConnected(this, error);
}

void TCustomSocksWSocket::TriggerSocksError(int error, const std::string& msg) {
    if (OnSocksError) OnSocksError(this, error, msg);
}

void TCustomSocksWSocket::TriggerSocksAuthState(TSocksAuthState state) {
    if (OnSocksAuthState) OnSocksAuthState(this, state);
}

void TCustomSocksWSocket::TriggerSessionConnected(WORD error) {
    if (FSocksState != socksNegociateMethods) {
        TCustomWSocket::TriggerSessionConnected(error);
        return;
    }
    auto alive = Alive();
    TriggerSocksConnected(error);
    if (!*alive) return;
    if (error != 0) {
        // No negotiation follows a failed connection to the server.
        FSocksState = socksData;
        TCustomWSocket::TriggerSessionConnected(error);
        return;
    }
    if (FSocksLevel[0] == '4') {
        SocksDoConnect();
        return;
    }
    FSocksMethod = SocksAuthentication == socksAuthenticateUsercode ? kMethodUsercode : kMethodNone;
    SendRequest(SocksGreeting(FSocksMethod));
}

void TCustomSocksWSocket::TriggerSessionClosed(WORD error) {
    if (FSocksState == socksAuthenticate) TriggerSocksAuthState(socksAuthFailure);
    if (FSocksState != socksData) {
        // The server went away in the middle: that is a failed negotiation,
        // not a bare close.
        auto alive = Alive();
        FSocksState = socksData;
        TriggerSocksError(socksRequestRejected, "request rejected or failed");
        if (!*alive) return;
        TCustomWSocket::TriggerSessionConnected(socksRequestRejected);
        if (!*alive) return;
        if (error == 0) error = socksRequestRejected;
    }
    TCustomWSocket::TriggerSessionClosed(error);
}

void TCustomSocksWSocket::SendRequest(const std::string& request) {
    try {
        Send(request.data(), int(request.size()));
    } catch (const ESocketException&) {
        // A send that fails ends the session; its close reports it.
    }
}

void TCustomSocksWSocket::SocksDoConnect() {
    FSocksState = socksConnect;
    std::string request;
    bool built;
    if (FSocksLevel[0] == '4') {
        ULONG address;
        std::string host;
        if (FSocksLevel == "4A") {
            address = WSocket_htonl(1); // 0.0.0.1: the server resolves the name
            host = FAddrStr;
        } else {
            try {
                address = WSocketResolveHost(FAddrStr);
            } catch (const ESocketException& e) {
                auto alive = Alive();
                TriggerSocksError(socksResolveError, std::string("ESocketException ") + e.what());
                if (!*alive) return;
                FSocksState = socksData;
                InternalClose(true, socksResolveError);
                return;
            }
        }
        built = BuildSocks4Request(FDestPort, address, SocksUsercode, host, request);
    } else {
        built = BuildSocks5Request(FAddrStr, FDestPort, request);
    }
    if (!built) {
        DataAvailableError(socksInternalError, "internal error");
        return;
    }
    SendRequest(request);
}

void TCustomSocksWSocket::SocksDoAuthenticate() {
    FSocksState = socksAuthenticate;
    auto alive = Alive();
    TriggerSocksAuthState(socksAuthStart);
    if (!*alive) return;
    std::string request;
    if (!BuildSocksAuthRequest(SocksUsercode, SocksPassword, request)) {
        DataAvailableError(socksInternalError, "internal error");
        return;
    }
    SendRequest(request);
}

void TCustomSocksWSocket::DataAvailableError(int error, const std::string& msg) {
    auto alive = Alive();
    TriggerSocksError(error, msg);
    if (!*alive) return;
    FSocksState = socksData;
    TCustomWSocket::TriggerSessionConnected(WORD(error));
    if (!*alive) return;
    InternalClose(true, WORD(error));
}

bool TCustomSocksWSocket::ReceiveReply(int most) {
    int room = std::min(most, kSocksReplyMax) - FRcvCnt;
    if (room <= 0) {
        DataAvailableError(socksAddressTypeNotSupported, "address type not supported");
        return false;
    }
    int got = TCustomWSocket::DoRecv(FRcvBuf + FRcvCnt, room, 0);
    if (got < 1) {
        // Nothing is added for a failed receive: 10035 waits for the next
        // data message; anything else ends the session.
        int error = got < 0 ? WSocket_WSAGetLastError() : 0;
        if (got < 0 && error != WSAEWOULDBLOCK) DataAvailableError(error, "data receive error");
        return false;
    }
    FRcvCnt += got;
    return true;
}

bool TCustomSocksWSocket::Negotiated(int used) {
    auto alive = Alive();
    FSocksState = socksData;
    TCustomWSocket::TriggerSessionConnected(0);
    if (!*alive || FHSocket == INVALID_SOCKET) return true;
    FSocksRcvdCnt = FRcvCnt - used;
    FSocksRcvdPtr = used;
    FRcvCnt = 0;
    if (FSocksRcvdCnt <= 0) {
        FSocksRcvdCnt = 0;
        FSocksRcvdPtr = 0;
        // Nothing came behind the reply: the owner hears of new data when
        // it arrives, not now.
        return true;
    }
    return TriggerDataAvailable(0);
}

bool TCustomSocksWSocket::TriggerDataAvailable(WORD error) {
    if (FSocksState == socksData) return TCustomWSocket::TriggerDataAvailable(error);
    if (error != 0) {
        DataAvailableError(error, "data receive error");
        return false;
    }
    TSocksReply reply;
    switch (FSocksState) {
    case socksNegociateMethods:
        if (FSocksLevel[0] == '4') {
            DataAvailableError(socksLogicError, "TWSocket logic error");
            return true;
        }
        if (!ReceiveReply(kSocksReplyMax)) return true;
        reply = ParseSocksMethodReply(FRcvBuf, FRcvCnt);
        if (reply.status == TSocksReply::NeedMore) return true;
        FRcvCnt = 0;
        if (reply.status == TSocksReply::Failed) {
            DataAvailableError(reply.error, reply.text);
        } else if (reply.method == kMethodNone) {
            if (FSocksMethod != kMethodNone) {
                auto alive = Alive();
                TriggerSocksAuthState(socksAuthNotRequired);
                if (!*alive) return true;
            }
            SocksDoConnect();
        } else if (reply.method == kMethodUsercode) {
            SocksDoAuthenticate();
        } else {
            DataAvailableError(socksMethodNotAcceptable, "authentification method not acceptable");
        }
        return true;
    case socksAuthenticate:
        if (!ReceiveReply(kSocksReplyMax)) return true;
        reply = ParseSocksAuthReply(FRcvBuf, FRcvCnt);
        if (reply.status == TSocksReply::NeedMore) return true;
        if (reply.status == TSocksReply::Failed) {
            FRcvCnt = 0;
            DataAvailableError(reply.error, reply.text);
            return true;
        }
        FRcvCnt = 0;
        {
            auto alive = Alive();
            TriggerSocksAuthState(socksAuthSuccess);
            if (!*alive) return true;
        }
        SocksDoConnect();
        return true;
    case socksConnect:
        if (FSocksLevel[0] == '4') {
            if (!ReceiveReply(8)) return true;
            reply = ParseSocks4ConnectReply(FRcvBuf, FRcvCnt);
        } else {
            if (!ReceiveReply(kSocksReplyMax)) return true;
            reply = ParseSocks5ConnectReply(FRcvBuf, FRcvCnt);
        }
        if (reply.status == TSocksReply::NeedMore) return true;
        if (reply.status == TSocksReply::Failed) {
            FRcvCnt = 0;
            DataAvailableError(reply.error, reply.text);
            return true;
        }
        FBoundAddr = reply.boundAddr;
        FBoundPort = reply.boundPort;
        return Negotiated(reply.used);
    default:
        DataAvailableError(socksInternalError, "internal error");
        return false;
    }
}
