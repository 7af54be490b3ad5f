#include "net/ReplyReader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// One line as "<kind><code>|<text>": L last, C continuation, T text.
std::string Show(const ReplyLine& line) {
    const char kind = line.kind == ReplyLineKind::Last           ? 'L'
                      : line.kind == ReplyLineKind::Continuation ? 'C'
                                                                 : 'T';
    return kind + std::to_string(line.code) + "|" + line.text;
}

const char* Show(ReplyStatus status) {
    switch (status) {
    case ReplyStatus::Line:
        return "Line";
    case ReplyStatus::NeedMore:
        return "NeedMore";
    case ReplyStatus::LineTooLong:
        return "LineTooLong";
    case ReplyStatus::Closed:
        return "Closed";
    case ReplyStatus::ClosedInReply:
        return "ClosedInReply";
    }
    return "?";
}

// Feeds the bytes in pieces of `piece` bytes (0: all at once), taking lines
// out after each put as a client does, then the close when asked for. The
// last entry is the status that ended the reading.
std::vector<std::string> Read(ReplyLineRule rule, bool acceptLF, const std::string& bytes, bool eof,
                              std::size_t piece) {
    ReplyReader reader(rule, acceptLF);
    std::vector<std::string> seen;
    ReplyLine line;
    ReplyStatus status = ReplyStatus::NeedMore;
    auto drain = [&] {
        while ((status = reader.Next(line)) == ReplyStatus::Line)
            seen.push_back(Show(line));
    };
    std::string_view rest(bytes);
    while (!rest.empty() && status != ReplyStatus::LineTooLong) {
        std::string_view chunk = rest.substr(0, piece == 0 ? rest.size() : piece);
        std::size_t used = reader.Put(chunk);
        rest.remove_prefix(used);
        drain();
    }
    if (eof && status != ReplyStatus::LineTooLong) {
        reader.PutEof();
        drain();
    }
    seen.push_back(Show(status));
    return seen;
}

struct ReaderCase {
    const char* name;
    ReplyLineRule rule;
    bool acceptLF;
    std::string bytes;
    bool eof;
    std::vector<std::string> expected;
};

const std::string kLong(4094, 'x');

