#pragma once
// The HTTP/1.0 client: one document at a time over one asynchronous socket,
// driven by the messages of its own hidden window. A request ends with the
// request-done event; the blocking forms pump messages until then and raise
// EHttpException for a status of 400 or more (local failures report 404).

#include "net/HttpReply.h"
#include "net/LineWSocket.h"
#include "net/BulkReceive.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

enum THttpRequest { httpAbort, httpGET, httpPOST, httpHEAD };
enum THttpState {
    httpReady,
    httpNotConnected,
    httpConnected,
    httpDnsLookup,
    httpDnsLookupDone,
    httpWaitingHeader,
    httpWaitingBody,
    httpAborting
};

class EHttpException : public std::runtime_error {
public:
    EHttpException(const std::string& message, WORD code)
        : std::runtime_error(message), ErrorCode(code) {}
    WORD ErrorCode;
};

constexpr WORD kHttpBusy = 1;
constexpr WORD kHttpNothingToPost = 2;
constexpr WORD kHttpLineTooLong = 4;
// The status of every failure found on this side of the connection.
constexpr int kHttpLocalFailure = 404;
// Relocations followed for one request before it fails.
constexpr int kHttpMaxRelocations = 10;
// The document passes through in pieces of at most this size; a POST body
// goes out in chunks of kHttpSendChunk bytes.
constexpr int kHttpReceiveBuffer = 8192;
constexpr int kHttpSendChunk = 8193;

class THttpCli;
using THttpNotify = std::function<void(THttpCli* Sender)>;
using THttpRequestDone = std::function<void(THttpCli* Sender, THttpRequest RqType, WORD Error)>;
using THttpCommand = std::function<void(THttpCli* Sender, std::string& S)>;
using THttpBeforeHeaderSend = std::function<void(THttpCli* Sender, const std::string& Method,
                                                 std::vector<std::string>& Headers)>;
using THttpCookie = std::function<void(THttpCli* Sender, const std::string& Data, bool& Accept)>;
using THttpData = std::function<void(THttpCli* Sender, const char* Buffer, int Len)>;

class THttpCli {
public:
    THttpCli();
    ~THttpCli();
    THttpCli(const THttpCli&) = delete;
    THttpCli& operator=(const THttpCli&) = delete;

    // Settings, as the caller leaves them between requests.
    std::string URL;
    std::string LocalAddr = "0.0.0.0";
    std::string Proxy;
    std::string ProxyPort = "80";
    std::string Sender;
    std::string Agent = "Mozilla/3.0 (compatible)";
    std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string AcceptLanguage;
    std::string Reference;
    std::string Username, Password;
    std::string ProxyUsername, ProxyPassword;
    bool NoCache = false;
    std::time_t ModifiedSince = 0;
    std::string Cookie;
    std::string ContentTypePost = "application/x-www-form-urlencoded";
    std::string ContentRangeBegin, ContentRangeEnd;
    std::string AcceptRanges;
    // The body of a POST, from its current position; not owned.
    std::istream* SendStream = nullptr;
    // Receives every byte of the document; not owned, may be null.
    std::ostream* RcvdStream = nullptr;

    bool MultiThreaded() const { return FMultiThreaded; }
    void SetMultiThreaded(bool value);
    // The SOCKS settings are kept here: the socket drops them at every close,
    // so they are given to it again before each connect.
    const std::string& SocksServer() const { return FSocksServer; }
    void SetSocksServer(const std::string& v) {
        SetSocks([&](TWSocket& s) { s.SetSocksServer(v); });
    }
    const std::string& SocksPort() const { return FSocksPort; }
    void SetSocksPort(const std::string& v) {
        SetSocks([&](TWSocket& s) { s.SetSocksPort(v); });
    }
    const std::string& SocksLevel() const { return FSocksLevel; }
    void SetSocksLevel(const std::string& v) {
        SetSocks([&](TWSocket& s) { s.SetSocksLevel(v); });
    }
    void SetSocksUsercode(const std::string& v) { FSocksUsercode = v; }
    void SetSocksPassword(const std::string& v) { FSocksPassword = v; }
    void SetSocksAuthentication(TSocksAuthentication v) { FSocksAuthentication = v; }

    // What the last or running request found.
    THttpState State() const { return FState; }
    THttpRequest RequestType() const { return FRequestType; }
    int StatusCode() const { return FStatusCode; }
    const std::string& ReasonPhrase() const { return FReasonPhrase; }
    const std::string& DocName() const { return FDocName; }
    std::int64_t ContentLength() const { return FContentLength; }
    const std::string& ContentType() const { return FContentType; }
    std::int64_t RcvdCount() const { return FRcvdCount; }
    std::int64_t SentCount() const { return FSentCount; }
    const std::vector<std::string>& RcvdHeader() const { return FRcvdHeader; }
    const std::vector<std::string>& AuthorizationRequest() const { return FAuthorizationRequest; }
    const std::string& Location() const { return FLocation; }
    bool Connected() const { return FConnected; }
    const std::string& DnsResult() const { return FDnsResult; }
    WORD RequestDoneError() const { return FRequestDoneError; }
    TWSocket& CtrlSocket() { return *FCtrlSocket; }

