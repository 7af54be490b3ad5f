#pragma once
// The installer's FTP client: an event-driven engine over two asynchronous
// sockets (the control connection and the data connection) and a blocking
// client on top of it. A request returns at once; replies arrive as socket
// events on this thread, and the end of every request is reported once,
// through OnRequestDone, with a code (0 = success).

#include "net/FtpReplies.h"
#include "net/LineWSocket.h"
#include "net/BulkReceive.h"
#include "net/ReplyReader.h"

#include <QFile>
#include <QIODevice>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

enum TFtpState {
    ftpNotConnected,
    ftpReady,
    ftpInternalReady,
    ftpDnsLookup,
    ftpConnected,
    ftpAbort,
    ftpInternalAbort,
    ftpWaitingBanner,
    ftpWaitingResponse,
};

enum TFtpRequest {
    ftpNone,
    ftpOpenAsync,
    ftpUserAsync,
    ftpPassAsync,
    ftpCwdAsync,
    ftpConnectAsync,
    ftpReceiveAsync,
    ftpDirAsync,
    ftpLsAsync,
    ftpPortAsync,
    ftpGetAsync,
    ftpDirectoryAsync,
    ftpListAsync,
    ftpSystemAsync,
    ftpSystAsync,
    ftpQuitAsync,
    ftpAbortXferAsync,
    ftpSizeAsync,
    ftpPutAsync,
    ftpAppendAsync,
    ftpFileSizeAsync,
    ftpRqAbort,
    ftpMkdAsync,
    ftpRmdAsync,
    ftpRenameAsync,
    ftpDeleAsync,
    ftpRenAsync,
    ftpRenToAsync,
    ftpRenFromAsync,
    ftpDeleteAsync,
    ftpMkdirAsync,
    ftpRmdirAsync,
    ftpPwdAsync,
    ftpQuoteAsync,
    ftpCDupAsync,
    ftpDoQuoteAsync,
    ftpTransmitAsync,
    ftpTypeSetAsync,
    ftpRestAsync,
    ftpRestGetAsync,
    ftpRestartGetAsync,
    ftpRestPutAsync,
    ftpRestartPutAsync,
};

// A set of steps, bit n for the step of ordinal n.
class TFtpFctSet {
public:
    TFtpFctSet() = default;
    TFtpFctSet(std::initializer_list<TFtpFct> steps) {
        for (TFtpFct s : steps)
            Include(s);
    }
    bool Contains(TFtpFct s) const { return FBits & (1u << s); }
    void Include(TFtpFct s) { FBits |= 1u << s; }
    void Exclude(TFtpFct s) { FBits &= ~(1u << s); }
    bool Empty() const { return FBits == 0; }
    std::uint32_t Bits() const { return FBits; }

private:
    std::uint32_t FBits = 0;
};

enum TFtpShareMode {
    ftpShareCompat,
    ftpShareExclusive,
    ftpShareDenyWrite,
    ftpShareDenyRead,
    ftpShareDenyNone,
};
enum TFtpDisplayFileMode { ftpLineByLine, ftpBinary };
enum TFtpConnectionType { ftpDirect, ftpProxy, ftpSocks4, ftpSocks4A, ftpSocks5 };
enum TFtpOption { ftpAcceptLF, ftpNoAutoResumeAt };

class TFtpOptions {
public:
    TFtpOptions() = default;
    TFtpOptions(std::initializer_list<TFtpOption> options) {
        for (TFtpOption o : options)
            FBits |= 1u << o;
    }
    bool Contains(TFtpOption o) const { return FBits & (1u << o); }

private:
    unsigned FBits = 0;
};

class FtpException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The data connection. A transfer that fails on this side resets it, so
// that the server never takes what came for the whole file.
class TFtpDataSocket : public TWSocket {
public:
    void Reset();
};

