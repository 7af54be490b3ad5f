#include "net/SmtpMessage.h"
#include "net/MimeParts.h"
#include "net/Rfc822Date.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The local zone for one test; the tests run without TZ.
struct Zone {
    explicit Zone(const char* tz) { setenv("TZ", tz, 1), tzset(); }
    ~Zone() { unsetenv("TZ"), tzset(); }
};

constexpr std::time_t kMonday = 1796682600; // 7 December 2026, 22:30:00 GMT

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

TEST(SmtpMessage, DateLinesInEveryZone) {
    const char* const cases[][2] = {
        {"CET-1", "Mon, 7 Dec 2026 23:30:00 +0100"},
        {"EST5", "Mon, 7 Dec 2026 17:30:00 -0500"},
        {"IST-5:30", "Tue, 8 Dec 2026 04:00:00 +0530"},
        {"NST3:30", "Mon, 7 Dec 2026 19:00:00 -0330"},
        {"UTC0", "Mon, 7 Dec 2026 22:30:00 -0000"},
    };
    for (const auto& [tz, date] : cases) {
        Zone zone(tz);
        EXPECT_EQ(Rfc822DateTime(kMonday), date) << tz;
    }
    Zone summer("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(Rfc822DateTime(kMonday - 180 * 86400), "Thu, 11 Jun 2026 00:30:00 +0200");
}

TEST(SmtpMessage, EnvelopeAddresses) {
    const std::pair<std::string, std::string> cases[] = {
        {"  joe@example.org\t", "joe@example.org"},
        {"Joe Smith < joe@example.org > (words)", "joe@example.org"},
        {" \t ", "(empty)"},
        {"joe@example.org\r\nRCPT TO:<all@example.org>", "(refused)"},
        {std::string("joe@example.org\0x", 17), "(refused)"},
        {"<joe@<example.org>", "(refused)"},
    };
    for (const auto& [line, expected] : cases) {
        std::string address = "stale";
        SmtpAddressStatus status = SmtpAddress(line, address);
        EXPECT_EQ(status == SmtpAddressStatus::Ok      ? address
                  : status == SmtpAddressStatus::Empty ? "(empty)" + address
                                                       : "(refused)" + address,
                  expected)
            << line;
    }
    EXPECT_EQ(SmtpRcptToCommand("joe@example.org"), "RCPT TO:<joe@example.org>");
    EXPECT_EQ(SmtpMailFromCommand("club@example.org"), "MAIL FROM:<club@example.org>");
}

TEST(SmtpMessage, HeaderLinesInTheirOrder) {
    Zone zone("CET-1");
    const std::string tail = "Date: Mon, 7 Dec 2026 23:30:00 +0100\r\n"
                             "X-Mailer: Tovrin SMTP Component V2.28\r\n";
    SmtpHeaderFields f;
    f.HdrReplyTo = "club@example.org";
    f.HdrReturnPath = "bounces@example.org";
    f.HdrFrom = "Club <club@example.org>";
    f.HdrTo = "joe@example.org";
    f.HdrCc = "ann@example.org";
    f.HdrSubject = "Ladder issue 12";
    f.HdrSender = "secretary@example.org";
    EXPECT_EQ(Joined(SmtpHeaderLines(f, kMonday)),
              "Reply-To: club@example.org\r\nReturn-Path: bounces@example.org\r\n"
              "From: Club <club@example.org>\r\nTo: joe@example.org\r\nCc: ann@example.org\r\n"
              "Subject: Ladder issue 12\r\nSender: secretary@example.org\r\n"
              "Mime-Version: 1.0\r\nContent-Type: text/plain; charset=\"utf-8\"\r\n" +
                  tail);

    // Blank values are left out and the sender falls back to From; line
    // breaks in a value become blanks, so it adds no header.
    SmtpHeaderFields g;
    g.HdrReplyTo = g.HdrSender = "  ";
    g.HdrFrom = "club@example.org";
    g.HdrSubject = "Results\r\nBcc: everyone@example.org";
    g.HdrTo = std::string("a@b\nc\0d", 7);
    g.ContentType = "text/html";
    EXPECT_EQ(Joined(SmtpHeaderLines(g, kMonday)),
              "From: club@example.org\r\nTo: a@b c d\r\n"
              "Subject: Results  Bcc: everyone@example.org\r\nSender: club@example.org\r\n"
              "Mime-Version: 1.0\r\nContent-Type: text/html; charset=\"utf-8\"\r\n" +
                  tail);

    SmtpHeaderFields h;
    h.Boundary = "= Multipart Boundary 1207262330";
    EXPECT_EQ(Joined(SmtpHeaderLines(h, kMonday)),
              "Subject: \r\nMime-Version: 1.0\r\nContent-Type: multipart/mixed;\r\n"
              "\tboundary=\"= Multipart Boundary 1207262330\"\r\n" +
                  tail);
}

TEST(SmtpMessage, LongHeaderLinesAreFolded) {
    SmtpHeaderFields f;
    for (int i = 0; i < 100; ++i)
        f.HdrTo += (i ? ", player" : "player") + std::to_string(i) + "@example.org";
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
}

TEST(SmtpMessage, DataLinesSplitCutAndStuffed) {
    const std::string a998(998, 'a');
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {""}},
        {".x", {"..x"}},
        {"x.", {"x."}},
        {"first\r\n.\r\nthird", {"first", "..", "third"}},
        {"cr\rlf\nboth\r\n", {"cr", "lf", "both", ""}},
        {a998, {a998}},
        {a998 + ".", {a998, ".."}},
        {"." + a998.substr(1), {".." + a998.substr(2), "a"}},
        {a998.substr(1) + "\xC3\xA9", {a998.substr(1), "\xC3\xA9"}},
    };
    for (const auto& [entry, lines] : cases)
        EXPECT_EQ(SmtpDataLines(entry), lines) << entry.substr(0, 20);
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
              "This is a multipart MIME message.\r\n\r\n--= Multipart Boundary 1207262305\r\n"
              "Content-Type: text/plain; charset=\"utf-8\"\r\n"
              "Content-Transfer-Encoding: 7bit\r\n\r\n");
    // The name without its folder; quotes and line breaks cannot leave the value.
    EXPECT_EQ(Joined(MimeAttachmentLines(boundary, "/home/club/ladder \"12\"\r\n.txt",
                                         "application/octet-stream", {"X-Note: one"})),
              "\r\n--= Multipart Boundary 1207262305\r\n"
              "Content-Type: application/octet-stream;\r\n\tname=\"ladder '12'  .txt\"\r\n"
              "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n"
              "\tfilename=\"ladder '12'  .txt\"\r\nX-Note: one\r\n\r\n");
    EXPECT_EQ(Joined(MimeClosingLines(boundary)), "\r\n--= Multipart Boundary 1207262305--\r\n");

    std::string bytes;
    for (char b = 0; b < 100; ++b)
        bytes += b;
    EXPECT_EQ(
        MimeBase64Lines(bytes),
        (std::vector<std::string>{"AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKiss",
                                  "LS4vMDEyMzQ1Njc4OTo7PD0+P0BBQkNERUZHSElKS0xNTk9QUVJTVFVWV1hZ",
                                  "WltcXV5fYGFiYw=="}));
    EXPECT_TRUE(MimeBase64Lines("").empty());
}

} // namespace
