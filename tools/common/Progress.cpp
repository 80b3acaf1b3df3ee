// The tools' progress line. See Progress.h.
#include "tools/common/Progress.h"

#include <cstdio>

#include "app/FixedStep.h"
#include "app/Timeline.h"

Progress::Progress(const char* what, long totalItems, double quiet)
    : label(what),
      total(totalItems),
      quietSeconds(quiet),
      start(Clock::now()),
      lastPrint(start) {}

void Progress::frameDone(long done) {
    Clock::time_point now = Clock::now();
    if (now - start < std::chrono::duration<double>(quietSeconds)) return;
    if (done < total && now - lastPrint < std::chrono::milliseconds(250)) return;
    lastPrint = now;
    print(done);
}

void Progress::finish(long done, bool always) {
    if (!always && printed < 0) return;
    if (done != printed) print(done);
    std::fputc('\n', stderr);
}

void Progress::print(long done) {
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    double rate = seconds > 0 ? double(done) / seconds : 0.0;
    long left = rate > 0 ? long(double(total - done) / rate + 0.5) : 0;
    printed = done;
    std::fprintf(stderr, "\r%s %ld/%ld, %.1f frames/s, %ld:%02ld left   ", label, done, total, rate,
                 left / 60, left % 60);
}

namespace {

Progress* runUpProgress = nullptr; // the line of the run-up under way

void runUpFrameDone(long done, long) {
    runUpProgress->frameDone(done);
}

} // namespace

long runUpWithProgress(const char* label, unsigned ms, int fps, bool (*stop)()) {
    const long first = firstGridFrameFrom(unsigned(sceneStartMs[sceneAt(ms)]), fps);
    Progress progress(label, firstGridFrameFrom(ms, fps) - first, 1.0);
    runUpProgress = &progress;
    long next = runUpTo(ms, fps, -1, stop, runUpFrameDone);
    progress.finish(next - first, false);
    runUpProgress = nullptr;
    return next;
}
