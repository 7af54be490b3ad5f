// Resolution of host, port and protocol texts, the local host's name, and
// the Winsock error texts.

#include "net/WSocket.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sched.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

class Resolve : public testing::Test {
protected:
    void SetUp() override { WSocketForceLoadWinsock(); }
    void TearDown() override { WSocketUnloadWinsock(); }
};

std::string DottedOf(ULONG address) {
    const auto* b = reinterpret_cast<const unsigned char*>(&address);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

// The result, or the text of what was raised.
template <typename Call> std::string Outcome(Call call) {
    try {
        return call();
    } catch (const ESocketException& error) {
        return std::string("raised: ") + error.what();
    }
}

TEST(DottedIP, FourPartsOfAtMost255AndBlanksAroundOnly) {
    struct Case {
        const char* text;
        bool dotted;
    };
    const Case cases[] = {
        {"1.2.3.4", true},    {"  1.2.3.4  ", true}, {"255.255.255.255", true},
        {"0.0.0.0", true},    {"1.2.3", false},      {"1.2.3.4.5", false},
        {"1.2.3.256", false}, {".1.2.3", false},     {"1.2.3.4.", false},
        {"1..2.3", false},    {"1.2.3.4x", false},   {"1.2.3.4 x", false},
        {"", false},          {"x1.2.3.4", false},   {"1.2.3.99999999999999999999", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WSocketIsDottedIP(c.text), c.dotted) << c.text;
}

TEST_F(Resolve, HostTextsGiveTheirAddressesOrTheTexts) {
    struct Case {
        std::string text, outcome;
    };
    const Case cases[] = {
        {"1.2.3.4", "1.2.3.4"},
        {" 10.0.0.1 ", "10.0.0.1"},
        {"255.255.255.255", "255.255.255.255"}, // the broadcast address is not a failure
        {"010.0.0.1", "8.0.0.1"},               // octal parts
        {"1", "0.0.0.1"},                       // not dotted: the look-up reads it as a number
        {"0x7f.1", "127.0.0.1"},                // hexadecimal, the last part fills the rest
        {"127.1", "127.0.0.1"},
        {"localhost", "127.0.0.1"},
        {"08.1.1.1", "raised: WSocketResolveHost: '08.1.1.1' Invalid IP address."},
        {"", "raised: WSocketResolveHost: '' Invalid Hostname."},
        {std::string(257, 'h'),
         "raised: WSocketResolveHost: '" + std::string(257, 'h') + "' Invalid Hostname."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Outcome([&] { return DottedOf(WSocketResolveHost(c.text)); }), c.outcome)
            << c.text;
}

TEST_F(Resolve, PortAndProtocolTextsStopBeforeTheirNumbersOverflow) {
    struct Case {
        std::string port, proto, outcome;
    };
    const Case cases[] = {
        {"80", "tcp", "80"},
        {"80abc", "tcp", "80"}, // a number up to the first non-digit
        {"65535", "tcp", "65535"},
        {"smtp", "tcp", "25"},
        {"http", " ", "80"}, // a blank protocol looks up without one
        {"65536", "tcp", "raised: WSocketResolvePort: Invalid Port."},
        {"70000", "tcp", "raised: WSocketResolvePort: Invalid Port."},
        {std::string(30, '9'), "tcp", "raised: WSocketResolvePort: Invalid Port."},
        {"", "tcp", "raised: WSocketResolvePort: Invalid Port."},
        {std::string(32, 'p'), "tcp", "raised: WSocketResolvePort: Invalid Port."},
        {"80", "", "raised: WSocketResolvePort: Invalid Proto."},
        {"80", std::string(32, 't'), "raised: WSocketResolvePort: Invalid Proto."},
        {" 80", "tcp", "raised: WSocketResolvePort: Cannot convert port ' 80', Error #11004"},
        {"nosuchservice", "tcp",
         "raised: WSocketResolvePort: Cannot convert port 'nosuchservice', Error #11004"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Outcome([&] { return std::to_string(WSocketResolvePort(c.port, c.proto)); }),
                  c.outcome)
            << c.port << "/" << c.proto;

    const Case protocols[] = {
        {"6", "", "6"},
        {" 17 ", "", "17"},
        {"255", "", "255"},
        {"tcp", "", "6"},
        {"udp", "", "17"},
        {"256", "", "raised: WSocketResolveProto: Invalid Protocol."},
        {std::string(30, '9'), "", "raised: WSocketResolveProto: Invalid Protocol."},
        {"", "", "raised: WSocketResolveProto: Invalid Protocol."},
        {"nosuchproto", "",
         "raised: WSocketResolveProto: Cannot convert protocol 'nosuchproto', Error #11004"},
    };
    for (const Case& c : protocols)
        EXPECT_EQ(Outcome([&] { return std::to_string(WSocketResolveProto(c.port)); }), c.outcome)
            << c.port;
}

TEST_F(Resolve, BlockingLookUpsOfTheLocalHost) {
    EXPECT_EQ(WSocketResolveIp("127.0.0.1"), "localhost");
    EXPECT_EQ(Outcome([] { return WSocketResolveIp(""); }),
              "raised: WSocketGetHostByAddr: Invalid address.");
    EXPECT_EQ(Outcome([] { return WSocketGetHostByName("") ? "entry" : "none"; }),
              "raised: WSocketGetHostByName: Invalid Hostname.");
    HOSTENT* entry = WSocketGetHostByName("localhost");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(std::memcmp(entry->h_addr_list[0], "\x7F\0\0\x01", 4), 0);

    char name[256] = {};
    ASSERT_EQ(gethostname(name, sizeof name), 0);
    EXPECT_EQ(LocalHostName(), name);
}

// Host names set in a namespace of their own, so that the machine's name
// stays as it is: 64 characters, the most the system allows, and one whose
// addresses are known.
TEST_F(Resolve, TheLocalHostsNameAndAddresses) {
    const std::string longName(64, 'n');
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWUTS) != 0) _exit(77);
        if (sethostname(longName.c_str(), longName.size()) != 0) _exit(77);
        int code = 1;
        try {
            code = LocalHostName() == longName ? 0 : 2;
            if (code == 0 && sethostname("localhost", 9) == 0)
                code = LocalIPList() == std::vector<std::string>{"127.0.0.1"} ? 0 : 4;
        } catch (const std::exception&) {
            code = 3;
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no namespace of its own for the host name";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ErrorDesc, EveryWinsockCodeHasItsText) {
    struct Case {
        int code;
        const char* text;
    };
    const Case cases[] = {
        {0, "No Error"},
        {10004, "Interrupted system call"},
        {10009, "Bad file number"},
        {10013, "Permission denied"},
        {10014, "Bad address"},
        {10022, "Invalid argument"},
        {10024, "Too many open files"},
        {10035, "Operation would block"},
        {10036, "Operation now in progress"},
        {10037, "Operation already in progress"},
        {10038, "Socket operation on non-socket"},
        {10039, "Destination address required"},
        {10040, "Message too long"},
        {10041, "Protocol wrong type for socket"},
        {10042, "Protocol not available"},
        {10043, "Protocol not supported"},
        {10044, "Socket type not supported"},
        {10045, "Operation not supported on socket"},
        {10046, "Protocol family not supported"},
        {10047, "Address family not supported by protocol family"},
        {10048, "Address already in use"},
        {10049, "Address not available"},
        {10050, "Network is down"},
        {10051, "Network is unreachable"},
        {10052, "Network dropped connection on reset"},
        {10053, "Connection aborted"},
        {10054, "Connection reset by peer"},
        {10055, "No buffer space available"},
        {10056, "Socket is already connected"},
        {10057, "Socket is not connected"},
        {10058, "Can't send after socket shutdown"},
        {10059, "Too many references: can't splice"},
        {10060, "Connection timed out"},
        {10061, "Connection refused"},
        {10062, "Too many levels of symbolic links"},
        {10063, "File name too long"},
        {10064, "Host is down"},
        {10065, "No route to host"},
        {10066, "Directory not empty"},
        {10067, "Too many processes"},
        {10068, "Too many users"},
        {10069, "Disc quota exceeded"},
        {10070, "Stale NFS file handle"},
        {10071, "Too many levels of remote in path"},
        {10091, "Network sub-system is unusable"},
        {10092, "WinSock DLL cannot support this application"},
        {10093, "WinSock not initialized"},
        {11001, "Host not found"},
        {11002, "Non-authoritative host not found"},
        {11003, "Non-recoverable error"},
        {11004, "No Data"},
        {12001, "Not a WinSock error"},
        {10000, "Not a WinSock error"},
        {-1, "Not a WinSock error"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WSocketErrorDesc(c.code), c.text) << c.code;
}

} // namespace
