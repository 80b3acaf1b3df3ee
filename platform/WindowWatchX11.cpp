// The X11 watch on the show's window. See WindowWatch.h.
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>

#include "platform/WindowWatch.h"

namespace platform {
namespace {

// On X11 the window can vanish under the show (another client destroys it, a
// desktop tool or a crashing compositor). Xlib's default error handler then
// exits with a raw message, and SDL's calls back into Xlib and can wait
// forever on Xlib's own lock. This one only notes that the window is gone;
// the frame loop then ends the show as if it had been closed.
Display* x11Display = nullptr;
unsigned long x11Window = 0;                              // 0 when not on X11
int (*sdlErrorHandler)(Display*, XErrorEvent*) = nullptr; // restored after closing
bool windowGone = false, goneReported = false;

int onXError(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) windowGone = true;
    return 0;
}

} // namespace

void noteSystemEvent(const SDL_Event& e) {
    if (e.type != SDL_SYSWMEVENT || e.syswm.msg->subsystem != SDL_SYSWM_X11) return;
    const XEvent& x = e.syswm.msg->msg.x11.event;
    if (x.type == DestroyNotify && x.xdestroywindow.window == x11Window) windowGone = true;
}

bool reportWindowGone() {
    if (windowGone && !goneReported) {
        std::fprintf(stderr, "Demo: the window was closed by the system.\n");
        goneReported = true;
    }
    return windowGone;
}

void watchSystemWindow(SDL_Window* window, int* width, int* height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    x11Display = info.info.x11.display;
    x11Window = info.info.x11.window;
    windowGone = goneReported = false;
    sdlErrorHandler = XSetErrorHandler(onXError);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    // Asked once now: later sizes come from window events, so the frame loop
    // never asks X about a window that may have vanished.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x11Display, x11Window, &attributes)) {
        *width = attributes.width;
        *height = attributes.height;
    }
}

void systemWindowDestroyed() {
    if (x11Window) XSync(x11Display, False);
}

void unwatchSystemWindow() {
    if (!x11Window) return;
    XSetErrorHandler(sdlErrorHandler);
    x11Window = 0;
}

} // namespace platform
