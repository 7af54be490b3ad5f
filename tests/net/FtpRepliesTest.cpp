#include "net/FtpReplies.h"
#include "net/FtpCommands.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct CodesCase {
    TFtpFct step;
    std::vector<int> accepted; // empty: any below 500
};

const CodesCase kCodes[] = {
    {ftpFctOpen, {220}},
    {ftpFctUser, {331, 230}},
    {ftpFctPass, {230}},
    {ftpFctCwd, {200, 250, 257}},
    {ftpFctSize, {213}},
    {ftpFctTypeSet, {200}},
    {ftpFctMkd, {250, 257}},
    {ftpFctRmd, {250, 257}},
    {ftpFctDele, {250, 257}},
    {ftpFctRenFrom, {350}},
    {ftpFctRenTo, {200, 250, 257}},
    {ftpFctPwd, {250, 257}},
    {ftpFctCDup, {250, 257}},
    {ftpFctSyst, {215}},
    {ftpFctQuote, {}},
    {ftpFctAbortXfer, {}},
    {ftpFctRest, {}},
    {ftpFctQuit, {221}},
    {ftpFctPort, {200, 227}},
};

TEST(FtpReplies, EachStepAcceptsItsCodes) {
    for (const CodesCase& c : kCodes) {
        SCOPED_TRACE(c.step);
        std::span<const int> accepted = FtpAcceptedCodes(c.step);
        EXPECT_EQ(std::vector<int>(accepted.begin(), accepted.end()), c.accepted);
        for (int code = 100; code <= 599; ++code) {
            bool expected = c.accepted.empty() ? code < 500
                                               : std::find(c.accepted.begin(), c.accepted.end(),
                                                           code) != c.accepted.end();
            EXPECT_EQ(FtpCodeAccepted(accepted, code), expected) << code;
        }
        EXPECT_FALSE(FtpCodeAccepted(accepted, 0)) << "a line without a code is never accepted";
    }
}

