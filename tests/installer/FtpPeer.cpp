#include "tests/installer/FtpPeer.h"

#include "tests/net/SocketPeers.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <regex>
#include <sys/socket.h>
#include <sys/stat.h>
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
    // Whether a server says 125 or 150 before a transfer depends on whether
    // the data connection has already reached it: either opens the transfer.
    static const std::regex opening(R"(^< (125|150) .*$)");
    std::string text;
    for (const std::string& line : log) {
        std::string l = std::regex_replace(line, port, "> PORT <address>");
        l = std::regex_replace(l, pasv, "(<address>)");
        l = std::regex_replace(l, stats, " in <time>");
        l = std::regex_replace(l, opening, "< 125 or 150 <transfer starting>");
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

std::vector<std::string> PyftpdlibCommand(const std::string& root, unsigned short port, bool write,
                                          const std::string& user, const std::string& password) {
    // Debian's module, whatever Python comes first on the PATH.
    std::vector<std::string> argv = {
        "/usr/bin/python3",   "-m", "pyftpdlib", "-i", "127.0.0.1", "-p",
        std::to_string(port), "-d", root};
    if (write) argv.push_back("-w");
    if (!user.empty()) argv.insert(argv.end(), {"-u", user, "-P", password});
    return argv;
}

bool PyftpdlibInstalled() {
    return std::system("/usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null") == 0;
}

std::vector<std::string> VsftpdCommand(const std::string& folder, const std::string& root,
                                       unsigned short port) {
    const std::string empty = folder + "/vsftpd-empty", config = folder + "/vsftpd.conf";
    mkdir(empty.c_str(), 0755);
    std::ofstream conf(config);
    conf << "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" << port
         << "\nbackground=NO\nanonymous_enable=YES\nlocal_enable=NO\nwrite_enable=NO\n"
         << "anon_root=" << root << "\nno_anon_password=YES\n"
         << "secure_chroot_dir=" << empty << "\nrun_as_launching_user=YES\n"
         << "seccomp_sandbox=NO\npasv_enable=YES\nport_enable=YES\n"
         << "connect_from_port_20=NO\nxferlog_enable=NO\n";
    return {"/usr/sbin/vsftpd", config};
}

Socks5Relay::Socks5Relay() {
    listener_ = ListenOnLoopback(port, 8);
    acceptor_ = std::thread([this] {
        while (!stop_) {
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            int fd = accept(listener_, nullptr, nullptr);
            if (fd < 0) continue;
            std::lock_guard<std::mutex> lock(mutex_);
            threads_.emplace_back([this, fd] { Serve(fd); });
        }
    });
}

Socks5Relay::~Socks5Relay() {
    stop_ = true;
    acceptor_.join();
    for (std::thread& t : threads_)
        t.join();
    close(listener_);
}

std::vector<Socks5Relay::Connection> Socks5Relay::Connections() {
    std::lock_guard<std::mutex> lock(mutex_);
    return connections_;
}

void Socks5Relay::Serve(int fd) {
    Connection c;
    const std::string hello = ReadExactly(fd, 2);
    if (hello.size() == 2 && hello[0] == 5)
        c.methods = ReadExactly(fd, static_cast<unsigned char>(hello[1]));
    WriteAll(fd, std::string("\x05\x00", 2));
    // CONNECT by IPv4 address or by name (this client sends names).
    std::string head = ReadExactly(fd, 4), host;
    if (head.size() == 4 && head[3] == 1) {
        const std::string a = ReadExactly(fd, 4);
        for (std::size_t i = 0; i < a.size(); ++i)
            host += (i ? "." : "") + std::to_string(static_cast<unsigned char>(a[i]));
    } else if (head.size() == 4 && head[3] == 3) {
        host = ReadExactly(fd, static_cast<unsigned char>(ReadExactly(fd, 1)[0]));
    }
    const std::string portBytes = ReadExactly(fd, 2);
    int target = -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (head[1] == 1 && portBytes.size() == 2 &&
        inet_pton(AF_INET, host.c_str(), &address.sin_addr) == 1) {
        c.target = static_cast<unsigned short>(static_cast<unsigned char>(portBytes[0]) * 256 +
                                               static_cast<unsigned char>(portBytes[1]));
        address.sin_port = htons(c.target);
        target = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (connect(target, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(target);
            target = -1;
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        connections_.push_back(c);
    }
    WriteAll(fd, std::string(target >= 0 ? "\x05\x00\x00\x01" : "\x05\x05\x00\x01", 4) +
                     std::string(6, '\0'));
    // Each way until its sender closes; then the close is passed on.
    bool open[2] = {target >= 0, target >= 0};
    const int from[2] = {fd, target}, to[2] = {target, fd};
    while (!stop_ && (open[0] || open[1])) {
        pollfd p[2] = {{from[0], short(open[0] ? POLLIN : 0), 0},
                       {from[1], short(open[1] ? POLLIN : 0), 0}};
        if (poll(p, 2, 50) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[65536];
            const ssize_t got = read(from[i], buffer, sizeof buffer);
            if (got <= 0) {
                open[i] = false;
                shutdown(to[i], SHUT_WR);
            } else {
                WriteAll(to[i], std::string(buffer, std::size_t(got)));
            }
        }
    }
    if (target >= 0) close(target);
    close(fd);
}
