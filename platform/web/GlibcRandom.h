// The random sequence of GNU libc's rand() and srand(): the additive feedback
// generator of its random() (TYPE_3: 31 words of state, taps 31 and 3), so
// that a program built on another C library (Emscripten's musl, whose rand()
// is a plain linear congruential generator) draws the numbers the desktop
// show draws and so the same pictures. Plain logic, no state outside the
// object; platform/web/Rand.cpp puts it behind rand() for the browser build.
#pragma once

#include <cstdint>

namespace platform {

class GlibcRandom {
public:
    GlibcRandom() { seed(1); } // a program that never seeds draws srand(1)'s sequence
    // As srand(s): seed 0 counts as 1.
    void seed(unsigned s);
    // As rand(): 0 to 2^31 - 1.
    int next();

private:
    static constexpr int degree = 31, separation = 3;
    int32_t state[degree];
    int front = separation, rear = 0; // indices into state, kept `separation` apart
};

} // namespace platform
