#include "net/SmtpProt.h"

#include "net/Base64.h"
#include "net/MimeParts.h"
#include "net/SmtpAuth.h"
#include "platform/Clock.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr UINT WM_SMTP_REQUEST_DONE = WM_USER + 1;
// Continues the message when the socket took everything at once and so
// reports no room later.
constexpr UINT WM_SMTP_SEND_MORE = WM_USER + 2;
// How much of the message is queued at a time.
constexpr std::size_t kDataChunk = 64 * 1024;

const char* ClassName(const std::exception& e) {
    if (dynamic_cast<const SmtpException*>(&e)) return "SmtpException";
    if (dynamic_cast<const ESocketException*>(&e)) return "ESocketException";
    return "Exception";
}

std::string WinsockText(int error) {
    return "500 " + WSocketErrorDesc(error) + " (Winsock error #" + std::to_string(error) + ")";
}

// A command never carries a line break of a player's text, nor outgrows a line.
std::string OneCommandLine(const std::string& cmd) {
    std::string line = cmd.substr(0, SmtpMaxLineLength);
    for (char& c : line)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return line;
}

} // namespace

TCustomSmtpClient::TCustomSmtpClient() {
    FWindowHandle = AllocateHWnd([this](TMessage& msg) { WndProc(msg); });
    FWSocket.OnSessionClosed = [this](TCustomWSocket*, WORD error) { WSocketSessionClosed(error); };
}

TCustomSmtpClient::~TCustomSmtpClient() {
    FWSocket.OnSessionClosed = nullptr;
    FWSocket.OnDataSent = nullptr;
    FWSocket.OnDataAvailable = nullptr;
    FWSocket.OnDnsLookupDone = nullptr;
    FWSocket.OnSessionConnected = nullptr;
    DeallocateHWnd(FWindowHandle);
}

// ---- events ----

void TCustomSmtpClient::TriggerDisplay(const std::string& Msg) {
    if (OnDisplay) OnDisplay(this, Msg);
}
void TCustomSmtpClient::TriggerCommand(const std::string& Msg) {
    if (OnCommand) OnCommand(this, Msg);
}
void TCustomSmtpClient::TriggerResponse(const std::string& Msg) {
    if (OnResponse) OnResponse(this, Msg);
}
void TCustomSmtpClient::TriggerStateChange() {
    if (OnStateChange) OnStateChange(this);
}
void TCustomSmtpClient::TriggerGetData(int LineNum, std::string& MsgLine, int MaxLen, bool& More) {
    if (OnGetData)
        OnGetData(this, LineNum, MsgLine, MaxLen, More);
    else
        More = false;
}
void TCustomSmtpClient::TriggerHeaderLine(std::string& Line) {
    if (OnHeaderLine) OnHeaderLine(this, Line);
}
void TCustomSmtpClient::TriggerProcessHeader(std::vector<std::string>& HdrLines) {
    if (OnProcessHeader) OnProcessHeader(this, HdrLines);
}
void TCustomSmtpClient::TriggerSessionConnected(WORD Error) {
    if (OnSessionConnected) OnSessionConnected(this, Error);
}
void TCustomSmtpClient::TriggerSessionClosed(WORD Error) {
    if (OnSessionClosed) OnSessionClosed(this, Error);
}

void TCustomSmtpClient::StateChange(TSmtpState NewState) {
    if (FState == NewState) return;
    FState = NewState;
    TriggerStateChange();
}

void TCustomSmtpClient::SetErrorMessage() {
    if (FErrorMessage.empty()) FErrorMessage = FLastResponse;
}

void TCustomSmtpClient::WndProc(TMessage& Msg) {
    if (Msg.Msg == WM_SMTP_REQUEST_DONE) {
        if (OnRequestDone) OnRequestDone(this, TSmtpRequest(Msg.WParam), WORD(Msg.LParam));
    } else if (Msg.Msg == WM_SMTP_SEND_MORE) {
        if (Msg.WParam == FSession) SendMessageLines();
    } else {
        Msg.Result = DefWindowProcA(FWindowHandle, Msg.Msg, Msg.WParam, Msg.LParam);
    }
}

// ---- requests ----

