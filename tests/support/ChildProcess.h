#pragma once
// A test's part that runs in a process of its own: another program using the
// same store, one that permission bits stop, or one whose limits and signals
// must not reach the test program. The child reports what went wrong as
// text (empty when all went well); one that hangs is killed after a minute,
// so the test ends.

#include <functional>
#include <string>
#include <sys/types.h>

// The user and group an unprivileged child runs as when the tests run as
// root, so that permission bits hold for it.
constexpr uid_t kUnprivilegedUser = 65534;

class ChildProcess {
public:
    // `unprivileged`: the child first drops to an ordinary user when it runs
    // as root, whose permission bits would not stop it otherwise.
    explicit ChildProcess(const std::function<std::string()>& body, bool unprivileged = false);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // What the child reported, or that it could not start or was killed.
    std::string Wait();

private:
    pid_t pid_ = -1;
    int report_ = -1;
};
