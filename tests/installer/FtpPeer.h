#pragma once
// Helpers for the FTP client's tests: a client that records its dialogue,
// and the pieces a scripted server needs (lines, a data listener).

#include "installer/FtpCli.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A blocking client aimed at 127.0.0.1:port that keeps every displayed line.
class RecordingClient : public TFtpClient {
public:
    explicit RecordingClient(unsigned short port, const std::string& user = "anonymous",
                             const std::string& password = "guest@");
    std::vector<std::string> log;
    std::vector<std::string> sent; // the commands, as sent
    std::vector<int> doneErrors;   // OnRequestDone's codes, in order
    // The dialogue, one line each; the active data address and the passive
    // reply's numbers, which change from run to run, are masked.
    std::string Transcript() const;
};

// One line from the peer's side, without its line end ("" when the client
// closed or after 5 seconds).
std::string PeerLine(int fd);

// A data listener of a scripted server on 127.0.0.1 (or another loopback
// address).
class DataListener {
public:
    explicit DataListener(const char* address = "127.0.0.1");
    ~DataListener();
    DataListener(const DataListener&) = delete;
    DataListener& operator=(const DataListener&) = delete;
    unsigned short port = 0;
    // The next connection, or -1 after 5 seconds.
    int Accept();
    // "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" for this port and the
    // given announced address.
    std::string Pasv(const std::string& announced = "127,0,0,1") const;

private:
    int fd_ = -1;
};

// Connects from `source` (a loopback address) to 127.0.0.1:port; -1 on failure.
int ConnectFrom(const char* source, unsigned short port);
// The port of a "PORT h1,h2,h3,h4,p1,p2" command.
unsigned short PortOf(const std::string& command);
// Pumps messages for a while.
void PumpMessages(int milliseconds);

// pyftpdlib serving `root` on 127.0.0.1:port: to anonymous users, or with a
// user to that user alone; `write` lets them store and remove files.
std::vector<std::string> PyftpdlibCommand(const std::string& root, unsigned short port, bool write,
                                          const std::string& user = "",
                                          const std::string& password = "");
bool PyftpdlibInstalled();

// vsftpd serving `root` read-only to anonymous users on 127.0.0.1:port, in
// the foreground; its configuration and empty chroot folder go into
// `folder`. The command line to start it.
std::vector<std::string> VsftpdCommand(const std::string& folder, const std::string& root,
                                       unsigned short port);

// A SOCKS 5 relay on 127.0.0.1 that takes the no-authentication method only
// and passes bytes both ways. It notes, for each connection, the methods the
// client offered and the port it asked for.
class Socks5Relay {
public:
    Socks5Relay();
    ~Socks5Relay();
    Socks5Relay(const Socks5Relay&) = delete;
    Socks5Relay& operator=(const Socks5Relay&) = delete;
    unsigned short port = 0;
    struct Connection {
        std::string methods; // the offered method bytes
        unsigned short target = 0;
    };
    std::vector<Connection> Connections();

private:
    void Serve(int fd);
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Connection> connections_;
    std::vector<std::thread> threads_;
    std::thread acceptor_;
};
