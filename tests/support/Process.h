// Runs a program of the build as a user would, for the tests that need a
// whole process: its environment adjusted, its output collected (also while
// it runs), a signal sent, and a deadline after which it is killed. And the
// files such programs write, read back.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct Finished {
    int exitCode = -1; // the exit status; -1 when a signal ended it (SIGKILL at the deadline)
    std::string out, err;
};

class Program {
public:
    // Starts the program of the build named by the first word of `line` (or
    // the program at that path when it starts with '/'), the other words its
    // arguments (split as the shell splits them; quote a word with spaces),
    // in `cwd` with `env` applied: "NAME=value" sets, "NAME" unsets.
    explicit Program(const std::string& line, const std::vector<std::string>& env = {},
                     const std::string& cwd = "/");
    Program(const Program&) = delete; // one owner kills and reaps the process
    Program& operator=(const Program&) = delete;
    ~Program() { wait(0); }
    int threads() const;     // threads it runs now; 0 once it has ended
    std::string err() const; // what it has written on stderr so far
    // Sends `sig`; the deadline of wait() is then counted from here.
    void sendSignal(int sig);
    // Waits up to `timeoutSeconds` from the start (or the signal), then kills
    // it. Only the first call waits; later ones return an empty record.
    Finished wait(double timeoutSeconds);

private:
    int pid = -1;         // from fork()
    std::string dir;      // holds the files "out" and "err"
    double startWall = 0; // s on the steady clock: the start, or the last signal sent
};

// The bytes of a file; empty when it cannot be read.
std::string readFile(const std::string& path);

// Polls `ready` every millisecond: true as soon as it holds, false when it
// has not within `timeoutSeconds`.
bool waitFor(const std::function<bool()>& ready, double timeoutSeconds);

} // namespace testsupport
