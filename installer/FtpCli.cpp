#include "installer/FtpCli.h"

#include "net/FtpCommands.h"

#include <QFileInfo>
#include <array>
#include <cstring>

namespace {

constexpr UINT WM_FTP_REQUEST_DONE = WM_USER + 1;
constexpr UINT WM_FTP_SENDDATA = WM_USER + 2;
constexpr int kDownloadBlock = 4096;
constexpr int kDiscardBlock = 2048;

// What the engine's texts name an exception by.
std::string ClassName(const std::exception& e) {
    if (dynamic_cast<const FtpException*>(&e)) return "FtpException";
    if (dynamic_cast<const ESocketException*>(&e)) return "ESocketException";
    return "Exception";
}

std::string WinsockText(int error) {
    return WSocketErrorDesc(error) + " (Winsock error #" + std::to_string(error) + ")";
}

} // namespace

// An abortive close: a plain close, even without a shutdown first, ends
// the stream as a clean end would.
void TFtpDataSocket::Reset() {
    if (State() != wsConnected) {
        Abort();
        return;
    }
    DeleteBufferedData();
    LingerOnOff = wsLingerOn;
    LingerTimeout = 0;
    SetLingerOption();
    InternalClose(false, 0);
}

TCustomFtpCli::TCustomFtpCli() {
    FWindowHandle = AllocateHWnd([this](TMessage& msg) { WndProc(msg); });
    FControlSocket = std::make_unique<TWSocket>();
    FDataSocket = std::make_unique<TFtpDataSocket>();
    FControlSocket->OnSessionConnected = [this](TCustomWSocket*, WORD e) {
        ControlSessionConnected(e);
    };
    FControlSocket->OnDataAvailable = [this](TCustomWSocket*, WORD e) { ControlDataAvailable(e); };
    FControlSocket->OnSessionClosed = [this](TCustomWSocket*, WORD e) { ControlSessionClosed(e); };
    FControlSocket->OnDnsLookupDone = [this](TCustomWSocket*, WORD e) { ControlDnsLookupDone(e); };
}

TCustomFtpCli::~TCustomFtpCli() {
    *FAlive = false;
    for (TWSocket* s : {FControlSocket.get(), static_cast<TWSocket*>(FDataSocket.get())}) {
        s->OnSessionConnected = nullptr;
        s->OnSessionClosed = nullptr;
        s->OnDataAvailable = nullptr;
        s->OnDataSent = nullptr;
        s->OnSessionAvailable = nullptr;
        s->OnDnsLookupDone = nullptr;
    }
    ReleaseLocalStream();
    DeallocateHWnd(FWindowHandle);
}

// ---- settings ----

void TCustomFtpCli::SetLocalFileName(const std::string& name) {
    FLocalFileName = name;
    if (FStreamIsCaller) {
        FStreamIsCaller = false;
        FLocalStream = nullptr;
    }
}

void TCustomFtpCli::SetLocalStream(QIODevice* stream) {
    ReleaseLocalStream();
    FLocalStream = stream;
    FStreamIsCaller = stream != nullptr;
    if (stream != nullptr) FLocalFileName.clear();
}

TFtpShareMode TCustomFtpCli::ShareMode() const {
    switch (FShareFlags) {
    case 0:
        return ftpShareCompat;
    case 32:
        return ftpShareDenyWrite;
    case 48:
        return ftpShareDenyRead;
    case 64:
        return ftpShareDenyNone;
    default:
        return ftpShareExclusive;
    }
}

void TCustomFtpCli::SetShareMode(TFtpShareMode mode) {
    static const int flags[] = {0, 16, 32, 48, 64};
    FShareFlags = mode >= ftpShareCompat && mode <= ftpShareDenyNone ? flags[mode] : 16;
}

void TCustomFtpCli::SetDisplayFileMode(TFtpDisplayFileMode mode) {
    FDisplayFileMode = mode == ftpBinary ? ftpBinary : ftpLineByLine;
}

void TCustomFtpCli::SetConnectionType(TFtpConnectionType type) {
    if (Connected()) {
        ErrorPath("FTP component connected");
        return;
    }
    FConnectionType = type;
    if (type != ftpDirect) FPassive = true;
}

void TCustomFtpCli::SetPassive(bool value) {
    FPassive = FConnectionType == ftpDirect ? value : true;
}

bool TCustomFtpCli::Connected() const {
    return FControlSocket->State() != wsClosed;
}

// A close or a reconnect must not lose the SOCKS settings: they are kept
// here and given to each socket before it connects.
void TCustomFtpCli::ApplySocks(TWSocket& socket) {
    const bool socks = FConnectionType == ftpSocks4 || FConnectionType == ftpSocks4A ||
                       FConnectionType == ftpSocks5;
    socket.SetSocksServer(socks ? SocksServer : "");
    socket.SetSocksPort(socks ? SocksPort : "");
    socket.SetSocksLevel(FConnectionType == ftpSocks4    ? "4"
                         : FConnectionType == ftpSocks4A ? "4A"
                                                         : "5");
    socket.SocksUsercode = SocksUserCode;
    socket.SocksPassword = SocksPassword;
    // Without a password a level-5 server is offered no authentication.
    socket.SocksAuthentication =
        socks && !SocksPassword.empty() ? socksAuthenticateUsercode : socksNoAuthentication;
}

// ---- plumbing ----

void TCustomFtpCli::SetState(TFtpState state) {
    if (state == FState) return;
    FState = state;
    if (OnStateChange) OnStateChange(this);
}

void TCustomFtpCli::TriggerDisplay(const std::string& msg) {
    if (OnDisplay) OnDisplay(this, msg);
}

void TCustomFtpCli::TriggerDisplayFile(const std::string& msg) {
    if (OnDisplayFile) OnDisplayFile(this, msg);
}

void TCustomFtpCli::TriggerReadyToTransmit(bool& cancel) {
    if (OnReadyToTransmit) OnReadyToTransmit(this, cancel);
}

void TCustomFtpCli::TriggerError(const std::string& msg) {
    ErrorPath(msg);
}

void TCustomFtpCli::ErrorPath(const std::string& text) {
    FErrorPathHit = true;
    FErrorPathText = text;
    if (OnError) {
        OnError(text);
        return;
    }
    throw FtpException(text);
}

void TCustomFtpCli::CheckReady() {
    if (FState != ftpReady && FState != ftpInternalReady) ErrorPath("FTP component not ready");
}

// The argument goes after the verb and a blank; one holding a line end
// would smuggle a command of its own.
bool TCustomFtpCli::Command(const std::string& verb, const std::string& argument,
                            std::string& cmd) {
    if (!FtpArgumentOk(argument)) {
        ErrorPath(verb + ": argument holds a line end");
        return false;
    }
    cmd = verb + " " + argument;
    return true;
}

