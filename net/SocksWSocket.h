#pragma once
// The SOCKS client layer: with a SOCKS server set, Connect reaches the
// server, negotiates levels 4, 4A or 5 (with a user code for 5) on the
// received data, and only then tells the owner the session is connected.
// Bytes behind the server's last reply reach the owner as received data.

#include "net/CustomWSocket.h"
#include "net/SocksProtocol.h"

enum TSocksState { socksData, socksNegociateMethods, socksAuthenticate, socksConnect };
enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };
enum TSocksAuthState { socksAuthStart, socksAuthSuccess, socksAuthFailure, socksAuthNotRequired };

using TSocksErrorEvent =
    std::function<void(TCustomWSocket* Sender, int Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TCustomWSocket* Sender, TSocksAuthState AuthState)>;

class TCustomSocksWSocket : public TCustomWSocket {
public:
    TCustomSocksWSocket();

    const std::string& SocksLevel() const { return FSocksLevel; }
    void SetSocksLevel(const std::string& level);
    const std::string& SocksServer() const { return FSocksServer; }
    virtual void SetSocksServer(const std::string& server);
    const std::string& SocksPort() const { return FSocksPort; }
    virtual void SetSocksPort(const std::string& port);
    std::string SocksUsercode;
    std::string SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;
    TSocksState SocksState() const { return FSocksState; }
    // What a level-5 server bound for the connection.
    const std::string& BoundAddr() const { return FBoundAddr; }
    const std::string& BoundPort() const { return FBoundPort; }

    TSessionConnected OnSocksConnected;
    TSocksErrorEvent OnSocksError;
    TSocksAuthStateEvent OnSocksAuthState;

    void Connect() override;
    void Listen() override;

protected:
    virtual void TriggerSocksConnected(WORD error);
    virtual void TriggerSocksError(int error, const std::string& msg);
    void TriggerSocksAuthState(TSocksAuthState state);

    void AssignDefaultValue() override;
    int GetRcvdCount() override;
    bool TriggerDataAvailable(WORD error) override;
    void TriggerSessionConnected(WORD error) override;
    void TriggerSessionClosed(WORD error) override;
    int DoRecv(void* buffer, int size, int flags) override;

    TSocksState FSocksState = socksData;

private:
    void SocksDoConnect();
    void SocksDoAuthenticate();
    void DataAvailableError(int error, const std::string& msg);
    // Receives what the reply still lacks into the reply buffer; false when
    // nothing came (the next data message brings more) or the session ended.
    bool ReceiveReply(int most);
    void SendRequest(const std::string& request);
    // The negotiation is over: the owner hears of the session, then of the
    // bytes that came behind the reply.
    bool Negotiated(int used);

    std::string FSocksServer;
    std::string FSocksLevel = "5";
    std::string FSocksPort;
    bool FSocksPortAssigned = false;
    bool FSocksServerAssigned = false;
    unsigned char FSocksMethod = 0;
    std::string FBoundAddr;
    std::string FBoundPort;
    USHORT FDestPort = 0; // network order
    unsigned char FRcvBuf[kSocksReplyMax] = {};
    int FRcvCnt = 0;
    int FSocksRcvdCnt = 0;
    int FSocksRcvdPtr = 0;
};
