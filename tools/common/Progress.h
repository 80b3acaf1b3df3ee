// A progress line on stderr: "LABEL n/N, F frames/s, m:ss left", rewritten
// in place at most four times a second, and only once the work has taken
// longer than `quietSeconds` (short work prints nothing).
#pragma once

#include <chrono>

class Progress {
public:
    Progress(const char* label, long total, double quietSeconds = 0.0);
    // Call after item `done` (1-based) is finished.
    void frameDone(long done);
    // Prints the final line and a newline, if any line was printed or
    // `always` is set.
    void finish(long done, bool always = true);

private:
    using Clock = std::chrono::steady_clock;
    const char* label;
    long total;
    double quietSeconds;
    long printed = -1; // count of the last line printed
    Clock::time_point start;
    Clock::time_point lastPrint;
    void print(long done);
};

// The show's run-up to `ms` at `fps` (runUpTo, stopping when `stop` says so)
// with a progress line labelled `label` once it has taken over a second.
// Returns runUpTo's result.
long runUpWithProgress(const char* label, unsigned ms, int fps, bool (*stop)());
