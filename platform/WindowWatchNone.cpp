// The window watch where there is no X11: SDL's own events say everything
// the show needs. See WindowWatch.h.
#include "platform/WindowWatch.h"

namespace platform {

void watchSystemWindow(SDL_Window*, int*, int*) {}
void noteSystemEvent(const SDL_Event&) {}
bool reportWindowGone() {
    return false;
}
void systemWindowDestroyed() {}
void unwatchSystemWindow() {}

} // namespace platform
