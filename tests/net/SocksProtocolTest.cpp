// The SOCKS exchange as bytes: every reply the parsers meet, and the
// requests pinned byte for byte.

#include "net/SocksProtocol.h"
#include "tests/net/HexBytes.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <string>

namespace {

enum Kind { Method, Auth, Connect4, Connect5 };

struct ReplyCase {
    const char* name;
    Kind kind;
    std::string bytes;
    TSocksReply::Status status;
    int used;
    int error;
    std::string text; // the error text, or the bound address and port
};

const std::string kName255(255, 'n');

TSocksReply Parse(Kind kind, const std::string& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    int length = int(bytes.size());
    switch (kind) {
    case Method:
        return ParseSocksMethodReply(data, length);
    case Auth:
        return ParseSocksAuthReply(data, length);
    case Connect4:
        return ParseSocks4ConnectReply(data, length);
    default:
        return ParseSocks5ConnectReply(data, length);
    }
}

TEST(SocksProtocol, RepliesParseIntoTheirStatusErrorAndLength) {
    using S = TSocksReply;
    const ReplyCase cases[] = {
        {"method: one byte", Method, Bytes("05"), S::NeedMore, 0, 0, ""},
        {"method: none needed", Method, Bytes("05 00"), S::Done, 2, 0, ""},
        {"method: none acceptable", Method, Bytes("05 ff"), S::Done, 2, 0, ""},
        {"method: wrong version", Method, Bytes("04 00"), S::Failed, 2, 20002,
         "socks version error"},
        {"auth: one byte", Auth, Bytes("01"), S::NeedMore, 0, 0, ""},
        {"auth: accepted", Auth, Bytes("01 00"), S::Done, 2, 0, ""},
        {"auth: refused", Auth, Bytes("01 01"), S::Failed, 2, 20015, "socks authentication failed"},
        {"auth: wrong version", Auth, Bytes("05"), S::Failed, 1, 20002, "socks version error"},
        {"auth: too long", Auth, Bytes("01 00 00"), S::Failed, 3, 20001,
         "too much data availaible"},
        {"4: seven bytes", Connect4, Bytes("00 5a 00 50 7f 00 00"), S::NeedMore, 0, 0, ""},
        {"4: granted", Connect4, Bytes("00 5a 00 50 7f 00 00 01"), S::Done, 8, 0, ""},
        {"4: rejected", Connect4, Bytes("00 5b 00 00 00 00 00 00"), S::Failed, 8, 20016,
         "request rejected or failed"},
        {"4: refused", Connect4, Bytes("00 5c 00 00 00 00 00 00"), S::Failed, 8, 20008,
         "connection refused"},
        {"4: ident failed", Connect4, Bytes("00 5d 00 00 00 00 00 00"), S::Failed, 8, 20015,
         "authentification failed"},
        {"4: unknown code", Connect4, Bytes("00 5e 00 00 00 00 00 00"), S::Failed, 8, 20012,
         "unassigned error #94"},
        {"4: wrong version", Connect4, Bytes("04 5a 00 00 00 00 00 00"), S::Failed, 8, 20002,
         "socks version error"},
        {"5: empty", Connect5, "", S::NeedMore, 0, 0, ""},
        {"5: wrong version", Connect5, Bytes("04"), S::Failed, 1, 20002, "socks version error"},
        {"5: header only", Connect5, Bytes("05 00 00 01"), S::NeedMore, 0, 0, ""},
        {"5: IPv4 less a byte", Connect5, Bytes("05 00 00 01 7f 00 00 01 04"), S::NeedMore, 0, 0,
         ""},
        {"5: IPv4", Connect5, Bytes("05 00 00 01 7f 00 00 01 04 d2"), S::Done, 10, 0,
         "127.0.0.1:1234"},
        {"5: IPv4 and a banner", Connect5, Bytes("05 00 00 01 0a 01 02 03 00 15 32 32 30"), S::Done,
         10, 0, "10.1.2.3:21"},
        {"5: domain", Connect5, Bytes("05 00 00 03 04 68 6f 73 74 00 50"), S::Done, 11, 0,
         "host:80"},
        {"5: longest domain", Connect5, Bytes("05 00 00 03 ff") + kName255 + Bytes("01 bb"),
         S::Done, 262, 0, kName255 + ":443"},
        {"5: longest domain less a byte", Connect5, Bytes("05 00 00 03 ff") + kName255 + "\x01",
         S::NeedMore, 0, 0, ""},
        {"5: IPv6", Connect5, Bytes("05 00 00 04 00"), S::Failed, 5, 20011,
         "address type not supported"},
        {"5: code 1", Connect5, Bytes("05 01"), S::Failed, 2, 20004,
         "general SOCKS server failure"},
        {"5: code 2", Connect5, Bytes("05 02"), S::Failed, 2, 20005,
         "connection not allowed by ruleset"},
        {"5: code 3", Connect5, Bytes("05 03"), S::Failed, 2, 20006, "network unreachable"},
        {"5: code 4", Connect5, Bytes("05 04"), S::Failed, 2, 20007, "host unreachable"},
        {"5: code 5", Connect5, Bytes("05 05 00 01"), S::Failed, 4, 20008, "connection refused"},
        {"5: code 6", Connect5, Bytes("05 06"), S::Failed, 2, 20009, "time to live expired"},
        {"5: code 7", Connect5, Bytes("05 07"), S::Failed, 2, 20010, "command not supported"},
        {"5: code 8", Connect5, Bytes("05 08"), S::Failed, 2, 20011, "address type not supported"},
        {"5: code 9", Connect5, Bytes("05 09"), S::Failed, 2, 20012, "unassigned error #9"},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        TSocksReply reply = Parse(c.kind, c.bytes);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.used, c.used);
        EXPECT_EQ(reply.error, c.error);
        if (c.status == S::Failed) {
            EXPECT_EQ(reply.text, c.text);
        } else if (c.status == S::Done && c.kind == Connect5) {
            EXPECT_EQ(reply.boundAddr + ":" + reply.boundPort, c.text);
        }
    }
    EXPECT_EQ(Parse(Method, Bytes("05 02")).method, 2);
}

