#pragma once
// Runs part of a test in a child process, so that what it does to the
// process (limits, signals, a lower user) does not reach the test program.

#include <functional>

// The body's result as the child's exit status, or -1 when the child died of
// a signal. `unprivileged`: the child first drops to an ordinary user when
// it runs as root, whose permission bits would not stop it otherwise.
int RunInChild(const std::function<int()>& body, bool unprivileged = false);
