#include "net/HttpProt.h"

#include "net/HttpRequest.h"
#include "net/HttpUrl.h"
#include "platform/Text.h"

#include <istream>
#include <ostream>
#include <utility>

namespace {

constexpr UINT WM_HTTP_REQUEST_DONE = WM_USER + 1;
constexpr UINT WM_HTTP_SET_READY = WM_USER + 2;
constexpr UINT WM_HTTP_LOGIN = WM_USER + 3;
constexpr WORD kAbortedError = 3;

std::string WithErrorNumber(int code) {
    return WSocketErrorDesc(code) + " (Error #" + std::to_string(code) + ")";
}

// The scheme a URL names before "://", or empty when it names none.
std::string SchemeOf(const std::string& url) {
    std::size_t end = url.find("://");
    if (end == std::string::npos || end == 0) return "";
    for (std::size_t i = 0; i < end; ++i) {
        char c = url[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '+' || c == '-' || c == '.';
        if (!ok) return "";
    }
    return url.substr(0, end);
}

// The folder of a request target before its query: up to and including the
// last "/" or ":".
std::string TargetFolder(const std::string& path) {
    std::string before = path.substr(0, path.find('?'));
    std::size_t cut = before.find_last_of("/:");
    return cut == std::string::npos ? std::string() : before.substr(0, cut + 1);
}

// Connects with the socket's error hook taken off for the call. With the
// hook set, the socket tells it of a failure (a port it cannot resolve, a
// local address it cannot bind) instead of raising, and Connect returns with
// nothing under way and no event to come: the request would never end.
void ConnectRaising(TWSocket& socket) {
    TNotifyEvent hook = std::exchange(socket.OnError, nullptr);
    try {
        socket.Connect();
    } catch (const std::exception&) {
        socket.OnError = std::move(hook);
        throw;
    }
    socket.OnError = std::move(hook);
}

std::string HostPort(const std::string& host, const std::string& port) {
    return port.empty() || port == "80" ? host : host + ":" + port;
}

} // namespace

THttpCli::THttpCli() : FCtrlSocket(std::make_unique<TWSocket>()) {
    FWindowHandle = AllocateHWnd([this](TMessage& msg) { WndProc(msg); });
    TWSocket& s = *FCtrlSocket;
    s.OnSessionClosed = [this](TCustomWSocket*, WORD error) { SocketSessionClosed(error); };
    s.OnDataAvailable = [this](TCustomWSocket*, WORD error) { SocketDataAvailable(error); };
    s.OnSessionConnected = [this](TCustomWSocket*, WORD error) { SocketSessionConnected(error); };
    s.OnDataSent = [this](TCustomWSocket*, WORD error) { SocketDataSent(error); };
    s.OnDnsLookupDone = [this](TCustomWSocket*, WORD error) { SocketDNSLookupDone(error); };
    s.OnSocksError = [this](TCustomWSocket* socket, int error, const std::string& msg) {
        if (OnSocksError) OnSocksError(socket, error, msg);
    };
    s.OnSocksConnected = [this](TCustomWSocket* socket, WORD error) {
        if (OnSocksConnected) OnSocksConnected(socket, error);
    };
    s.OnError = [this](TCustomWSocket*) {
        if (OnSocketError) OnSocketError(this);
    };
}

THttpCli::~THttpCli() {
    *FAlive = false;
    FSessionOpen = false;
    FCtrlSocket.reset();
    DeallocateHWnd(FWindowHandle);
}

void THttpCli::SetMultiThreaded(bool value) {
    FMultiThreaded = value;
    FCtrlSocket->MultiThreaded = value;
}

void THttpCli::ApplySocks() {
    TWSocket& s = *FCtrlSocket;
    s.SetSocksServer(FSocksServer);
    s.SetSocksPort(FSocksPort);
    s.SetSocksLevel(FSocksLevel);
    s.SocksUsercode = FSocksUsercode;
    s.SocksPassword = FSocksPassword;
    s.SocksAuthentication = FSocksAuthentication;
}

void THttpCli::SetSocks(const std::function<void(TWSocket&)>& set) {
    // Between requests the socket is first brought to the settings kept
    // here; during one it holds them already and refuses the change. Either
    // way, what it holds afterwards is what is kept.
    TWSocket& s = *FCtrlSocket;
    if (s.State() == wsClosed) ApplySocks();
    set(s);
    FSocksServer = s.SocksServer();
    FSocksPort = s.SocksPort();
    FSocksLevel = s.SocksLevel();
}

// ---- starting a request ----

void THttpCli::DoRequestAsync(THttpRequest request) {
    if (FState != httpReady) throw EHttpException("HTTP component is busy", kHttpBusy);
    if (request == httpPOST && SendStream == nullptr)
        throw EHttpException("HTTP component has nothing to post", kHttpNothingToPost);
    ++FSerial;
    // A connection left from the last request is no longer heard.
    EndSession();
    SetState(httpNotConnected);
    FRequestType = request;
    InternalClear();
    FRelocations = 0;
    FSendLeft = 0;
    if (request == httpPOST) {
        // What is left of the stream is the body.
        std::istream& in = *SendStream;
        in.clear();
        std::streampos at = in.tellg();
        in.seekg(0, std::ios::end);
        std::streampos end = in.tellg();
        in.seekg(at);
        if (at >= 0 && end > at) FSendLeft = std::int64_t(end - at);
    }
    if (!SetTarget(URL)) return;
    Login();
}

bool THttpCli::SetTarget(const std::string& url) {
    std::string proto, user, pass, host, port, path;
    ParseURL(url, proto, user, pass, host, port, path);
    if (!proto.empty() && !SameTextAscii(proto, "http")) {
        Fail("Unsupported protocol: " + proto);
        return false;
    }
    FTargetHost = host;
    FTargetPort = port.empty() ? "80" : port;
    FDocName = path;
    if (!user.empty() || !pass.empty()) TakeUrlCredentials(user, pass);
    FAuthUser = Username;
    FAuthPass = Password;
    if (CredentialsOfAnotherServer()) {
        FAuthUser.clear();
        FAuthPass.clear();
    }
    if (Proxy.empty()) {
        FPath = path.empty() ? "/" : path;
        FHostname = host;
        FPort = FTargetPort;
    } else {
        FPath = "http://" + (port.empty() ? host : host + ":" + port) + (path.empty() ? "/" : path);
        std::string pProto, pUser, pPass, pHost, pPort, pPath;
        ParseURL(Proxy, pProto, pUser, pPass, pHost, pPort, pPath);
        FHostname = pHost;
        FPort = pPort.empty() ? ProxyPort : pPort;
    }
    FDocName = AdjustDocName(FDocName);
    return true;
}

void THttpCli::TakeUrlCredentials(const std::string& user, const std::string& pass) {
    if (!user.empty()) Username = user;
    if (!pass.empty()) Password = pass;
    FUrlCredentials = {true, FTargetHost, FTargetPort, Username, Password};
}

bool THttpCli::CredentialsOfAnotherServer() const {
    const UrlCredentials& c = FUrlCredentials;
    // Credentials the caller set since are the caller's, for any server.
    if (!c.taken || Username != c.user || Password != c.pass) return false;
    return !SameTextAscii(c.host, FTargetHost) || c.port != FTargetPort;
}

void THttpCli::InternalClear() {
    FRcvdHeader.clear();
    FRequestDoneError = 0;
    FDocName.clear();
    FStatusCode = 0;
    FReasonPhrase.clear();
    FRcvdCount = FSentCount = 0;
    FHeaderLineCount = FBodyPieces = 0;
    FContentLength = -1;
    FContentType.clear();
    FSendingBody = false;
    FLocation = URL;
    FHeader.Reset();
    FFields = HttpReplyFields();
    FHeaderIn = FLocationFlag = FBodyPhase = FFailed = false;
}

void THttpCli::Login() {
    FDnsResult.clear();
    SetState(httpDnsLookup);
    try {
        FCtrlSocket->SetLocalAddr(LocalAddr);
        FCtrlSocket->DnsLookup(FHostname);
    } catch (const std::exception& e) {
        FStatusCode = kHttpLocalFailure;
        FReasonPhrase = e.what();
        FConnected = false;
        SetState(httpReady);
    }
}

void THttpCli::Logout() {
    EndSession();
}

void THttpCli::EndSession() {
    FSessionOpen = false;
    FBody.Clear();
    FConnected = false;
    FSendingBody = false;
    if (FCtrlSocket->State() != wsClosed) FCtrlSocket->Close();
}

// ---- the socket's events ----

void THttpCli::SocketDNSLookupDone(WORD error) {
    if (FState != httpDnsLookup) return;
    FSessionOpen = true;
    if (error != 0) {
        FRequestDoneError = error;
        FStatusCode = kHttpLocalFailure;
        FReasonPhrase = "can't resolve hostname to IP address";
        SocketSessionClosed(error);
        return;
    }
    FDnsResult = FCtrlSocket->DnsResult();
    SetState(httpDnsLookupDone);
    try {
        TWSocket& s = *FCtrlSocket;
        s.SetAddr(FDnsResult);
        s.SetLocalAddr(LocalAddr);
        s.SetPort(FPort);
        s.SetProto("tcp");
        ApplySocks();
        ConnectRaising(s);
    } catch (const std::exception& e) {
        const int code = FCtrlSocket->LastError();
        // A port that cannot be resolved, or a local address that cannot be
        // bound, leaves no code: the text says which it was.
        FRequestDoneError = WORD(code != 0 ? code : WSAEINVAL);
        FStatusCode = kHttpLocalFailure;
        FReasonPhrase = "can't connect: " + (code != 0 ? WithErrorNumber(code) : e.what());
        FSessionOpen = false;
        FCtrlSocket->Close();
        FSessionOpen = true;
        SocketSessionClosed(WORD(code));
    }
}

void THttpCli::SocketSessionConnected(WORD error) {
    if (!FSessionOpen) return;
    if (error != 0) {
        FRequestDoneError = error;
        FStatusCode = kHttpLocalFailure;
        FReasonPhrase = WithErrorNumber(error);
        SocketSessionClosed(error);
        return;
    }
    FConnected = true;
    SetState(httpConnected);
    auto alive = FAlive;
    if (OnSessionConnected) OnSessionConnected(this);
    if (!*alive || !FSessionOpen) return;
    SetState(httpWaitingHeader);
    try {
        switch (FRequestType) {
        case httpPOST:
            SendRequest("POST");
            if (!*alive || !FSessionOpen) return;
            if (OnSendBegin) OnSendBegin(this);
            FSendingBody = true;
            SocketDataSent(0);
            break;
        case httpHEAD:
            SendRequest("HEAD");
            break;
        default:
            SendRequest("GET");
            break;
        }
    } catch (const std::exception& e) {
        Fail(e.what());
    }
}

void THttpCli::SendRequest(const std::string& method) {
    HttpRequestSettings s;
    s.Method = method;
    s.Path = FPath;
    s.Sender = Sender;
    s.Accept = Accept;
    s.Reference = Reference;
    s.AcceptLanguage = AcceptLanguage;
    s.ContentTypePost = ContentTypePost;
    s.Agent = Agent;
    s.TargetHost = FTargetHost;
    s.TargetPort = FTargetPort;
    s.NoCache = NoCache;
    s.ContentLength = FSendLeft;
    s.ModifiedSince = ModifiedSince;
    s.Username = FAuthUser;
    s.Password = FAuthPass;
    s.Proxy = Proxy;
    s.ProxyUsername = ProxyUsername;
    s.ProxyPassword = ProxyPassword;
    s.Cookie = Cookie;
    s.ContentRangeBegin = ContentRangeBegin;
    s.ContentRangeEnd = ContentRangeEnd;
    AcceptRanges.clear();
    auto alive = FAlive;
    if (OnRequestHeaderBegin) OnRequestHeaderBegin(this);
    if (!*alive) return;
    std::vector<std::string> lines;
    std::string refused;
    if (!BuildRequestLines(s, lines, refused)) {
        Fail("Request refused: " + refused + " holds a line break");
        return;
    }
    ContentRangeBegin.clear();
    ContentRangeEnd.clear();
    if (OnBeforeHeaderSend) OnBeforeHeaderSend(this, method, lines);
    std::string header;
    auto add = [&](std::string line) {
        if (OnCommand) OnCommand(this, line);
        // A handler's change may not add lines of its own.
        if (line.find_first_of("\r\n") != std::string::npos)
            throw EHttpException("Request line holds a line break", kHttpLineTooLong);
        header += line;
        header += "\r\n";
    };
    for (const std::string& line : lines)
        add(line);
    if (OnRequestHeaderEnd) OnRequestHeaderEnd(this);
    add("");
    if (!*alive || !FSessionOpen) return;
    FCtrlSocket->SendStr(header);
}

void THttpCli::SocketDataSent(WORD) {
    if (!FSessionOpen || !FSendingBody) return;
    int count = 0;
    if (FSendLeft > 0) {
        SendStream->read(FSendBuffer.data(),
                         std::streamsize(std::min<std::int64_t>(FSendLeft, kHttpSendChunk)));
        count = int(SendStream->gcount());
    }
    auto alive = FAlive;
    if (count <= 0) {
        FSendingBody = false;
        if (OnSendEnd) OnSendEnd(this);
        return;
    }
    FSendLeft -= count;
    FSentCount += count;
    if (OnSendData) OnSendData(this, FSendBuffer.data(), count);
    if (!*alive || !FSessionOpen) return;
    FCtrlSocket->Send(FSendBuffer.data(), count);
}

void THttpCli::SocketDataAvailable(WORD) {
    char* buffer = FReceiveBuffer.data();
    if (!FSessionOpen || FRequestType == httpAbort) {
        // Bytes of a connection this request no longer uses.
        FCtrlSocket->Receive(buffer, kHttpReceiveBuffer);
        return;
    }
    if (FBodyPhase) {
        // One receive per notice; every piece of it goes on now, so that
        // nothing waits here for a notice that the socket will not send.
        auto alive = FAlive;
        const WPARAM serial = FSerial;
        bool received = false;
        for (;;) {
            if (FBody.Empty()) {
                if (received) return;
                received = true;
                if (FBody.Fill(*FCtrlSocket) <= 0) return;
            }
            const std::string_view piece = FBody.Take(kHttpReceiveBuffer);
            BodyPiece(piece.data(), int(piece.size()));
            if (!*alive || !FSessionOpen || FSerial != serial) return;
        }
    }
    const int room = int(std::min<std::size_t>(FHeader.Room(), kHttpReceiveBuffer));
    if (room < 1) {
        Fail("HTTP line too long");
        return;
    }
    int got = FCtrlSocket->Receive(buffer, room);
    if (got <= 0) return;
    FHeader.Put(std::string_view(buffer, std::size_t(got)));
    auto alive = FAlive;
    const WPARAM serial = FSerial;
    auto same = [&] { return *alive && FSessionOpen && FSerial == serial && !FBodyPhase; };
    std::string line;
    while (same()) {
        switch (FHeader.Next(line)) {
        case HttpHeaderStatus::Line:
            HeaderLine(line);
            break;
        case HttpHeaderStatus::HeaderEnd:
            HeaderEnded();
            return;
        case HttpHeaderStatus::Headerless: {
            if (FHeaderLineCount++ == 0) {
                FHeaderIn = true;
                if (OnHeaderBegin) OnHeaderBegin(this);
                if (!same()) return;
            }
            if (FContentType.empty()) FContentType = "text/html";
            FBodyPhase = true;
            SetState(httpWaitingBody);
            std::string rest = FHeader.TakeRest();
            BodyPiece(rest.data(), int(rest.size()));
            return;
        }
        case HttpHeaderStatus::NeedMore:
        case HttpHeaderStatus::Closed:
            return;
        case HttpHeaderStatus::LineTooLong:
            Fail("HTTP line too long");
            return;
        case HttpHeaderStatus::TooManyLines:
            Fail("Too many header lines");
            return;
        }
    }
}

void THttpCli::HeaderLine(const std::string& line) {
    auto alive = FAlive;
    if (FHeaderLineCount++ == 0) {
        FHeaderIn = true;
        if (OnHeaderBegin) OnHeaderBegin(this);
        if (!*alive) return;
    }
    FRcvdHeader.push_back(line);
    const std::size_t challenges = FFields.AuthorizationRequest.size();
    const std::size_t cookies = FFields.Cookies.size();
    switch (ReadHeaderLine(line, FFields)) {
    case HttpFieldStatus::BadStatusLine:
        Fail("Bad status line: " + line.substr(0, 80));
        return;
    case HttpFieldStatus::BadContentLength:
        Fail("Bad content length: " + line.substr(0, 80));
        return;
    case HttpFieldStatus::Ok:
        break;
    }
    FStatusCode = FFields.StatusCode;
    FReasonPhrase = FFields.ReasonPhrase;
    FContentLength = FFields.ContentLength;
    FContentType = FFields.ContentType;
    if (!FFields.AcceptRanges.empty()) AcceptRanges = FFields.AcceptRanges;
    if (!FFields.ContentRangeBegin.empty() || !FFields.ContentRangeEnd.empty()) {
        ContentRangeBegin = FFields.ContentRangeBegin;
        ContentRangeEnd = FFields.ContentRangeEnd;
    }
    for (std::size_t i = challenges; i < FFields.AuthorizationRequest.size(); ++i)
        FAuthorizationRequest.push_back(FFields.AuthorizationRequest[i]);
    FLocationFlag = FFields.LocationSeen;
    for (std::size_t i = cookies; i < FFields.Cookies.size(); ++i) {
        bool accept = true;
        if (OnCookie) OnCookie(this, FFields.Cookies[i], accept);
        if (!*alive) return;
    }
    if (OnHeaderData) OnHeaderData(this);
}

void THttpCli::HeaderEnded() {
    auto alive = FAlive;
    auto endHeader = [&] {
        FHeaderIn = false;
        if (OnHeaderEnd) OnHeaderEnd(this);
        return *alive && FSessionOpen;
    };
    if (FLocationFlag) {
        if (!endHeader()) return;
        Relocate(FFields.Location);
        return;
    }
    if (FContentLength == 0) {
        if (!endHeader()) return;
        // The document is complete: the connection goes now, so that its
        // close cannot end a later request.
        SetReady();
        return;
    }
    std::string ext = FDocName;
    std::size_t dot = ext.rfind('.');
    ext = dot == std::string::npos ? std::string() : LowerAscii(ext.substr(dot));
    if ((ext.empty() || ext == ".exe") && FContentType == "text/html") ReplaceExt(FDocName, "htm");
    FBodyPhase = true;
    SetState(httpWaitingBody);
    if (!endHeader()) return;
    std::string rest = FHeader.TakeRest();
    if (!rest.empty()) BodyPiece(rest.data(), int(rest.size()));
    if (!*alive || !FSessionOpen) return;
    if (FStatusCode >= 400) FCtrlSocket->Close();
}

void THttpCli::BodyPiece(const char* data, int length) {
    auto alive = FAlive;
    if (FBodyPieces++ == 0 && OnDocBegin) {
        OnDocBegin(this);
        if (!*alive || !FSessionOpen) return;
    }
    FRcvdCount += length;
    if (RcvdStream != nullptr) RcvdStream->write(data, length);
    if (OnDocData) OnDocData(this, data, length);
}

void THttpCli::SocketSessionClosed(WORD error) {
    if (!FSessionOpen) return;
    FSessionOpen = false;
    if (error != 0) FRequestDoneError = error;
    FConnected = false;
    auto alive = FAlive;
    if (!FBodyPhase) {
        if (FHeaderIn) {
            FHeaderIn = false;
            if (OnHeaderEnd) OnHeaderEnd(this);
            if (!*alive) return;
        }
        if (FState == httpWaitingHeader && !FFailed) {
            FStatusCode = kHttpLocalFailure;
            FReasonPhrase = FHeaderLineCount == 0 ? "Connection closed without a reply"
                                                  : "Connection closed before the end of the "
                                                    "reply header";
        }
        SetReady();
        return;
    }
    if (FBodyPieces > 0 && OnDocEnd) {
        OnDocEnd(this);
        if (!*alive) return;
    }
    if (FRequestType != httpHEAD && FStatusCode < 400 && FContentLength >= 0 &&
        FRcvdCount < FContentLength) {
        FStatusCode = kHttpLocalFailure;
        FReasonPhrase = "Document cut short: " + std::to_string(FRcvdCount) + " of " +
                        std::to_string(FContentLength) + " bytes received";
    }
    SetReady();
}

// ---- relocation ----

void THttpCli::Relocate(const std::string& value) {
    if (++FRelocations > kHttpMaxRelocations) {
        Fail("Too many relocations");
        return;
    }
    const std::string scheme = SchemeOf(value);
    if (!scheme.empty() && !SameTextAscii(scheme, "http")) {
        Fail("Relocation to an unsupported protocol: " + scheme);
        return;
    }
    const std::string oldHost = FTargetHost, oldPort = FTargetPort;
    if (!scheme.empty()) {
        std::string proto, user, pass, host, port, path;
        ParseURL(value, proto, user, pass, host, port, path);
        FTargetHost = host;
        FTargetPort = port.empty() ? "80" : port;
        if (!SameTextAscii(oldHost, FTargetHost) || oldPort != FTargetPort) {
            // Credentials meant for one server are not shown to another.
            FAuthUser.clear();
            FAuthPass.clear();
        }
        if (!user.empty() && !pass.empty()) {
            TakeUrlCredentials(user, pass);
            FAuthUser = Username;
            FAuthPass = Password;
        }
        if (path.empty()) path = "/";
        if (Proxy.empty()) {
            FHostname = host;
            FPort = FTargetPort;
            FPath = path;
        } else {
            FPath = "http://" + HostPort(host, port) + path;
        }
        FLocation = "http://" + HostPort(host, port) + path;
    } else if (Proxy.empty()) {
        if (!value.empty() && value[0] == '/')
            FPath = value;
        else
            FPath = TargetFolder(FPath) + value;
        FLocation = "http://" + HostPort(FTargetHost, FTargetPort) + FPath;
    } else {
        if (!value.empty() && value[0] == '/')
            FPath = "http://" + HostPort(FTargetHost, FTargetPort) + value;
        else
            FPath = TargetFolder(FPath) + value;
        FLocation = FPath;
    }
    FSessionOpen = false;
    FCtrlSocket->Close();
    LocationSessionClosed();
}

void THttpCli::LocationSessionClosed() {
    FLocation = FLocation.substr(0, FLocation.find('#'));
    std::string proto, user, pass, host, port, path;
    ParseURL(FLocation, proto, user, pass, host, port, path);
    FDocName = AdjustDocName(path);
    FConnected = false;
    FLocationFlag = false;
    // The body went with the first request; the new document is fetched.
    if (FRequestType == httpPOST) FRequestType = httpGET;
    FSendLeft = 0;
    FRcvdHeader.clear();
    FHeaderLineCount = FBodyPieces = 0;
    FContentType.clear();
    FStatusCode = 0;
    FReasonPhrase.clear();
    FContentLength = -1;
    FHeader.Reset();
    FFields = HttpReplyFields();
    auto alive = FAlive;
    if (OnLocationChange) OnLocationChange(this);
    if (!*alive) return;
    PostMessageA(FWindowHandle, WM_HTTP_LOGIN, FSerial, 0);
}

// ---- completion ----

void THttpCli::Fail(const std::string& reason) {
    FStatusCode = kHttpLocalFailure;
    FReasonPhrase = reason;
    FFailed = true;
    SetReady();
}

void THttpCli::SetReady() {
    EndSession();
    PostMessageA(FWindowHandle, WM_HTTP_SET_READY, FSerial, 0);
}

void THttpCli::SetState(THttpState state) {
    if (state == FState) return;
    FState = state;
    auto alive = FAlive;
    if (OnStateChange) OnStateChange(this);
    if (!*alive) return;
    if (state == httpReady) PostMessageA(FWindowHandle, WM_HTTP_REQUEST_DONE, FSerial, 0);
}

void THttpCli::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_HTTP_REQUEST_DONE:
        if (OnRequestDone) OnRequestDone(this, FRequestType, FRequestDoneError);
        break;
    case WM_HTTP_SET_READY:
        if (msg.WParam == FSerial) SetState(httpReady);
        break;
    case WM_HTTP_LOGIN:
        if (msg.WParam == FSerial && FState != httpReady) Login();
        break;
    default:
        msg.Result = DefWindowProcA(nullptr, msg.Msg, msg.WParam, msg.LParam);
        break;
    }
}

