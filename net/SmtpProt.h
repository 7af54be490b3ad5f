#pragma once
// The SMTP client: single commands and the high-level requests Open (connect,
// greet, log in) and Mail (sender, recipients, message), run on one
// asynchronous socket on the GUI thread. Each request ends with one
// OnRequestDone, always posted, after the call that started it returned.
// TSmtpCli adds the message text in MIME parts with attachments;
// TSyncSmtpCli waits for each request.

#include "net/LineWSocket.h"
#include "net/ReplyReader.h"
#include "net/SmtpMessage.h"

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

class SmtpException : public std::runtime_error {
public:
    explicit SmtpException(const std::string& message) : std::runtime_error(message) {}
};

enum TSmtpState {
    smtpReady,
    smtpDnsLookup,
    smtpConnecting,
    smtpConnected,
    smtpInternalReady,
    smtpWaitingBanner,
    smtpWaitingResponse,
    smtpAbort
};
enum TSmtpRequest {
    smtpConnect,
    smtpHelo,
    smtpMailFrom,
    smtpVrfy,
    smtpRcptTo,
    smtpData,
    smtpQuit,
    smtpRset,
    smtpOpen,
    smtpMail,
    smtpEhlo,
    smtpAuth,
    smtpCustom
};
enum TSmtpFct {
    smtpFctNone,
    smtpFctHelo,
    smtpFctConnect,
    smtpFctMailFrom,
    smtpFctRcptTo,
    smtpFctData,
    smtpFctVrfy,
    smtpFctQuit,
    smtpFctRset,
    smtpFctEhlo,
    smtpFctAuth
};
enum TSmtpAuthType { smtpAuthNone, smtpAuthPlain, smtpAuthLogin, smtpAuthCramMD5 };
enum TSmtpContentType { smtpHTML, smtpPlainText };

// A set of TSmtpFct.
class TSmtpFctSet {
public:
    TSmtpFctSet() = default;
    TSmtpFctSet(std::initializer_list<TSmtpFct> steps) {
        for (TSmtpFct s : steps)
            Include(s);
    }
    bool Contains(TSmtpFct s) const { return FBits & (1u << s); }
    void Include(TSmtpFct s) { FBits |= 1u << s; }
    void Exclude(TSmtpFct s) { FBits &= ~(1u << s); }
    bool Empty() const { return FBits == 0; }

private:
    unsigned FBits = 0;
};

// Codes a request ends with besides the server's reply codes.
enum SmtpLocalError : WORD {
    smtpErrLocal = 500,              // a local failure; LastResponse says which
    smtpErrAborted = 426,            // Abort, or a blocking wait that gave up
    smtpErrConnectionClosed = 10004, // the connection went before the request ended
};

class TCustomSmtpClient;
using TSmtpDisplay = std::function<void(TCustomSmtpClient* Sender, const std::string& Msg)>;
using TSmtpGetData = std::function<void(TCustomSmtpClient* Sender, int LineNum,
                                        std::string& MsgLine, int MaxLen, bool& More)>;
using TSmtpHeaderLineEvent = std::function<void(TCustomSmtpClient* Sender, std::string& Msg)>;
using TSmtpProcessHeader =
    std::function<void(TCustomSmtpClient* Sender, std::vector<std::string>& HdrLines)>;
using TSmtpRequestDone =
    std::function<void(TCustomSmtpClient* Sender, TSmtpRequest RqType, WORD ErrorCode)>;
using TSmtpSessionEvent = std::function<void(TCustomSmtpClient* Sender, WORD Error)>;
using TSmtpNotify = std::function<void(TCustomSmtpClient* Sender)>;

class TCustomSmtpClient {
public:
    TCustomSmtpClient();
    virtual ~TCustomSmtpClient();
    TCustomSmtpClient(const TCustomSmtpClient&) = delete;
    TCustomSmtpClient& operator=(const TCustomSmtpClient&) = delete;

