// Fixed-rate frames of the show.
#include "app/FixedStep.h"

#include "app/CApplication.h"
#include "app/Timeline.h"

float gridStep(int fps) {
    return 20.0f / float(fps);
}

unsigned gridTimeMs(long frame, int fps) {
    return unsigned(frame * 1000L / fps);
}

long firstGridFrameFrom(unsigned ms, int fps) {
    // Smallest k with floor(k * 1000 / fps) >= ms, i.e. k * 1000 >= ms * fps.
    long numerator = long(ms) * fps;
    return (numerator + 999) / 1000;
}

void drawShowFrameAt(unsigned ms, float step) {
    skip = step;
    advanceTimeline(ms);
    drawCurrentScene();
}

long runUpTo(unsigned ms, int fps, long resume) {
    long frame = firstGridFrameFrom(unsigned(sceneStartMs[sceneAt(ms)]), fps);
    const long end = firstGridFrameFrom(ms, fps);
    if (resume > frame && resume <= end) frame = resume;
    skip = gridStep(fps);
    for (; frame < end; frame++) {
        advanceTimeline(gridTimeMs(frame, fps));
        stepCurrentScene();
    }
    return end;
}