class TCustomFtpCli;
using TFtpDisplay = std::function<void(TCustomFtpCli* Sender, const std::string& Msg)>;
using TFtpProgress = std::function<void(TCustomFtpCli* Sender, std::int64_t Count, bool& Abort)>;
using TFtpCommand = std::function<void(TCustomFtpCli* Sender, std::string& Cmd)>;
using TFtpRequestDone = std::function<void(TCustomFtpCli* Sender, TFtpRequest RqType, WORD Error)>;
using TFtpReadyToTransmit = std::function<void(TCustomFtpCli* Sender, bool& bCancel)>;
using TFtpNotify = std::function<void(TCustomFtpCli* Sender)>;
using TFtpSessionEvent = std::function<void(TCustomFtpCli* Sender, WORD Error)>;
using TFtpBgException =
    std::function<void(TCustomFtpCli* Sender, const std::exception& E, bool& CanClose)>;
using TFtpErrorHook = std::function<void(const std::string& Msg)>;

class TCustomFtpCli {
public:
    TCustomFtpCli();
    virtual ~TCustomFtpCli();
    TCustomFtpCli(const TCustomFtpCli&) = delete;
    TCustomFtpCli& operator=(const TCustomFtpCli&) = delete;

    // ---- settings ----
    std::string HostName;
    std::string Port = "ftp";
    std::string LocalAddr = "0.0.0.0";
    std::string UserName;
    std::string PassWord;
    std::string HostDirName;
    std::string HostFileName;
    const std::string& LocalFileName() const { return FLocalFileName; }
    void SetLocalFileName(const std::string& name);
    bool DisplayFileFlag = false;
    bool Binary() const { return FType == 'I'; }
    void SetBinary(bool value) { FType = value ? 'I' : 'A'; }
    const std::string& ErrorMessage() const { return FErrorMessage; }
    TFtpShareMode ShareMode() const;
    void SetShareMode(TFtpShareMode mode);
    TFtpOptions Options{ftpAcceptLF};
    TFtpConnectionType ConnectionType() const { return FConnectionType; }
    void SetConnectionType(TFtpConnectionType type);
    std::string ProxyServer;
    // SOCKS settings live here and go to both sockets before every connect.
    std::string SocksServer;
    std::string SocksPort;
    std::string SocksUserCode;
    std::string SocksPassword;
    bool Passive() const { return FPassive; }
    void SetPassive(bool value);
    TFtpDisplayFileMode DisplayFileMode() const { return FDisplayFileMode; }
    void SetDisplayFileMode(TFtpDisplayFileMode mode);
    // A caller's stream replaces the local file; the component never frees it.
    QIODevice* LocalStream() const { return FLocalStream; }
    void SetLocalStream(QIODevice* stream);
    bool Connected() const;

    // ---- results ----
    TFtpState State() const { return FState; }
    int StatusCode() const { return FStatusCode; }
    int RequestResult() const { return FRequestResult; }
    const std::string& LastResponse() const { return FLastResponse; }
    std::int64_t SizeResult() const { return FSizeResult; }
    const std::string& DirResult() const { return FDirResult; }
    std::int64_t ByteCount() const { return FByteCount; }
    std::int64_t ResumeAt() const { return FResumeAt; }
    void SetResumeAt(std::int64_t offset) { FResumeAt = offset; }
    TFtpRequest RequestType() const { return FRequestType; }
    TWSocket& ControlSocket() { return *FControlSocket; }
    TWSocket& DataSocket() { return *FDataSocket; }

    // ---- events ----
    TFtpDisplay OnDisplay;
    TFtpDisplay OnDisplayFile;
    TFtpCommand OnCommand;
    TFtpNotify OnResponse;
    TFtpProgress OnProgress;
    TFtpSessionEvent OnSessionConnected;
    TFtpSessionEvent OnSessionClosed;
    TFtpRequestDone OnRequestDone;
    TFtpNotify OnStateChange;
    TFtpReadyToTransmit OnReadyToTransmit;
    TFtpBgException OnBgException;
    // Receives the texts that otherwise raise FtpException.
    TFtpErrorHook OnError;