void TCustomFtpCli::SetErrorMessage() {
    if (FErrorMessage.empty()) FErrorMessage = FLastResponse;
}

void TCustomFtpCli::Fail(int code, const std::string& line) {
    FLastResponse = line;
    FStatusCode = code;
    FRequestResult = code;
    SetErrorMessage();
}

bool TCustomFtpCli::StartRequest(void (TCustomFtpCli::*request)()) {
    FErrorPathHit = false;
    (this->*request)();
    const bool started = !FErrorPathHit;
    FErrorPathHit = false;
    return started;
}

void TCustomFtpCli::WndProc(TMessage& msg) {
    try {
        if (msg.Msg == WM_FTP_REQUEST_DONE) {
            if (OnRequestDone)
                OnRequestDone(this, TFtpRequest(msg.LParam), WORD(msg.WParam & 0xFFFF));
        } else if (msg.Msg == WM_FTP_SENDDATA) {
            FStartTime = GetTickCount();
            UploadSend(0);
        } else {
            msg.Result = DefWindowProcA(FWindowHandle, msg.Msg, msg.WParam, msg.LParam);
        }
    } catch (const std::exception& e) {
        HandleBackGroundException(e);
    }
}

void TCustomFtpCli::HandleBackGroundException(const std::exception& e) {
    bool canClose = true;
    try {
        if (OnBgException) OnBgException(this, e, canClose);
    } catch (const std::exception&) {
        // The handler's own failure changes nothing of the engine.
    }
}

void TCustomFtpCli::TriggerRequestDone(int error) {
    if (FRequestDoneFlag) return;
    FRequestDoneFlag = true;
    // The sequencer is the next-request handler while a high-level request
    // has steps left.
    if (error == 0 && FHighLevelFlag && FNextRequest) {
        if (FState != ftpAbort) SetState(ftpInternalReady);
        Sequencer();
        return;
    }
    SetState(ftpReady);
    if (error != 0 && FRequestResult == 0) FRequestResult = error;
    FDataSocket->OnSessionClosed = nullptr;
    FDataSocket->OnDataAvailable = nullptr;
    FDataSocket->OnDataSent = nullptr;
    FDataSocket->OnSessionAvailable = nullptr;
    FDataSocket->OnSessionConnected = nullptr;
    if (FDataSocket->State() != wsClosed) FDataSocket->Close();
    ReleaseLocalStream();
    if (FHighLevelFlag && FStatusCodeSave >= 0) {
        FLastResponse = FLastResponseSave;
        FStatusCode = FStatusCodeSave;
    }
    FHighLevelFlag = false;
    FNextRequest = false;
    PostMessageA(FWindowHandle, WM_FTP_REQUEST_DONE, WPARAM(error), LPARAM(FRequestType));
}

// ---- commands ----

void TCustomFtpCli::ExecAsync(TFtpRequest rq, const std::string& cmd, std::span<const int> accepted,
                              THandler done) {
    if (cmd != "ABOR" && cmd != "STAT" && cmd != "QUIT") {
        CheckReady();
        if (FState != ftpReady && FState != ftpInternalReady) return;
        if (!FConnected) {
            ErrorPath("FTP component not connected");
            return;
        }
    }
    if (!FHighLevelFlag) {
        FRequestType = rq;
        FRequestResult = 0;
    }
    FAccepted = accepted;
    FRequestDoneFlag = false;
    FNext = &TCustomFtpCli::ReplyChecker;
    FDoneAsync = done;
    FErrorMessage.clear();
    SetState(ftpWaitingResponse);
    SendCommand(cmd);
}

void TCustomFtpCli::SendCommand(std::string cmd) {
    if (OnCommand) OnCommand(this, cmd);
    TriggerDisplay("> " + cmd);
    if (FControlSocket->State() == wsConnected) {
        FControlSocket->SendStr(cmd + "\r\n");
        return;
    }
    // No reply can come: the request ends now rather than wait for one.
    if (cmd == "QUIT") {
        FConnected = false;
        TriggerRequestDone(FRequestResult);
        return;
    }
    Fail(500, "500 not connected");
    TriggerRequestDone(500);
}

void TCustomFtpCli::UserAsync() {
    if (UserName.empty()) return ErrorPath("UserName emtpy");
    if (!FtpArgumentOk(UserName) || !FtpArgumentOk(HostName) || !FtpArgumentOk(Port))
        return ErrorPath("USER: argument holds a line end");
    FFctPrv = ftpFctUser;
    ExecAsync(ftpUserAsync, FtpUserCommand(UserName, HostName, Port, FConnectionType == ftpProxy),
              FtpAcceptedCodes(ftpFctUser));
}

void TCustomFtpCli::PassAsync() {
    if (PassWord.empty()) return ErrorPath("Password emtpy");
    std::string cmd;
    if (!Command("PASS", PassWord, cmd)) return;
    FFctPrv = ftpFctPass;
    ExecAsync(ftpPassAsync, cmd, FtpAcceptedCodes(ftpFctPass));
}

void TCustomFtpCli::CwdAsync() {
    if (HostDirName.empty()) return ErrorPath("HostDirName emtpy");
    std::string cmd;
    if (!Command("CWD", HostDirName, cmd)) return;
    FFctPrv = ftpFctCwd;
    ExecAsync(ftpCwdAsync, cmd, FtpAcceptedCodes(ftpFctCwd));
}

void TCustomFtpCli::SimpleAsync(TFtpFct step, TFtpRequest rq, const char* verb,
                                const std::string& argument) {
    std::string cmd;
    if (!Command(verb, argument, cmd)) return;
    FFctPrv = step;
    ExecAsync(rq, cmd, FtpAcceptedCodes(step));
}

