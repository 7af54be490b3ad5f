#pragma once
// The asynchronous socket: one TCP or UDP socket driven by the messages of
// its hidden window on the thread that made it. Sends go into a queue of
// fixed-size chunks that drains whenever the library reports room; what
// happens is told through events that carry the sender and a 16-bit error.

#include "net/WSockBuf.h"
#include "net/WSocket.h"

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <sys/time.h>
#include <vector>

enum TSocketState {
    wsInvalidState,
    wsOpened,
    wsBound,
    wsConnecting,
    wsConnected,
    wsAccepting,
    wsListening,
    wsClosed
};
enum TSocketSendFlags { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };
enum TWSocketOption { wsoNoReceiveLoop, wsoTcpNoDelay };

// A set of TWSocketOption.
class TWSocketOptions {
public:
    TWSocketOptions() = default;
    TWSocketOptions(std::initializer_list<TWSocketOption> options) {
        for (TWSocketOption o : options)
            FBits |= 1u << o;
    }
    bool Contains(TWSocketOption o) const { return FBits & (1u << o); }
    TWSocketOptions Without(TWSocketOption o) const {
        TWSocketOptions copy = *this;
        copy.FBits &= ~(1u << o);
        return copy;
    }

private:
    unsigned FBits = 0;
};

class TCustomWSocket;

using TDataAvailable = std::function<void(TCustomWSocket* Sender, WORD Error)>;
using TDataSent = std::function<void(TCustomWSocket* Sender, WORD Error)>;
using TSendData = std::function<void(TCustomWSocket* Sender, int BytesSent)>;
using TSessionClosed = std::function<void(TCustomWSocket* Sender, WORD Error)>;
using TSessionAvailable = std::function<void(TCustomWSocket* Sender, WORD Error)>;
using TSessionConnected = std::function<void(TCustomWSocket* Sender, WORD Error)>;
using TDnsLookupDone = std::function<void(TCustomWSocket* Sender, WORD Error)>;
using TChangeState =
    std::function<void(TCustomWSocket* Sender, TSocketState OldState, TSocketState NewState)>;
using TBgExceptionEvent =
    std::function<void(TCustomWSocket* Sender, const std::exception& E, bool& CanClose)>;
using TDebugDisplay = std::function<void(TCustomWSocket* Sender, const std::string& Msg)>;
using TNotifyEvent = std::function<void(TCustomWSocket* Sender)>;

class TCustomWSocket : public WSocketMessageWindow {
public:
    TCustomWSocket();
    ~TCustomWSocket() override;
    TCustomWSocket(const TCustomWSocket&) = delete;
    TCustomWSocket& operator=(const TCustomWSocket&) = delete;

    // The end points; each may change only while closed.
    const std::string& Addr() const { return FAddrStr; }
    void SetAddr(const std::string& text);
    const std::string& Port() const { return FPortStr; }
    virtual void SetRemotePort(const std::string& text);
    void SetPort(const std::string& text) { SetRemotePort(text); }
    const std::string& Proto() const { return FProtoStr; }
    virtual void SetProto(const std::string& text);
    const std::string& LocalAddr() const { return FLocalAddr; }
    void SetLocalAddr(const std::string& text);
    const std::string& LocalPort() const { return FLocalPortStr; }
    void SetLocalPort(const std::string& text);
    TSocketSendFlags SendFlags() const;
    void SetSendFlags(TSocketSendFlags flags);

    TSocketState State() const { return FState; }
    const std::string& DnsResult() const { return FDnsResult; }
    const std::vector<std::string>& DnsResultList() const { return FDnsResultList; }
    int ReadCount() const { return FReadCount; }
    int RcvdCount() { return GetRcvdCount(); }
    int LastError() const { return FLastError; }
    SOCKET HSocket() const { return FHSocket; }
    bool AllSent() const { return FAllSent; }
    // Whether the last receive filled the whole buffer it was given.
    bool RcvdFull() const { return FRcvdFlag; }
    std::string PeerAddr() { return GetPeerAddr(); }
    std::string PeerPort() { return GetPeerPort(); }

    bool MultiCast = false;
    std::string MultiCastAddrStr;
    int MultiCastIpTTL = 1;
    bool ReuseAddr = false;
    TWSocketOptions ComponentOptions;
    int FlushTimeout = 60;
    TSocketLingerOnOff LingerOnOff = wsLingerOn;
    int LingerTimeout = 0;

    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TSessionClosed OnSessionClosed;
    TChangeState OnChangeState;
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSendData OnSendData;
    TDnsLookupDone OnDnsLookupDone;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;
    TDebugDisplay OnDisplay;

