// The show's frames as the tools draw them, on app/FixedStep.h, two ways:
//  - a fixed-step run (capture, soak, the frame benchmarks, the tests' show
//    runner): grid frame k at N frames per second shows music time
//    floor(k x 1000 / N) ms with the frame step 20 / N. The frames are taken
//    in order from 0 ms, each drawn or stepped over by a run-up (which moves
//    the show on without drawing), so that a frame drawn anywhere is the
//    one a run drawing every frame from the start draws there;
//  - real time (the preview): each frame's step is the time the timer
//    measured since the frame before, and a seek is a rewind and a run-up.
// Each frame is drawn into a freshly begun frame of the render target and
// left there: the caller reads it back, times it or presents it.
#pragma once

#include <cstdint>

// Draws one frame of the show at music time `ms` with frame step `step`
// (units of 50 ms): timeline, scene, overlay.
void drawFrame(unsigned ms, float step);

// A fixed-step run of the show from 0 ms.
struct FixedRun {
    int fps;       // grid frames per second of music time, 1 to 1000
    long next = 0; // the grid frame due: every one before it has been drawn or stepped over
};

// Music time of grid frame `frame` of `run`, ms.
unsigned frameMs(const FixedRun& run, long frame);
// The first grid frame of `run` whose time is at or after `ms`.
long firstFrameFrom(const FixedRun& run, unsigned ms);
// Steps over the grid frames from run.next up to the first one at or after
// `ms` (a run-up); nothing when run.next is already there.
void runUp(FixedRun& run, unsigned ms);
// Draws grid frame run.next and makes the frame after it due; returns the
// music time drawn.
unsigned drawNextFrame(FixedRun& run);
// Runs up to `ms`, then draws the frame at `ms` itself with the run's step,
// in place of the first grid frame at or after it: on the grid, exactly the
// frame the run from 0 ms draws there.
void drawFrameAt(FixedRun& run, unsigned ms);

// Real-time frames.
struct RealTimeRun {
    uint64_t lastTicks = 0; // ms, timer reading of the last frame, or of the last restart
};

// Rewinds the show and runs it up to `ms` at `fps` frames a second, so that
// the frame drawn next at `ms` is the one a run from the start shows there;
// a show that had ended plays again.
void seekRealTime(unsigned ms, int fps);
// Counts the next step from now (after a start or a pause, whose time is
// no step of the show).
void restartSteps(RealTimeRun& run);
// Draws the frame at music time `ms`, its step the time since the last one.
void drawRealTimeFrame(RealTimeRun& run, unsigned ms);
