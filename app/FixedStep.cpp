// Fixed-rate frames of the show.
#include "app/FixedStep.h"

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/Window.h"

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

long runUpTo(unsigned ms, int fps, long resume, bool (*stop)(), void (*progress)(long, long)) {
    long frame = firstGridFrameFrom(unsigned(sceneStartMs[sceneAt(ms)]), fps);
    const long end = firstGridFrameFrom(ms, fps);
    if (resume > frame && resume <= end) frame = resume;
    const long first = frame;
    const float step = 20.0f / float(fps);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    for (; frame < end; frame++) {
        if (stop && stop()) break;
        platform::beginFrame();
        drawShowFrameAt(gridTimeMs(frame, fps), step);
        glFinish();
        if (progress) progress(frame + 1 - first, end - first);
    }
    glDisable(GL_SCISSOR_TEST);
    return frame;
}
