// rand() and srand() of the browser build: GNU libc's sequence
// (GlibcRandom.h) in place of the C library's own, so that the scenes draw
// the numbers, and so the pictures, of the desktop show. The linker takes a
// member of the C library's archive only for a symbol no object defines, so
// these two replace its pair.
#include <cstdlib>

#include "platform/web/GlibcRandom.h"

namespace {

platform::GlibcRandom generator;

} // namespace

extern "C" {

int rand(void) {
    return generator.next();
}

void srand(unsigned seed) {
    generator.seed(seed);
}

} // extern "C"
