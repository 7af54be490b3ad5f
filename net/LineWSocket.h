#pragma once
// The socket's top layers: line mode (received bytes handed over one line
// at a time, with optional echo and simple editing), the blocking wait and
// ReadLine, and the published socket classes.

#include "net/SocksWSocket.h"

using TLineLimitEvent =
    std::function<void(TCustomWSocket* Sender, int RcvdLength, bool& ClearData)>;

class TCustomLineWSocket : public TCustomSocksWSocket {
public:
    TCustomLineWSocket();
    ~TCustomLineWSocket() override;

    bool LineMode() const { return FLineMode; }
    virtual void SetLineMode(bool value);
    std::string LineEnd = "\r\n";
    int LineLimit = 65536;
    bool LineEcho = false;
    bool LineEdit = false;
    TLineLimitEvent OnLineLimitExceeded;

protected:
    void HandleMessage(TMessage& message) override;
    int GetRcvdCount() override;
    bool TriggerDataAvailable(WORD error) override;
    void TriggerSessionClosed(WORD error) override;
    int DoRecv(void* buffer, int size, int flags) override;
    virtual void TriggerLineLimitExceeded(int count, bool& clearData);
    virtual void EditLine(int& length);

    // Hands the held bytes to the owner again from the message loop.
    void PostHeldData();
    int HeldCount() const { return FRcvdCnt; }
    // Takes every held byte, line end or not.
    std::string TakeHeld();

    bool FLineMode = false;
    int FLineLength = 0;
    bool FLineReceivedFlag = false;
    bool FLineClearData = false;
    // Held bytes not yet searched for a line end since line mode came on.
    bool FRescan = false;

private:
    void WMTriggerDataAvailable();
    char* Held() { return FRcvdPtr.data() + FRcvdStart; }
    void Compact();
    // Hands the line at the front over until it is read, line mode goes
    // off, or a round reads nothing; false when the session went meanwhile.
    bool DeliverLine();

    std::vector<char> FRcvdPtr;
    int FRcvdStart = 0; // where the held bytes begin in the block
    int FRcvdCnt = 0;
    // Counts the receive buffers freed at session ends, so that a handler
    // that closed the socket is noticed.
    int FBufferGeneration = 0;
};

class TCustomSyncWSocket : public TCustomLineWSocket {
public:
    // Milliseconds WaitUntilReady waits; 0 or less waits without limit.
    int Timeout() const { return FTimeout; }
    void SetTimeout(int milliseconds) { FTimeout = milliseconds; }

    virtual int Synchronize(const std::function<void()>& proc, bool& done);
    virtual int WaitUntilReady(bool& done);
    // Waits for one line, its line end included. Seconds: 0 waits up to a
    // minute, a negative value is milliseconds.
    void ReadLine(int timeout, std::string& text);

protected:
    void InternalDataAvailable(TCustomWSocket* Sender, WORD error);

    int FTimeout = 0;
    std::string* FLinePointer = nullptr;
    bool FLineTaken = false;
};

// The socket every protocol client uses.
class TWSocket : public TCustomSyncWSocket {};
class TSocksWSocket : public TWSocket {};

// Waiting gave up: time-out, application end or WM_QUIT.
constexpr int kWaitTimedOut = 12001;
