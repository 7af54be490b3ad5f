#pragma once
// Helpers for the HTTP client's tests: a blocking request that cannot hang,
// the request as a peer reads it, a peer that answers every connection the
// same way, and lighttpd with CGI, Basic authentication and a redirect.

#include "net/HttpProt.h"

#include <atomic>
#include <string>
#include <thread>

// How a blocking request ended: the exception's code and text, or 0 and "".
struct Outcome {
    int code = 0;
    std::string error;
};

// Runs the blocking request; it is aborted after `abortAfter` milliseconds
// (a watchdog of 20 seconds when 0), so that no test waits for ever.
Outcome Request(THttpCli& cli, THttpRequest method, int abortAfter = 0);

// Reads one request: its header and as many body bytes as its length says.
std::string ReadRequest(int fd);

// A server on an ephemeral port that reads each request and answers it
// with the same reply, until it is destroyed.
class RepeatingPeer {
public:
    explicit RepeatingPeer(std::string reply);
    ~RepeatingPeer();
    RepeatingPeer(const RepeatingPeer&) = delete;
    RepeatingPeer& operator=(const RepeatingPeer&) = delete;
    int Requests() const { return requests_.load(); }
    unsigned short port = 0;

private:
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

// lighttpd serving `root` on the port: *.cgi run by /usr/bin/python3, the
// folder /private/ behind Basic authentication (user "anna", password
// "s3cret"), and /old/<x> redirected to /docs/<x>. The configuration goes
// into `folder`. Returns the command line.
std::vector<std::string> LighttpdCommand(const std::string& folder, const std::string& root,
                                         unsigned short port);