void TCustomSmtpClient::CheckReady() {
    if (FState != smtpReady && FState != smtpInternalReady)
        throw SmtpException("SMTP component not ready");
}

void TCustomSmtpClient::TriggerRequestDone(WORD Error) {
    if (FRequestDoneFlag) return;
    FRequestDoneFlag = true;
    if (FHighLevelFlag) {
        if (FState != smtpAbort) StateChange(smtpInternalReady);
        Walk(false);
        return;
    }
    StateChange(smtpReady);
    FRequestResult = Error;
    PostMessageA(FWindowHandle, WM_SMTP_REQUEST_DONE, WPARAM(FRequestType), LPARAM(Error));
}

void TCustomSmtpClient::EndRequest(WORD Error) {
    TriggerRequestDone(Error);
}

void TCustomSmtpClient::BeginLocalRequest(TSmtpRequest Request) {
    if (!FHighLevelFlag) FRequestType = Request;
    FRequestDoneFlag = false;
}

void TCustomSmtpClient::FailRequest(WORD Error, const std::string& Response) {
    FLastResponse = Response;
    FStatusCode = Error;
    FErrorCode = Error;
    SetErrorMessage();
    EndRequest(Error);
}

void TCustomSmtpClient::ExecAsync(TSmtpRequest Request, const std::string& Cmd,
                                  std::vector<int> OkResponses, Handler DoneHandler,
                                  const std::string& Shown) {
    CheckReady();
    if (!FConnected) throw SmtpException("SMTP component not connected");
    if (!FHighLevelFlag) FRequestType = Request;
    FOkResponses = std::move(OkResponses);
    FRequestDoneFlag = false;
    FNext = &TCustomSmtpClient::NextExecAsync;
    FDoneAsync = DoneHandler;
    StateChange(smtpWaitingResponse);
    FShownCommand = Shown;
    SendCommand(Cmd);
}

void TCustomSmtpClient::SendCommand(const std::string& Cmd) {
    const std::string line = OneCommandLine(Cmd);
    TriggerCommand(line);
    TriggerDisplay("> " + (FShownCommand.empty() ? line : FShownCommand));
    FShownCommand.clear();
    if (FWSocket.State() == wsConnected) FWSocket.SendStr(line + "\r\n");
}

void TCustomSmtpClient::NextExecAsync() {
    TriggerDisplay("< " + FLine.text);
    FStatusCode = FLine.code;
    if (FLine.kind == ReplyLineKind::Continuation) return;
    const bool accepted = FOkResponses.empty() ? FStatusCode > 0 && FStatusCode < 500
                                               : std::find(FOkResponses.begin(), FOkResponses.end(),
                                                           FStatusCode) != FOkResponses.end();
    if (accepted) {
        FErrorCode = 0;
    } else {
        // A line without a code is refused all the same.
        FErrorCode = FStatusCode != 0 ? FStatusCode : smtpErrLocal;
        SetErrorMessage();
    }
    if (FDoneAsync != nullptr)
        (this->*FDoneAsync)();
    else
        EndRequest(WORD(FErrorCode));
}

void TCustomSmtpClient::Helo() {
    ExecAsync(smtpHelo, "HELO " + (SignOn.empty() ? LocalHostName() : SignOn), {250}, nullptr);
}

void TCustomSmtpClient::Ehlo() {
    ExecAsync(smtpEhlo, "EHLO " + (SignOn.empty() ? LocalHostName() : SignOn), {250},
              &TCustomSmtpClient::EhloDone);
}

void TCustomSmtpClient::EhloDone() {
    if (FErrorCode == 0) FESmtpSupported = true;
    EndRequest(WORD(FErrorCode));
}

void TCustomSmtpClient::Auth() {
    CheckReady();
    if (!FConnected) throw SmtpException("SMTP component not connected");
    if (!FESmtpSupported) {
        BeginLocalRequest(smtpAuth);
        FailRequest(smtpErrLocal, "500 ESMTP not supported.");
        return;
    }
    switch (AuthType) {
    case smtpAuthNone:
        BeginLocalRequest(smtpAuth);
        FailRequest(smtpErrLocal, "500 No Authorization Type Selected.");
        break;
    case smtpAuthPlain:
        ExecAsync(smtpAuth, "AUTH PLAIN " + AuthPlainArgument(Username, Password), {235}, nullptr,
                  "AUTH PLAIN ****");
        break;
    case smtpAuthLogin:
        ExecAsync(smtpAuth, "AUTH LOGIN", {334}, &TCustomSmtpClient::AuthNextLogin);
        break;
    case smtpAuthCramMD5:
        ExecAsync(smtpAuth, "AUTH CRAM-MD5", {334}, &TCustomSmtpClient::AuthNextCramMD5);
        break;
    }
}