    // ---- primitive requests ----
    virtual void OpenAsync();
    virtual void UserAsync();
    virtual void PassAsync();
    virtual void CwdAsync();
    virtual void SizeAsync();
    virtual void TypeSetAsync();
    virtual void TypeBinaryAsync();
    virtual void TypeAsciiAsync();
    virtual void MkdAsync();
    virtual void RmdAsync();
    virtual void DeleAsync();
    virtual void RenFromAsync();
    virtual void RenToAsync();
    virtual void PwdAsync();
    virtual void CDupAsync();
    virtual void SystAsync();
    virtual void QuoteAsync();
    virtual void AbortXferAsync();
    virtual void RestAsync();
    virtual void QuitAsync();
    virtual void PortAsync();
    virtual void AbortAsync();
    virtual void ExecGetAsync();
    virtual void ExecDirAsync();
    virtual void ExecLsAsync();
    virtual void ExecPutAsync();
    virtual void ExecAppendAsync();

    // ---- high-level requests ----
    virtual void ConnectAsync();
    virtual void ReceiveAsync();
    virtual void GetAsync();
    virtual void RestGetAsync();
    virtual void RestartGetAsync();
    virtual void PutAsync();
    virtual void RestPutAsync();
    virtual void RestartPutAsync();
    virtual void TransmitAsync();
    virtual void AppendAsync();
    virtual void AppendFileAsync();
    virtual void DirAsync();
    virtual void DirectoryAsync();
    virtual void LsAsync();
    virtual void ListAsync();
    virtual void SystemAsync();
    virtual void MkdirAsync();
    virtual void RmdirAsync();
    virtual void DeleteAsync();
    virtual void DoQuoteAsync();
    virtual void RenameAsync();
    virtual void RenAsync();
    virtual void FileSizeAsync();

protected:
    virtual void SendCommand(std::string cmd);
    virtual void TriggerDisplay(const std::string& msg);
    virtual void TriggerReadyToTransmit(bool& cancel);
    virtual void TriggerDisplayFile(const std::string& msg);
    virtual void TriggerError(const std::string& msg);
    // Called on each data block; false when the transfer is to stop.
    virtual bool Progress();
    virtual void TransfertStats();
    virtual void WndProc(TMessage& msg);
    virtual void HandleBackGroundException(const std::exception& e);

    // An empty accepted list accepts every code below 500.
    using THandler = void (TCustomFtpCli::*)();
    void ExecAsync(TFtpRequest rq, const std::string& cmd, std::span<const int> accepted,
                   THandler done = nullptr);
    void HighLevelAsync(TFtpRequest rq, TFtpFctSet steps);
    void SetState(TFtpState state);
    void SetErrorMessage();
    void TriggerRequestDone(int error);
    // A failure of the engine itself: the line, the status and the result.
    void Fail(int code, const std::string& line);
    // Runs the start of a request; false when it was refused before it
    // started, which the error hook (when set) was told instead of raising.
    bool StartRequest(void (TCustomFtpCli::*request)());

    TFtpState FState = ftpReady;
    int FStatusCode = 0;
    int FRequestResult = 0;
    std::string FLastResponse;
    std::string FErrorMessage;
    TFtpRequest FRequestType = ftpNone;
    bool FRequestDoneFlag = true;

private:
    void CheckReady();
    // "VERB argument" into cmd; false (through the error path) when the
    // argument holds a line end.
    bool Command(const std::string& verb, const std::string& argument, std::string& cmd);
    void SimpleAsync(TFtpFct step, TFtpRequest rq, const char* verb, const std::string& argument);
    // Hands the text to the hook or raises it; remembers that a step failed.
    void ErrorPath(const std::string& text);
    std::string Argument(const std::string& verb, const std::string& argument);
    void ControlDnsLookupDone(WORD error);
    void ControlSessionConnected(WORD error);
    void ControlSessionClosed(WORD error);
    void ControlDataAvailable(WORD error);
    void HandleLine(const ReplyLine& line);
    void ReplyChecker();
    void ExtractResults();
    void Sequencer();
    void RunStep(TFtpFct step);
    void QuitDone();
    void ApplySocks(TWSocket& socket);
    std::string ControlPeerAddr();

