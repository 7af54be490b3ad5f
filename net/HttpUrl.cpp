#include "net/HttpUrl.h"

#include "platform/Text.h"

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int XDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithCaseBlind(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

bool IsSchemeText(std::string_view scheme) {
    if (scheme.empty()) return false;
    for (char c : scheme)
        if (!((c >= 'a' && c <= 'z') || IsDigit(c) || c == '+' || c == '-' || c == '.'))
            return false;
    return true;
}

// The folder of a path: up to and including its last "/", or "/".
std::string Folder(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string("/")
                                           : std::string(path.substr(0, slash + 1));
}

void SplitAuthority(std::string_view authority, std::string& user, std::string& pass,
                    std::string& host, std::string& port) {
    std::size_t at = authority.rfind('@');
    std::string_view hostPort = authority;
    if (at != std::string_view::npos) {
        std::string_view userInfo = authority.substr(0, at);
        std::size_t colon = userInfo.find(':');
        user = userInfo.substr(0, colon);
        if (colon != std::string_view::npos) pass = userInfo.substr(colon + 1);
        hostPort = authority.substr(at + 1);
    }
    std::size_t colon = hostPort.rfind(':');
    host = hostPort.substr(0, colon);
    if (colon != std::string_view::npos) port = hostPort.substr(colon + 1);
}

} // namespace

void ParseURL(std::string_view url, std::string& proto, std::string& user, std::string& pass,
              std::string& host, std::string& port, std::string& path) {
    std::string base = path;
    proto.clear();
    user.clear();
    pass.clear();
    host.clear();
    port.clear();
    path.clear();
    if (url.empty()) return;
    if (url.starts_with("./")) {
        path = Folder(base) + std::string(url.substr(2));
        return;
    }
    if (url.starts_with("../")) {
        std::string folder = Folder(base);
        while (url.starts_with("../")) {
            url.remove_prefix(3);
            if (folder.size() > 1) {
                folder.pop_back();
                folder.erase(folder.rfind('/') + 1);
            }
        }
        path = folder + std::string(url);
        return;
    }
    if (url[0] == '/' && !url.starts_with("//")) {
        proto = "http";
        path = url;
        return;
    }
    std::size_t separator = url.find("://");
    std::string_view before = separator == std::string_view::npos ? url : url.substr(0, separator);
    if (separator != std::string_view::npos && before.find_first_of("/?") == std::string::npos) {
        // A scheme outside its lower-case alphabet is taken as plain http.
        proto = IsSchemeText(before) ? std::string(before) : std::string("http");
        url.remove_prefix(separator + 3);
    } else if (StartsWithCaseBlind(url, "http:")) {
        proto = "http";
        path = url.substr(5);
        return;
    } else if (StartsWithCaseBlind(url, "mailto:")) {
        proto = "mailto";
        url.remove_prefix(7);
    }
    std::size_t end = url.find_first_of("/?");
    SplitAuthority(url.substr(0, end), user, pass, host, port);
    if (end != std::string_view::npos) path = url.substr(end);
}

std::string AdjustDocName(std::string_view docName) {
    docName = docName.substr(0, docName.find('?'));
    if (docName.empty() || docName.back() == '/') return "document.htm";
    std::size_t slash = docName.rfind('/');
    if (slash != std::string_view::npos) docName.remove_prefix(slash + 1);
    return Utf8Cut(docName, 255);
}

void ReplaceExt(std::string& name, std::string_view ext) {
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        name += '.';
        name += ext;
    } else {
        name.replace(dot + 1, std::string::npos, ext);
    }
}

std::string UrlEncode(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (char c : text) {
        if (IsAsciiLetter(c) || IsDigit(c)) {
            encoded += c;
        } else {
            unsigned char byte = static_cast<unsigned char>(c);
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 15];
        }
    }
    return encoded;
}

std::string UrlDecode(std::string_view text) {
    std::string decoded;
    for (std::size_t at = 0; at < text.size() && text[at] != '&'; ++at) {
        char c = text[at];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%' && at + 2 < text.size() && XDigit(text[at + 1]) >= 0 &&
                   XDigit(text[at + 2]) >= 0) {
            decoded += char(XDigit(text[at + 1]) * 16 + XDigit(text[at + 2]));
            at += 2;
        } else {
            decoded += c;
        }
    }
    return decoded;
}
