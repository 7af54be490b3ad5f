#include "net/HttpReply.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const char* Show(HttpHeaderStatus status) {
    switch (status) {
    case HttpHeaderStatus::Line:
        return "Line";
    case HttpHeaderStatus::HeaderEnd:
        return "HeaderEnd";
    case HttpHeaderStatus::Headerless:
        return "Headerless";
    case HttpHeaderStatus::NeedMore:
        return "NeedMore";
    case HttpHeaderStatus::LineTooLong:
        return "LineTooLong";
    case HttpHeaderStatus::TooManyLines:
        return "TooManyLines";
    case HttpHeaderStatus::Closed:
        return "Closed";
    }
    return "?";
}

// Feeds a reply in pieces (0: at once) as the client does; the result is
// the header lines, then the status that ended the header and, after its
// end, "body=" and the bytes that start the document.
std::vector<std::string> Read(const std::string& bytes, bool eof, std::size_t piece) {
    HttpHeaderReader reader;
    std::vector<std::string> seen;
    std::string line;
    HttpHeaderStatus status = HttpHeaderStatus::NeedMore;
    auto drain = [&] {
        while ((status = reader.Next(line)) == HttpHeaderStatus::Line)
            seen.push_back(line);
    };
    auto finished = [&] { return status != HttpHeaderStatus::NeedMore; };
    std::string_view rest(bytes);
    std::string body;
    while (!rest.empty() && !finished()) {
        rest.remove_prefix(reader.Put(rest.substr(0, piece == 0 ? rest.size() : piece)));
        drain();
    }
    if (eof && !finished()) {
        reader.PutEof();
        drain();
    }
    seen.push_back(Show(status));
    if (status == HttpHeaderStatus::HeaderEnd || status == HttpHeaderStatus::Headerless)
        seen.push_back("body=" + reader.TakeRest() + std::string(rest));
    return seen;
}

struct HeaderCase {
    const char* name;
    std::string bytes;
    bool eof;
    std::vector<std::string> expected;
};

std::string ManyLines(std::size_t n) {
    std::string text = "HTTP/1.0 200 OK\r\n";
    for (std::size_t i = 1; i < n; ++i)
        text += "X-Line: " + std::to_string(i) + "\r\n";
    return text + "\r\n";
}

const HeaderCase kHeaders[] = {
    {"CR LF lines and a body",
     "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello",
     false,
     {"HTTP/1.0 200 OK", "Content-Length: 5", "HeaderEnd", "body=hello"}},
    {"LF-only lines",
     "HTTP/1.1 302 Found\nLocation: /x\n\nrest\n",
     false,
     {"HTTP/1.1 302 Found", "Location: /x", "HeaderEnd", "body=rest\n"}},
    {"only one CR goes with the line end",
     "HTTP/1.0 200 OK\r\r\n\r\n",
     false,
     {"HTTP/1.0 200 OK\r", "HeaderEnd", "body="}},
    {"headerless page keeps its first line end",
     "<HTML>\r\n<body>x</body>\r\n",
     true,
     {"Headerless", "body=<HTML>\r\n<body>x</body>\r\n"}},
    {"headerless page in lower case, no line end at all",
     "<html><body>x</body></html>",
     true,
     {"Headerless", "body=<html><body>x</body></html>"}},
    {"a later <HTML> line is a header line",
     "HTTP/1.0 200 OK\r\n<HTML>\r\n\r\n",
     false,
     {"HTTP/1.0 200 OK", "<HTML>", "HeaderEnd", "body="}},
    {"closed before the header ended",
     "HTTP/1.0 200 OK\r\nContent-Le",
     true,
     {"HTTP/1.0 200 OK", "Closed"}},
    {"closed before anything", "", true, {"Closed"}},
    {"a header waits for its end", "HTTP/1.0 200 OK\r\n", false, {"HTTP/1.0 200 OK", "NeedMore"}},
    {"longest line that fits",
     "HTTP/1.0 200 OK\r\nX: " + std::string(HttpLineBufferSize - 5, 'v') + "\r\n\r\n",
     false,
     {"HTTP/1.0 200 OK", "X: " + std::string(HttpLineBufferSize - 5, 'v'), "HeaderEnd", "body="}},
    {"a line of 8,193 bytes is too long",
     "HTTP/1.0 200 OK\r\nX: " + std::string(HttpLineBufferSize - 2, 'v') + "\r\n\r\n",
     false,
     {"HTTP/1.0 200 OK", "LineTooLong"}},
    {"too many header lines", ManyLines(HttpMaxHeaderLines + 1), false,
     [] {
         std::vector<std::string> lines{"HTTP/1.0 200 OK"};
         for (std::size_t i = 1; i < HttpMaxHeaderLines; ++i)
             lines.push_back("X-Line: " + std::to_string(i));
         lines.push_back("TooManyLines");
         return lines;
     }()},
};