    // Data side.
    void DownloadAsync(TFtpRequest rq, const char* verb);
    void UploadAsync(bool append);
    bool OpenLocalForDownload();
    bool OpenLocalForUpload();
    void ReleaseLocalStream();
    bool PassiveConnect(std::function<void(WORD)> connected, int failCode);
    void DownloadReply1();
    void DownloadReply2();
    void DownloadAccept(WORD error);
    void DownloadHandlers();
    void DownloadPassiveConnected(WORD error);
    void DownloadData(WORD error);
    // One block counted, stored and shown.
    void DownloadBlock(std::string_view block);
    void DownloadClosed(WORD error);
    void TryTransferDone();
    void EndTransfer(int result);
    void UploadHandlers(bool active);
    void UploadReply1();
    void UploadReply2();
    void UploadAccept(WORD error);
    void UploadPassiveConnected(WORD error);
    void UploadSend(WORD error);
    void UploadDiscard();
    void UploadClosed(WORD error);
    void TransferFailed(int code, const std::string& line);
    // A local fault ends the transfer with 426 whatever the server answers.
    void LocalFailure(const std::string& text);
    bool AcceptFromPeer(SOCKET& accepted);

    HWND FWindowHandle = nullptr;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    std::string FProxyPort = "ftp";
    char FType = 'I';
    int FShareFlags = 16;
    TFtpDisplayFileMode FDisplayFileMode = ftpLineByLine;
    TFtpConnectionType FConnectionType = ftpDirect;
    bool FAppendFlag = false;
    std::unique_ptr<TWSocket> FControlSocket;
    std::unique_ptr<TFtpDataSocket> FDataSocket;

protected:
    DWORD FStartTime = 0;
    DWORD FStopTime = 0;

private:
    TFtpFctSet FFctSet;
    TFtpFct FFctPrv = ftpFctNone;
    int FHighLevelResult = 0;
    bool FHighLevelFlag = false;
    QIODevice* FLocalStream = nullptr;
    std::unique_ptr<QFile> FOwnedStream;
    ReplyReader FReader{FtpReplyLine};
    std::string FLastResponseSave;
    int FStatusCodeSave = -1;
    std::string FPasvResponse;
    WORD FCloseError = 0;
    std::string FDataVerb;
    bool FConnected = false;
    char FSendBuffer[1460] = {};
    std::int64_t FByteCount = 0;
    // What the data connection brought, handed on in blocks of 4096 bytes.
    BulkReceive FDownload;
    std::int64_t FSizeResult = 0;
    std::string FDirResult;
    std::int64_t FResumeAt = 0;
    THandler FNext = nullptr;
    THandler FDoneAsync = nullptr;
    std::span<const int> FAccepted;
    bool FAnyBelow500 = true;
    bool FNextRequest = false;
    std::string FLocalFileName;
    bool FPassive = false;
    // Transfer flags.
    bool FCommandDone = false;
    bool FDataClosed = false;
    bool FUploadClosed = false;
    bool FEof = false;
    bool FAnswerReceived = false;
    bool FDataOpen = false;
    bool FStreamIsCaller = false;
    bool FSendStarted = false;
    bool FAcceptPending = false;
    std::string FUploadCommand;
    std::string FLocalFailure;
    // A close of the control connection that this side asked for (QUIT, a
    // refused greeting, an abort) ends the request with its own result.
    bool FCloseExpected = false;
    bool FErrorPathHit = false;
    std::string FErrorPathText;
};

class TFtpClient : public TCustomFtpCli {
public:
    // Seconds without progress before a blocking call gives up; 0 or less
    // waits without limit.
    int Timeout = 15;
    bool MultiThreaded = false;

