#include "net/SocksProtocol.h"

namespace {

constexpr unsigned char kSocks4Reply = 0;
constexpr unsigned char kSocks5 = 5;
constexpr unsigned char kAuthVersion = 1;
constexpr unsigned char kGranted4 = 90;

TSocksReply Failure(int error, const std::string& text, int used = 0) {
    TSocksReply reply;
    reply.status = TSocksReply::Failed;
    reply.error = error;
    reply.text = text;
    reply.used = used;
    return reply;
}

std::string Dotted(const unsigned char* b) {
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

std::string PortText(const unsigned char* b) {
    return std::to_string(unsigned(b[0]) << 8 | b[1]);
}

std::string Bytes(std::uint32_t networkOrder) {
    const auto* b = reinterpret_cast<const char*>(&networkOrder);
    return std::string(b, 4);
}

std::string PortBytes(std::uint16_t networkOrder) {
    const auto* b = reinterpret_cast<const char*>(&networkOrder);
    return std::string(b, 2);
}

} // namespace

TSocksReply ParseSocksMethodReply(const unsigned char* data, int length) {
    TSocksReply reply;
    if (length < 2) return reply;
    if (data[0] != kSocks5) return Failure(socksVersionError, "socks version error", 2);
    reply.status = TSocksReply::Done;
    reply.used = 2;
    reply.method = data[1];
    return reply;
}

TSocksReply ParseSocksAuthReply(const unsigned char* data, int length) {
    TSocksReply reply;
    if (length >= 1 && data[0] != kAuthVersion)
        return Failure(socksVersionError, "socks version error", length);
    if (length < 2) return reply;
    if (length > 2) return Failure(socksLogicError, "too much data availaible", length);
    if (data[1] != 0) return Failure(socksAuthenticationFailed, "socks authentication failed", 2);
    reply.status = TSocksReply::Done;
    reply.used = 2;
    return reply;
}

TSocksReply ParseSocks4ConnectReply(const unsigned char* data, int length) {
    TSocksReply reply;
    if (length < 8) return reply;
    if (data[0] != kSocks4Reply) return Failure(socksVersionError, "socks version error", 8);
    switch (data[1]) {
    case kGranted4:
        reply.status = TSocksReply::Done;
        reply.used = 8;
        return reply;
    case 91:
        return Failure(socksRequestRejected, "request rejected or failed", 8);
    case 92:
        return Failure(socksConnectionRefused, "connection refused", 8);
    case 93:
        return Failure(socksAuthenticationFailed, "authentification failed", 8);
    default:
        return Failure(socksUnassignedError, "unassigned error #" + std::to_string(data[1]), 8);
    }
}

TSocksReply ParseSocks5ConnectReply(const unsigned char* data, int length) {
    static const char* const kTexts[] = {
        "general SOCKS server failure", "connection not allowed by ruleset",
        "network unreachable",          "host unreachable",
        "connection refused",           "time to live expired",
        "command not supported",        "address type not supported",
    };
    TSocksReply reply;
    if (length < 1) return reply;
    if (data[0] != kSocks5) return Failure(socksVersionError, "socks version error", length);
    if (length < 2) return reply;
    if (data[1] != 0) {
        int code = data[1];
        if (code <= 8) return Failure(socksGeneralFailure + code - 1, kTexts[code - 1], length);
        return Failure(socksUnassignedError, "unassigned error #" + std::to_string(code), length);
    }
    if (length <= 4) return reply;
    int type = data[3];
    int need = type == 1 ? 10 : type == 3 ? 7 + data[4] : 5;
    if (length < need) return reply;
    if (type == 1) {
        reply.boundAddr = Dotted(data + 4);
        reply.boundPort = PortText(data + 8);
    } else if (type == 3) {
        reply.boundAddr.assign(reinterpret_cast<const char*>(data + 5), data[4]);
        reply.boundPort = PortText(data + 5 + data[4]);
    } else {
        return Failure(socksAddressTypeNotSupported, "address type not supported", need);
    }
    reply.status = TSocksReply::Done;
    reply.used = need;
    return reply;
}

std::string SocksGreeting(int method) {
    return std::string{char(kSocks5), char(1), char(method)};
}

bool BuildSocks4Request(std::uint16_t port, std::uint32_t address, const std::string& usercode,
                        const std::string& host, std::string& request) {
    if (usercode.size() > kSocksFieldMax || host.size() > kSocksFieldMax) return false;
    request = std::string{char(4), char(1)} + PortBytes(port) + Bytes(address) + usercode + '\0';
    if (!host.empty()) request += host + '\0';
    return true;
}

bool BuildSocks5Request(const std::string& host, std::uint16_t port, std::string& request) {
    if (host.size() > kSocksFieldMax) return false;
    request = std::string{char(kSocks5), char(1), char(0), char(3), char(host.size())} + host +
              PortBytes(port);
    return true;
}

bool BuildSocksAuthRequest(const std::string& usercode, const std::string& password,
                           std::string& request) {
    if (usercode.size() > kSocksFieldMax || password.size() > kSocksFieldMax) return false;
    request = std::string{char(kAuthVersion), char(usercode.size())} + usercode +
              char(password.size()) + password;
    return true;
}
