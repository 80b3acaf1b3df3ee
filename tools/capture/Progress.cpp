// Progress line of the capture tool. See Progress.h.
#include "tools/capture/Progress.h"

#include <cstdio>

Progress::Progress(long totalFrames) : total(totalFrames), start(Clock::now()), lastPrint(start) {}

void Progress::frameDone(long written) {
    Clock::time_point now = Clock::now();
    if (written < total && now - lastPrint < std::chrono::milliseconds(250)) return;
    lastPrint = now;
    print(written);
}

void Progress::finish(long written) {
    if (written != printed) print(written);
    std::fputc('\n', stderr);
}

void Progress::print(long written) {
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    double rate = seconds > 0 ? double(written) / seconds : 0.0;
    long left = rate > 0 ? long(double(total - written) / rate + 0.5) : 0;
    printed = written;
    std::fprintf(stderr, "\rcapture: frame %ld/%ld, %.1f frames/s, %ld:%02ld left   ", written, total,
                 rate, left / 60, left % 60);
}