    bool Open() { return Synchronize(&TCustomFtpCli::OpenAsync); }
    bool User() { return Synchronize(&TCustomFtpCli::UserAsync); }
    bool Pass() { return Synchronize(&TCustomFtpCli::PassAsync); }
    bool Connect() { return Synchronize(&TCustomFtpCli::ConnectAsync); }
    bool Cwd() { return Synchronize(&TCustomFtpCli::CwdAsync); }
    bool Pwd() { return Synchronize(&TCustomFtpCli::PwdAsync); }
    bool CDup() { return Synchronize(&TCustomFtpCli::CDupAsync); }
    bool TypeSet() { return Synchronize(&TCustomFtpCli::TypeSetAsync); }
    bool TypeBinary() { return Synchronize(&TCustomFtpCli::TypeBinaryAsync); }
    bool TypeAscii() { return Synchronize(&TCustomFtpCli::TypeAsciiAsync); }
    bool Get() { return Synchronize(&TCustomFtpCli::GetAsync); }
    bool Put() { return Synchronize(&TCustomFtpCli::PutAsync); }
    bool RestPut() { return Synchronize(&TCustomFtpCli::RestPutAsync); }
    bool RestartPut() { return Synchronize(&TCustomFtpCli::RestartPutAsync); }
    bool Append() { return Synchronize(&TCustomFtpCli::AppendAsync); }
    bool Quit() { return Synchronize(&TCustomFtpCli::QuitAsync); }
    bool Abort() { return Synchronize(&TCustomFtpCli::AbortAsync); }
    bool Receive() { return Synchronize(&TCustomFtpCli::ReceiveAsync); }
    bool Transmit() { return Synchronize(&TCustomFtpCli::TransmitAsync); }
    bool AppendFile() { return Synchronize(&TCustomFtpCli::AppendFileAsync); }
    bool Dir() { return Synchronize(&TCustomFtpCli::DirAsync); }
    bool Directory() { return Synchronize(&TCustomFtpCli::DirectoryAsync); }
    bool Ls() { return Synchronize(&TCustomFtpCli::LsAsync); }
    bool List() { return Synchronize(&TCustomFtpCli::ListAsync); }
    bool Mkd() { return Synchronize(&TCustomFtpCli::MkdAsync); }
    bool Mkdir() { return Synchronize(&TCustomFtpCli::MkdirAsync); }
    bool Ren() { return Synchronize(&TCustomFtpCli::RenAsync); }
    bool Rename() { return Synchronize(&TCustomFtpCli::RenameAsync); }
    bool Dele() { return Synchronize(&TCustomFtpCli::DeleAsync); }
    bool Delete() { return Synchronize(&TCustomFtpCli::DeleteAsync); }
    bool Rmd() { return Synchronize(&TCustomFtpCli::RmdAsync); }
    bool Rmdir() { return Synchronize(&TCustomFtpCli::RmdirAsync); }
    bool Syst() { return Synchronize(&TCustomFtpCli::SystAsync); }
    bool System() { return Synchronize(&TCustomFtpCli::SystemAsync); }
    bool Size() { return Synchronize(&TCustomFtpCli::SizeAsync); }
    bool FileSize() { return Synchronize(&TCustomFtpCli::FileSizeAsync); }
    bool AbortXfer() { return Synchronize(&TCustomFtpCli::AbortXferAsync); }
    bool Quote() { return Synchronize(&TCustomFtpCli::QuoteAsync); }
    bool DoQuote() { return Synchronize(&TCustomFtpCli::DoQuoteAsync); }
    bool RestGet() { return Synchronize(&TCustomFtpCli::RestGetAsync); }
    bool RestartGet() { return Synchronize(&TCustomFtpCli::RestartGetAsync); }

protected:
    bool Progress() override;
    virtual bool Synchronize(void (TCustomFtpCli::*request)());
    virtual bool WaitUntilReady();

private:
    DWORD FTimeStop = 0;
};