void TCustomFtpCli::SizeAsync() {
    SimpleAsync(ftpFctSize, ftpSizeAsync, "SIZE", HostFileName);
}
void TCustomFtpCli::TypeSetAsync() {
    SimpleAsync(ftpFctTypeSet, ftpTypeSetAsync, "TYPE", std::string(1, FType));
}
void TCustomFtpCli::TypeBinaryAsync() {
    SetBinary(true);
    TypeSetAsync();
}
void TCustomFtpCli::TypeAsciiAsync() {
    SetBinary(false);
    TypeSetAsync();
}
void TCustomFtpCli::MkdAsync() {
    SimpleAsync(ftpFctMkd, ftpMkdAsync, "MKD", HostFileName);
}
void TCustomFtpCli::RmdAsync() {
    SimpleAsync(ftpFctRmd, ftpRmdAsync, "RMD", HostFileName);
}
void TCustomFtpCli::DeleAsync() {
    SimpleAsync(ftpFctDele, ftpDeleAsync, "DELE", HostFileName);
}
void TCustomFtpCli::RenFromAsync() {
    SimpleAsync(ftpFctRenFrom, ftpRenFromAsync, "RNFR", HostFileName);
}
void TCustomFtpCli::RenToAsync() {
    SimpleAsync(ftpFctRenTo, ftpRenToAsync, "RNTO", FLocalFileName);
}
void TCustomFtpCli::PwdAsync() {
    FFctPrv = ftpFctPwd;
    ExecAsync(ftpPwdAsync, "PWD", FtpAcceptedCodes(ftpFctPwd));
}
void TCustomFtpCli::CDupAsync() {
    FFctPrv = ftpFctCDup;
    ExecAsync(ftpCDupAsync, "CDUP", FtpAcceptedCodes(ftpFctCDup));
}
void TCustomFtpCli::SystAsync() {
    FFctPrv = ftpFctSyst;
    ExecAsync(ftpSystAsync, "SYST", FtpAcceptedCodes(ftpFctSyst));
}
void TCustomFtpCli::QuoteAsync() {
    if (!FtpArgumentOk(FLocalFileName)) return ErrorPath("Quote: command holds a line end");
    FFctPrv = ftpFctQuote;
    ExecAsync(ftpQuoteAsync, FLocalFileName, {});
}
void TCustomFtpCli::AbortXferAsync() {
    FFctPrv = ftpFctAbortXfer;
    ExecAsync(ftpAbortXferAsync, "ABOR", {});
}

void TCustomFtpCli::RestAsync() {
    FFctPrv = ftpFctRest;
    if (FRequestType != ftpRestPutAsync && FRequestType != ftpRestartPutAsync &&
        !Options.Contains(ftpNoAutoResumeAt)) {
        QFileInfo info(QString::fromStdString(FLocalFileName));
        FResumeAt = !FLocalFileName.empty() && info.exists() ? info.size() : -1;
    }
    if (FResumeAt <= 0) {
        CheckReady();
        if (FState != ftpReady && FState != ftpInternalReady) return;
        if (!FHighLevelFlag) {
            FRequestType = ftpRestAsync;
            FRequestResult = 0;
        }
        FRequestDoneFlag = false;
        TriggerRequestDone(0);
        return;
    }
    ExecAsync(ftpRestAsync, "REST " + std::to_string(FResumeAt), {});
}

void TCustomFtpCli::QuitAsync() {
    ReleaseLocalStream();
    FFctPrv = ftpFctQuit;
    FCloseExpected = true;
    ExecAsync(ftpQuitAsync, "QUIT", FtpAcceptedCodes(ftpFctQuit), &TCustomFtpCli::QuitDone);
}

void TCustomFtpCli::QuitDone() {
    FCloseExpected = true;
    FControlSocket->Close();
}

// ---- connecting ----

void TCustomFtpCli::OpenAsync() {
    CheckReady();
    if (FState != ftpReady && FState != ftpInternalReady) return;
    if (Connected()) return ErrorPath("FTP component already connected");
    if (!FHighLevelFlag) FRequestType = ftpOpenAsync;
    FRequestDoneFlag = false;
    FReader.Reset();
    FReader.SetAcceptLF(Options.Contains(ftpAcceptLF));
    FRequestResult = 0;
    FCloseExpected = false;
    FFctPrv = ftpFctOpen;
    SetState(ftpDnsLookup);
    try {
        FControlSocket->DnsLookup(FConnectionType == ftpProxy ? ProxyServer : HostName);
    } catch (const std::exception& e) {
        Fail(500, "500 " + ClassName(e) + ": " + e.what());
        TriggerRequestDone(500);
    }
}

void TCustomFtpCli::ControlDnsLookupDone(WORD error) {
    if (FState != ftpDnsLookup) return;
    if (error != 0) {
        Fail(500, "500 " + WinsockText(error));
        TriggerRequestDone(error);
        return;
    }
    TWSocket& s = *FControlSocket;
    try {
        s.SetAddr(s.DnsResult());
        s.SetLocalAddr(LocalAddr);
        s.SetProto("tcp");
        s.SetPort(FConnectionType == ftpProxy && !FProxyPort.empty() ? FProxyPort : Port);
        ApplySocks(s);
        SetState(ftpWaitingBanner);
        s.Connect();
    } catch (const std::exception& e) {
        Fail(500, "500 " + ClassName(e) + ": " + e.what());
        TriggerRequestDone(FStatusCode);
    }
}

void TCustomFtpCli::ControlSessionConnected(WORD error) {
    if (error == 0) {
        FConnected = true;
        return;
    }
    Fail(500, "500 " + WinsockText(error));
    FNextRequest = false;
    TriggerRequestDone(error);
    FCloseExpected = true;
    FControlSocket->Close();
    SetState(ftpReady);
}

void TCustomFtpCli::ControlSessionClosed(WORD error) {
    if (FConnected) {
        FConnected = false;
        if (FState != ftpAbort) SetState(ftpNotConnected);
        if (OnSessionClosed) OnSessionClosed(this, error);
    }
    if (FState != ftpAbort) SetState(ftpInternalReady);
    const bool expected = FCloseExpected;
    FCloseExpected = false;
    if (FRequestType == ftpRqAbort) return;
    if (error != 0)
        Fail(500, "500 Control connection closed. " + WinsockText(error));
    else if (!expected && !FRequestDoneFlag)
        // A running request that loses its connection has not succeeded.
        Fail(500, "500 Control connection closed.");
    TriggerRequestDone(FRequestResult);
}

void TCustomFtpCli::ControlDataAvailable(WORD) {
    char buffer[ReplyBufferSize];
    const std::size_t room = FReader.Room();
    if (room == 0) return;
    const int got = FControlSocket->Receive(buffer, int(room));
    if (got == 0) {
        FControlSocket->Close();
        return;
    }
    // Nothing waiting, or an error: no bytes to count.
    if (got < 0) return;
    if (FRequestType == ftpRqAbort) return;
    FReader.Put(std::string_view(buffer, std::size_t(got)));
    auto alive = FAlive;
    const SOCKET handle = FControlSocket->HSocket();
    for (;;) {
        ReplyLine line;
        const ReplyStatus status = FReader.Next(line);
        if (status == ReplyStatus::LineTooLong) {
            // The reader is spent: the request fails and the connection goes.
            Fail(500, "500 Reply line too long.");
            TriggerRequestDone(500);
            FCloseExpected = true;
            FControlSocket->Close();
            return;
        }
        if (status != ReplyStatus::Line) return;
        FLastResponse = line.text;
        if (OnResponse) OnResponse(this);
        try {
            HandleLine(line);
        } catch (const std::exception& e) {
            if (*alive) HandleBackGroundException(e);
        }
        if (!*alive || FControlSocket->HSocket() != handle) return;
    }
}

