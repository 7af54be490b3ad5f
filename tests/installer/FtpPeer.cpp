#include "tests/installer/FtpPeer.h"

#include "tests/net/SocketPeers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <regex>
#include <sys/socket.h>
#include <unistd.h>

RecordingClient::RecordingClient(unsigned short port, const std::string& user,
                                 const std::string& password) {
    HostName = "127.0.0.1";
    Port = std::to_string(port);
    UserName = user;
    PassWord = password;
    Timeout = 5;
    OnDisplay = [this](TCustomFtpCli*, const std::string& msg) { log.push_back(msg); };
    OnCommand = [this](TCustomFtpCli*, std::string& cmd) { sent.push_back(cmd); };
    OnRequestDone = [this](TCustomFtpCli*, TFtpRequest, WORD error) {
        doneErrors.push_back(error);
    };
}

std::string RecordingClient::Transcript() const {
    static const std::regex port(R"(^> PORT \d+,\d+,\d+,\d+,\d+,\d+$)");
    static const std::regex pasv(R"(\(\d+,\d+,\d+,\d+,\d+,\d+\))");
    static const std::regex stats(R"( in \d+ seconds( \(\d+ Bytes/sec\))?$)");
    std::string text;
    for (const std::string& line : log) {
        std::string l = std::regex_replace(line, port, "> PORT <address>");
        l = std::regex_replace(l, pasv, "(<address>)");
        l = std::regex_replace(l, stats, " in <time>");
        text += l + "\n";
    }
    return text;
}

std::string PeerLine(int fd) {
    std::string line = ReadUntil(fd, "\r\n");
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
        line.resize(line.size() - 2);
    return line;
}

DataListener::DataListener(const char* address) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, address, &a.sin_addr);
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(fd_, 4);
    socklen_t length = sizeof a;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length);
    port = ntohs(a.sin_port);
}

DataListener::~DataListener() {
    close(fd_);
}

int DataListener::Accept() {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 5000) <= 0) return -1;
    return accept(fd_, nullptr, nullptr);
}

std::string DataListener::Pasv(const std::string& announced) const {
    return "227 Entering Passive Mode (" + announced + "," + std::to_string(port >> 8) + "," +
           std::to_string(port & 0xFF) + ")\r\n";
}

int ConnectFrom(const char* source, unsigned short port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, source, &local.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

unsigned short PortOf(const std::string& command) {
    std::smatch m;
    static const std::regex numbers(R"((\d+),(\d+)$)");
    if (!std::regex_search(command, m, numbers)) return 0;
    return static_cast<unsigned short>(std::stoi(m[1]) * 256 + std::stoi(m[2]));
}

void PumpMessages(int milliseconds) {
    const DWORD stop = GetTickCount() + DWORD(milliseconds);
    while (!TickReached(GetTickCount(), stop))
        ProcessApplicationMessages();
}