TEST(SocksProtocol, RequestsAreBuiltToSizeByteForByte) {
    EXPECT_EQ(Hex(SocksGreeting(0)), "05 01 00");
    EXPECT_EQ(Hex(SocksGreeting(2)), "05 01 02");
    std::string request;
    ASSERT_TRUE(BuildSocks4Request(htons(80), inet_addr("127.0.0.1"), "bob", "", request));
    EXPECT_EQ(Hex(request), "04 01 00 50 7f 00 00 01 62 6f 62 00");
    ASSERT_TRUE(BuildSocks4Request(htons(8080), htonl(1), "", "a.example", request));
    EXPECT_EQ(Hex(request), "04 01 1f 90 00 00 00 01 00 61 2e 65 78 61 6d 70 6c 65 00");
    ASSERT_TRUE(BuildSocks5Request("127.0.0.1", htons(443), request));
    EXPECT_EQ(Hex(request), "05 01 00 03 09 31 32 37 2e 30 2e 30 2e 31 01 bb");
    ASSERT_TRUE(BuildSocksAuthRequest("me", "pw!", request));
    EXPECT_EQ(Hex(request), "01 02 6d 65 03 70 77 21");

    // 255 bytes fit the length byte; 256 never reach a server.
    const std::string fits(255, 'x'), over(256, 'x');
    ASSERT_TRUE(BuildSocks5Request(fits, htons(1), request));
    EXPECT_EQ(request.size(), 7u + 255u);
    ASSERT_TRUE(BuildSocksAuthRequest(fits, fits, request));
    EXPECT_EQ(request.size(), 3u + 255u + 255u);
    request = "untouched";
    EXPECT_FALSE(BuildSocks5Request(over, htons(1), request));
    EXPECT_FALSE(BuildSocksAuthRequest(over, "", request));
    EXPECT_FALSE(BuildSocksAuthRequest("", over, request));
    EXPECT_FALSE(BuildSocks4Request(htons(1), htonl(1), over, "", request));
    EXPECT_FALSE(BuildSocks4Request(htons(1), htonl(1), "", over, request));
    EXPECT_EQ(request, "untouched");
}

} // namespace