void TCustomFtpCli::HandleLine(const ReplyLine& line) {
    if (FState == ftpWaitingBanner) {
        TriggerDisplay("< " + line.text);
        if (line.kind != ReplyLineKind::Last) return;
        FStatusCode = line.code;
        if (line.code != 220) {
            SetErrorMessage();
            FRequestResult = line.code;
            FCloseExpected = true;
            FControlSocket->Close();
            return;
        }
        SetState(ftpConnected);
        if (OnSessionConnected) OnSessionConnected(this, 0);
        TriggerRequestDone(0);
        return;
    }
    if (FState == ftpWaitingResponse && line.kind != ReplyLineKind::Text) {
        FStatusCode = line.code;
        if (line.kind == ReplyLineKind::Continuation) {
            TriggerDisplay("< " + line.text);
            return;
        }
        if (FNext == nullptr) return ErrorPath("Program error: FNext is nil");
        (this->*FNext)();
        return;
    }
    TriggerDisplay("< " + line.text);
}

void TCustomFtpCli::ReplyChecker() {
    TriggerDisplay("< " + FLastResponse);
    const int code = FStatusCode;
    if (!FtpCodeAccepted(FAccepted, code)) {
        FRequestResult = code;
        SetErrorMessage();
    }
    if (FPassive && code == 227) FPasvResponse = FLastResponse;
    ExtractResults();
    if (FDoneAsync != nullptr) {
        THandler done = FDoneAsync;
        FDoneAsync = nullptr;
        (this->*done)();
    } else {
        TriggerRequestDone(FRequestResult);
    }
}

void TCustomFtpCli::ExtractResults() {
    if (FFctPrv == ftpFctSize) {
        // This reply's size or none, never an earlier file's; a reply
        // without a size is no answer, and the request fails with it.
        FSizeResult = 0;
        if (FRequestResult == 0 && !FtpSizeReply(FLastResponse, FSizeResult)) {
            FRequestResult = 500;
            SetErrorMessage();
        }
        return;
    }
    if (FRequestResult != 0) return;
    if (FFctPrv == ftpFctCwd || FFctPrv == ftpFctMkd || FFctPrv == ftpFctPwd ||
        FFctPrv == ftpFctCDup) {
        FDirResult = FtpQuotedFolder(FLastResponse);
    }
}

// ---- high-level requests ----

void TCustomFtpCli::HighLevelAsync(TFtpRequest rq, TFtpFctSet steps) {
    if (Connected() && steps.Contains(ftpFctOpen))
        return ErrorPath("FTP component already connected");
    CheckReady();
    if (FState != ftpReady && FState != ftpInternalReady) return;
    FLastResponseSave = FLastResponse;
    FStatusCodeSave = -1;
    FRequestType = rq;
    FRequestResult = 0;
    FFctSet = steps;
    FFctPrv = ftpFctNone;
    FHighLevelResult = 0;
    FHighLevelFlag = true;
    FLastResponse.clear();
    FErrorMessage.clear();
    FNextRequest = false;
    Sequencer();
}

void TCustomFtpCli::Sequencer() {
    if (FState == ftpAbort) {
        FFctSet = {};
        FHighLevelResult = 426;
        FErrorMessage = "426 Operation aborted.";
    }
    FNextRequest = true;
    if (FRequestResult != 0) {
        FHighLevelResult = FRequestResult;
        const bool quit = FFctSet.Contains(ftpFctQuit) && FFctPrv != ftpFctQuit;
        FFctSet = {};
        if (quit) FFctSet.Include(ftpFctQuit);
    }
    ExtractResults();
    static const TFtpFct order[] = {
        ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd,       ftpFctCDup,    ftpFctTypeSet,
        ftpFctPort, ftpFctRest, ftpFctGet,  ftpFctPut,       ftpFctAppend,  ftpFctDir,
        ftpFctLs,   ftpFctSyst, ftpFctMkd,  ftpFctRmd,       ftpFctRenFrom, ftpFctRenTo,
        ftpFctSize, ftpFctDele, ftpFctPwd,  ftpFctAbortXfer, ftpFctQuote,   ftpFctQuit,
    };
    for (TFtpFct step : order) {
        if (!FFctSet.Contains(step)) continue;
        FFctSet.Exclude(step);
        if (step == ftpFctPass && FFctPrv == ftpFctUser && FStatusCode != 331) continue;
        if (step == ftpFctCwd && HostDirName.empty()) continue;
        RunStep(step);
        return;
    }
    FNextRequest = false;
    FRequestDoneFlag = false;
    TriggerRequestDone(FHighLevelResult);
}

void TCustomFtpCli::RunStep(TFtpFct step) {
    const TFtpFct previous = FFctPrv;
    const int status = FStatusCode;
    FFctPrv = step;
    FErrorPathHit = false;
    std::string refused;
    try {
        switch (step) {
        case ftpFctOpen:
            OpenAsync();
            break;
        case ftpFctUser:
            UserAsync();
            break;
        case ftpFctPass:
            PassAsync();
            break;
        case ftpFctCwd:
            CwdAsync();
            break;
        case ftpFctCDup:
            CDupAsync();
            break;
        case ftpFctTypeSet:
            TypeSetAsync();
            break;
        case ftpFctPort:
            PortAsync();
            break;
        case ftpFctRest:
            RestAsync();
            break;
        case ftpFctGet:
            if (!(previous == ftpFctRest && status == 350 && FResumeAt >= 0)) FResumeAt = 0;
            ExecGetAsync();
            break;
        case ftpFctPut:
            ExecPutAsync();
            break;
        case ftpFctAppend:
            ExecAppendAsync();
            break;
        case ftpFctDir:
            ExecDirAsync();
            break;
        case ftpFctLs:
            ExecLsAsync();
            break;
        case ftpFctSyst:
            SystAsync();
            break;
        case ftpFctMkd:
            MkdAsync();
            break;
        case ftpFctRmd:
            RmdAsync();
            break;
        case ftpFctRenFrom:
            RenFromAsync();
            break;
        case ftpFctRenTo:
            RenToAsync();
            break;
        case ftpFctSize:
            SizeAsync();
            break;
        case ftpFctDele:
            DeleAsync();
            break;
        case ftpFctPwd:
            PwdAsync();
            break;
        case ftpFctAbortXfer:
            AbortXferAsync();
            break;
        case ftpFctQuote:
            QuoteAsync();
            break;
        case ftpFctQuit:
            FLastResponseSave = FLastResponse;
            FStatusCodeSave = FStatusCode;
            QuitAsync();
            break;
        default:
            break;
        }
    } catch (const FtpException&) {
        // The error path already noted the text.
    } catch (const std::exception& e) {
        FErrorPathHit = true;
        FErrorPathText = ClassName(e) + ": " + e.what();
    }
    if (!FErrorPathHit) return;
    // A step refused before it sent anything ends its request here: nobody
    // above this reply handler could hear of the failure otherwise.
    FErrorPathHit = false;
    FStatusCode = 500;
    FRequestResult = 500;
    if (FErrorMessage.empty()) FErrorMessage = FErrorPathText;
    FRequestDoneFlag = false;
    TriggerRequestDone(500);
}

