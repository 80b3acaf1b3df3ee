// Fixed-step and real-time frames of the show. See FrameDriver.h.
#include "tools/common/FrameDriver.h"

#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "platform/Clock.h"
#include "platform/Window.h"

void drawFrame(unsigned ms, float step) {
    platform::beginFrame();
    drawShowFrameAt(ms, step);
}

unsigned frameMs(const FixedRun& run, long frame) {
    return gridTimeMs(frame, run.fps);
}

long firstFrameFrom(const FixedRun& run, unsigned ms) {
    return firstGridFrameFrom(ms, run.fps);
}

void runUp(FixedRun& run, unsigned ms) {
    if (firstFrameFrom(run, ms) > run.next) run.next = runUpTo(ms, run.fps, run.next);
}

unsigned drawNextFrame(FixedRun& run) {
    const unsigned ms = frameMs(run, run.next++);
    drawFrame(ms, gridStep(run.fps));
    return ms;
}

void drawFrameAt(FixedRun& run, unsigned ms) {
    runUp(run, ms);
    drawFrame(ms, gridStep(run.fps));
    run.next++;
}

void seekRealTime(unsigned ms, int fps) {
    seekTo(ms, fps);
    done = false;
}

void restartSteps(RealTimeRun& run) {
    run.lastTicks = platform::ticksMs();
}

void drawRealTimeFrame(RealTimeRun& run, unsigned ms) {
    const uint64_t now = platform::ticksMs();
    drawFrame(ms, frameStep(now, run.lastTicks));
    run.lastTicks = now;
}
