#include "net/HttpReply.h"

#include "platform/Text.h"

#include <charconv>

std::size_t HttpHeaderReader::Room() const {
    return eof_ || done_ ? 0 : HttpLineBufferSize - held_.size();
}

std::size_t HttpHeaderReader::Put(std::string_view bytes) {
    std::size_t used = std::min(bytes.size(), Room());
    held_.append(bytes.substr(0, used));
    return used;
}

void HttpHeaderReader::PutEof() {
    eof_ = true;
}

HttpHeaderStatus HttpHeaderReader::Next(std::string& line) {
    if (done_) return headerless_ ? HttpHeaderStatus::Headerless : HttpHeaderStatus::HeaderEnd;
    // A reply without a header is an HTML page sent as it stands; its first
    // line belongs to the document, line end and all.
    if (lines_ == 0 && held_.size() >= 6 &&
        SameTextAscii(std::string_view(held_).substr(0, 6), "<HTML>")) {
        done_ = headerless_ = true;
        return HttpHeaderStatus::Headerless;
    }
    std::size_t end = held_.find('\n');
    if (end == std::string::npos) {
        if (eof_) return HttpHeaderStatus::Closed;
        return held_.size() >= HttpLineBufferSize ? HttpHeaderStatus::LineTooLong
                                                  : HttpHeaderStatus::NeedMore;
    }
    std::size_t length = end > 0 && held_[end - 1] == '\r' ? end - 1 : end;
    line.assign(held_, 0, length);
    held_.erase(0, end + 1);
    if (line.empty()) {
        done_ = true;
        return HttpHeaderStatus::HeaderEnd;
    }
    if (++lines_ > HttpMaxHeaderLines) return HttpHeaderStatus::TooManyLines;
    return HttpHeaderStatus::Line;
}

std::string HttpHeaderReader::TakeRest() {
    std::string rest;
    rest.swap(held_);
    return rest;
}

void HttpHeaderReader::Reset() {
    held_.clear();
    lines_ = 0;
    eof_ = false;
    done_ = false;
    headerless_ = false;
}

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool SplitHeaderField(std::string_view line, std::string& name, std::string& value) {
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    name = LowerAscii(line.substr(0, colon));
    std::size_t start = line.find_first_not_of(' ', colon + 1);
    value = start == std::string_view::npos ? std::string() : std::string(line.substr(start));
    return true;
}

HttpFieldStatus ReadHeaderLine(std::string_view line, HttpReplyFields& fields) {
    if (line.starts_with("HTTP/1.0") || line.starts_with("HTTP/1.1")) {
        // "HTTP/1.1 200 OK": the code in characters 10 to 12, the reason from 14.
        if (line.size() < 12 || line[8] != ' ' || !IsDigit(line[9]) || !IsDigit(line[10]) ||
            !IsDigit(line[11]) || (line.size() > 12 && line[12] != ' '))
            return HttpFieldStatus::BadStatusLine;
        fields.StatusCode = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
        fields.ReasonPhrase = line.size() > 13 ? std::string(line.substr(13)) : std::string();
        return HttpFieldStatus::Ok;
    }
    std::string name, value;
    if (!SplitHeaderField(line, name, value)) return HttpFieldStatus::Ok;
    if (name == "location") {
        fields.LocationSeen = true;
        fields.Location = value;
    } else if (name == "content-length") {
        std::string_view digits = Trim(value);
        std::int64_t length = -1;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
        if (digits.empty() || !IsDigit(digits[0]) || error != std::errc() ||
            end != digits.data() + digits.size())
            return HttpFieldStatus::BadContentLength;
        fields.ContentLength = length;
    } else if (name == "content-range") {
        // "bytes 0-99/1000"
        std::string_view range =
            std::string_view(value).substr(std::min<std::size_t>(6, value.size()));
        std::size_t dash = range.find('-');
        fields.ContentRangeBegin = range.substr(0, dash);
        if (dash != std::string_view::npos) {
            std::string_view rest = range.substr(dash + 1);
            fields.ContentRangeEnd = rest.substr(0, rest.find('/'));
        } else {
            fields.ContentRangeEnd.clear();
        }
    } else if (name == "accept-ranges") {
        fields.AcceptRanges = value;
    } else if (name == "content-type") {
        fields.ContentType = LowerAscii(value);
    } else if (name == "www-authenticate") {
        fields.AuthorizationRequest.push_back(value);
    } else if (name == "set-cookie") {
        fields.Cookies.push_back(value);
    }
    return HttpFieldStatus::Ok;
}
