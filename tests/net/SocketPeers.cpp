#include "tests/net/SocketPeers.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

sockaddr_in LoopbackAddress(unsigned short port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Readable(int fd, int milliseconds) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, milliseconds) > 0;
}

} // namespace

int ListenOnLoopback(unsigned short& port, int backlog) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = LoopbackAddress(port);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd, backlog);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

unsigned short FreeLoopbackPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = LoopbackAddress(0);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

RefusedPort::RefusedPort() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address = LoopbackAddress(0);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
}

RefusedPort::~RefusedPort() {
    close(fd_);
}

std::string ReadExactly(int fd, std::size_t count) {
    std::string data;
    char buffer[4096];
    while (data.size() < count && Readable(fd, 5000)) {
        ssize_t got = read(fd, buffer, std::min(sizeof buffer, count - data.size()));
        if (got <= 0) break;
        data.append(buffer, std::size_t(got));
    }
    return data;
}

std::string ReadUntil(int fd, const std::string& end) {
    std::string data;
    char c;
    while (data.find(end) == std::string::npos && Readable(fd, 5000) && read(fd, &c, 1) == 1)
        data += c;
    return data;
}

void WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += std::size_t(n);
    }
}

void WriteBytewise(int fd, const std::string& bytes, int pauseMilliseconds) {
    for (char c : bytes) {
        if (send(fd, &c, 1, MSG_NOSIGNAL) != 1) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMilliseconds));
    }
}

int WriteInParts(int fd, const std::string& bytes, const std::vector<std::size_t>& ends,
                 const std::atomic<std::size_t>& taken) {
    int inTime = 0;
    std::size_t sent = 0;
    for (std::size_t end : ends) {
        WriteAll(fd, bytes.substr(sent, end - sent));
        sent = end;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (taken != sent && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (taken == sent) ++inTime;
    }
    return inTime;
}

ScriptedPeer::ScriptedPeer(std::function<void(int fd)> script) {
    listener_ = ListenOnLoopback(port, 5);
    thread_ = std::thread([this, script] {
        if (Readable(listener_, 10000)) {
            int fd = accept(listener_, nullptr, nullptr);
            if (fd >= 0) {
                script(fd);
                close(fd);
            }
        }
        done_ = true;
    });
}

bool ScriptedPeer::Finished() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done_.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done_.load();
}

ScriptedPeer::~ScriptedPeer() {
    // Wakes a peer still waiting for its connection.
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
}

ServerProcess::ServerProcess(const std::vector<std::string>& argv, unsigned short port,
                             const std::function<bool()>& prepare) {
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        if (prepare && !prepare()) _exit(126);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    if (pid_ > 0) setpgid(pid_, pid_);
    running_ = pid_ > 0 && WaitUntilListening(port);
}

// Tests run side by side, and a port chosen free may meanwhile be another
// test's: a connection made to see whether the server answers could land in
// that test's listener and be taken for one of its own. So the server is
// seen to listen in the system's socket table, and never connected to.
bool ServerProcess::WaitUntilListening(unsigned short port) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (OwnsPort(port)) return true;
        int status;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            // It could not start (or bind); its group may linger.
            kill(-pid_, SIGKILL);
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

ServerProcess::~ServerProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The server's own children go with their group.
    kill(-pid_, SIGKILL);
}