void TCustomSmtpClient::AuthNextLogin() {
    if (FErrorCode != 0) return EndRequest(WORD(FErrorCode));
    StateChange(smtpInternalReady);
    ExecAsync(smtpAuth, Base64Encode(Username), {334}, &TCustomSmtpClient::AuthNextLoginPassword);
}

void TCustomSmtpClient::AuthNextLoginPassword() {
    if (FErrorCode != 0) return EndRequest(WORD(FErrorCode));
    StateChange(smtpInternalReady);
    ExecAsync(smtpAuth, Base64Encode(Password), {235}, nullptr, "****");
}

void TCustomSmtpClient::AuthNextCramMD5() {
    if (FErrorCode != 0) return EndRequest(WORD(FErrorCode));
    std::string answer;
    if (!CramMd5Answer(FLastResponse, Username, Password, answer))
        return FailRequest(smtpErrLocal, "500 Malformed MD5 Challege: " + FLastResponse);
    StateChange(smtpInternalReady);
    ExecAsync(smtpAuth, answer, {235}, nullptr);
}

void TCustomSmtpClient::Vrfy() {
    ExecAsync(smtpVrfy, "VRFY " + HdrTo, {250}, nullptr);
}

void TCustomSmtpClient::MailFrom() {
    CheckReady();
    if (!FConnected) throw SmtpException("SMTP component not connected");
    std::string address;
    // An empty sender is the null reverse path.
    if (SmtpAddress(FromName, address) == SmtpAddressStatus::Refused) {
        BeginLocalRequest(smtpMailFrom);
        return FailRequest(smtpErrLocal, "500 Invalid sender address.");
    }
    ExecAsync(smtpMailFrom, SmtpMailFromCommand(address), {250}, nullptr);
}

void TCustomSmtpClient::RcptTo() {
    CheckReady();
    if (!FConnected) throw SmtpException("SMTP component not connected");
    if (RcptName.empty()) throw SmtpException("RcptName list is empty");
    FRcptAddresses.clear();
    for (const std::string& line : RcptName) {
        std::string address;
        switch (SmtpAddress(line, address)) {
        case SmtpAddressStatus::Ok:
            FRcptAddresses.push_back(address);
            break;
        case SmtpAddressStatus::Empty:
            break;
        case SmtpAddressStatus::Refused:
            TriggerDisplay("Recipient refused: " + OneCommandLine(line));
            break;
        }
    }
    FItemCount = 0;
    FRcptAccepted = 0;
    FRcptLastRefusal = 0;
    if (FRcptAddresses.empty()) {
        BeginLocalRequest(smtpRcptTo);
        return FailRequest(smtpErrLocal, "500 No valid recipient.");
    }
    RcptToNext();
}

void TCustomSmtpClient::RcptToNext() {
    ExecAsync(smtpRcptTo, SmtpRcptToCommand(FRcptAddresses[FItemCount]), {250, 251},
              &TCustomSmtpClient::RcptToDone);
}

// One refused recipient stops nobody else: the mail goes when any is accepted.
void TCustomSmtpClient::RcptToDone() {
    if (FErrorCode == 0) {
        ++FRcptAccepted;
    } else {
        FRcptLastRefusal = FErrorCode;
        TriggerDisplay("Recipient refused: " + FRcptAddresses[FItemCount]);
    }
    if (++FItemCount < FRcptAddresses.size()) {
        StateChange(smtpInternalReady);
        return RcptToNext();
    }
    FErrorCode = FRcptAccepted > 0 ? 0 : FRcptLastRefusal;
    EndRequest(WORD(FErrorCode));
}

