#pragma once
// The SOCKS 4, 4A and 5 exchange as bytes: the requests a client sends and
// the parsing of the replies it gets. Nothing here touches a socket or
// raises; the socket feeds the bytes received so far and acts on the status.

#include <cstdint>
#include <string>

// The largest legal level-5 connect reply: 4 header bytes, a length byte,
// a 255-byte domain name and the port.
constexpr int kSocksReplyMax = 262;
// Each of the host name, user code and password travels behind one
// length byte.
constexpr std::size_t kSocksFieldMax = 255;

// The error codes the SOCKS layer reports through OnSocksError.
enum TSocksError {
    socksLogicError = 20001,
    socksVersionError = 20002,
    socksMethodNotAcceptable = 20003,
    socksGeneralFailure = 20004,
    socksNotAllowed = 20005,
    socksNetworkUnreachable = 20006,
    socksHostUnreachable = 20007,
    socksConnectionRefused = 20008,
    socksTtlExpired = 20009,
    socksCommandNotSupported = 20010,
    socksAddressTypeNotSupported = 20011,
    socksUnassignedError = 20012,
    socksInternalError = 20013,
    socksAuthenticationFailed = 20015,
    socksRequestRejected = 20016,
    socksResolveError = 20017,
};

struct TSocksReply {
    enum Status { NeedMore, Done, Failed } status = NeedMore;
    // Bytes the reply took; what follows belongs to the next stage.
    int used = 0;
    int error = 0;
    std::string text;
    // The method a level-5 server chose.
    int method = -1;
    // The address and port a level-5 server bound for the connection.
    std::string boundAddr;
    std::string boundPort;
};

TSocksReply ParseSocksMethodReply(const unsigned char* data, int length);
TSocksReply ParseSocksAuthReply(const unsigned char* data, int length);
TSocksReply ParseSocks4ConnectReply(const unsigned char* data, int length);
TSocksReply ParseSocks5ConnectReply(const unsigned char* data, int length);

// The requests; false (and nothing built) when a field is longer than its
// length byte can say. Port and address in network order.
std::string SocksGreeting(int method);
bool BuildSocks4Request(std::uint16_t port, std::uint32_t address, const std::string& usercode,
                        const std::string& host, std::string& request);
bool BuildSocks5Request(const std::string& host, std::uint16_t port, std::string& request);
bool BuildSocksAuthRequest(const std::string& usercode, const std::string& password,
                           std::string& request);
