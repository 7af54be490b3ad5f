#pragma once
// Peers for the socket tests on 127.0.0.1: a scripted server run by a
// thread of its own (byte-at-a-time replies, closes at chosen moments), and
// real servers started from their Debian programs, stopped by pid.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

// A TCP socket listening on 127.0.0.1 at `port`, or, when it is 0, at a
// port of the system's choice, which it gives back in `port`.
int ListenOnLoopback(unsigned short& port, int backlog);
// A port of 127.0.0.1 that nothing listens on at this moment.
unsigned short FreeLoopbackPort();

// A port of 127.0.0.1 that refuses every connection while this lives: it is
// bound and never listens, so no other process can take it meanwhile, and a
// connection meant to be refused never reaches another test's listener.
class RefusedPort {
public:
    RefusedPort();
    ~RefusedPort();
    RefusedPort(const RefusedPort&) = delete;
    RefusedPort& operator=(const RefusedPort&) = delete;
    unsigned short port = 0;

private:
    int fd_;
};

// Blocking helpers for peer threads; every read gives up after 5 seconds.
std::string ReadExactly(int fd, std::size_t count);
// Reads until the byte string appears or the peer closes.
std::string ReadUntil(int fd, const std::string& end);
void WriteAll(int fd, const std::string& bytes);
void WriteBytewise(int fd, const std::string& bytes, int pauseMilliseconds = 5);
// Writes the bytes up to each of the ends in turn, going on only once the
// client has taken all sent so far (`taken`, which the test's handler keeps)
// or after 3 seconds. How many parts it had taken in time.
int WriteInParts(int fd, const std::string& bytes, const std::vector<std::size_t>& ends,
                 const std::atomic<std::size_t>& taken);

// A server on an ephemeral port that runs the script once for the first
// connection it accepts, then closes that connection.
class ScriptedPeer {
public:
    explicit ScriptedPeer(std::function<void(int fd)> script);
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;
    unsigned short port = 0;
    // Waits for the script to end (at most 10 seconds).
    bool Finished();

private:
    int listener_ = -1;
    std::thread thread_;
    std::atomic<bool> done_{false};
};

// A server program run as a child in a process group of its own; stopped
// by its pid (and its group) in the destructor, whatever happened.
class ServerProcess {
public:
    // Starts the program and waits until it listens on the port. The child
    // runs `prepare` before the program and gives up when it returns false.
    ServerProcess(const std::vector<std::string>& argv, unsigned short port,
                  const std::function<bool()>& prepare = nullptr);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    bool Running() const { return running_; }
    // Whether every listener on the port belongs to the server (its process
    // or one of its group), and there is one: a port chosen free may have
    // been taken by another process before the server could bind it.
    bool OwnsPort(unsigned short port) const;

private:
    bool WaitUntilListening(unsigned short port);

    pid_t pid_ = -1;
    bool running_ = false;
};

// Starts the server that `command` gives for a port on a port chosen free,
// and on another when a process other than the server listens there; the
// port in use comes back in `port`. `prepare` as for `ServerProcess`.
std::unique_ptr<ServerProcess>
StartOnFreePort(const std::function<std::vector<std::string>(unsigned short)>& command,
                unsigned short& port, const std::function<bool()>& prepare = nullptr);

// A dante SOCKS 4 and 5 server on the port, from a configuration written
// into the folder; with `logins`, level 5 asks for a user code and password.
std::vector<std::string> DanteCommand(const std::string& folder, unsigned short port,
                                      bool logins = false);
// Writes passwd and shadow files with one account into the folder and gives
// what the child that runs dante with logins does before it starts: take a
// mount namespace of its own in which those files stand for the system's,
// so that the account exists for that process alone.
std::function<bool()> PrivateAccounts(const std::string& folder, const std::string& user,
                                      const std::string& cryptedPassword);
bool ProgramExists(const std::string& path);
