#pragma once
// The reply side of the HTTP client without a socket: the bytes of a reply
// split into header lines until the empty line, and the header lines read
// into the fields the client acts on. What follows the header is the
// document, passed through as it comes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Header lines are assembled in a buffer of this size; a longer line fails
// the reply instead of growing it.
inline constexpr std::size_t HttpLineBufferSize = 8192;
// A reply header of more lines than this is refused; no server sends one.
inline constexpr std::size_t HttpMaxHeaderLines = 1000;

enum class HttpHeaderStatus {
    Line,         // a header line was taken out
    HeaderEnd,    // the empty line: what is held after it starts the document
    Headerless,   // the reply opens with "<HTML>": everything held is the document
    NeedMore,     // no complete line is held
    LineTooLong,  // a line does not fit the buffer
    TooManyLines, // the header has more lines than HttpMaxHeaderLines
    Closed,       // the peer closed before the header ended
};

class HttpHeaderReader {
public:
    std::size_t Room() const;
    // Copies as much of the bytes as there is room for; returns how many.
    std::size_t Put(std::string_view bytes);
    void PutEof();
    // The next header line (without its line end), or why there is none.
    HttpHeaderStatus Next(std::string& line);
    // After HeaderEnd or Headerless: the bytes held, which the document
    // starts with. The reader is then empty.
    std::string TakeRest();
    void Reset();

private:
    std::string held_;
    std::size_t lines_ = 0;
    bool eof_ = false;
    bool done_ = false;
    bool headerless_ = false;
};

// The fields of a reply header that the client reads.
struct HttpReplyFields {
    int StatusCode = 0;
    std::string ReasonPhrase;
    std::int64_t ContentLength = -1; // -1: none given
    std::string ContentType;         // lower-cased
    std::string ContentRangeBegin, ContentRangeEnd;
    std::string AcceptRanges;
    bool LocationSeen = false;
    std::string Location; // the value of the last "location" line
    std::vector<std::string> AuthorizationRequest;
    std::vector<std::string> Cookies;
};

enum class HttpFieldStatus { Ok, BadStatusLine, BadContentLength };

// Splits "Name: value" at the first ":": the name lower-cased, the value
// after the blanks that follow the ":". False when the line has no ":".
bool SplitHeaderField(std::string_view line, std::string& name, std::string& value);

// Reads one non-empty header line into the fields: the status line, or one
// of the fields acted on; other lines change nothing.
HttpFieldStatus ReadHeaderLine(std::string_view line, HttpReplyFields& fields);