    std::string Host;
    std::string LocalAddr = "0.0.0.0";
    std::string Port = "smtp";
    std::string SignOn;
    std::string Username, Password;
    TSmtpAuthType AuthType = smtpAuthNone;
    std::string FromName;
    std::vector<std::string> RcptName;
    std::vector<std::string> MailMessage;
    std::string HdrFrom, HdrTo, HdrCc, HdrReplyTo, HdrReturnPath, HdrSubject, HdrSender;
    // The report is UTF-8, so the message says so.
    std::string CharSet = SmtpDefaultCharSet;
    TSmtpContentType ContentType = smtpPlainText;
    int Tag = 0;
    bool OwnHeaders = false;

    TSmtpDisplay OnDisplay;
    TSmtpDisplay OnCommand;
    TSmtpDisplay OnResponse;
    TSmtpGetData OnGetData;
    TSmtpHeaderLineEvent OnHeaderLine;
    TSmtpProcessHeader OnProcessHeader;
    TSmtpRequestDone OnRequestDone;
    TSmtpSessionEvent OnSessionConnected;
    TSmtpSessionEvent OnSessionClosed;
    TSmtpNotify OnStateChange;

    TSmtpState State() const { return FState; }
    const std::string& ErrorMessage() const { return FErrorMessage; }
    const std::string& LastResponse() const { return FLastResponse; }
    int StatusCode() const { return FStatusCode; }
    int ErrorCode() const { return FErrorCode; }
    TSmtpRequest RequestType() const { return FRequestType; }
    bool Connected() const { return FConnected; }
    TWSocket& Socket() { return FWSocket; }

    virtual void Connect();
    virtual void Helo();
    virtual void Ehlo();
    virtual void Auth();
    virtual void Vrfy();
    virtual void MailFrom();
    virtual void RcptTo();
    virtual void Data();
    virtual void Quit();
    virtual void Rset();
    virtual void Abort();
    virtual void Open();
    virtual void Mail();

    void ClearErrorMessage() { FErrorMessage.clear(); }
    void SetErrorMessage();

protected:
    virtual void TriggerDisplay(const std::string& Msg);
    virtual void TriggerCommand(const std::string& Msg);
    virtual void TriggerResponse(const std::string& Msg);
    virtual void TriggerRequestDone(WORD Error);
    virtual void TriggerStateChange();
    virtual void TriggerGetData(int LineNum, std::string& MsgLine, int MaxLen, bool& More);
    virtual void TriggerHeaderLine(std::string& Line);
    virtual void TriggerProcessHeader(std::vector<std::string>& HdrLines);
    virtual void TriggerSessionConnected(WORD Error);
    virtual void TriggerSessionClosed(WORD Error);
    virtual void SendCommand(const std::string& Cmd);
    virtual void WndProc(TMessage& Msg);

    // The message's header fields as they stand now.
    virtual SmtpHeaderFields HeaderFields() const;
    void HighLevelAsync(TSmtpRequest Request, TSmtpFctSet Steps);
    void StateChange(TSmtpState NewState);
    // Ends the session at once; the running request is ended by the caller.
    void CloseQuietly();

    TWSocket FWSocket;
    ReplyReader FReader{SmtpReplyLine, true};
    std::string FErrorMessage;
    int FStatusCode = 0;
    // The error the last finished request ended with.
    int FRequestResult = 0;

private:
    using Handler = void (TCustomSmtpClient::*)();

    void CheckReady();
    void ExecAsync(TSmtpRequest Request, const std::string& Cmd, std::vector<int> OkResponses,
                   Handler DoneHandler);
    void DoHighLevelAsync();
    void NextExecAsync();
    void RcptToNext();
    void RcptToDone();
    void EhloDone();
    // Starts a request that ends without a command.
    void BeginLocalRequest(TSmtpRequest Request);
    void FailRequest(WORD Error, const std::string& Response);
    void Walk(bool First);
    void ProcessLine(const ReplyLine& Line);
    void SendMessageLines();
    void AuthNextLogin();
    void AuthNextLoginPassword();
    void AuthNextCramMD5();
    void AuthDone();
    void DataNext();
    void QuitDone();
    // A local failure: "500 " + text, the session closed, the request ended.
    void LocalFailure(const std::string& Text);
    void EndRequest(WORD Error);

