// The browser's frame loop. The browser calls back once per animation frame
// (requestAnimationFrame, through emscripten_set_main_loop), and each
// callback takes the show's steps until one has drawn a frame. The callbacks
// do nothing until the page's start control is used, so that the show's
// first frame comes with the music starting. Control never comes back from
// the loop to the program's main, so when the show is finished the loop
// stops itself and does what the desktop's main does after its loop: the
// music stops and the window closes; then the page shows the end.
#include "platform/FrameLoop.h"

#include <emscripten/emscripten.h>

#include "platform/Music.h"
#include "platform/Window.h"
#include "platform/web/Page.h"

namespace platform {
namespace {

struct Loop {
    bool (*step)(void* user) = nullptr;
    bool (*finished)(void* user) = nullptr;
    void* user = nullptr;
};

Loop loop;

void endShow() {
    emscripten_cancel_main_loop();
    stopMusic();
    closeWindow();
    pageEnded();
}

void animationFrame() {
    if (!pageStarted()) return;
    const double begin = emscripten_get_now();
    bool drew = false;
    while (!drew && !loop.finished(loop.user)) drew = loop.step(loop.user);
    if (drew) pageFrameDrawn(emscripten_get_now() - begin);
    if (loop.finished(loop.user)) endShow();
}

} // namespace

void runFrames(bool (*step)(void* user), bool (*finished)(void* user), void* user) {
    loop = {step, finished, user};
    pageReady();
    // 0 frames per second: the browser's own rate. True: this call does not
    // return, so that main's locals stay.
    emscripten_set_main_loop(animationFrame, 0, true);
}

} // namespace platform
