// The capture's progress line on stderr: frame n/N, frames rendered per
// second and the time left, rewritten in place at most four times a second.
#pragma once

#include <chrono>

class Progress {
public:
    explicit Progress(long total);
    // Call after frame `written` (1-based) is out.
    void frameDone(long written);
    // Prints the final line and a newline.
    void finish(long written);

private:
    using Clock = std::chrono::steady_clock;
    long total;
    long printed = -1; // frame count of the last line printed
    Clock::time_point start;
    Clock::time_point lastPrint;
    void print(long written);
};