    THttpNotify OnStateChange;
    THttpNotify OnSessionConnected;
    THttpNotify OnRequestHeaderBegin, OnRequestHeaderEnd;
    THttpBeforeHeaderSend OnBeforeHeaderSend;
    THttpCommand OnCommand;
    THttpNotify OnHeaderBegin, OnHeaderEnd, OnHeaderData;
    THttpCookie OnCookie;
    THttpNotify OnLocationChange;
    THttpNotify OnDocBegin;
    THttpData OnDocData;
    THttpNotify OnDocEnd;
    THttpNotify OnSendBegin;
    THttpData OnSendData;
    THttpNotify OnSendEnd;
    THttpRequestDone OnRequestDone;
    THttpNotify OnSocketError;
    TSessionConnected OnSocksConnected;
    TSocksErrorEvent OnSocksError;

    // Blocking requests: pump messages until the request is over.
    void Get() { DoRequestSync(httpGET); }
    void Post() { DoRequestSync(httpPOST); }
    void Head() { DoRequestSync(httpHEAD); }
    void GetASync() { DoRequestAsync(httpGET); }
    void PostASync() { DoRequestAsync(httpPOST); }
    void HeadASync() { DoRequestAsync(httpHEAD); }
    void Abort();

private:
    void DoRequestAsync(THttpRequest request);
    void DoRequestSync(THttpRequest request);
    void InternalClear();
    void Login();
    void Logout();
    void SocketDNSLookupDone(WORD error);
    void SocketSessionConnected(WORD error);
    void SocketSessionClosed(WORD error);
    void SocketDataAvailable(WORD error);
    void SocketDataSent(WORD error);
    void SendRequest(const std::string& method);
    void SendCommand(std::string line);
    void HeaderLine(const std::string& line);
    void HeaderEnded();
    void BodyPiece(const char* data, int length);
    void Relocate(const std::string& value);
    void LocationSessionClosed();
    // Ends the request with a failure found here: status 404 and the reason.
    void Fail(const std::string& reason);
    void SetReady();
    void SetState(THttpState state);
    void WndProc(TMessage& msg);
    // The session in use ends here: its later events are no longer heard.
    void EndSession();
    bool SetTarget(const std::string& url);
    // Gives the socket the SOCKS settings kept here.
    void ApplySocks();
    // Changes a SOCKS setting through the socket's own checked setter.
    void SetSocks(const std::function<void(TWSocket&)>& set);
    // The credentials a URL names become Username and Password, for the
    // URL's host and port.
    void TakeUrlCredentials(const std::string& user, const std::string& pass);
    // Whether Username and Password are still those a URL gave for another
    // host or port than the target's.
    bool CredentialsOfAnotherServer() const;

    std::unique_ptr<TWSocket> FCtrlSocket;
    HWND FWindowHandle = nullptr;
    bool FMultiThreaded = false;
    std::string FSocksServer, FSocksPort, FSocksLevel = "5";
    std::string FSocksUsercode, FSocksPassword;
    TSocksAuthentication FSocksAuthentication = socksNoAuthentication;

    THttpState FState = httpReady;
    THttpRequest FRequestType = httpGET;
    int FStatusCode = 0;
    std::string FReasonPhrase;
    std::string FDocName;
    std::int64_t FContentLength = -1;
    std::string FContentType;
    std::int64_t FRcvdCount = 0;
    std::int64_t FSentCount = 0;
    std::vector<std::string> FRcvdHeader;
    std::vector<std::string> FAuthorizationRequest;
    std::string FLocation;
    bool FConnected = false;
    std::string FDnsResult;
    WORD FRequestDoneError = 0;

    std::string FHostname, FPort, FPath, FTargetHost, FTargetPort;
    // The credentials this request sends; a relocation to another server
    // drops them.
    std::string FAuthUser, FAuthPass;
    struct UrlCredentials {
        bool taken = false;
        std::string host, port, user, pass;
    } FUrlCredentials;
    bool FHeaderIn = false;
    bool FLocationFlag = false;
    bool FSendingBody = false;
    bool FBodyPhase = false;
    bool FFailed = false;
    int FHeaderLineCount = 0;
    int FBodyPieces = 0;
    int FRelocations = 0;
    std::int64_t FSendLeft = 0;
    // Whether the socket's events belong to the running request.
    bool FSessionOpen = false;
    // Counts the requests; a posted step of an earlier one is dropped.
    WPARAM FSerial = 0;
    HttpHeaderReader FHeader;
    HttpReplyFields FFields;
    std::vector<char> FReceiveBuffer = std::vector<char>(kHttpReceiveBuffer + 1);
    // The document as received, handed on in pieces of kHttpReceiveBuffer.
    BulkReceive FBody;
    std::vector<char> FSendBuffer = std::vector<char>(kHttpSendChunk);
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
