// The show's program in a browser page (index.html; its backend is
// platform/web/). It plays the show as the desktop's main does
// (app/main.cpp), except that the browser owns the frame loop: execute()
// hands the frames to the page's animation frames and does not return. With
// ?at=MS in the page's address it draws instead the one frame at MS that
// `capture --at MS --fps 60` draws, at the page's size, and stops: the page
// test compares the two.
#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "platform/Window.h"
#include "platform/web/Page.h"

namespace {

constexpr int captureFps = 60; // capture's rate, whose frames the page test compares with

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
    seekTo(unsigned(at), captureFps);
    platform::beginFrame();
    drawShowFrameAt(unsigned(at), gridStep(captureFps));
    platform::present();
    platform::pageFrameShown();
    return 0;
}