SmtpHeaderFields TCustomSmtpClient::HeaderFields() const {
    SmtpHeaderFields f;
    f.HdrReplyTo = HdrReplyTo;
    f.HdrReturnPath = HdrReturnPath;
    f.HdrFrom = HdrFrom;
    f.HdrTo = HdrTo;
    f.HdrCc = HdrCc;
    f.HdrSubject = HdrSubject;
    f.HdrSender = HdrSender;
    f.ContentType = ContentType == smtpHTML ? "text/html" : "text/plain";
    f.CharSet = CharSet;
    return f;
}

void TCustomSmtpClient::Data() {
    CheckReady();
    if (!FConnected) throw SmtpException("SMTP component not connected");
    FLineNum = 0;
    FMoreLines = true;
    FHdrIndex = 0;
    FHdrLines.clear();
    FPendingLines.clear();
    FPendingIndex = 0;
    if (!OwnHeaders) {
        FHdrLines = SmtpHeaderLines(HeaderFields(), ClockNow());
        TriggerProcessHeader(FHdrLines);
        FHdrLines.push_back("");
    }
    ExecAsync(smtpData, "DATA", {354}, &TCustomSmtpClient::DataNext);
}

void TCustomSmtpClient::DataNext() {
    // A refused DATA ends here: the message would be read as commands.
    if (FErrorCode != 0) return EndRequest(WORD(FErrorCode));
    StateChange(smtpInternalReady);
    FDataPumping = true;
    FWSocket.OnDataSent = [this](TCustomWSocket*, WORD) { SendMessageLines(); };
    SendMessageLines();
}

// Queues the next lines of the message; runs again when the socket has sent
// them, and sends the final "." when none is left.
void TCustomSmtpClient::SendMessageLines() {
    if (!FConnected || !FDataPumping) {
        FWSocket.OnDataSent = nullptr;
        FDataPumping = false;
        return;
    }
    std::string chunk;
    bool finished = false;
    while (chunk.size() < kDataChunk) {
        std::string line;
        if (FHdrIndex < FHdrLines.size()) {
            line = FHdrLines[FHdrIndex++];
            TriggerHeaderLine(line);
            line = OneCommandLine(line);
        } else if (FPendingIndex < FPendingLines.size()) {
            line = std::move(FPendingLines[FPendingIndex++]);
        } else if (FMoreLines) {
            FPendingLines.clear();
            FPendingIndex = 0;
            std::string entry;
            bool more = true;
            ++FLineNum;
            try {
                TriggerGetData(FLineNum, entry, int(SmtpMaxLineLength), more);
            } catch (const std::exception& e) {
                // Without its "." the server drops the half-sent mail.
                FWSocket.OnDataSent = nullptr;
                FDataPumping = false;
                LocalFailure(std::string(ClassName(e)) + ": " + e.what());
                return;
            }
            if (!more) {
                FMoreLines = false;
                continue;
            }
            FPendingLines = SmtpDataLines(entry);
            continue;
        } else {
            finished = true;
            break;
        }
        TriggerDisplay("> " + line);
        chunk += line;
        chunk += "\r\n";
    }
    const unsigned session = FSession;
    if (!chunk.empty()) FWSocket.SendStr(chunk);
    if (session != FSession || !FConnected) return;
    if (finished) {
        FWSocket.OnDataSent = nullptr;
        FDataPumping = false;
        ExecAsync(smtpData, ".", {250}, nullptr);
    } else if (FWSocket.AllSent()) {
        PostMessageA(FWindowHandle, WM_SMTP_SEND_MORE, WPARAM(FSession), 0);
    }
}

void TCustomSmtpClient::Quit() {
    CheckReady();
    if (!FConnected) {
        BeginLocalRequest(smtpQuit);
        FErrorCode = 0;
        return EndRequest(0);
    }
    FQuitSent = true;
    ExecAsync(smtpQuit, "QUIT", {221}, &TCustomSmtpClient::QuitDone);
}

// Whatever the answer, the session ends here: a server that keeps the
// connection open after QUIT must not keep the request waiting.
void TCustomSmtpClient::QuitDone() {
    CloseQuietly();
    EndRequest(WORD(FErrorCode));
}

void TCustomSmtpClient::Rset() {
    ExecAsync(smtpRset, "RSET", {250}, nullptr);
}

