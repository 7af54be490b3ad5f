#include "net/FtpReplies.h"
#include "net/FtpCommands.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(FtpReplies, EachStepAcceptsItsCodes) {
    // step, code, accepted
    const std::tuple<TFtpFct, int, bool> cases[] = {
        {ftpFctUser, 230, true},   {ftpFctUser, 331, true},   {ftpFctPass, 331, false},
        {ftpFctCwd, 257, true},    {ftpFctPwd, 200, false},   {ftpFctRenFrom, 350, true},
        {ftpFctRenTo, 350, false}, {ftpFctPort, 227, true},   {ftpFctQuit, 200, false},
        {ftpFctQuote, 499, true},  {ftpFctQuote, 500, false}, {ftpFctRest, 0, false},
    };
    for (const auto& [step, code, accepted] : cases)
        EXPECT_EQ(FtpCodeAccepted(FtpAcceptedCodes(step), code), accepted) << step << " " << code;
    EXPECT_TRUE(FtpTransferStarted(151, false) && !FtpTransferStarted(151, true));
    EXPECT_TRUE(FtpTransferFinished(125, false) && !FtpTransferFinished(125, true));
}

TEST(FtpReplies, PassiveAddressesAreRangeChecked) {
    const char* const cases[][2] = {
        {"227 Entering Passive Mode (127,0,0,1,4,1).", "127.0.0.1:1025"},
        {"227 Entering Passive Mode (192,168,10,20,255,255)", "192.168.10.20:65535"},
        {"227 =10,0,0,2,0,21", "10.0.0.2:21"},
        {"227 (256,0,0,1,4,1)", ""},
        {"227 (127,0,0,1,256,1)", ""},
        {"227 (127,0,0,1,4,1000)", ""},
        {"227 (127,0,0,1,0,0)", ""},
        {"227 (127,0,0,1,4)", ""},
        {"227 (127,0,0,1,4,1", ""},
        {"227 (127,0,0,-1,4,1)", ""},
        {"227 (99999999999,0,0,1,4,1)", ""},
        {"227 Entering Passive Mode", ""},
        {"", ""},
    };
    for (const auto& [line, expected] : cases) {
        FtpPasvAddress address{"untouched", 7};
        bool ok = FtpPasvReply(line, address);
        EXPECT_EQ(ok ? address.Address + ":" + std::to_string(address.Port) : "", expected) << line;
        EXPECT_TRUE(ok || address.Address == "untouched") << "a refused reply sets nothing";
    }
}

TEST(FtpReplies, QuotedFoldersAndSizes) {
    const char* const folders[][2] = {
        {"257 \"/pub/files\" is the current directory", "/pub/files"},
        {"257 \"/a \"\"quoted\"\" name\" created", "/a \"quoted\" name"},
        {"257 \"\"\"\"", "\""},
        {"250 CWD command successful", ""},
        {"257 \"/unclosed", "/unclosed"},
    };
    for (const auto& [line, folder] : folders)
        EXPECT_EQ(FtpQuotedFolder(line), folder) << line;

    const std::pair<const char*, std::int64_t> sizes[] = {
        {"213 0", 0},         {"213 4294967296", 4294967296LL},
        {"213 77 bytes", 77}, {"213 9223372036854775808", -1},
        {"213 12x", -1},      {"213 -5", -1},
        {"213", -1},
    };
    for (const auto& [line, size] : sizes) {
        std::int64_t got = -1;
        EXPECT_EQ(FtpSizeReply(line, got), size >= 0) << line;
        EXPECT_EQ(got, size) << line;
    }
}

TEST(FtpCommands, ArgumentsCommandsAndSummaries) {
    for (const std::string& bad : {std::string("x\r\nDELE y"), std::string("x\ny"),
                                   std::string("x\r"), std::string("x\0y", 3)})
        EXPECT_FALSE(FtpArgumentOk(bad)) << bad;
    EXPECT_TRUE(FtpArgumentOk("a name with blanks"));

    EXPECT_EQ(FtpUserCommand("anonymous", "ftp.example.org", "2121", false), "USER anonymous");
    EXPECT_EQ(FtpUserCommand("joe", "ftp.example.org", "FTP", true), "USER joe@ftp.example.org");
    EXPECT_EQ(FtpUserCommand("joe", "ftp.example.org", "21", true), "USER joe@ftp.example.org");
    EXPECT_EQ(FtpUserCommand("joe", "h", "2121", true), "USER joe@h:2121");

    EXPECT_EQ(FtpPortCommand({192, 168, 1, 20}, false, 0x1234), "PORT 192,168,1,20,18,52");
    EXPECT_EQ(FtpPortCommand({192, 168, 1, 20}, true, 65535), "PORT 127,0,0,1,255,255");

    const std::tuple<std::int64_t, std::uint32_t, std::uint32_t, const char*> summaries[] = {
        {0, 500, 500, "! 0 bytes received/sent in 0 seconds"},
        {32767, 0, 3000, "! 32767 bytes received/sent in 3 seconds (10922 Bytes/sec)"},
        {32768, 0, 3000, "! 32768 bytes received/sent in 3 seconds (10000 Bytes/sec)"},
        {5000000000LL, 0, 10000,
         "! 5000000000 bytes received/sent in 10 seconds (500000000 Bytes/sec)"},
        // The tick count wraps during the transfer.
        {2000, 0xFFFFFC18u, 1000, "! 2000 bytes received/sent in 2 seconds (1000 Bytes/sec)"},
    };
    for (const auto& [bytes, start, stop, line] : summaries)
        EXPECT_EQ(FtpTransferSummary(bytes, start, stop), line);
}

} // namespace
