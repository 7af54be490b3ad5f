#include "net/HttpReply.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Feeds a reply in pieces (0: at once) as the client does: the header lines,
// the status that ended the header and, after its end, the bytes that start
// the document.
std::string Read(const std::string& bytes, bool eof, std::size_t piece) {
    static const char* const statuses[] = {"Line",        "HeaderEnd",    "Headerless", "NeedMore",
                                           "LineTooLong", "TooManyLines", "Closed"};
    HttpHeaderReader reader;
    std::string seen, line;
    HttpHeaderStatus status = HttpHeaderStatus::NeedMore;
    auto drain = [&] {
        while ((status = reader.Next(line)) == HttpHeaderStatus::Line)
            seen += line + "|";
    };
    std::string_view rest(bytes);
    while (!rest.empty() && status == HttpHeaderStatus::NeedMore) {
        rest.remove_prefix(reader.Put(rest.substr(0, piece ? piece : rest.size())));
        drain();
    }
    if (eof && status == HttpHeaderStatus::NeedMore) {
        reader.PutEof();
        drain();
    }
    seen += statuses[int(status)];
    if (status == HttpHeaderStatus::HeaderEnd || status == HttpHeaderStatus::Headerless)
        seen += "|" + reader.TakeRest() + std::string(rest);
    return seen;
}

std::string ManyLines(std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
        text += "X: " + std::to_string(i) + "\r\n";
    return text + "\r\n";
}

const std::string kLong(HttpLineBufferSize - 5, 'v'); // with "X: " and CR LF, the whole buffer

const std::pair<std::string, std::string> kHeaders[] = {
    {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello",
     "HTTP/1.0 200 OK|Content-Length: 5|HeaderEnd|hello"},
    {"HTTP/1.1 302 Found\nLocation: /x\n\nrest\n",
     "HTTP/1.1 302 Found|Location: /x|HeaderEnd|rest\n"},
    {"HTTP/1.0 200 OK\r\r\n\r\n", "HTTP/1.0 200 OK\r|HeaderEnd|"},
    // A reply without a header is the document, its first line end and all.
    {"<HTML>\r\n<body>x</body>\r\n", "Headerless|<HTML>\r\n<body>x</body>\r\n"},
    {"<html><body>x</body></html>", "Headerless|<html><body>x</body></html>"},
    {"HTTP/1.0 200 OK\r\n<HTML>\r\n\r\n", "HTTP/1.0 200 OK|<HTML>|HeaderEnd|"},
    {"HTTP/1.0 200 OK\r\nContent-Le", "HTTP/1.0 200 OK|Closed"},
    {"", "Closed"},
    {"X: " + kLong + "\r\n\r\n", "X: " + kLong + "|HeaderEnd|"},
    {"X: v" + kLong + "\r\n\r\n", "LineTooLong"},
};

TEST(HttpReply, HeaderLinesWhateverThePackets) {
    for (const auto& [bytes, expected] : kHeaders) {
        SCOPED_TRACE(bytes.substr(0, 30));
        for (std::size_t piece : {0, 1, 5})
            EXPECT_EQ(Read(bytes, true, piece), expected) << piece;
    }
    HttpHeaderReader reader;
    std::string line;
    reader.Put("<html>\n");
    EXPECT_EQ(reader.Next(line), HttpHeaderStatus::Headerless);
    EXPECT_EQ(reader.Next(line), HttpHeaderStatus::Headerless) << "and stays so";
    EXPECT_TRUE(Read(ManyLines(HttpMaxHeaderLines), false, 0).ends_with("HeaderEnd|"));
    EXPECT_TRUE(Read(ManyLines(HttpMaxHeaderLines + 1), false, 0).ends_with("TooManyLines"));
}

// The fields read from the lines, those not at their start, as "name=value".
std::string Fields(std::initializer_list<const char*> lines) {
    HttpReplyFields f;
    for (const char* line : lines)
        if (HttpFieldStatus status = ReadHeaderLine(line, f); status != HttpFieldStatus::Ok)
            return status == HttpFieldStatus::BadStatusLine ? "bad status" : "bad length";
    std::string text;
    auto add = [&text](const char* name, const std::string& value) {
        if (!value.empty()) text += std::string(text.empty() ? "" : " ") + name + "=" + value;
    };
    add("status", f.StatusCode ? std::to_string(f.StatusCode) : "");
    add("reason", f.ReasonPhrase);
    add("length", f.ContentLength != -1 ? std::to_string(f.ContentLength) : "");
    add("type", f.ContentType);
    add("range", f.ContentRangeBegin + (f.ContentRangeEnd.empty() ? "" : "-" + f.ContentRangeEnd));
    add("ranges", f.AcceptRanges);
    add("location", f.LocationSeen ? "<" + f.Location + ">" : "");
    for (const std::string& a : f.AuthorizationRequest)
        add("auth", a);
    for (const std::string& c : f.Cookies)
        add("cookie", c);
    return text;
}

TEST(HttpReply, HeaderFieldsTheClientActsOn) {
    EXPECT_EQ(Fields({"HTTP/1.1 404 Not Found"}), "status=404 reason=Not Found");
    EXPECT_EQ(Fields({"HTTP/1.0 204"}), "status=204");
    EXPECT_EQ(Fields({"Content-Length:  5000000000 "}), "length=5000000000");
    EXPECT_EQ(Fields({"CONTENT-TYPE: Text/HTML; Charset=UTF-8"}), "type=text/html; charset=utf-8");
    EXPECT_EQ(Fields({"Content-Range: bytes 100-199/1000", "Accept-Ranges: bytes"}),
              "range=100-199 ranges=bytes");
    EXPECT_EQ(Fields({"Location:http://elsewhere/x"}), "location=<http://elsewhere/x>");
    EXPECT_EQ(Fields({"Location: "}), "location=<>");
    EXPECT_EQ(Fields({"WWW-Authenticate: Basic realm=\"a\"", "www-authenticate: Digest"}),
              "auth=Basic realm=\"a\" auth=Digest");
    EXPECT_EQ(Fields({"Set-Cookie: id=42; path=/", "Server: a: b", "no colon"}),
              "cookie=id=42; path=/");
    for (const char* bad : {"HTTP/1.0 2x0 OK", "HTTP/1.0 2000 OK", "HTTP/1.0"})
        EXPECT_EQ(Fields({bad}), "bad status") << bad;
    for (const char* bad : {"Content-Length: 12abc", "Content-Length: -1",
                            "Content-Length: ", "Content-Length: 99999999999999999999"})
        EXPECT_EQ(Fields({bad}), "bad length") << bad;
}

} // namespace
