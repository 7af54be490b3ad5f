#include "tests/support/ChildProcess.h"

#include <cstdio>
#include <exception>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string DropPrivileges() {
    if (geteuid() != 0) return "";
    if (setgroups(0, nullptr) != 0 || setgid(kUnprivilegedUser) != 0 ||
        setuid(kUnprivilegedUser) != 0)
        return "cannot drop to an unprivileged user";
    return "";
}

} // namespace

ChildProcess::ChildProcess(const std::function<std::string()>& body, bool unprivileged) {
    int report[2];
    if (pipe(report) != 0) return;
    std::fflush(nullptr); // nothing buffered is written twice
    pid_ = fork();
    if (pid_ == 0) {
        close(report[0]);
        alarm(60);
        std::string problems = unprivileged ? DropPrivileges() : "";
        if (problems.empty()) {
            try {
                problems = body();
            } catch (const std::exception& e) {
                problems = std::string("raised: ") + e.what();
            }
        }
        for (std::size_t at = 0; at < problems.size();) {
            const ssize_t n = write(report[1], problems.data() + at, problems.size() - at);
            if (n <= 0) break;
            at += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(report[1]);
    report_ = report[0];
}

std::string ChildProcess::Wait() {
    if (pid_ <= 0) return "cannot start a child process";
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(report_, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(report_);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    if (WIFSIGNALED(status)) text += " killed by signal " + std::to_string(WTERMSIG(status));
    return text;
}