void TCustomSmtpClient::Abort() {
    StateChange(smtpAbort);
    FWSocket.CancelDnsLookup();
    FQuietClose = true;
    FWSocket.Abort();
    FQuietClose = false;
    FConnected = false;
    ++FSession;
    FReader.Reset();
    if (!FRequestDoneFlag) {
        FHighLevelFlag = false;
        FFctSet = {};
        FErrorCode = smtpErrAborted;
        FErrorMessage = "426 Operation aborted.";
        EndRequest(smtpErrAborted);
    }
    StateChange(smtpReady);
}

void TCustomSmtpClient::CloseQuietly() {
    FQuietClose = true;
    FWSocket.OnDataSent = nullptr;
    try {
        FWSocket.Close();
    } catch (const ESocketException&) {
        FWSocket.Abort();
    }
    FQuietClose = false;
    FConnected = false;
    ++FSession;
    FReader.Reset();
}

void TCustomSmtpClient::LocalFailure(const std::string& Text) {
    FLastResponse = "500 " + Text;
    FStatusCode = smtpErrLocal;
    FErrorCode = smtpErrLocal;
    SetErrorMessage();
    CloseQuietly();
    EndRequest(smtpErrLocal);
}

// ---- the high-level requests ----

void TCustomSmtpClient::Open() {
    if (AuthType == smtpAuthNone)
        HighLevelAsync(smtpOpen, {smtpFctConnect, smtpFctHelo});
    else
        HighLevelAsync(smtpOpen, {smtpFctConnect, smtpFctEhlo, smtpFctAuth});
}

void TCustomSmtpClient::Mail() {
    HighLevelAsync(smtpMail, {smtpFctMailFrom, smtpFctRcptTo, smtpFctData});
}

void TCustomSmtpClient::HighLevelAsync(TSmtpRequest Request, TSmtpFctSet Steps) {
    if (FConnected && Steps.Contains(smtpFctConnect))
        throw SmtpException("SMTP component already connected");
    CheckReady();
    FRequestType = Request;
    FErrorCode = 0;
    FFctSet = Steps;
    FFctPrv = smtpFctNone;
    FHighLevelResult = 0;
    FHighLevelFlag = true;
    FLastResponse.clear();
    FErrorMessage.clear();
    Walk(true);
}

void TCustomSmtpClient::Walk(bool First) {
    static constexpr std::pair<TSmtpFct, void (TCustomSmtpClient::*)()> order[] = {
        {smtpFctConnect, &TCustomSmtpClient::Connect},
        {smtpFctHelo, &TCustomSmtpClient::Helo},
        {smtpFctEhlo, &TCustomSmtpClient::Ehlo},
        {smtpFctAuth, &TCustomSmtpClient::Auth},
        {smtpFctVrfy, &TCustomSmtpClient::Vrfy},
        {smtpFctMailFrom, &TCustomSmtpClient::MailFrom},
        {smtpFctRcptTo, &TCustomSmtpClient::RcptTo},
        {smtpFctData, &TCustomSmtpClient::Data},
        {smtpFctQuit, &TCustomSmtpClient::Quit},
    };
    for (;;) {
        if (FState == smtpAbort) {
            FFctSet = {};
            FHighLevelResult = smtpErrAborted;
            FErrorCode = smtpErrAborted;
            FErrorMessage = "426 Operation aborted.";
        }
        if (FErrorCode != 0) {
            const bool refusedEhlo = FFctPrv == smtpFctEhlo && FConnected;
            if (refusedEhlo && AuthType == smtpAuthNone) {
                // An older server: greet it the old way.
                FFctSet = {smtpFctHelo};
            } else if (refusedEhlo) {
                // Sending unauthenticated when a login was asked for is worse
                // than not sending.
                FLastResponse = "500 The server offers no authentication.";
                FHighLevelResult = smtpErrLocal;
                FErrorCode = smtpErrLocal;
                FFctSet = {};
            } else {
                FHighLevelResult = FErrorCode;
                const bool quit = FFctSet.Contains(smtpFctQuit) && FFctPrv != smtpFctQuit;
                FFctSet = {};
                if (quit) FFctSet.Include(smtpFctQuit);
            }
        }
        auto step = std::find_if(std::begin(order), std::end(order),
                                 [this](const auto& s) { return FFctSet.Contains(s.first); });
        if (step == std::end(order)) break;
        FFctSet.Exclude(step->first);
        FFctPrv = step->first;
        try {
            (this->*(step->second))();
            return;
        } catch (const SmtpException& e) {
            if (First) {
                FHighLevelFlag = false;
                FFctSet = {};
                throw;
            }
            // A step that cannot start fails the request like a refusal.
            FLastResponse = std::string("500 SmtpException: ") + e.what();
            FStatusCode = smtpErrLocal;
            FErrorCode = smtpErrLocal;
            SetErrorMessage();
        }
        First = false;
    }
    FFctSet = {};
    FHighLevelFlag = false;
    // A failed open leaves no session behind: a retry would be refused as
    // already connected.
    if (FRequestType == smtpOpen && FHighLevelResult != 0 && FConnected) CloseQuietly();
    FRequestDoneFlag = false;
    TriggerRequestDone(WORD(FHighLevelResult));
}

