#pragma once
// The request header of the HTTP client as a pure function of its settings:
// the lines in their fixed order, and the date form of "If-Modified-Since".

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// "Sun, 06 Dec 2026 08:49:37": the English names, whatever the locale. The
// weekday is taken from the date itself.
std::string RFC1123_Date(const std::tm& time);

struct HttpRequestSettings {
    std::string Method; // "GET", "POST" or "HEAD"
    std::string Path;   // the request target
    std::string Sender;
    std::string Accept;
    std::string Reference;
    std::string AcceptLanguage;
    std::string ContentTypePost;
    std::string Agent;
    std::string TargetHost;
    std::string TargetPort; // the server's port; the Host line names it unless it is 80
    bool NoCache = false;
    std::int64_t ContentLength = 0; // bytes of the POST body still to send
    std::time_t ModifiedSince = 0;  // 0: none
    std::string Username, Password;
    std::string Proxy;
    std::string ProxyUsername, ProxyPassword;
    std::string Cookie;
    std::string ContentRangeBegin, ContentRangeEnd;
};

// The request lines without their line ends and without the empty line that
// ends the header. A value holding CR, LF or NUL would end a line early and
// let it add lines of its own: it is refused, false is returned with the
// field's name in `refused`, and no line is built.
bool BuildRequestLines(const HttpRequestSettings& settings, std::vector<std::string>& lines,
                       std::string& refused);
