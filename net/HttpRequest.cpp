#include "net/HttpRequest.h"

#include "net/Base64.h"

#include <cstdio>
#include <string_view>

namespace {

const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Day of the week of a date of the Gregorian calendar, 0 for Sunday.
int WeekDay(int year, int month, int day) {
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) --year;
    int days = year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day;
    return (days % 7 + 7) % 7;
}

bool HasLineBreak(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

std::string RFC1123_Date(const std::tm& time) {
    int month = time.tm_mon >= 0 && time.tm_mon < 12 ? time.tm_mon : 0;
    int year = time.tm_year + 1900;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %2.2d %s %4.4d %2.2d:%2.2d:%2.2d",
                  kDays[WeekDay(year, month + 1, time.tm_mday)], time.tm_mday, kMonths[month], year,
                  time.tm_hour, time.tm_min, time.tm_sec);
    return text;
}

bool BuildRequestLines(const HttpRequestSettings& s, std::vector<std::string>& lines,
                       std::string& refused) {
    const std::pair<const char*, const std::string*> values[] = {
        {"Method", &s.Method},
        {"Path", &s.Path},
        {"Sender", &s.Sender},
        {"Accept", &s.Accept},
        {"Reference", &s.Reference},
        {"AcceptLanguage", &s.AcceptLanguage},
        {"ContentTypePost", &s.ContentTypePost},
        {"Agent", &s.Agent},
        {"TargetHost", &s.TargetHost},
        {"TargetPort", &s.TargetPort},
        {"Username", &s.Username},
        {"Password", &s.Password},
        {"ProxyUsername", &s.ProxyUsername},
        {"ProxyPassword", &s.ProxyPassword},
        {"Cookie", &s.Cookie},
        {"ContentRangeBegin", &s.ContentRangeBegin},
        {"ContentRangeEnd", &s.ContentRangeEnd},
    };
    lines.clear();
    refused.clear();
    for (const auto& [name, value] : values) {
        if (HasLineBreak(*value)) {
            refused = name;
            return false;
        }
    }
    const bool post = s.Method == "POST";
    lines.push_back(s.Method + " " + s.Path + " HTTP/1.0");
    if (!s.Sender.empty()) lines.push_back("From: " + s.Sender);
    if (!s.Accept.empty()) lines.push_back("Accept: " + s.Accept);
    if (!s.Reference.empty()) lines.push_back("Referer: " + s.Reference);
    if (!s.AcceptLanguage.empty()) lines.push_back("Accept-Language: " + s.AcceptLanguage);
    if (post && !s.ContentTypePost.empty()) lines.push_back("Content-Type: " + s.ContentTypePost);
    if (!s.Agent.empty()) lines.push_back("User-Agent: " + s.Agent);
    // Servers build their redirects from this line, so a port other than
    // the default must be in it.
    if (s.TargetPort.empty() || s.TargetPort == "80")
        lines.push_back("Host: " + s.TargetHost);
    else
        lines.push_back("Host: " + s.TargetHost + ":" + s.TargetPort);
    if (s.NoCache) lines.push_back("Pragma: no-cache");
    if (post) lines.push_back("Content-Length: " + std::to_string(s.ContentLength));
    if (s.ModifiedSince != 0) {
        std::tm utc{};
        gmtime_r(&s.ModifiedSince, &utc);
        lines.push_back("If-Modified-Since: " + RFC1123_Date(utc) + " GMT");
    }
    if (!s.Username.empty())
        lines.push_back("Authorization: Basic " + Base64Encode(s.Username + ":" + s.Password));
    if (!s.Proxy.empty() && !s.ProxyUsername.empty())
        lines.push_back("Proxy-Authorization: Basic " +
                        Base64Encode(s.ProxyUsername + ":" + s.ProxyPassword));
    if (!s.Cookie.empty()) lines.push_back("Cookie: " + s.Cookie);
    if (!s.ContentRangeBegin.empty() || !s.ContentRangeEnd.empty())
        lines.push_back("Range: bytes=" + s.ContentRangeBegin + "-" + s.ContentRangeEnd);
    return true;
}