void TCustomFtpCli::ConnectAsync() {
    HighLevelAsync(ftpConnectAsync, {ftpFctOpen, ftpFctUser, ftpFctPass});
}
void TCustomFtpCli::ReceiveAsync() {
    HighLevelAsync(ftpReceiveAsync, {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctTypeSet,
                                     ftpFctPort, ftpFctGet, ftpFctQuit});
}
void TCustomFtpCli::GetAsync() {
    HighLevelAsync(ftpGetAsync, {ftpFctPort, ftpFctGet});
}
void TCustomFtpCli::RestGetAsync() {
    HighLevelAsync(ftpRestGetAsync, {ftpFctPort, ftpFctRest, ftpFctGet});
}
void TCustomFtpCli::RestartGetAsync() {
    HighLevelAsync(ftpRestartGetAsync,
                   {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctTypeSet, ftpFctPort,
                    ftpFctRest, ftpFctGet, ftpFctQuit});
}
void TCustomFtpCli::PutAsync() {
    HighLevelAsync(ftpPutAsync, {ftpFctPort, ftpFctPut});
}
void TCustomFtpCli::RestPutAsync() {
    HighLevelAsync(ftpRestPutAsync, {ftpFctPort, ftpFctRest, ftpFctPut});
}
void TCustomFtpCli::RestartPutAsync() {
    HighLevelAsync(ftpRestartPutAsync,
                   {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctTypeSet, ftpFctPort,
                    ftpFctRest, ftpFctPut, ftpFctQuit});
}
void TCustomFtpCli::TransmitAsync() {
    HighLevelAsync(ftpTransmitAsync, {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctTypeSet,
                                      ftpFctPort, ftpFctPut, ftpFctQuit});
}
void TCustomFtpCli::AppendAsync() {
    HighLevelAsync(ftpAppendAsync, {ftpFctPort, ftpFctAppend});
}
void TCustomFtpCli::AppendFileAsync() {
    HighLevelAsync(ftpTransmitAsync, {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctTypeSet,
                                      ftpFctPort, ftpFctAppend, ftpFctQuit});
}
void TCustomFtpCli::DirAsync() {
    HighLevelAsync(ftpDirAsync, {ftpFctPort, ftpFctDir});
}
void TCustomFtpCli::DirectoryAsync() {
    HighLevelAsync(ftpDirectoryAsync, {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctPort,
                                       ftpFctDir, ftpFctQuit});
}
void TCustomFtpCli::LsAsync() {
    HighLevelAsync(ftpLsAsync, {ftpFctPort, ftpFctLs});
}
void TCustomFtpCli::ListAsync() {
    HighLevelAsync(ftpListAsync, {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctPort,
                                  ftpFctLs, ftpFctQuit});
}
void TCustomFtpCli::SystemAsync() {
    HighLevelAsync(ftpSystemAsync, {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctSyst, ftpFctQuit});
}
void TCustomFtpCli::MkdirAsync() {
    HighLevelAsync(ftpMkdirAsync,
                   {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctMkd, ftpFctQuit});
}
void TCustomFtpCli::RmdirAsync() {
    HighLevelAsync(ftpRmdirAsync,
                   {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctRmd, ftpFctQuit});
}
void TCustomFtpCli::DeleteAsync() {
    HighLevelAsync(ftpDeleteAsync,
                   {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctDele, ftpFctQuit});
}
void TCustomFtpCli::DoQuoteAsync() {
    HighLevelAsync(ftpDoQuoteAsync,
                   {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctQuote, ftpFctQuit});
}
void TCustomFtpCli::RenameAsync() {
    HighLevelAsync(ftpRenameAsync, {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctRenFrom,
                                    ftpFctRenTo, ftpFctQuit});
}
void TCustomFtpCli::RenAsync() {
    HighLevelAsync(ftpRenAsync, {ftpFctRenFrom, ftpFctRenTo});
}
void TCustomFtpCli::FileSizeAsync() {
    HighLevelAsync(ftpSizeAsync,
                   {ftpFctOpen, ftpFctUser, ftpFctPass, ftpFctCwd, ftpFctSize, ftpFctQuit});
}

void TCustomFtpCli::AbortAsync() {
    const TFtpState was = FState;
    SetState(ftpAbort);
    ReleaseLocalStream();
    if (was == ftpDnsLookup) FControlSocket->CancelDnsLookup();
    // A request still running ends as aborted, never as a success.
    if (!FRequestDoneFlag) {
        FRequestResult = 426;
        FLastResponse = "426 Operation aborted.";
        SetErrorMessage();
    }
    FCloseExpected = true;
    if (FControlSocket->State() != wsClosed) FControlSocket->Close();
    FCloseExpected = false;
    if (FDataSocket->State() != wsClosed) FDataSocket->Close();
    if (!FRequestDoneFlag) {
        SetState(ftpReady);
        TriggerRequestDone(426);
    }
    FConnected = false;
    SetState(ftpReady);
}

// ---- the data connection ----

std::string TCustomFtpCli::ControlPeerAddr() {
    // The address the control connection was opened to: behind SOCKS or a
    // proxy the socket's own peer is the relay, not the server.
    return FControlSocket->Addr();
}

