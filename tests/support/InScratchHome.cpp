// Runs a test's command with a home and a runtime folder of its own, both
// removed when the command ends: what the command and the programs it starts
// write there (a browser's profile and crash reports, the file dialog's
// history, a settings cache) never reaches the user's. Every test of the
// suite runs through it, each in new folders, so tests that run at once
// share none.
//
// usage: in_scratch_home COMMAND [ARGUMENT...]

#include "tests/support/Scratch.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Waits, in a process of its own, until the command and whatever inherited
// the pipe's other end have ended, however they ended (a time-out kills the
// command outright), then returns so that the folders are removed.
void AwaitTheEnd(int readEnd) {
    setsid(); // Ctrl+C at the terminal stops the tests, not the clean-up
    const int nothing = open("/dev/null", O_RDWR);
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        dup2(nothing, stream); // ctest waits for the test's output to close
    char byte;
    ssize_t got;
    do
        got = read(readEnd, &byte, 1);
    while (got < 0 && errno == EINTR);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: in_scratch_home COMMAND [ARGUMENT...]\n");
        return 2;
    }
    const TempFolder home;
    const TempFolder runtime; // private, as its users require
    int ends[2];
    if (!std::filesystem::is_directory(home.Path()) ||
        !std::filesystem::is_directory(runtime.Path()) || pipe(ends) != 0) {
        std::perror("in_scratch_home");
        return 1;
    }
    // The clean-up is no child of the command, which may wait for all of its.
    const pid_t middle = fork();
    if (middle == 0) {
        const pid_t cleanUp = fork();
        if (cleanUp == 0) {
            close(ends[1]);
            AwaitTheEnd(ends[0]);
            return 0; // the folders go here, as the scope ends
        }
        _exit(cleanUp > 0 ? 0 : 1);
    }
    int status = 1;
    if (middle < 0 || waitpid(middle, &status, 0) != middle || status != 0) {
        std::fprintf(stderr, "in_scratch_home: cannot start the clean-up\n");
        return 1;
    }
    close(ends[0]);

    // The command takes this process's place, so its own exit status, signal
    // and time-out are the test's. The folders stay: only the clean-up removes
    // them.
    const ScopedHome variables(home.Path());
    const ScopedEnv runtimeVariable("XDG_RUNTIME_DIR", runtime.Path());
    execvp(argv[1], argv + 1);
    std::perror(argv[1]);
    _exit(127);
}
