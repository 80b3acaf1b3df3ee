// Runs a program of the build as a user would, for the tests that need a
// whole process: its environment adjusted, its output collected, a signal
// sent while it runs, and a deadline after which it is killed.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testsupport {

struct Finished {
    int exitCode = -1;     // the exit status, or -1 when a signal ended it
    int signal = 0;        // the signal that ended it, or 0
    bool timedOut = false; // killed at the deadline
    double seconds = 0;    // from start (or from the last signal sent) to exit
    std::string out, err;
};

class Program {
public:
    // Starts `argv` in `cwd` with `env` applied: "NAME=value" sets, "NAME" unsets.
    Program(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& cwd);
    ~Program();
    // Waits until the program runs at least `count` threads (the GL driver
    // starts its own when the window opens); false after `timeoutSeconds`.
    bool waitForThreads(int count, double timeoutSeconds);
    // Sends `sig`; the time to exit is then counted from here.
    void sendSignal(int sig);
    // Waits up to `timeoutSeconds`, then kills it; collects its output.
    Finished wait(double timeoutSeconds);

private:
    pid_t pid = -1;
    std::string dir;
    double startWall = 0;
    bool reaped = false;
};

// Runs to the end (or the deadline) and returns what happened.
Finished runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                    const std::string& cwd, double timeoutSeconds);

} // namespace testsupport