void TCustomFtpCli::PortAsync() {
    CheckReady();
    if (FState != ftpReady && FState != ftpInternalReady) return;
    TWSocket& data = *FDataSocket;
    if (data.State() != wsClosed) data.Close();
    data.SetProto("tcp");
    data.SetAddr("0.0.0.0");
    data.SetPort("0");
    data.OnSessionAvailable = nullptr;
    data.OnSessionClosed = nullptr;
    data.OnDataAvailable = nullptr;
    data.OnDataSent = nullptr;
    data.OnSessionConnected = nullptr;
    std::uint16_t port = 0;
    if (!FPassive) {
        data.SetSocksServer("");
        data.LingerOnOff = wsLingerOn;
        data.LingerTimeout = 10;
        data.SetLocalAddr("0.0.0.0");
        // A server may connect as soon as it has the PORT command, before
        // the transfer command is sent: the connection waits for it.
        FAcceptPending = false;
        data.OnSessionAvailable = [this](TCustomWSocket*, WORD) { FAcceptPending = true; };
        data.Listen();
        SOCKADDR_IN local{};
        int length = sizeof local;
        data.GetSockName(local, length);
        port = WSocket_ntohs(local.sin_port);
    }
    std::string cmd = "PASV";
    if (!FPassive) {
        SOCKADDR_IN local{};
        int length = sizeof local;
        FControlSocket->GetSockName(local, length);
        std::array<std::uint8_t, 4> bytes{};
        std::memcpy(bytes.data(), &local.sin_addr, 4);
        cmd = FtpPortCommand(bytes, ControlPeerAddr() == "127.0.0.1", port);
    }
    FByteCount = 0;
    FFctPrv = ftpFctPort;
    ExecAsync(ftpPortAsync, cmd, FtpAcceptedCodes(ftpFctPort));
}

bool TCustomFtpCli::PassiveConnect(std::function<void(WORD)> connected, int failCode) {
    FtpPasvAddress address;
    if (!FtpPasvReply(FPasvResponse, address)) {
        TransferFailed(failCode,
                       std::to_string(failCode) + " Invalid passive address: " + FPasvResponse);
        return false;
    }
    TWSocket& data = *FDataSocket;
    data.SetPort(std::to_string(address.Port));
    // The announced host is not trusted: the data goes to the server the
    // control connection reached, so a reply cannot aim us at another host.
    data.SetAddr(ControlPeerAddr());
    data.SetLocalAddr(LocalAddr);
    data.OnSessionConnected = [this, connected](TCustomWSocket*, WORD e) { connected(e); };
    data.LingerOnOff = wsLingerOff;
    data.LingerTimeout = 0;
    ApplySocks(data);
    data.Connect();
    return true;
}

void TCustomFtpCli::TransferFailed(int code, const std::string& line) {
    Fail(code, line);
    FNext = nullptr;
    ReleaseLocalStream();
    FDataSocket->OnSessionClosed = nullptr;
    if (FDataSocket->State() != wsClosed) FDataSocket->Close();
    FResumeAt = 0;
    TriggerRequestDone(code);
}

void TCustomFtpCli::LocalFailure(const std::string& text) {
    if (FLocalFailure.empty()) FLocalFailure = text;
}

// The transfer's end: a local fault or abort outweighs the server's answer.
void TCustomFtpCli::EndTransfer(int result) {
    if (!FLocalFailure.empty()) {
        FLastResponse = FLocalFailure;
        FStatusCode = 426;
        SetErrorMessage();
        result = 426;
    } else if (result != 0) {
        // The server may have said all was sent; the data did not all come.
        FLastResponse = "426 Data connection closed, error #" + std::to_string(result);
        FStatusCode = 426;
        SetErrorMessage();
    }
    FRequestResult = result;
    TriggerRequestDone(result);
}

bool TCustomFtpCli::OpenLocalForDownload() {
    ReleaseLocalStream();
    if (FStreamIsCaller)
        return FLocalStream != nullptr && (FResumeAt <= 0 || FLocalStream->seek(FResumeAt));
    auto file = std::make_unique<QFile>(QString::fromStdString(FLocalFileName));
    // Unbuffered: each block is written when it arrives, and a failure is
    // seen at once.
    if (FResumeAt > 0) {
        if (!file->open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered) ||
            !file->seek(FResumeAt))
            return false;
    } else if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        return false;
    }
    FOwnedStream = std::move(file);
    FLocalStream = FOwnedStream.get();
    return true;
}

bool TCustomFtpCli::OpenLocalForUpload() {
    ReleaseLocalStream();
    if (!FStreamIsCaller) {
        auto file = std::make_unique<QFile>(QString::fromStdString(FLocalFileName));
        if (!file->open(QIODevice::ReadOnly)) return false;
        FOwnedStream = std::move(file);
        FLocalStream = FOwnedStream.get();
    }
    if (FLocalStream == nullptr) return false;
    return FResumeAt <= 0 || FLocalStream->seek(FResumeAt);
}

void TCustomFtpCli::ReleaseLocalStream() {
    if (!FOwnedStream) return;
    const bool writing = FOwnedStream->isWritable();
    bool ok = FOwnedStream->flush();
    FOwnedStream->close();
    ok = ok && FOwnedStream->error() == QFileDevice::NoError;
    if (writing && !ok) {
        TriggerDisplay("! Error writing local file");
        LocalFailure("426 Error writing local file " + FLocalFileName);
    }
    FOwnedStream.reset();
    FLocalStream = nullptr;
}

bool TCustomFtpCli::AcceptFromPeer(SOCKET& accepted) {
    accepted = FDataSocket->Accept();
    if (accepted == INVALID_SOCKET) return false;
    SOCKADDR_IN peer{};
    int length = sizeof peer;
    WSocket_getpeername(accepted, reinterpret_cast<SOCKADDR*>(&peer), &length);
    const std::string from = WSocket_inet_ntoa(peer.sin_addr);
    if (from == ControlPeerAddr()) return true;
    // Only the server may open the data connection; the listener waits on.
    TriggerDisplay("! Data connection refused from " + from);
    WSocket_closesocket(accepted);
    return false;
}

// ---- download ----

void TCustomFtpCli::ExecGetAsync() {
    DownloadAsync(ftpGetAsync, "RETR");
}
void TCustomFtpCli::ExecDirAsync() {
    DownloadAsync(ftpDirAsync, "LIST");
}
void TCustomFtpCli::ExecLsAsync() {
    DownloadAsync(ftpLsAsync, "NLST");
}

