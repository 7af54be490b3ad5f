#include "net/ReplyReader.h"

#include <algorithm>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Exactly three digits at `at`, not followed by a fourth: the reply code,
// else 0. A longer run of digits is no code (and cannot overflow).
int CodeAt(std::string_view text, std::size_t at) {
    if (text.size() < at + 3 || !IsDigit(text[at]) || !IsDigit(text[at + 1]) ||
        !IsDigit(text[at + 2]))
        return 0;
    if (text.size() > at + 3 && IsDigit(text[at + 3])) return 0;
    return (text[at] - '0') * 100 + (text[at + 1] - '0') * 10 + (text[at + 2] - '0');
}

bool DashAfterCode(std::string_view text, std::size_t at) {
    return text.size() > at + 3 && text[at + 3] == '-';
}

} // namespace

ReplyLine SmtpReplyLine(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    ReplyLine line{std::string(text), ReplyLineKind::Last, CodeAt(text, at)};
    if (line.code != 0 && DashAfterCode(text, at)) line.kind = ReplyLineKind::Continuation;
    return line;
}

ReplyLine FtpReplyLine(std::string_view text) {
    ReplyLine line{std::string(text), ReplyLineKind::Text, CodeAt(text, 0)};
    if (line.code != 0)
        line.kind = DashAfterCode(text, 0) ? ReplyLineKind::Continuation : ReplyLineKind::Last;
    return line;
}

ReplyReader::ReplyReader(ReplyLineRule rule, bool acceptLF) : rule_(rule), acceptLF_(acceptLF) {
}

std::size_t ReplyReader::Room() const {
    return eof_ ? 0 : ReplyBufferSize - held_.size();
}

std::size_t ReplyReader::Put(std::string_view bytes) {
    std::size_t used = std::min(bytes.size(), Room());
    held_.append(bytes.substr(0, used));
    return used;
}

void ReplyReader::PutEof() {
    eof_ = true;
}

ReplyStatus ReplyReader::Next(ReplyLine& line) {
    std::size_t end = acceptLF_ ? held_.find('\n') : held_.find("\r\n");
    if (end == std::string::npos) {
        if (eof_)
            return inReply_ || !held_.empty() ? ReplyStatus::ClosedInReply : ReplyStatus::Closed;
        return held_.size() >= ReplyBufferSize ? ReplyStatus::LineTooLong : ReplyStatus::NeedMore;
    }
    std::size_t next = end + (acceptLF_ ? 1 : 2);
    std::string_view text(held_.data(), end);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    line = rule_(text);
    held_.erase(0, next);
    if (line.kind == ReplyLineKind::Continuation)
        inReply_ = true;
    else if (line.kind == ReplyLineKind::Last)
        inReply_ = false;
    return ReplyStatus::Line;
}

void ReplyReader::Reset() {
    held_.clear();
    inReply_ = false;
    eof_ = false;
}