// ---- the socket ----

void TCustomSmtpClient::Connect() {
    CheckReady();
    if (FConnected) throw SmtpException("SMTP component already connected");
    BeginLocalRequest(smtpConnect);
    FReader.Reset();
    FErrorCode = 0;
    FESmtpSupported = false;
    FQuitSent = false;
    ++FSession;
    StateChange(smtpDnsLookup);
    FWSocket.OnDataSent = nullptr;
    FWSocket.OnDnsLookupDone = [this](TCustomWSocket*, WORD error) { WSocketDnsLookupDone(error); };
    if (Host.empty()) return WSocketDnsLookupDone(WSAEINVAL);
    try {
        FWSocket.DnsLookup(Host);
    } catch (const std::exception&) {
        WSocketDnsLookupDone(WSAEINVAL);
    }
}

void TCustomSmtpClient::WSocketDnsLookupDone(WORD Error) {
    FWSocket.OnDnsLookupDone = nullptr;
    if (FState != smtpDnsLookup) return;
    if (Error != 0) {
        FLastResponse = WinsockText(Error);
        FStatusCode = smtpErrLocal;
        SetErrorMessage();
        FErrorCode = Error;
        return EndRequest(Error);
    }
    try {
        FWSocket.SetAddr(FWSocket.DnsResult());
        FWSocket.SetLocalAddr(LocalAddr);
        FWSocket.SetProto("tcp");
        FWSocket.SetPort(Port);
        FWSocket.OnSessionConnected = [this](TCustomWSocket*, WORD error) {
            WSocketSessionConnected(error);
        };
        FWSocket.OnDataAvailable = [this](TCustomWSocket*, WORD error) {
            WSocketDataAvailable(error);
        };
        StateChange(smtpConnecting);
        FWSocket.Connect();
    } catch (const std::exception& e) {
        FLastResponse = std::string("500 ") + ClassName(e) + ": " + e.what();
        FStatusCode = smtpErrLocal;
        FErrorCode = smtpErrLocal;
        SetErrorMessage();
        const int last = FWSocket.LastError();
        // The socket may exist already (a bind or connect that failed): left
        // open, it would refuse every later connect.
        CloseQuietly();
        EndRequest(WORD(last != 0 ? last : smtpErrLocal));
    }
}

void TCustomSmtpClient::WSocketSessionConnected(WORD Error) {
    if (Error != 0) {
        FLastResponse = WinsockText(Error);
        FStatusCode = smtpErrLocal;
        FConnected = false;
        FErrorCode = smtpErrLocal;
        SetErrorMessage();
        CloseQuietly();
        return EndRequest(Error);
    }
    FConnected = true;
    StateChange(smtpWaitingBanner);
}

void TCustomSmtpClient::WSocketDataAvailable(WORD) {
    char buffer[ReplyBufferSize];
    const int got = FWSocket.Receive(buffer, int(sizeof buffer));
    if (got <= 0) return;
    std::string_view bytes(buffer, std::size_t(got));
    const unsigned session = FSession;
    while (session == FSession) {
        bytes.remove_prefix(FReader.Put(bytes));
        for (;;) {
            ReplyStatus status = FReader.Next(FLine);
            if (status == ReplyStatus::LineTooLong)
                return LocalFailure("Reply line longer than " + std::to_string(ReplyBufferSize) +
                                    " bytes");
            if (status != ReplyStatus::Line) break;
            ProcessLine(FLine);
            if (session != FSession) return;
        }
        if (bytes.empty()) break;
    }
}