void TCustomFtpCli::DownloadAsync(TFtpRequest rq, const char* verb) {
    CheckReady();
    if (FState != ftpReady && FState != ftpInternalReady) return;
    if (!FConnected) return ErrorPath(FDataVerb + ": not connected");
    if (FLocalFileName.empty() && !DisplayFileFlag && !FStreamIsCaller)
        return ErrorPath("LocalFileName empty");
    std::string cmd = verb;
    if (!HostFileName.empty() && !Command(verb, HostFileName, cmd)) return;
    if (!FHighLevelFlag) {
        FRequestType = rq;
        FRequestResult = 0;
    }
    FDataVerb = verb;
    FCommandDone = FDataClosed = FUploadClosed = FRequestDoneFlag = false;
    FByteCount = 0;
    FCloseError = 0;
    FLocalFailure.clear();
    if (!DisplayFileFlag && !OpenLocalForDownload()) {
        TransferFailed(550, "Unable to open local file " + FLocalFileName);
        return;
    }
    FDataSocket->OnSessionAvailable = [this](TCustomWSocket*, WORD e) { DownloadAccept(e); };
    if (FPassive) {
        try {
            if (!PassiveConnect([this](WORD e) { DownloadPassiveConnected(e); }, 550)) return;
        } catch (const std::exception& e) {
            TransferFailed(550, "550 " + ClassName(e) + ": " + e.what());
            return;
        }
    }
    SetState(ftpWaitingResponse);
    FNext = &TCustomFtpCli::DownloadReply1;
    SendCommand(cmd);
    if (!FPassive && FAcceptPending) {
        FAcceptPending = false;
        DownloadAccept(0);
    }
}

void TCustomFtpCli::DownloadReply1() {
    TriggerDisplay("< " + FLastResponse);
    if (FtpTransferStarted(FStatusCode, false)) {
        FNext = &TCustomFtpCli::DownloadReply2;
        return;
    }
    TransferFailed(FStatusCode, FLastResponse);
}

void TCustomFtpCli::DownloadReply2() {
    TriggerDisplay("< " + FLastResponse);
    if (FtpTransferFinished(FStatusCode, false)) {
        FCommandDone = true;
        TryTransferDone();
        return;
    }
    TriggerDisplay("! RETR/LIST/NLST Failed");
    TransferFailed(FStatusCode, FLastResponse);
}

void TCustomFtpCli::TryTransferDone() {
    if (!FCommandDone || !(FDataClosed || FUploadClosed)) return;
    TransfertStats();
    FResumeAt = 0;
    EndTransfer(FCloseError);
}

void TCustomFtpCli::DownloadHandlers() {
    // Nothing of an earlier connection goes into this one.
    FDownload.Clear();
    FDataSocket->OnSessionClosed = [this](TCustomWSocket*, WORD e) { DownloadClosed(e); };
    FDataSocket->OnDataAvailable = [this](TCustomWSocket*, WORD e) { DownloadData(e); };
    FDataSocket->OnDataSent = nullptr;
}

void TCustomFtpCli::DownloadAccept(WORD) {
    SOCKET accepted;
    if (!AcceptFromPeer(accepted)) return;
    FDataSocket->OnSessionAvailable = nullptr;
    FDataSocket->Close();
    DownloadHandlers();
    FDataSocket->Dup(accepted);
    FStartTime = GetTickCount();
}

void TCustomFtpCli::DownloadPassiveConnected(WORD error) {
    DownloadHandlers();
    FStartTime = GetTickCount();
    if (error != 0)
        TransferFailed(550, "Unable to establish data connection, error #" + std::to_string(error));
}

// One receive per notice takes what waits, up to 64 KiB; it goes on in
// blocks of 4096 bytes, each after its progress and written as it comes, and
// all of it now, so that nothing waits here for a notice that the socket
// will not send.
void TCustomFtpCli::DownloadData(WORD) {
    auto alive = FAlive;
    bool received = false;
    while (!(received && FDownload.Empty())) {
        if (!Progress()) return;
        if (FDownload.Empty()) {
            received = true;
            const int got = FDownload.Fill(*FDataSocket);
            const int error = got < 0 ? FDataSocket->LastError() : 0;
            if (got < 0 && error != WSAEWOULDBLOCK && FDataSocket->State() == wsConnected) {
                TriggerDisplay("! Data: Receive error " + std::to_string(error));
                FDataSocket->Shutdown(2);
            }
            if (got <= 0) return;
        }
        DownloadBlock(FDownload.Take(kDownloadBlock));
        if (!*alive || FDataSocket->State() != wsConnected) return;
    }
}

void TCustomFtpCli::DownloadBlock(std::string_view block) {
    const char* buffer = block.data();
    const int got = int(block.size());
    FByteCount += got;
    if (FLocalStream != nullptr && FLocalFailure.empty() &&
        FLocalStream->write(buffer, got) != got) {
        TriggerDisplay("! Error writing local file");
        LocalFailure("426 Error writing local file " + FLocalFileName);
        FDataSocket->Shutdown(2);
        return;
    }
    if (!DisplayFileFlag) return;
    if (FDisplayFileMode == ftpBinary) {
        TriggerDisplayFile(std::string(block));
        return;
    }
    int at = 0;
    while (at < got) {
        int end = at;
        while (end < got && buffer[end] != '\r' && buffer[end] != '\n')
            ++end;
        if (end > at) TriggerDisplayFile(std::string(buffer + at, std::size_t(end - at)));
        at = end;
        while (at < got && (buffer[at] == '\r' || buffer[at] == '\n'))
            ++at;
    }
}

void TCustomFtpCli::DownloadClosed(WORD error) {
    ReleaseLocalStream();
    FDataClosed = true;
    FCloseError = error;
    TryTransferDone();
}

// ---- upload ----

void TCustomFtpCli::ExecPutAsync() {
    UploadAsync(false);
}
void TCustomFtpCli::ExecAppendAsync() {
    UploadAsync(true);
}

void TCustomFtpCli::UploadAsync(bool append) {
    CheckReady();
    if (FState != ftpReady && FState != ftpInternalReady) return;
    if (!FConnected) return ErrorPath("STOR/APPE: not connected");
    if (!FStreamIsCaller && FLocalFileName.empty()) return ErrorPath("LocalFileName empty");
    if (!Command(append ? "APPE" : "STOR", HostFileName, FUploadCommand)) return;
    FRequestType = append ? ftpAppendAsync : ftpPutAsync;
    if (!FHighLevelFlag) FRequestResult = 0;
    FAppendFlag = append;
    FCommandDone = FUploadClosed = FDataClosed = FRequestDoneFlag = false;
    FDataOpen = FAnswerReceived = FSendStarted = false;
    FStartTime = 0;
    FByteCount = 0;
    FCloseError = 0;
    FLocalFailure.clear();
    bool cancel = false;
    TriggerReadyToTransmit(cancel);
    if (cancel) {
        FErrorMessage = "426 Transmit cancelled by application";
        TriggerDisplay("! " + FErrorMessage);
        TransferFailed(426, FErrorMessage);
        return;
    }
    if (!OpenLocalForUpload()) {
        FErrorMessage = "426 Unable to open local file " + FLocalFileName;
        TriggerDisplay("! " + FErrorMessage);
        TransferFailed(426, FErrorMessage);
        return;
    }
    FDataSocket->OnSessionAvailable = [this](TCustomWSocket*, WORD e) { UploadAccept(e); };
    FEof = false;
    if (FPassive) {
        // The command goes once the data connection stands; meanwhile the
        // request is busy, not ready.
        SetState(ftpWaitingResponse);
        try {
            PassiveConnect([this](WORD e) { UploadPassiveConnected(e); }, 426);
        } catch (const std::exception& e) {
            TransferFailed(426, "426 " + ClassName(e) + ": " + e.what());
        }
        return;
    }
    SetState(ftpWaitingResponse);
    FNext = &TCustomFtpCli::UploadReply1;
    SendCommand(FUploadCommand);
    if (FAcceptPending) {
        FAcceptPending = false;
        UploadAccept(0);
    }
}

