#include "net/MimeParts.h"

#include "net/Base64.h"

#include <cstdio>

namespace {

// A file name goes inside a quoted header value: it may end no line, nor
// the quotes.
std::string QuotedName(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    for (char& c : name)
        if (c == '\r' || c == '\n' || c == '\0' || c == '"') c = c == '"' ? '\'' : ' ';
    return "\"" + name + "\"";
}

} // namespace

std::string MimeBoundary(const std::tm& local) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d%02d%02d%02d%02d", (local.tm_mon + 1) % 100,
                  local.tm_mday % 100, (local.tm_year + 1900) % 100, local.tm_hour % 100,
                  local.tm_min % 100);
    return std::string("= Multipart Boundary ") + stamp;
}

std::vector<std::string> MimeTextPartLines(std::string_view boundary, std::string_view contentType,
                                           std::string_view charSet) {
    return {"This is a multipart MIME message.",
            "",
            "--" + std::string(boundary),
            "Content-Type: " + std::string(contentType) + "; charset=\"" + std::string(charSet) +
                "\"",
            "Content-Transfer-Encoding: 7bit",
            ""};
}

std::vector<std::string> MimeAttachmentLines(std::string_view boundary, std::string_view fileName,
                                             std::string_view contentType,
                                             const std::vector<std::string>& extraLines) {
    std::vector<std::string> lines = {"",
                                      "--" + std::string(boundary),
                                      "Content-Type: " + std::string(contentType) + ";",
                                      "\tname=" + QuotedName(fileName),
                                      "Content-Transfer-Encoding: base64",
                                      "Content-Disposition: attachment;",
                                      "\tfilename=" + QuotedName(fileName)};
    lines.insert(lines.end(), extraLines.begin(), extraLines.end());
    lines.push_back("");
    return lines;
}

std::vector<std::string> MimeBase64Lines(std::string_view bytes) {
    constexpr std::size_t bytesPerLine = MimeBase64LineLength / 4 * 3;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < bytes.size(); at += bytesPerLine)
        lines.push_back(Base64Encode(bytes.substr(at, bytesPerLine)));
    return lines;
}

std::vector<std::string> MimeClosingLines(std::string_view boundary) {
    return {"", "--" + std::string(boundary) + "--"};
}
