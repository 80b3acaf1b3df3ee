// Fixed-rate frames of the show.
#include "app/FixedStep.h"

#include "app/CApplication.h"
#include "app/Timeline.h"

unsigned gridTimeMs(long frame, int fps) {
    return unsigned(frame * 1000L / fps);
}

long firstGridFrameFrom(unsigned ms, int fps) {
    // Smallest k with floor(k * 1000 / fps) >= ms, i.e. k * 1000 >= ms * fps.
    long numerator = long(ms) * fps;
    return (numerator + 999) / 1000;
}

int sceneAt(unsigned ms) {
    int scene = 0;
    for (int k = 0; k < 10; k++) {
        if (ms >= unsigned(sceneStartMs[k])) scene = k;
    }
    return scene;
}

void drawShowFrameAt(unsigned ms, float step) {
    skip = step;
    advanceTimeline(ms);
    drawCurrentScene();
}
