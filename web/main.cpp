// The show's program in a browser page (index.html; its backend is
// platform/web/). It plays the show as the desktop's main does
// (app/main.cpp), except that the browser owns the frame loop: execute()
// hands the frames to the page's animation frames and does not return. With
// ?at=MS in the page's address it draws instead the one frame at MS that
// `capture --at MS --fps 60` draws, at the page's size, and stops: the page
// test compares the two. With &frames=N as well it draws N frames from there
// at 60 frames/s of music time (or &fps=F), one per animation frame, each waited for,
// and stops: the browser's frame benchmark (web/bench.js) times them.
#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "platform/FrameLoop.h"
#include "platform/GL.h"
#include "platform/Window.h"
#include "platform/web/Page.h"

namespace {

constexpr int captureFps = 60; // capture's rate, whose frames the page test compares with

// A test page's run of frames: grid frames `next` up to `end` (excluded) at `fps`.
struct Frames {
    long next = 0, end = 0;
    int fps = captureFps;
};

bool drawNextFrame(void* user) {
    Frames& f = *static_cast<Frames*>(user);
    const unsigned ms = gridTimeMs(f.next++, f.fps);
    platform::beginFrame();
    platform::pageClockRead(ms);
    drawShowFrameAt(ms, gridStep(f.fps));
    // Reading a pixel back waits until the browser has drawn the frame (a
    // WebGL finish does not wait), so that the step's time is the frame's.
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    platform::present();
    return true;
}

bool framesDone(void* user) {
    const Frames& f = *static_cast<const Frames*>(user);
    return f.next == f.end;
}

} // namespace

int main() {
    static CApplication app; // the page's frame callbacks use it after main has gone
    if (!app.init()) return 1;
    const long at = platform::pageMomentMs();
    if (at < 0) {
        app.precalc();
        app.execute();
        return 0;
    }
    if (!prepareShow()) return 1;
    const long count = platform::pageFrameCount();
    const int fps = count > 1 ? platform::pageFrameRate() : captureFps;
    const long first = seekTo(unsigned(at), fps);
    if (count > 1) {
        static Frames frames;
        frames = {first, first + count, fps};
        platform::runFrames(drawNextFrame, framesDone, &frames);
        return 0;
    }
    platform::beginFrame();
    drawShowFrameAt(unsigned(at), gridStep(captureFps));
    platform::present();
    platform::pageFrameShown();
    return 0;
}