void THttpCli::Abort() {
    if (FState == httpReady) {
        EndSession();
        return;
    }
    const bool lookingUp = FState == httpDnsLookup;
    SetState(httpAborting);
    if (lookingUp) {
        try {
            FCtrlSocket->CancelDnsLookup();
        } catch (const ESocketException& e) {
            // A look-up that ended meanwhile has nothing left to cancel; the
            // request ends as aborted all the same.
            FReasonPhrase = e.what();
        }
    }
    FStatusCode = kHttpLocalFailure;
    FReasonPhrase = "Connection aborted on request";
    FRequestDoneError = kAbortedError;
    EndSession();
    // Steps of the aborted request still queued are dropped.
    ++FSerial;
    SetState(httpReady);
}

void THttpCli::DoRequestSync(THttpRequest request) {
    DoRequestAsync(request);
    auto alive = FAlive;
    while (*alive && FState != httpReady) {
        if (ApplicationTerminated()) {
            Abort();
            break;
        }
        // Both pumps wait for the next event when none is queued.
        if (FMultiThreaded)
            FCtrlSocket->ProcessMessages();
        else
            ProcessApplicationMessages();
    }
    if (!*alive) return;
    if (FStatusCode >= 400) throw EHttpException(FReasonPhrase, WORD(FStatusCode));
}
