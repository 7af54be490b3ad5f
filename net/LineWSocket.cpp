#include "net/LineWSocket.h"

#include <algorithm>
#include <cstring>

namespace {
// Bytes asked for when the library says none are waiting.
constexpr int kDefaultReceive = 255;
constexpr int kTabWidth = 8;
constexpr char kBackspace = 8;
constexpr char kTab = 9;
} // namespace

TCustomLineWSocket::TCustomLineWSocket() = default;

TCustomLineWSocket::~TCustomLineWSocket() = default;

void TCustomLineWSocket::SetLineMode(bool value) {
    if (value == FLineMode) return;
    FLineMode = value;
    if (value) FRescan = true;
    if (FRcvdCnt > 0 || FLineLength > 0) PostHeldData();
}

void TCustomLineWSocket::PostHeldData() {
    PostMessageA(FWindowHandle, WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

void TCustomLineWSocket::HandleMessage(TMessage& message) {
    if (message.Msg == WM_TRIGGER_DATA_AVAILABLE)
        WMTriggerDataAvailable();
    else
        TCustomSocksWSocket::HandleMessage(message);
}

void TCustomLineWSocket::WMTriggerDataAvailable() {
    auto alive = Alive();
    while (FRcvdCnt > 0) {
        const int count = FRcvdCnt, line = FLineLength;
        const bool mode = FLineMode;
        TriggerDataAvailable(0);
        if (!*alive) return;
        // A round that took nothing would take nothing again.
        if (FRcvdCnt == count && FLineLength == line && FLineMode == mode) break;
    }
}

int TCustomLineWSocket::GetRcvdCount() {
    if (FLineMode) return FLineLength;
    return TCustomSocksWSocket::GetRcvdCount();
}

int TCustomLineWSocket::DoRecv(void* buffer, int size, int flags) {
    int count;
    if (FLineMode && FLineLength > 0)
        count = std::min(size, FLineLength);
    else if (!FLineMode && FRcvdCnt > 0)
        count = std::min(size, FRcvdCnt);
    else
        return TCustomSocksWSocket::DoRecv(buffer, size, flags);
    count = std::max(count, 0);
    std::memcpy(buffer, Held(), std::size_t(count));
    if (flags & WS_MSG_PEEK) return count;
    if (FLineMode) FLineLength -= count;
    FRcvdStart += count;
    FRcvdCnt -= count;
    if (FRcvdCnt == 0) FRcvdStart = 0;
    return count;
}

void TCustomLineWSocket::Compact() {
    if (FRcvdStart > 0) {
        std::memmove(FRcvdPtr.data(), Held(), std::size_t(FRcvdCnt) + 1);
        FRcvdStart = 0;
    }
}

std::string TCustomLineWSocket::TakeHeld() {
    std::string held(Held(), std::size_t(FRcvdCnt));
    FRcvdCnt = FRcvdStart = FLineLength = 0;
    if (!FRcvdPtr.empty()) FRcvdPtr[0] = 0;
    return held;
}

void TCustomLineWSocket::TriggerLineLimitExceeded(int count, bool& clearData) {
    if (OnLineLimitExceeded) OnLineLimitExceeded(this, count, clearData);
}

bool TCustomLineWSocket::DeliverLine() {
    auto alive = Alive();
    const int generation = FBufferGeneration;
    while (FLineMode && FLineLength > 0) {
        const int before = FLineLength;
        bool handled = TCustomSocksWSocket::TriggerDataAvailable(0);
        if (!*alive || generation != FBufferGeneration) return false;
        if (!handled) {
            // Nobody reads lines: the line is dropped.
            FRcvdStart += FLineLength;
            FRcvdCnt -= FLineLength;
            FLineLength = 0;
            break;
        }
        if (FLineLength == before) break;
    }
    return true;
}

bool TCustomLineWSocket::TriggerDataAvailable(WORD error) {
    if (!FLineMode || LineEnd.empty() || FSocksState != socksData)
        return TCustomSocksWSocket::TriggerDataAvailable(error);

    int waiting = TCustomSocksWSocket::GetRcvdCount();
    if (waiting < 0) return true;
    if (waiting == 0) waiting = kDefaultReceive;
    Compact();
    const std::size_t need = std::size_t(FRcvdCnt) + std::size_t(waiting) + 1;
    if (FRcvdPtr.size() < need) FRcvdPtr.resize(std::max(need, FRcvdPtr.size() * 2));

    int got = TCustomSocksWSocket::DoRecv(FRcvdPtr.data() + FRcvdCnt, waiting, 0);
    if (got < 0) {
        // Nothing is added for a failed receive: 10035 waits for the next
        // data message; another error ends the receive loop and the close
        // that follows reports it.
        int code = WSocket_WSAGetLastError();
        if (code != WSAEWOULDBLOCK) FLastError = code;
        got = 0;
    }
    if (got == 0 && FRcvdCnt == 0) return true;
    FRcvdPtr[std::size_t(FRcvdCnt + got)] = 0;

    if (got > 0 && (LineEdit || LineEcho)) {
        // The echo may meet a reset: the session then ends inside Send,
        // which hands over and frees what is held.
        auto alive = Alive();
        const int generation = FBufferGeneration;
        if (LineEdit)
            EditLine(got);
        else
            Send(FRcvdPtr.data() + FRcvdCnt, got);
        if (!*alive || generation != FBufferGeneration) return true;
    }
    const int endLength = int(LineEnd.size());
    int searchFrom = FRescan || got == 0 || FLineLength > 0 ? 0 : std::max(0, FRcvdCnt - endLength);
    FRescan = false;
    FRcvdCnt += got;

    auto alive = Alive();
    while (FLineMode) {
        char* held = Held();
        char* found = nullptr;
        if (FRcvdCnt - searchFrom >= endLength) {
            auto at =
                std::search(held + searchFrom, held + FRcvdCnt, LineEnd.begin(), LineEnd.end());
            if (at != held + FRcvdCnt) found = at;
        }
        if (found == nullptr) {
            if (LineLimit > 0 && FRcvdCnt > LineLimit) {
                FLineClearData = true;
                const int generation = FBufferGeneration;
                TriggerLineLimitExceeded(FRcvdCnt, FLineClearData);
                if (!*alive || generation != FBufferGeneration) return true;
                if (FLineClearData) {
                    FRcvdCnt = FRcvdStart = FLineLength = 0;
                    FLineClearData = false;
                }
            }
            break;
        }
        FLineLength = int(found - held) + endLength;
        FLineReceivedFlag = true;
        if (!DeliverLine()) return true;
        if (FLineLength > 0 && FLineMode) break; // the owner stopped reading
        if (FRcvdCnt == 0) FRcvdStart = 0;
        if (!FRcvdPtr.empty()) Held()[FRcvdCnt] = 0;
        searchFrom = 0;
    }
    return true;
}

void TCustomLineWSocket::EditLine(int& length) {
    char* fresh = FRcvdPtr.data() + FRcvdCnt;
    const bool editing =
        std::any_of(fresh, fresh + length, [](char c) { return c == kBackspace || c == kTab; });
    std::string echo;
    if (!editing) {
        if (LineEcho) echo.assign(fresh, std::size_t(length));
    } else {
        // The whole line so far, since a backspace may take back held bytes.
        std::string line(FRcvdPtr.data(), std::size_t(FRcvdCnt));
        std::size_t newFrom = line.size();
        for (int i = 0; i < length; ++i) {
            char c = fresh[i];
            if (c == kBackspace) {
                if (!line.empty()) {
                    if (LineEcho) echo += "\b \b";
                    line.pop_back();
                    newFrom = std::min(newFrom, line.size());
                }
            } else if (c == kTab) {
                do {
                    line += ' ';
                    if (LineEcho) echo += ' ';
                } while (line.size() % kTabWidth != 0);
            } else {
                line += c;
                if (LineEcho) echo += c;
            }
        }
        if (FRcvdPtr.size() < line.size() + 1) FRcvdPtr.resize(line.size() + 1);
        std::memcpy(FRcvdPtr.data(), line.data(), line.size());
        FRcvdPtr[line.size()] = 0;
        FRcvdCnt = int(newFrom);
        length = int(line.size() - newFrom);
    }
    if (!echo.empty()) Send(echo.data(), int(echo.size()));
}

void TCustomLineWSocket::TriggerSessionClosed(WORD error) {
    FLineReceivedFlag = true;
    if (!FRcvdPtr.empty()) {
        auto alive = Alive();
        if (FLineMode && FRcvdCnt > 0 && !FLineClearData) {
            // What is held without a line end is the last line.
            FLineLength = FRcvdCnt;
            const int generation = FBufferGeneration;
            while (FLineMode && FLineLength > 0) {
                const int before = FLineLength;
                if (!TCustomSocksWSocket::TriggerDataAvailable(0)) break;
                if (!*alive) return;
                if (generation != FBufferGeneration || FLineLength == before) break;
            }
        }
        std::vector<char>().swap(FRcvdPtr);
        FRcvdCnt = FRcvdStart = FLineLength = 0;
        ++FBufferGeneration;
    }
    TCustomSocksWSocket::TriggerSessionClosed(error);
}

// ---- the blocking layer ----

int TCustomSyncWSocket::WaitUntilReady(bool& done) {
    const DWORD stop = GetTickCount() + DWORD(FTimeout);
    auto alive = Alive();
    for (;;) {
        if (done) return 0;
        if ((FTimeout > 0 && TickReached(GetTickCount(), stop)) || ApplicationTerminated() ||
            FTerminated)
            return kWaitTimedOut;
        // The pump itself waits briefly when nothing is queued.
        MessagePump();
        if (!*alive) return kWaitTimedOut;
        Sleep(0);
    }
}

int TCustomSyncWSocket::Synchronize(const std::function<void()>& proc, bool& done) {
    done = false;
    if (proc) proc();
    return WaitUntilReady(done);
}

void TCustomSyncWSocket::InternalDataAvailable(TCustomWSocket*, WORD) {
    // One line per call: later lines stay held, in order, for the owner.
    if (FLineTaken || FLinePointer == nullptr) return;
    std::string& text = *FLinePointer;
    text.assign(std::size_t(std::max(FLineLength, 0)), '\0');
    int got = Receive(text.data(), int(text.size()));
    text.resize(got > 0 ? std::size_t(got) : 0);
    FLineTaken = true;
}

void TCustomSyncWSocket::ReadLine(int timeout, std::string& text) {
    text.clear();
    if (FState != wsConnected) {
        RaiseException("ReadLine failed: not connected");
        return;
    }
    FTimeout = timeout == 0 ? 60000 : timeout > 0 ? timeout * 1000 : -timeout;
    FLineReceivedFlag = false;
    FLineTaken = false;
    FLinePointer = &text;
    TDataAvailable savedHandler = OnDataAvailable;
    const bool savedMode = FLineMode;
    OnDataAvailable = [this](TCustomWSocket* sender, WORD error) {
        InternalDataAvailable(sender, error);
    };
    FLineMode = true;
    if (!savedMode) FRescan = true;
    // A line already held is taken without waiting for new data.
    if (HeldCount() > 0) PostHeldData();
    auto alive = Alive();
    auto restore = [&] {
        FLinePointer = nullptr;
        OnDataAvailable = savedHandler;
        // Through SetLineMode, so that bytes behind the line reach the owner.
        if (FLineMode != savedMode)
            SetLineMode(savedMode);
        else if (HeldCount() > 0)
            PostHeldData();
    };
    try {
        int result = Synchronize(nullptr, FLineReceivedFlag);
        if (!*alive) return;
        if (result == kWaitTimedOut && !FLineTaken && HeldCount() > 0) text = TakeHeld();
    } catch (...) {
        if (*alive) restore();
        throw;
    }
    restore();
}
