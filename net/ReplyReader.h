#pragma once
// The reply reader that the SMTP and FTP clients share. A reply is one or
// more lines, each opened by a three-digit code; a "-" right after the code
// says more lines follow. The two protocols differ only in what makes a line
// the last one, so each client holds a reader made with its own rule.
//
// The reader takes bytes and never touches a socket: the client puts what it
// received, takes the lines out one at a time, and says when the peer closed.

#include <cstddef>
#include <string>
#include <string_view>

// The receive buffer of a control connection. A line and its line end must
// fit in it; no real server sends a reply line of this length.
inline constexpr std::size_t ReplyBufferSize = 4096;

enum class ReplyLineKind {
    Text,         // not a reply line: shown, never decides anything
    Continuation, // a code followed by "-": more of the reply follows
    Last,         // ends the reply
};

struct ReplyLine {
    std::string text; // without its line end
    ReplyLineKind kind = ReplyLineKind::Text;
    int code = 0; // the three-digit code; 0 when the line has none
};

// What makes a line the last one of a reply.
using ReplyLineRule = ReplyLine (*)(std::string_view text);

// SMTP: every line of a reply carries its code, after optional blanks and
// tabs; any line but "code-" ends the reply. A line without a code ends it
// with code 0, which no command accepts.
ReplyLine SmtpReplyLine(std::string_view text);

// FTP: a multi-line reply may hold free text, so only a line that begins
// with a code not followed by "-" ends it; other lines are text.
ReplyLine FtpReplyLine(std::string_view text);

enum class ReplyStatus {
    Line,          // a complete line was taken out
    NeedMore,      // no complete line is held
    LineTooLong,   // the buffer is full without a line end; the reader is spent
    Closed,        // the peer closed between replies
    ClosedInReply, // the peer closed within a reply or within a line
};

class ReplyReader {
public:
    // With acceptLF a bare line feed ends a line; without it only CR LF does.
    explicit ReplyReader(ReplyLineRule rule, bool acceptLF = true);

    // Bytes the buffer can still take.
    std::size_t Room() const;
    // Copies as much of the bytes as there is room for; returns how many.
    std::size_t Put(std::string_view bytes);
    // The peer closed: lines already held are still taken out first.
    void PutEof();

    // Takes out the next complete line (into `line`) or says why there is none.
    ReplyStatus Next(ReplyLine& line);

    void SetAcceptLF(bool acceptLF) { acceptLF_ = acceptLF; }
    // A reply was opened by a continuation line and has not ended.
    bool InReply() const { return inReply_; }
    // Empties the reader for a new connection.
    void Reset();

private:
    ReplyLineRule rule_;
    bool acceptLF_;
    std::string held_;
    bool inReply_ = false;
    bool eof_ = false;
};