void TCustomSmtpClient::ProcessLine(const ReplyLine& Line) {
    FLastResponse = Line.text;
    TriggerResponse(Line.text);
    switch (FState) {
    case smtpWaitingBanner:
        TriggerDisplay("< " + Line.text);
        FStatusCode = Line.code;
        if (Line.kind == ReplyLineKind::Continuation) return;
        if (Line.code != 220) {
            FErrorCode = Line.code != 0 ? Line.code : smtpErrLocal;
            SetErrorMessage();
            CloseQuietly();
            return EndRequest(WORD(FErrorCode));
        }
        StateChange(smtpConnected);
        TriggerSessionConnected(0);
        FErrorCode = 0;
        return EndRequest(0);
    case smtpWaitingResponse:
        if (FNext == nullptr) throw SmtpException("Program error: FNext is nil");
        return (this->*FNext)();
    default:
        TriggerDisplay("< " + Line.text);
    }
}

// A close the client did not ask for ends the running request, once.
void TCustomSmtpClient::WSocketSessionClosed(WORD Error) {
    FConnected = false;
    FWSocket.OnDataSent = nullptr;
    FDataPumping = false;
    if (FQuietClose) {
        TriggerSessionClosed(Error);
        return;
    }
    ++FSession;
    FReader.Reset();
    TriggerSessionClosed(Error);
    if (FRequestDoneFlag || FState == smtpAbort) return;
    if (FQuitSent) {
        FErrorCode = 0;
        return EndRequest(0);
    }
    FLastResponse = Error != 0 ? WinsockText(Error) : "500 Connection closed by the server.";
    FStatusCode = smtpErrLocal;
    SetErrorMessage();
    FErrorCode = smtpErrConnectionClosed;
    EndRequest(smtpErrConnectionClosed);
}

// ---- TSmtpCli ----

void TSmtpCli::SetEmailFiles(const std::vector<std::string>& Files) {
    for (const std::string& name : Files) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(name, ec))
            throw SmtpException("File not found '" + name + "'");
    }
    FEmailFiles = Files;
}

SmtpHeaderFields TSmtpCli::HeaderFields() const {
    SmtpHeaderFields f = TCustomSmtpClient::HeaderFields();
    f.Boundary = FEmailBody;
    return f;
}

void TSmtpCli::PrepareEMail() {
    FMailMsgText.clear();
    FMailMsgIndex = 0;
    FEmailFileIndex = 0;
    FBodyLine = 0;
    FBodyFlag = true;
    FClosingSent = false;
    FEmailBody.clear();
    if (!FEmailFiles.empty()) {
        FEmailBody = MimeBoundary(LocalTime(ClockNow()));
        FMailMsgText = MimeTextPartLines(
            FEmailBody, ContentType == smtpHTML ? "text/html" : "text/plain", CharSet);
    }
    FMailMsgText.insert(FMailMsgText.end(), MailMessage.begin(), MailMessage.end());
}

void TSmtpCli::Data() {
    PrepareEMail();
    TCustomSmtpClient::Data();
}

void TSmtpCli::TriggerAttachContentType(int FileNumber, const std::string& FileName,
                                        std::string& ContentType) {
    if (OnAttachContentType) OnAttachContentType(this, FileNumber, FileName, ContentType);
}

void TSmtpCli::TriggerAttachHeader(int FileNumber, const std::string& FileName,
                                   std::vector<std::string>& HdrLines) {
    if (OnAttachHeader) OnAttachHeader(this, FileNumber, FileName, HdrLines);
}