TEST(HttpReply, HeaderLinesWhateverThePackets) {
    for (const HeaderCase& c : kHeaders) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.bytes, c.eof, 0), c.expected);
        EXPECT_EQ(Read(c.bytes, c.eof, 1), c.expected) << "a byte at a time";
        EXPECT_EQ(Read(c.bytes, c.eof, 5), c.expected) << "in pieces of 5";
    }
    EXPECT_EQ(Read(ManyLines(HttpMaxHeaderLines), false, 0).size(), HttpMaxHeaderLines + 2)
        << "the largest header still ends";
}

// The fields after a header, as "name=value" for those not at their start.
std::string Fields(const std::vector<std::string>& lines, HttpFieldStatus* last = nullptr) {
    HttpReplyFields f;
    HttpFieldStatus status = HttpFieldStatus::Ok;
    for (const std::string& line : lines)
        if ((status = ReadHeaderLine(line, f)) != HttpFieldStatus::Ok) break;
    if (last) *last = status;
    std::string text;
    auto add = [&](const char* name, const std::string& value) {
        if (!value.empty()) text += std::string(text.empty() ? "" : " ") + name + "=" + value;
    };
    if (f.StatusCode != 0) add("status", std::to_string(f.StatusCode));
    add("reason", f.ReasonPhrase);
    if (f.ContentLength != -1) add("length", std::to_string(f.ContentLength));
    add("type", f.ContentType);
    add("from", f.ContentRangeBegin);
    add("to", f.ContentRangeEnd);
    add("ranges", f.AcceptRanges);
    if (f.LocationSeen) add("location", f.Location.empty() ? "(empty)" : f.Location);
    for (const std::string& a : f.AuthorizationRequest)
        add("auth", a);
    for (const std::string& c : f.Cookies)
        add("cookie", c);
    return text;
}

struct FieldCase {
    std::vector<std::string> lines;
    const char* expected;
    HttpFieldStatus status = HttpFieldStatus::Ok;
};

const FieldCase kFields[] = {
    {{"HTTP/1.0 200 OK"}, "status=200 reason=OK"},
    {{"HTTP/1.1 404 Not Found"}, "status=404 reason=Not Found"},
    {{"HTTP/1.1 204"}, "status=204"},
    {{"HTTP/1.0 200 OK", "Content-Length:  5000000000 "}, "status=200 reason=OK length=5000000000"},
    {{"CONTENT-TYPE: Text/HTML; Charset=UTF-8"}, "type=text/html; charset=utf-8"},
    {{"Content-Range: bytes 100-199/1000", "Accept-Ranges: bytes"}, "from=100 to=199 ranges=bytes"},
    {{"Location:http://elsewhere/x"}, "location=http://elsewhere/x"},
    {{"Location: "}, "location=(empty)"},
    {{"WWW-Authenticate: Basic realm=\"a\"", "www-authenticate: Digest x"},
     "auth=Basic realm=\"a\" auth=Digest x"},
    {{"Set-Cookie: id=42; path=/", "X-Other: ignored", "no colon here"}, "cookie=id=42; path=/"},
    {{"Server: a: b"}, ""},
    {{"HTTP/1.0 2x0 OK"}, "", HttpFieldStatus::BadStatusLine},
    {{"HTTP/1.0 2000 OK"}, "", HttpFieldStatus::BadStatusLine},
    {{"HTTP/1.0"}, "", HttpFieldStatus::BadStatusLine},
    {{"Content-Length: 12abc"}, "", HttpFieldStatus::BadContentLength},
    {{"Content-Length: -1"}, "", HttpFieldStatus::BadContentLength},
    {{"Content-Length: "}, "", HttpFieldStatus::BadContentLength},
    {{"Content-Length: 99999999999999999999"}, "", HttpFieldStatus::BadContentLength},
};

TEST(HttpReply, HeaderFieldsTheClientActsOn) {
    for (const FieldCase& c : kFields) {
        SCOPED_TRACE(c.lines.front());
        HttpFieldStatus status;
        EXPECT_EQ(Fields(c.lines, &status), c.expected);
        EXPECT_EQ(status, c.status);
    }
}

} // namespace
