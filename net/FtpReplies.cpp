#include "net/FtpReplies.h"

#include <array>
#include <charconv>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The codes of each step, by step.
const int kOpen[] = {220};
const int kUser[] = {331, 230};
const int kPass[] = {230};
const int kCwd[] = {200, 250, 257};
const int kSize[] = {213};
const int kTypeSet[] = {200};
const int kFolder[] = {250, 257}; // MKD, RMD, DELE, PWD, CDUP
const int kRenFrom[] = {350};
const int kRenTo[] = {200, 250, 257};
const int kSyst[] = {215};
const int kQuit[] = {221};
const int kPort[] = {200, 227};

// Reads a number of at most `digits` digits at `at`; false when there is none.
bool ReadNumber(std::string_view text, std::size_t& at, int digits, int& value) {
    std::size_t start = at;
    value = 0;
    while (at < text.size() && IsDigit(text[at]) && int(at - start) < digits)
        value = value * 10 + (text[at++] - '0');
    return at > start && (at == text.size() || !IsDigit(text[at]));
}

} // namespace

std::span<const int> FtpAcceptedCodes(TFtpFct step) {
    switch (step) {
    case ftpFctOpen:
        return kOpen;
    case ftpFctUser:
        return kUser;
    case ftpFctPass:
        return kPass;
    case ftpFctCwd:
        return kCwd;
    case ftpFctSize:
        return kSize;
    case ftpFctTypeSet:
        return kTypeSet;
    case ftpFctMkd:
    case ftpFctRmd:
    case ftpFctDele:
    case ftpFctPwd:
    case ftpFctCDup:
        return kFolder;
    case ftpFctRenFrom:
        return kRenFrom;
    case ftpFctRenTo:
        return kRenTo;
    case ftpFctSyst:
        return kSyst;
    case ftpFctQuit:
        return kQuit;
    case ftpFctPort:
        return kPort;
    default:
        return {};
    }
}

bool FtpCodeAccepted(std::span<const int> accepted, int code) {
    if (accepted.empty()) return code > 0 && code < 500;
    for (int ok : accepted)
        if (ok == code) return true;
    return false;
}

bool FtpTransferStarted(int code, bool upload) {
    return code == 125 || code == 150 || (!upload && code > 150 && code <= 159);
}

bool FtpTransferFinished(int code, bool upload) {
    return code == 226 || code == 250 || (!upload && code == 125);
}

bool FtpPasvReply(std::string_view line, FtpPasvAddress& address) {
    std::size_t open = line.find('(');
    std::size_t at =
        open != std::string_view::npos ? open + 1 : std::min<std::size_t>(4, line.size());
    if (open == std::string_view::npos)
        while (at < line.size() && !IsDigit(line[at]))
            ++at;
    std::array<int, 6> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            if (at >= line.size() || line[at] != ',') return false;
            ++at;
        }
        if (!ReadNumber(line, at, 3, numbers[i]) || numbers[i] > 255) return false;
    }
    if (open != std::string_view::npos && (at >= line.size() || line[at] != ')')) return false;
    int port = numbers[4] * 256 + numbers[5];
    if (port == 0) return false;
    address.Address = std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) + "." +
                      std::to_string(numbers[2]) + "." + std::to_string(numbers[3]);
    address.Port = static_cast<std::uint16_t>(port);
    return true;
}

std::string FtpQuotedFolder(std::string_view line) {
    std::size_t open = line.find('"', std::min<std::size_t>(3, line.size()));
    std::string folder;
    if (open == std::string_view::npos) return folder;
    for (std::size_t at = open + 1; at < line.size(); ++at) {
        if (line[at] == '"') {
            if (at + 1 < line.size() && line[at + 1] == '"') {
                folder += '"';
                ++at;
                continue;
            }
            break;
        }
        folder += line[at];
    }
    return folder;
}

bool FtpSizeReply(std::string_view line, std::int64_t& size) {
    if (line.size() < 4) return false;
    std::string_view rest = line.substr(3);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
        rest.remove_prefix(1);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (rest.empty() || !IsDigit(rest.front()) || error != std::errc() ||
        (end != rest.data() + rest.size() && *end != ' ' && *end != '\t'))
        return false;
    size = value;
    return true;
}