bool TSmtpCli::NextAttachment() {
    FMailMsgText.clear();
    FMailMsgIndex = 0;
    if (FEmailBody.empty() || FClosingSent) return false;
    if (FEmailFileIndex >= FEmailFiles.size()) {
        FMailMsgText = MimeClosingLines(FEmailBody);
        FClosingSent = true;
        return true;
    }
    const std::string& name = FEmailFiles[FEmailFileIndex];
    const int number = int(FEmailFileIndex++);
    std::ifstream file(name, std::ios::binary);
    if (!file) throw SmtpException("Unable to open '" + name + "'");
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw SmtpException("Unable to read '" + name + "'");
    std::string type = "application/octet-stream";
    TriggerAttachContentType(number, name, type);
    std::vector<std::string> extra;
    TriggerAttachHeader(number, name, extra);
    FMailMsgText = MimeAttachmentLines(FEmailBody, name, type, extra);
    std::vector<std::string> data = MimeBase64Lines(bytes);
    FMailMsgText.insert(FMailMsgText.end(), data.begin(), data.end());
    return true;
}

void TSmtpCli::TriggerGetData(int LineNum, std::string& MsgLine, int MaxLen, bool& More) {
    for (;;) {
        if (FMailMsgIndex < FMailMsgText.size()) {
            MsgLine = std::move(FMailMsgText[FMailMsgIndex++]);
            More = true;
            return;
        }
        if (FBodyFlag) {
            More = true;
            TCustomSmtpClient::TriggerGetData(++FBodyLine, MsgLine, MaxLen, More);
            if (More) return;
            FBodyFlag = false;
        }
        if (!NextAttachment()) {
            More = false;
            return;
        }
    }
    (void)LineNum;
}

// ---- TSyncSmtpCli ----

bool TSyncSmtpCli::WaitUntilReady() {
    FTimeStop = GetTickCount() + DWORD(std::max(Timeout, 0)) * 1000;
    while (State() != smtpReady) {
        if (ApplicationTerminated() || (Timeout > 0 && TickReached(GetTickCount(), FTimeStop))) {
            Abort();
            FErrorMessage = "426 Timeout";
            FStatusCode = smtpErrAborted;
            return false;
        }
        if (MultiThreaded)
            FWSocket.ProcessMessages();
        else
            ProcessApplicationMessages();
    }
    return true;
}

bool TSyncSmtpCli::Synchronize(void (TCustomSmtpClient::*Proc)()) {
    try {
        (this->*Proc)();
    } catch (const std::exception&) {
        return false;
    }
    return WaitUntilReady() && FRequestResult == 0;
}

void TSyncSmtpCli::TriggerGetData(int LineNum, std::string& MsgLine, int MaxLen, bool& More) {
    FTimeStop = GetTickCount() + DWORD(std::max(Timeout, 0)) * 1000;
    TSmtpCli::TriggerGetData(LineNum, MsgLine, MaxLen, More);
}

bool TSyncSmtpCli::ConnectSync() {
    return Synchronize(&TCustomSmtpClient::Connect);
}
bool TSyncSmtpCli::HeloSync() {
    return Synchronize(&TCustomSmtpClient::Helo);
}
bool TSyncSmtpCli::EhloSync() {
    return Synchronize(&TCustomSmtpClient::Ehlo);
}
bool TSyncSmtpCli::AuthSync() {
    return Synchronize(&TCustomSmtpClient::Auth);
}
bool TSyncSmtpCli::VrfySync() {
    return Synchronize(&TCustomSmtpClient::Vrfy);
}
bool TSyncSmtpCli::MailFromSync() {
    return Synchronize(&TCustomSmtpClient::MailFrom);
}
bool TSyncSmtpCli::RcptToSync() {
    return Synchronize(&TCustomSmtpClient::RcptTo);
}
bool TSyncSmtpCli::DataSync() {
    return Synchronize(&TCustomSmtpClient::Data);
}
bool TSyncSmtpCli::QuitSync() {
    return Synchronize(&TCustomSmtpClient::Quit);
}
bool TSyncSmtpCli::RsetSync() {
    return Synchronize(&TCustomSmtpClient::Rset);
}
bool TSyncSmtpCli::OpenSync() {
    return Synchronize(&TCustomSmtpClient::Open);
}
bool TSyncSmtpCli::MailSync() {
    return Synchronize(&TCustomSmtpClient::Mail);
}
bool TSyncSmtpCli::AbortSync() {
    Abort();
    return true;
}
