// The system timers. See Clock.h.
#include "platform/Clock.h"

#include <SDL.h>

namespace platform {

uint64_t ticksMs() {
    // The whole clock, not the time since start: the show's first frame step,
    // taken against 0, is then the 2500 ms cap on any machine up for more
    // than 2.5 s. Split into seconds and remainder so that counter x 1000
    // cannot overflow.
    Uint64 counter = SDL_GetPerformanceCounter(), freq = SDL_GetPerformanceFrequency();
    return counter / freq * 1000 + counter % freq * 1000 / freq;
}

double nowSeconds() {
    static const Uint64 start = SDL_GetPerformanceCounter();
    return double(SDL_GetPerformanceCounter() - start) / double(SDL_GetPerformanceFrequency());
}

} // namespace platform