const ReaderCase kCases[] = {
    {"smtp single line",
     SmtpReplyLine,
     true,
     "220 mail ready\r\n",
     false,
     {"L220|220 mail ready", "NeedMore"}},
    {"smtp continuation then last",
     SmtpReplyLine,
     true,
     "250-mail.example\r\n250-AUTH LOGIN PLAIN\r\n250 HELP\r\n",
     false,
     {"C250|250-mail.example", "C250|250-AUTH LOGIN PLAIN", "L250|250 HELP", "NeedMore"}},
    {"smtp code after blanks and tabs",
     SmtpReplyLine,
     true,
     " \t354 go ahead\r\n",
     false,
     {"L354| \t354 go ahead", "NeedMore"}},
    {"smtp bare code", SmtpReplyLine, true, "221\r\n", false, {"L221|221", "NeedMore"}},
    {"smtp garbage line ends the reply without a code",
     SmtpReplyLine,
     true,
     "250-first\r\nhello there\r\n",
     false,
     {"C250|250-first", "L0|hello there", "NeedMore"}},
    {"smtp four digits are no code",
     SmtpReplyLine,
     true,
     "2500 x\r\n",
     false,
     {"L0|2500 x", "NeedMore"}},
    {"smtp overflowing digits are no code",
     SmtpReplyLine,
     true,
     "99999999999 x\r\n",
     false,
     {"L0|99999999999 x", "NeedMore"}},
    {"smtp LF alone ends a line",
     SmtpReplyLine,
     true,
     "250-a\n250 b\n",
     false,
     {"C250|250-a", "L250|250 b", "NeedMore"}},
    {"ftp free text inside a multi-line reply",
     FtpReplyLine,
     true,
     "230-Welcome\r\n  to the server\r\n230 Logged in\r\n",
     false,
     {"C230|230-Welcome", "T0|  to the server", "L230|230 Logged in", "NeedMore"}},
    {"ftp line not opened by a digit is text",
     FtpReplyLine,
     true,
     " 230 x\r\n",
     false,
     {"T0| 230 x", "NeedMore"}},
    {"ftp overflowing digits are text, not a code",
     FtpReplyLine,
     true,
     "99999999999 x\r\n200 ok\r\n",
     false,
     {"T0|99999999999 x", "L200|200 ok", "NeedMore"}},
    {"ftp two digits are text", FtpReplyLine, true, "20 x\r\n", false, {"T0|20 x", "NeedMore"}},
    {"ftp without accepting LF, a bare LF stays in the line",
     FtpReplyLine,
     false,
     "200 a\nb\r\n",
     false,
     {"L200|200 a\nb", "NeedMore"}},
    {"ftp trailing CRs go with the line end",
     FtpReplyLine,
     true,
     "200 ok\r\r\n",
     false,
     {"L200|200 ok", "NeedMore"}},
    {"empty line is text", FtpReplyLine, true, "\r\n", false, {"T0|", "NeedMore"}},
    {"part of a line waits for the rest", FtpReplyLine, true, "220 hel", false, {"NeedMore"}},
    {"close between replies", FtpReplyLine, true, "221 bye\r\n", true, {"L221|221 bye", "Closed"}},
    {"close before anything", SmtpReplyLine, true, "", true, {"Closed"}},
    {"close within a multi-line reply",
     FtpReplyLine,
     true,
     "230-Welcome\r\n",
     true,
     {"C230|230-Welcome", "ClosedInReply"}},
    {"close within a line", SmtpReplyLine, true, "250 o", true, {"ClosedInReply"}},
    {"longest line that fits",
     FtpReplyLine,
     true,
     "200 " + kLong.substr(4) + "\r\n",
     false,
     {"L200|200 " + kLong.substr(4), "NeedMore"}},
    {"one byte more is too long",
     FtpReplyLine,
     true,
     "200 " + kLong.substr(3) + "\r\n",
     true,
     {"LineTooLong"}},
    {"over-long SMTP line after a good one",
     SmtpReplyLine,
     true,
     "250-ok\r\n250 " + std::string(5000, 'y') + "\r\n",
     false,
     {"C250|250-ok", "LineTooLong"}},
};

TEST(ReplyReader, LinesKindsAndEndsWhateverThePackets) {
    for (const ReaderCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.rule, c.acceptLF, c.bytes, c.eof, 0), c.expected);
        EXPECT_EQ(Read(c.rule, c.acceptLF, c.bytes, c.eof, 1), c.expected) << "a byte at a time";
        EXPECT_EQ(Read(c.rule, c.acceptLF, c.bytes, c.eof, 7), c.expected) << "in pieces of 7";
    }
}

TEST(ReplyReader, PutTakesOnlyWhatFitsAndResetStartsAfresh) {
    ReplyReader reader(FtpReplyLine);
    std::string big(ReplyBufferSize + 10, 'z');
    EXPECT_EQ(reader.Put(big), ReplyBufferSize);
    EXPECT_EQ(reader.Room(), 0u);
    ReplyLine line;
    EXPECT_EQ(reader.Next(line), ReplyStatus::LineTooLong);
    EXPECT_EQ(reader.Next(line), ReplyStatus::LineTooLong) << "a spent reader stays spent";

    reader.Reset();
    EXPECT_EQ(reader.Room(), ReplyBufferSize);
    EXPECT_EQ(reader.Put("150-x\r\n"), 7u);
    EXPECT_EQ(reader.Next(line), ReplyStatus::Line);
    EXPECT_TRUE(reader.InReply());
    reader.Reset();
    EXPECT_FALSE(reader.InReply());
    reader.PutEof();
    EXPECT_EQ(reader.Put("220 x\r\n"), 0u) << "nothing is taken after the close";
}

} // namespace
