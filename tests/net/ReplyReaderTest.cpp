#include "net/ReplyReader.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Feeds the bytes in pieces of `piece` bytes (0: at once), taking the lines
// out after each put as a client does, then the close when asked for. Each
// line shows as kind (Text, Continuation, Last), code and text; the status
// that ended the reading comes last.
std::string Read(ReplyLineRule rule, bool acceptLF, const std::string& bytes, bool eof,
                 std::size_t piece) {
    static const char* const statuses[] = {"Line", "NeedMore", "LineTooLong", "Closed",
                                           "ClosedInReply"};
    ReplyReader reader(rule, acceptLF);
    std::string seen;
    ReplyLine line;
    ReplyStatus status = ReplyStatus::NeedMore;
    auto drain = [&] {
        while ((status = reader.Next(line)) == ReplyStatus::Line)
            seen += "TCL"[int(line.kind)] + std::to_string(line.code) + "|" + line.text + "\n";
    };
    for (std::string_view rest(bytes); !rest.empty() && status != ReplyStatus::LineTooLong;) {
        rest.remove_prefix(reader.Put(rest.substr(0, piece ? piece : rest.size())));
        drain();
    }
    if (eof && status != ReplyStatus::LineTooLong) {
        reader.PutEof();
        drain();
    }
    return seen + statuses[int(status)];
}

struct ReaderCase {
    ReplyLineRule rule;
    bool acceptLF;
    std::string bytes;
    bool eof;
    std::string expected;
};

const std::string kFits(4090, 'x'); // with "200 " and CR LF, the whole buffer

const ReaderCase kCases[] = {
    {SmtpReplyLine, true, "250-mail.example\r\n250-AUTH LOGIN\r\n250 HELP\r\n", false,
     "C250|250-mail.example\nC250|250-AUTH LOGIN\nL250|250 HELP\nNeedMore"},
    {SmtpReplyLine, true, " \t354 go ahead\r\n221\r\n", false,
     "L354| \t354 go ahead\nL221|221\nNeedMore"},
    // SMTP lines all carry a code: one without ends the reply, and no command accepts 0.
    {SmtpReplyLine, true, "250-first\r\nhello\r\n2500 x\r\n", false,
     "C250|250-first\nL0|hello\nL0|2500 x\nNeedMore"},
    {SmtpReplyLine, true, "250-a\n250 b\n", false, "C250|250-a\nL250|250 b\nNeedMore"},
    // FTP replies may hold free text between their coded lines.
    {FtpReplyLine, true, "230-Welcome\r\n 230 x\r\n99999999999 x\r\n230 Logged in\r\n", false,
     "C230|230-Welcome\nT0| 230 x\nT0|99999999999 x\nL230|230 Logged in\nNeedMore"},
    {FtpReplyLine, false, "200 a\nb\r\r\n", false, "L200|200 a\nb\nNeedMore"},
    {FtpReplyLine, true, "220 hel", false, "NeedMore"},
    {FtpReplyLine, true, "221 bye\r\n", true, "L221|221 bye\nClosed"},
    {FtpReplyLine, true, "230-Welcome\r\n", true, "C230|230-Welcome\nClosedInReply"},
    {SmtpReplyLine, true, "250 o", true, "ClosedInReply"},
    {FtpReplyLine, true, "200 " + kFits + "\r\n", false, "L200|200 " + kFits + "\nNeedMore"},
    {FtpReplyLine, true, "200 x" + kFits + "\r\n", true, "LineTooLong"},
    {SmtpReplyLine, true, "250-ok\r\n250 " + std::string(5000, 'y') + "\r\n", false,
     "C250|250-ok\nLineTooLong"},
};

TEST(ReplyReader, LinesKindsAndEndsWhateverThePackets) {
    for (const ReaderCase& c : kCases) {
        SCOPED_TRACE(c.bytes.substr(0, 30));
        for (std::size_t piece : {0, 1, 7})
            EXPECT_EQ(Read(c.rule, c.acceptLF, c.bytes, c.eof, piece), c.expected) << piece;
    }
}

TEST(ReplyReader, ResetStartsAfreshAfterAnOverLongLine) {
    ReplyReader reader(FtpReplyLine);
    EXPECT_EQ(reader.Put(std::string(ReplyBufferSize + 10, 'z')), ReplyBufferSize);
    ReplyLine line;
    EXPECT_EQ(reader.Next(line), ReplyStatus::LineTooLong);
    reader.Reset();
    EXPECT_EQ(reader.Put("150-x\r\n"), 7u);
    EXPECT_EQ(reader.Next(line), ReplyStatus::Line);
    EXPECT_TRUE(reader.InReply());
    reader.Reset();
    reader.PutEof();
    EXPECT_EQ(reader.Next(line), ReplyStatus::Closed) << "the reply before the reset is gone";
}

} // namespace