    void WSocketDnsLookupDone(WORD Error);
    void WSocketSessionConnected(WORD Error);
    void WSocketDataAvailable(WORD Error);
    void WSocketSessionClosed(WORD Error);

    HWND FWindowHandle = nullptr;
    TSmtpState FState = smtpReady;
    std::string FLastResponse;
    int FErrorCode = 0;
    TSmtpRequest FRequestType = smtpConnect;
    bool FConnected = false;
    bool FESmtpSupported = false;
    bool FRequestDoneFlag = true;
    bool FQuitSent = false;
    bool FQuietClose = false;
    // Grows with every session, so that lines of a closed one are dropped.
    unsigned FSession = 0;
    ReplyLine FLine;
    std::vector<int> FOkResponses;
    Handler FNext = nullptr;
    Handler FDoneAsync = nullptr;
    bool FHighLevelFlag = false;
    TSmtpFctSet FFctSet;
    TSmtpFct FFctPrv = smtpFctNone;
    int FHighLevelResult = 0;
    // Recipients: the addresses to send, the one being sent, how many were accepted.
    std::vector<std::string> FRcptAddresses;
    std::size_t FItemCount = 0;
    int FRcptAccepted = 0;
    int FRcptLastRefusal = 0;
    // DATA: the header lines, then the message lines as they are asked for.
    std::vector<std::string> FHdrLines;
    std::size_t FHdrIndex = 0;
    int FLineNum = 0;
    bool FMoreLines = false;
    bool FDataPumping = false;
    std::vector<std::string> FPendingLines;
    std::size_t FPendingIndex = 0;
};

// The message text from MailMessage, with EmailFiles attached in MIME.
class TSmtpCli : public TCustomSmtpClient {
public:
    using TAttachContentType =
        std::function<void(TCustomSmtpClient* Sender, int FileNumber, const std::string& FileName,
                           std::string& ContentType)>;
    using TAttachHeader =
        std::function<void(TCustomSmtpClient* Sender, int FileNumber, const std::string& FileName,
                           std::vector<std::string>& HdrLines)>;

    const std::vector<std::string>& EmailFiles() const { return FEmailFiles; }
    // Raises "File not found '" + name + "'" for a file that does not exist.
    void SetEmailFiles(const std::vector<std::string>& Files);

    TAttachContentType OnAttachContentType;
    TAttachHeader OnAttachHeader;

    void Data() override;

protected:
    void TriggerGetData(int LineNum, std::string& MsgLine, int MaxLen, bool& More) override;
    SmtpHeaderFields HeaderFields() const override;
    virtual void TriggerAttachContentType(int FileNumber, const std::string& FileName,
                                          std::string& ContentType);
    virtual void TriggerAttachHeader(int FileNumber, const std::string& FileName,
                                     std::vector<std::string>& HdrLines);
    void PrepareEMail();

private:
    // Opens the next attachment and queues its lines; false when none is left.
    bool NextAttachment();

    std::vector<std::string> FEmailFiles;
    std::vector<std::string> FMailMsgText;
    std::size_t FMailMsgIndex = 0;
    std::string FEmailBody; // the boundary; empty without attachments
    std::size_t FEmailFileIndex = 0;
    int FBodyLine = 0;
    bool FBodyFlag = false;
    bool FClosingSent = false;
};

// Waits for each request, pumping messages, for at most Timeout seconds
// without progress.
class TSyncSmtpCli : public TSmtpCli {
public:
    int Timeout = 15;
    bool MultiThreaded = false;

    bool WaitUntilReady();
    bool ConnectSync();
    bool HeloSync();
    bool EhloSync();
    bool AuthSync();
    bool VrfySync();
    bool MailFromSync();
    bool RcptToSync();
    bool DataSync();
    bool QuitSync();
    bool RsetSync();
    bool AbortSync();
    bool OpenSync();
    bool MailSync();

protected:
    void TriggerGetData(int LineNum, std::string& MsgLine, int MaxLen, bool& More) override;

private:
    bool Synchronize(void (TCustomSmtpClient::*Proc)());
    DWORD FTimeStop = 0;
};
