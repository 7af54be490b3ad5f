#include "tests/support/ChildProcess.h"

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

} // namespace

int RunInChild(const std::function<int()>& body, bool unprivileged) {
    std::fflush(nullptr); // nothing buffered is written twice
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (unprivileged && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(125);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
