// Fixed-rate frames of the show, and the run-ups and rewinds of a seek.
#include "app/FixedStep.h"

#include <cstdlib>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/Window.h"
#include "render/Scissor.h"

namespace {

// The matrices start-up leaves; the rest of its GL state is kept on the
// attribute stacks.
GLfloat startProjection[16];
GLfloat startModelview[16];
bool startStateKept = false;

// Draws the frame at `ms` with the current step through a one-pixel
// scissor box: all of its GL calls, almost none of its pixels.
void drawThroughPixel(unsigned ms) {
    ScissorBox pixel(0, 0, 1, 1);
    drawShowFrameAt(ms, skip);
}

} // namespace

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

void keepStartState() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glGetFloatv(GL_PROJECTION_MATRIX, startProjection);
    glGetFloatv(GL_MODELVIEW_MATRIX, startModelview);
    startStateKept = true;
}

void rewindShow() {
    if (startStateKept) {
        // Popped and pushed again: the stacks keep the state for the next rewind.
        glPopClientAttrib();
        glPopAttrib();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
        GLint mode = GL_MODELVIEW;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(startProjection);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(startModelview);
        glMatrixMode(GLenum(mode));
    }
    std::srand(1);
    resetScenes();
}

long runUpTo(unsigned ms, int fps, long from) {
    const long end = firstGridFrameFrom(ms, fps);
    skip = gridStep(fps);
    bool bound = false;
    for (long frame = from; frame < end; frame++) {
        const unsigned t = gridTimeMs(frame, fps);
        const unsigned next = gridTimeMs(frame + 1, fps);
        const bool last = frame + 1 == end || sceneAt(next) != sceneAt(t);
        if (!last) {
            advanceTimeline(t);
            stepCurrentScene();
            continue;
        }
        if (!bound) platform::beginFrame(); // the render target the frames draw on
        bound = true;
        drawThroughPixel(t);
    }
    return end;
}

long seekTo(unsigned ms, int fps) {
    rewindShow();
    return runUpTo(ms, fps);
}