TEST(FtpReplies, TransferReplies) {
    // code, download started, download finished, upload started, upload finished
    const int cases[][5] = {
        {125, 1, 1, 1, 0}, {150, 1, 0, 1, 0}, {151, 1, 0, 0, 0}, {159, 1, 0, 0, 0},
        {160, 0, 0, 0, 0}, {226, 0, 1, 0, 1}, {250, 0, 1, 0, 1}, {425, 0, 0, 0, 0},
        {550, 0, 0, 0, 0}, {0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        EXPECT_EQ(FtpTransferStarted(c[0], false), bool(c[1]));
        EXPECT_EQ(FtpTransferFinished(c[0], false), bool(c[2]));
        EXPECT_EQ(FtpTransferStarted(c[0], true), bool(c[3]));
        EXPECT_EQ(FtpTransferFinished(c[0], true), bool(c[4]));
    }
}

struct PasvCase {
    const char* line;
    const char* expected; // "address:port", or nullptr when refused
};

const PasvCase kPasv[] = {
    {"227 Entering Passive Mode (127,0,0,1,4,1).", "127.0.0.1:1025"},
    {"227 Entering Passive Mode (192,168,10,20,255,255)", "192.168.10.20:65535"},
    {"227 =10,0,0,2,0,21", "10.0.0.2:21"},
    {"227 Entering Passive Mode 10,0,0,2,200,1", "10.0.0.2:51201"},
    {"227 (0,0,0,0,0,1)", "0.0.0.0:1"},
    {"227 Entering Passive Mode (256,0,0,1,4,1)", nullptr},
    {"227 Entering Passive Mode (127,0,0,1,256,1)", nullptr},
    {"227 Entering Passive Mode (127,0,0,1,4,1000)", nullptr},
    {"227 Entering Passive Mode (127,0,0,1,0,0)", nullptr},
    {"227 Entering Passive Mode (127,0,0,1,4)", nullptr},
    {"227 Entering Passive Mode (127,0,0,1,4,1", nullptr},
    {"227 Entering Passive Mode (127,0,0,-1,4,1)", nullptr},
    {"227 Entering Passive Mode (99999999999,0,0,1,4,1)", nullptr},
    {"227 Entering Passive Mode ( 127,0,0,1,4,1)", nullptr},
    {"227 Entering Passive Mode", nullptr},
    {"227", nullptr},
    {"", nullptr},
};

TEST(FtpReplies, PassiveAddressesAreRangeChecked) {
    for (const PasvCase& c : kPasv) {
        SCOPED_TRACE(c.line);
        FtpPasvAddress address{"untouched", 7};
        bool ok = FtpPasvReply(c.line, address);
        EXPECT_EQ(ok, c.expected != nullptr);
        EXPECT_EQ(address.Address + ":" + std::to_string(address.Port),
                  c.expected ? c.expected : "untouched:7");
    }
}

TEST(FtpReplies, QuotedFoldersAndSizes) {
    const char* const folders[][2] = {
        {"257 \"/pub/files\" is the current directory", "/pub/files"},
        {"257 \"/a \"\"quoted\"\" name\" created", "/a \"quoted\" name"},
        {"257 \"\"\"\"", "\""},
        {"257 \"\" empty", ""},
        {"250 CWD command successful", ""},
        {"257 \"/unclosed", "/unclosed"},
        {"257", ""},
    };
    for (const auto& c : folders)
        EXPECT_EQ(FtpQuotedFolder(c[0]), c[1]) << c[0];

    const std::pair<const char*, std::int64_t> sizes[] = {
        {"213 0", 0},
        {"213 1234", 1234},
        {"213 4294967296", 4294967296LL}, // over 32 bits
        {"213 9223372036854775807", 9223372036854775807LL},
        {"213 77 bytes", 77},
        {"213 9223372036854775808", -1},
        {"213 12x", -1},
        {"213 -5", -1},
        {"213 ", -1},
        {"213", -1},
    };
    for (const auto& [line, size] : sizes) {
        std::int64_t got = -1;
        EXPECT_EQ(FtpSizeReply(line, got), size >= 0) << line;
        EXPECT_EQ(got, size) << line;
    }
}

TEST(FtpCommands, ArgumentsAndCommands) {
    const std::pair<std::string, bool> arguments[] = {
        {"readme.txt", true},
        {"a name with blanks", true},
        {"", true},
        {"x\r\nDELE y", false},
        {"x\ny", false},
        {"x\r", false},
        {std::string("x\0y", 3), false},
    };
    for (const auto& [argument, ok] : arguments)
        EXPECT_EQ(FtpArgumentOk(argument), ok) << argument;

    EXPECT_EQ(FtpUserCommand("anonymous", "ftp.example.org", "21", false), "USER anonymous");
    EXPECT_EQ(FtpUserCommand("joe", "ftp.example.org", "FTP", true), "USER joe@ftp.example.org");
    EXPECT_EQ(FtpUserCommand("joe", "ftp.example.org", "21", true), "USER joe@ftp.example.org");
    EXPECT_EQ(FtpUserCommand("joe", "ftp.example.org", "2121", true),
              "USER joe@ftp.example.org:2121");

    EXPECT_EQ(FtpPortCommand({192, 168, 1, 20}, false, 0x1234), "PORT 192,168,1,20,18,52");
    EXPECT_EQ(FtpPortCommand({192, 168, 1, 20}, true, 65535), "PORT 127,0,0,1,255,255");
    EXPECT_EQ(FtpPortCommand({10, 0, 0, 1}, false, 21), "PORT 10,0,0,1,0,21");
}

TEST(FtpCommands, TransferSummaryLines) {
    const struct {
        std::int64_t bytes;
        std::uint32_t start, stop;
        const char* line;
    } cases[] = {
        {0, 500, 500, "! 0 bytes received/sent in 0 seconds"},
        {1000, 0, 250, "! 1000 bytes received/sent in 0 seconds (4000 Bytes/sec)"},
        {32767, 0, 3000, "! 32767 bytes received/sent in 3 seconds (10922 Bytes/sec)"},
        {32768, 0, 3000, "! 32768 bytes received/sent in 3 seconds (10000 Bytes/sec)"},
        {5000000000LL, 0, 10000,
         "! 5000000000 bytes received/sent in 10 seconds (500000000 Bytes/sec)"},
        // The tick count wraps during the transfer.
        {2000, 0xFFFFFC18u, 1000, "! 2000 bytes received/sent in 2 seconds (1000 Bytes/sec)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FtpTransferSummary(c.bytes, c.start, c.stop), c.line);
}

} // namespace