    virtual void Connect();
    virtual void Close();
    virtual void CloseDelayed();
    // Destroys the socket from the message loop; the socket must have been
    // made with new.
    virtual void Release();
    virtual void Abort();
    // Sends what is queued, pumping messages, for at most FlushTimeout seconds.
    virtual void Flush();
    // Waits for the peer to close, for at most FlushTimeout seconds.
    virtual void WaitForClose();
    virtual void Listen();
    virtual SOCKET Accept();
    virtual int Receive(void* buffer, int size);
    virtual std::string ReceiveStr();
    virtual int ReceiveFrom(void* buffer, int size, SOCKADDR_IN& from, int& fromLength);
    int PeekData(void* buffer, int size);
    virtual int Send(const void* data, int length);
    virtual int SendTo(const SOCKADDR_IN& to, int toLength, const void* data, int length);
    virtual int SendStr(const std::string& text);
    void SendText(const std::string& text) { SendStr(text); }
    void PutDataInSendBuffer(const void* data, int length);
    void PutStringInSendBuffer(const std::string& text);
    void DeleteBufferedData();
    void TryToSend();
    virtual void DnsLookup(const std::string& host);
    virtual void ReverseDnsLookup(const std::string& address);
    virtual void CancelDnsLookup();
    virtual std::string GetPeerAddr();
    virtual std::string GetPeerPort();
    virtual int GetPeerName(SOCKADDR_IN& name, int& length);
    virtual std::string GetXPort();
    virtual std::string GetXAddr();
    virtual int GetSockName(SOCKADDR_IN& name, int& length);
    virtual void Dup(SOCKET handle);
    virtual void Shutdown(int how);
    virtual void Pause();
    virtual void Resume();
    void SetLingerOption();

    static bool TimerIsSet(const timeval& t) { return t.tv_sec != 0 || t.tv_usec != 0; }
    static void TimerClear(timeval& t) { t.tv_sec = t.tv_usec = 0; }
    static bool TimerCmp(const timeval& a, const timeval& b, bool equal) {
        return (a.tv_sec == b.tv_sec && a.tv_usec == b.tv_usec) == equal;
    }

    void HandleBackGroundException(const std::exception& E) override;

protected:
    void HandleMessage(TMessage& message) override;
    SOCKET SocketHandle() const override { return FHSocket; }
    long SelectedEvents() const override { return FSelectEvent; }

    virtual void AssignDefaultValue();
    virtual void InternalClose(bool shut, WORD error);
    virtual int GetRcvdCount();
    virtual void BindSocket();
    virtual int RealSend(const void* data, int length);
    virtual void RaiseExceptionFmt(const char* format, const std::string& text, int code);
    virtual void RaiseException(const std::string& text);
    virtual bool TriggerDataAvailable(WORD error);
    virtual void TriggerSessionAvailable(WORD error);
    virtual void TriggerSessionConnected(WORD error);
    virtual void TriggerSessionClosed(WORD error);
    virtual void TriggerDataSent(WORD error);
    virtual void TriggerChangeState(TSocketState oldState, TSocketState newState);
    virtual void TriggerDNSLookupDone(WORD error);
    virtual void TriggerError();
    void TriggerSendData(int count);
    void TriggerDisplay(const std::string& text);
    virtual int DoRecv(void* buffer, int size, int flags);
    virtual int DoRecvFrom(void* buffer, int size, SOCKADDR_IN& from, int& fromLength);
    void AddToReadCount(int bytes);

    void ChangeState(TSocketState newState);
    void SocketError(const std::string& sockfunc);
    void ASyncReceive(WORD error, TWSocketOptions options);
    // True while the socket object exists: a handler may destroy it, and
    // whoever fired the handler looks here before touching the object.
    std::shared_ptr<bool> Alive() const { return FAlive; }

    std::string FDnsResult;
    std::vector<std::string> FDnsResultList;
    SOCKET FASocket = INVALID_SOCKET;
    std::deque<std::unique_ptr<TBuffer>> FBufList;
    int FBufSize = 1460;
    int FSendFlags = 0;
    int FLastError = 0;
    std::vector<char> FDnsLookupBuffer;
    HANDLE FDnsLookupHandle = nullptr;
    bool FDnsLookupCheckMsg = false;
    TMessage FDnsLookupTempMsg;
    SOCKET FHSocket = INVALID_SOCKET;
    std::string FAddrStr;
    bool FAddrResolved = false;
    int FAddrFormat = WS_PF_INET;
    bool FAddrAssigned = false;
    int FProto = WS_IPPROTO_TCP;
    bool FProtoAssigned = false;
    bool FProtoResolved = false;
    bool FLocalPortResolved = false;
    std::string FProtoStr;
    std::string FPortStr;
    bool FPortAssigned = false;
    bool FPortResolved = false;
    USHORT FPortNum = 0;
    std::string FLocalPortStr;
    USHORT FLocalPortNum = 0;
    std::string FLocalAddr;
    int FType = WS_SOCK_STREAM;
    bool FAllSent = true;
    int FReadCount = 0;
    bool FPaused = false;
    bool FCloseInvoked = false;
    TSocketState FState = wsClosed;
    bool FRcvdFlag = false;
    long FSelectEvent = 0;
    bool FDestroying = false;
    SOCKADDR_IN sin{};

private:
    void WMASyncSelect(TMessage& msg);
    void WMAsyncGetHostByName(TMessage& msg);
    void WMAsyncGetHostByAddr(TMessage& msg);
    // Starts a session on a fresh handle: its close is reported anew.
    void BeginSession();
    void ResolveEndPoints(bool forListen);

    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
