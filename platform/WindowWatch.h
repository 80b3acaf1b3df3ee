// The window system's side of the show's window, behind SDL: on X11 the
// window can vanish under the show (another client destroys it, a desktop
// tool or a crashing compositor), and its real size can differ from what SDL
// reports. Built from WindowWatchX11.cpp where X11 exists, else from
// WindowWatchNone.cpp, which watches nothing. Used by Window.cpp only.
#pragma once

#include <SDL.h>

namespace platform {

// After the window opens: starts watching it for its destruction and, when
// the window system knows the window's real size, stores it in *width and
// *height (else leaves them).
void watchSystemWindow(SDL_Window* window, int* width, int* height);
// Checks one event from SDL's queue for the destruction of the window.
void noteSystemEvent(const SDL_Event& e);
// True once the window is gone; says so on stderr the first time.
bool reportWindowGone();
// Right after SDL_DestroyWindow: collects the errors of destroying a window
// that was already gone, while the quiet error handler is still in place.
void systemWindowDestroyed();
// After the video subsystem closes: stops watching.
void unwatchSystemWindow();

} // namespace platform