void TCustomFtpCli::UploadHandlers(bool active) {
    FDataSocket->OnSessionClosed = [this](TCustomWSocket*, WORD e) { UploadClosed(e); };
    FDataSocket->OnDataAvailable = [this](TCustomWSocket*, WORD) { UploadDiscard(); };
    if (active)
        FDataSocket->OnDataSent = [this](TCustomWSocket*, WORD e) { UploadSend(e); };
    else
        FDataSocket->OnDataSent = nullptr;
}

void TCustomFtpCli::UploadPassiveConnected(WORD error) {
    UploadHandlers(false);
    FDataOpen = true;
    FStartTime = GetTickCount();
    if (error != 0) {
        TransferFailed(550, "Unable to establish data connection, error #" + std::to_string(error));
        return;
    }
    SetState(ftpWaitingResponse);
    FNext = &TCustomFtpCli::UploadReply1;
    SendCommand(FUploadCommand);
}

void TCustomFtpCli::UploadAccept(WORD) {
    SOCKET accepted;
    if (!AcceptFromPeer(accepted)) return;
    FDataSocket->OnSessionAvailable = nullptr;
    FDataSocket->Close();
    UploadHandlers(true);
    FDataSocket->Dup(accepted);
    FDataSocket->LingerOnOff = wsLingerOff;
    FDataSocket->LingerTimeout = 10;
    FDataSocket->SetLingerOption();
    FDataOpen = true;
    if (FAnswerReceived && !FSendStarted) {
        FSendStarted = true;
        PostMessageA(FWindowHandle, WM_FTP_SENDDATA, 0, 0);
    }
}

void TCustomFtpCli::UploadReply1() {
    TriggerDisplay("< " + FLastResponse);
    if (!FtpTransferStarted(FStatusCode, true)) {
        TransferFailed(FStatusCode, FLastResponse);
        return;
    }
    FAnswerReceived = true;
    FNext = &TCustomFtpCli::UploadReply2;
    if (FPassive) {
        FDataSocket->OnDataSent = [this](TCustomWSocket*, WORD e) { UploadSend(e); };
        FSendStarted = true;
        UploadSend(0);
    } else if (FDataOpen && !FSendStarted) {
        FSendStarted = true;
        PostMessageA(FWindowHandle, WM_FTP_SENDDATA, 0, 0);
    }
}

void TCustomFtpCli::UploadReply2() {
    TriggerDisplay("< " + FLastResponse);
    if (FtpTransferFinished(FStatusCode, true)) {
        FCommandDone = true;
        TryTransferDone();
        return;
    }
    TriggerDisplay("! STOR Failed");
    if (!FLocalFailure.empty()) {
        FNext = nullptr;
        ReleaseLocalStream();
        FDataSocket->OnSessionClosed = nullptr;
        if (FDataSocket->State() != wsClosed) FDataSocket->Close();
        SetErrorMessage();
        EndTransfer(FStatusCode);
        return;
    }
    TransferFailed(FStatusCode, FLastResponse);
}

void TCustomFtpCli::UploadSend(WORD error) {
    if (FLocalStream == nullptr || !Progress()) return;
    if (error != 0) {
        TriggerDisplay("! Error #" + std::to_string(error) + " sending data");
        LocalFailure("426 Error #" + std::to_string(error) + " sending data");
        // Reset, not a clean end: the server must not keep a cut file as whole.
        FDataSocket->Reset();
        return;
    }
    if (FEof || !FAnswerReceived || !FDataOpen) return;
    const qint64 got = FLocalStream->read(FSendBuffer, sizeof FSendBuffer);
    if (got < 0) {
        TriggerDisplay("! Error reading file");
        LocalFailure("426 Error reading file " + FLocalFileName);
        FDataSocket->Reset();
        return;
    }
    if (got == 0) {
        Sleep(100);
        FDataSocket->CloseDelayed();
        FEof = true;
        return;
    }
    FByteCount += got;
    FDataSocket->Send(FSendBuffer, int(got));
}

void TCustomFtpCli::UploadDiscard() {
    char buffer[kDiscardBlock];
    FDataSocket->Receive(buffer, kDiscardBlock);
}

void TCustomFtpCli::UploadClosed(WORD error) {
    ReleaseLocalStream();
    FUploadClosed = true;
    FCloseError = error;
    TryTransferDone();
}

// ---- progress ----

bool TCustomFtpCli::Progress() {
    bool abort = false;
    if (OnProgress) OnProgress(this, FByteCount + std::max<std::int64_t>(FResumeAt, 0), abort);
    if (!abort) return true;
    TriggerDisplay("! Abort requested");
    LocalFailure("426 Abort requested");
    FDataSocket->Reset();
    return false;
}

void TCustomFtpCli::TransfertStats() {
    FStopTime = GetTickCount();
    TriggerDisplay(FtpTransferSummary(FByteCount, FStartTime, FStopTime));
}

// ---- the blocking client ----

bool TFtpClient::Synchronize(void (TCustomFtpCli::*request)()) {
    try {
        // Refused before it started: false, and ErrorMessage as it was.
        if (!StartRequest(request)) return false;
        return WaitUntilReady();
    } catch (const std::exception&) {
        return false;
    }
}

bool TFtpClient::WaitUntilReady() {
    FTimeStop = GetTickCount() + DWORD(Timeout) * 1000;
    for (;;) {
        if (FState == ftpReady || FState == ftpInternalReady) return FRequestResult == 0;
        if (ApplicationTerminated()) break;
        if (Timeout > 0 && TickReached(GetTickCount(), FTimeStop)) break;
        if (MultiThreaded)
            ControlSocket().ProcessMessages();
        else
            ProcessApplicationMessages();
        Sleep(0);
    }
    AbortAsync();
    FErrorMessage = "426 Timeout";
    FStatusCode = 426;
    return false;
}

bool TFtpClient::Progress() {
    const bool result = TCustomFtpCli::Progress();
    if (Timeout > 0) FTimeStop = GetTickCount() + DWORD(Timeout) * 1000;
    return result;
}
