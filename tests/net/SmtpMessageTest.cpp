#include "net/SmtpMessage.h"
#include "net/MimeParts.h"
#include "net/Rfc822Date.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Runs the test in a fixed local zone and puts the old one back.
class Zone {
public:
    explicit Zone(const char* tz) {
        const char* old = std::getenv("TZ");
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~Zone() {
        if (hadOld_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool hadOld_ = false;
    std::string old_;
};

// Monday, 7 December 2026, 22:30:00 GMT.
constexpr std::time_t kMonday = 1796682600;

TEST(SmtpMessage, DateLinesInEveryZone) {
    const char* const cases[][2] = {
        {"CET-1", "Mon, 7 Dec 2026 23:30:00 +0100"},
        {"EST5", "Mon, 7 Dec 2026 17:30:00 -0500"},
        {"IST-5:30", "Tue, 8 Dec 2026 04:00:00 +0530"},
        {"NST3:30", "Mon, 7 Dec 2026 19:00:00 -0330"},
        {"UTC0", "Mon, 7 Dec 2026 22:30:00 -0000"},
        // In summer time the offset grows by the hour.
        {"CET-1CEST,M3.5.0,M10.5.0/3", "Mon, 7 Dec 2026 23:30:00 +0100"},
    };
    for (const auto& c : cases) {
        Zone zone(c[0]);
        EXPECT_EQ(Rfc822DateTime(kMonday), c[1]) << c[0];
    }
    Zone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(Rfc822DateTime(kMonday - 180 * 86400), "Thu, 11 Jun 2026 00:30:00 +0200");
}

TEST(SmtpMessage, EnvelopeAddresses) {
    const std::string crInside = "joe@exa\rmple.org";
    const std::pair<std::string, std::string> cases[] = {
        {"joe@example.org", "Ok joe@example.org"},
        {"  joe@example.org\t", "Ok joe@example.org"},
        {"Joe Smith <joe@example.org>", "Ok joe@example.org"},
        {"<joe@example.org> (trailing words)", "Ok joe@example.org"},
        {"< joe@example.org >", "Ok joe@example.org"},
        {"", "Empty "},
        {" \t ", "Empty "},
        {"<>", "Empty "},
        {crInside, "Refused "},
        {"joe@example.org\r\nRCPT TO:<all@example.org>", "Refused "},
        {"joe@example.org\n", "Refused "},
        {std::string("joe@example.org\0x", 17), "Refused "},
        {"joe@example.org>", "Refused "},
        {"<joe@<example.org>", "Refused "},
        {"joe <a@b", "Refused "},
    };
    for (const auto& [line, expected] : cases) {
        std::string address = "stale";
        SmtpAddressStatus status = SmtpAddress(line, address);
        const char* name = status == SmtpAddressStatus::Ok      ? "Ok "
                           : status == SmtpAddressStatus::Empty ? "Empty "
                                                                : "Refused ";
        EXPECT_EQ(name + address, expected) << line;
    }
    EXPECT_EQ(SmtpRcptToCommand("joe@example.org"), "RCPT TO:<joe@example.org>");
    EXPECT_EQ(SmtpMailFromCommand("club@example.org"), "MAIL FROM:<club@example.org>");
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

struct HeaderCase {
    const char* name;
    SmtpHeaderFields fields;
    std::string expected;
};

SmtpHeaderFields Full() {
    SmtpHeaderFields f;
    f.HdrReplyTo = "club@example.org";
    f.HdrReturnPath = "bounces@example.org";
    f.HdrFrom = "Club <club@example.org>";
    f.HdrTo = "joe@example.org";
    f.HdrCc = "ann@example.org";
    f.HdrSubject = "Ladder issue 12";
    f.HdrSender = "secretary@example.org";
    return f;
}

SmtpHeaderFields Sparse() {
    SmtpHeaderFields f;
    f.HdrReplyTo = "   ";
    f.HdrFrom = "club@example.org";
    f.HdrSender = " ";
    f.ContentType = "text/html";
    f.CharSet = "iso-8859-1";
    return f;
}

SmtpHeaderFields Injected() {
    SmtpHeaderFields f;
    f.HdrSubject = "Results\r\nBcc: everyone@example.org";
    f.HdrTo = std::string("a@b\nc\0d", 7);
    return f;
}

SmtpHeaderFields WithBoundary() {
    SmtpHeaderFields f;
    f.HdrSubject = "Files";
    f.Boundary = "= Multipart Boundary 1207262330";
    return f;
}

const std::string kTail = "Date: Mon, 7 Dec 2026 23:30:00 +0100\r\n"
                          "X-Mailer: Tovrin SMTP Component V2.28\r\n";

const HeaderCase kHeaders[] = {
    {"every line", Full(),
     "Reply-To: club@example.org\r\n"
     "Return-Path: bounces@example.org\r\n"
     "From: Club <club@example.org>\r\n"
     "To: joe@example.org\r\n"
     "Cc: ann@example.org\r\n"
     "Subject: Ladder issue 12\r\n"
     "Sender: secretary@example.org\r\n"
     "Mime-Version: 1.0\r\n"
     "Content-Type: text/plain; charset=\"utf-8\"\r\n" +
         kTail},
    {"blank values left out, the sender from From", Sparse(),
     "From: club@example.org\r\n"
     "Subject: \r\n"
     "Sender: club@example.org\r\n"
     "Mime-Version: 1.0\r\n"
     "Content-Type: text/html; charset=\"iso-8859-1\"\r\n" +
         kTail},
    {"line breaks in values become blanks", Injected(),
     "To: a@b c d\r\n"
     "Subject: Results  Bcc: everyone@example.org\r\n"
     "Mime-Version: 1.0\r\n"
     "Content-Type: text/plain; charset=\"utf-8\"\r\n" +
         kTail},
    {"with attachments the type names the boundary", WithBoundary(),
     "Subject: Files\r\n"
     "Mime-Version: 1.0\r\n"
     "Content-Type: multipart/mixed;\r\n"
     "\tboundary=\"= Multipart Boundary 1207262330\"\r\n" +
         kTail},
};

TEST(SmtpMessage, HeaderLinesInTheirOrder) {
    Zone zone("CET-1");
    for (const HeaderCase& c : kHeaders)
        EXPECT_EQ(Joined(SmtpHeaderLines(c.fields, kMonday)), c.expected) << c.name;
}

TEST(SmtpMessage, LongHeaderLinesAreFolded) {
    Zone zone("CET-1");
    SmtpHeaderFields f;
    for (int i = 0; i < 100; ++i)
        f.HdrTo += (i ? ", " : "") + std::string("player") + std::to_string(i) + "@example.org";
    f.HdrSubject = std::string(2500, 's');
    // Unfolding (a line that starts with a blank continues the one before)
    // gives the header back.
    std::vector<std::string> unfolded;
    for (const std::string& line : SmtpHeaderLines(f, kMonday)) {
        EXPECT_LE(line.size(), SmtpMaxLineLength);
        if (!unfolded.empty() && line[0] == ' ')
            unfolded.back() += line;
        else
            unfolded.push_back(line);
    }
    ASSERT_GE(unfolded.size(), 2u);
    EXPECT_EQ(unfolded[0], "To: " + f.HdrTo) << "folded before its blanks, the value is kept";
    std::string subject = unfolded[1];
    std::erase(subject, ' ');
    EXPECT_EQ(subject, "Subject:" + f.HdrSubject) << "without a blank, it is cut";
    EXPECT_GT(unfolded[1].size(), subject.size() + 1);
}

struct DataCase {
    std::string entry;
    std::vector<std::string> lines;
};

const std::string k998(998, 'a');

const DataCase kData[] = {
    {"plain line", {"plain line"}},
    {"", {""}},
    {".", {".."}},
    {".x", {"..x"}},
    {"..", {"..."}},
    {"x.", {"x."}},
    {"first\r\n.\r\nthird", {"first", "..", "third"}},
    {"cr\rlf\nboth\r\n", {"cr", "lf", "both", ""}},
    {"a\n\nb", {"a", "", "b"}},
    {k998, {k998}},
    {k998 + "b", {k998, "b"}},
    {"." + k998.substr(1), {".." + k998.substr(0, 996), "a"}},
    {k998.substr(0, 997) + "\xC3\xA9", {k998.substr(0, 997), "\xC3\xA9"}},
    {k998 + ".", {k998, ".."}},
};

TEST(SmtpMessage, DataLinesSplitCutAndStuffed) {
    for (const DataCase& c : kData) {
        SCOPED_TRACE(c.entry.substr(0, 40));
        std::vector<std::string> lines = SmtpDataLines(c.entry);
        EXPECT_EQ(lines, c.lines);
        for (const std::string& line : lines) {
            EXPECT_LE(line.size(), SmtpMaxLineLength);
            EXPECT_NE(line, ".") << "a lone period would end the data";
        }
    }
}

TEST(SmtpMessage, MimePartsAroundTheText) {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 7;
    local.tm_hour = 23;
    local.tm_min = 5;
    const std::string boundary = MimeBoundary(local);
    EXPECT_EQ(boundary, "= Multipart Boundary 1207262305");
    EXPECT_EQ(Joined(MimeTextPartLines(boundary, "text/plain", "utf-8")),
              "This is a multipart MIME message.\r\n"
              "\r\n"
              "--= Multipart Boundary 1207262305\r\n"
              "Content-Type: text/plain; charset=\"utf-8\"\r\n"
              "Content-Transfer-Encoding: 7bit\r\n"
              "\r\n");
    EXPECT_EQ(Joined(MimeAttachmentLines(boundary, "/home/club/reports/ladder \"12\".txt",
                                         "application/octet-stream", {"X-Note: one"})),
              "\r\n"
              "--= Multipart Boundary 1207262305\r\n"
              "Content-Type: application/octet-stream;\r\n"
              "\tname=\"ladder '12'.txt\"\r\n"
              "Content-Transfer-Encoding: base64\r\n"
              "Content-Disposition: attachment;\r\n"
              "\tfilename=\"ladder '12'.txt\"\r\n"
              "X-Note: one\r\n"
              "\r\n");
    EXPECT_EQ(Joined(MimeAttachmentLines(boundary, "evil\r\nname", "text/plain", {})),
              "\r\n--= Multipart Boundary 1207262305\r\nContent-Type: text/plain;\r\n"
              "\tname=\"evil  name\"\r\nContent-Transfer-Encoding: base64\r\n"
              "Content-Disposition: attachment;\r\n\tfilename=\"evil  name\"\r\n\r\n");
    EXPECT_EQ(Joined(MimeClosingLines(boundary)), "\r\n--= Multipart Boundary 1207262305--\r\n");
}

TEST(SmtpMessage, AttachmentsInBase64LinesOfSixty) {
    std::string bytes;
    for (int b = 0; b < 100; ++b)
        bytes += char(b);
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"foo", {"Zm9v"}},
        {bytes.substr(0, 45), {"AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKiss"}},
        {bytes,
         {"AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKiss",
          "LS4vMDEyMzQ1Njc4OTo7PD0+P0BBQkNERUZHSElKS0xNTk9QUVJTVFVWV1hZ", "WltcXV5fYGFiYw=="}},
    };
    for (const auto& [input, lines] : cases)
        EXPECT_EQ(MimeBase64Lines(input), lines) << input.size();
}

} // namespace