namespace {

// The inodes of the sockets listening on the TCP port, any address of
// either family.
std::set<std::string> ListenerInodes(unsigned short port) {
    std::set<std::string> inodes;
    for (const char* path : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream table(path);
        std::string line;
        std::getline(table, line);
        while (std::getline(table, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
            fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
                timeout >> inode;
            const std::size_t colon = local.rfind(':');
            if (state != "0A" || colon == std::string::npos) continue;
            if (std::stoul(local.substr(colon + 1), nullptr, 16) == port) inodes.insert(inode);
        }
    }
    return inodes;
}

// The socket inodes that the process ("self" for this one) holds.
std::set<std::string> SocketInodesOf(const std::string& pid) {
    std::set<std::string> inodes;
    const std::string fdPath = "/proc/" + pid + "/fd";
    DIR* fds = opendir(fdPath.c_str());
    if (fds == nullptr) return inodes;
    while (dirent* fd = readdir(fds)) {
        char target[64];
        const ssize_t length =
            readlink((fdPath + "/" + fd->d_name).c_str(), target, sizeof target - 1);
        if (length <= 0) continue;
        const std::string link(target, std::size_t(length));
        if (link.rfind("socket:[", 0) == 0) inodes.insert(link.substr(8, link.size() - 9));
    }
    closedir(fds);
    return inodes;
}

// The socket inodes held by the processes of the group.
std::set<std::string> GroupSocketInodes(pid_t group) {
    std::set<std::string> inodes;
    DIR* processes = opendir("/proc");
    if (processes == nullptr) return inodes;
    while (dirent* entry = readdir(processes)) {
        const std::string pid = entry->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream statFile("/proc/" + pid + "/stat");
        std::string stat;
        std::getline(statFile, stat);
        const std::size_t end = stat.rfind(')');
        if (end == std::string::npos) continue;
        std::istringstream fields(stat.substr(end + 1));
        std::string state;
        long parent = 0, pgrp = 0;
        if (!(fields >> state >> parent >> pgrp) || pgrp != group) continue;
        inodes.merge(SocketInodesOf(pid));
    }
    closedir(processes);
    return inodes;
}

} // namespace

bool ServerProcess::OwnsPort(unsigned short port) const {
    if (pid_ <= 0) return false;
    const std::set<std::string> listeners = ListenerInodes(port);
    if (listeners.empty()) return false;
    const std::set<std::string> own = GroupSocketInodes(pid_);
    // Until the server's program has started, its process still holds
    // copies of this one's sockets.
    const std::set<std::string> ours = SocketInodesOf("self");
    for (const std::string& inode : listeners)
        if (own.count(inode) == 0 || ours.count(inode) != 0) return false;
    return true;
}

std::unique_ptr<ServerProcess>
StartOnFreePort(const std::function<std::vector<std::string>(unsigned short)>& command,
                unsigned short& port, const std::function<bool()>& prepare) {
    for (int attempt = 1;; ++attempt) {
        port = FreeLoopbackPort();
        auto server = std::make_unique<ServerProcess>(command(port), port, prepare);
        // Another process may have taken the port first; the server then
        // cannot bind and goes.
        if (server->Running() || attempt == 5) return server;
    }
}

std::vector<std::string> DanteCommand(const std::string& folder, unsigned short port, bool logins) {
    std::string config = folder + "/danted.conf";
    std::ofstream out(config);
    out << "logoutput: stderr\n"
        << "internal: 127.0.0.1 port = " << port << "\n"
        << "external: 127.0.0.1\n"
        << "clientmethod: none\n"
        << "socksmethod: " << (logins ? "username" : "none") << "\n"
        << "user.privileged: root\n"
        << "user.unprivileged: nobody\n"
        << "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
        << "socks pass { from: 127.0.0.0/8 to: 0.0.0.0/0 protocol: tcp }\n";
    return {"/usr/sbin/danted", "-f", config, "-p", folder + "/danted.pid"};
}

std::function<bool()> PrivateAccounts(const std::string& folder, const std::string& user,
                                      const std::string& cryptedPassword) {
    const std::string passwd = folder + "/passwd", shadow = folder + "/shadow";
    std::ofstream p(passwd), s(shadow);
    p << "root:x:0:0:root:/root:/bin/sh\n"
      << "nobody:x:65534:65534:nobody:/nonexistent:/usr/sbin/nologin\n"
      << user << ":x:4242:4242::/nonexistent:/usr/sbin/nologin\n";
    s << "root:*:19000:0:99999:7:::\n"
      << "nobody:*:19000:0:99999:7:::\n"
      << user << ":" << cryptedPassword << ":19000:0:99999:7:::\n";
    // Runs in the forked child: system calls only, nothing allocated.
    return [passwd, shadow] {
        if (unshare(CLONE_NEWNS) != 0) return false;
        // Nothing mounted here may reach the machine's own namespace.
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
        return mount(passwd.c_str(), "/etc/passwd", nullptr, MS_BIND, nullptr) == 0 &&
               mount(shadow.c_str(), "/etc/shadow", nullptr, MS_BIND, nullptr) == 0;
    };
}

bool ProgramExists(const std::string& path) {
    return access(path.c_str(), X_OK) == 0;
}
