#include "unified/online/onlineService.h"

#include "net/HttpUrl.h"

#include <cstdlib>

std::string OnlineServiceUrl() {
    const char* configured = std::getenv("ROSTRIX_ONLINE_URL");
    std::string url = configured != nullptr && *configured != '\0'
                          ? configured
                          : "http://online.rostrix.example/rxOnline/";
    if (url.back() != '/') url += '/';
    return url;
}

std::string OnlineRegistrationPage() {
    const std::string url = OnlineServiceUrl();
    std::size_t hostStart = url.find("://");
    hostStart = hostStart == std::string::npos ? 0 : hostStart + 3;
    return url.substr(0, url.find('/', hostStart)) + "/rxOnline/index.html";
}

std::string UploadBody(const std::string& userId, const std::string& password,
                       const std::string& action, const std::string& fileName,
                       const std::string& fileData) {
    std::string body = "userId=" + UrlEncode(userId) + "&pword=" + UrlEncode(password);
    if (!action.empty()) return body + "&action=" + UrlEncode(action);
    // The ladder's text comes percent-encoded already.
    return body + "&fileName=" + UrlEncode(fileName) + "&fileData=" + fileData;
}

std::string DownloadUrl(const std::string& userId, const std::string& password,
                        const std::string& fileName) {
    return OnlineServiceUrl() + "rxDownload.cgi?userId=" + UrlEncode(userId) +
           "&pword=" + UrlEncode(password) + "&fileName=" + UrlEncode(fileName);
}

std::string HidePassword(const std::string& text) {
    std::string shown = text;
    std::size_t at = 0;
    while ((at = shown.find("pword=", at)) != std::string::npos) {
        at += 6;
        std::size_t end = shown.find_first_of("& \r\n", at);
        shown.replace(at, end == std::string::npos ? std::string::npos : end - at, "****");
        at += 4;
    }
    return shown;
}

std::string ReplyLines(const std::string& reply) {
    std::string lines;
    std::size_t start = 0;
    while (start < reply.size()) {
        std::size_t end = reply.find('\n', start);
        if (end == std::string::npos) end = reply.size();
        std::size_t stop = end > start && reply[end - 1] == '\r' ? end - 1 : end;
        lines.append(reply, start, stop - start);
        lines += "\r\n";
        start = end + 1;
    }
    return lines;
}

std::string AfterFirstLine(const std::string& lines) {
    std::size_t end = lines.find("\r\n");
    return end == std::string::npos ? std::string() : lines.substr(end + 2);
}
