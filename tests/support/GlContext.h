// A real headless GL context for tests: a 1024 x 768 window on SDL's
// offscreen driver, with the ARB multitexture entry points fetched as the
// show does. Create one per test (or per fixture); pixels are read back from
// the render target.
#pragma once

#include <vector>

#include "tests/support/Pixels.h"

namespace testsupport {

class GlContext {
public:
    GlContext();
    ~GlContext();
    bool ok() const { return opened; }
    Rgb pixel(int x, int y) { return readPixel(x, y); }        // origin lower left
    std::vector<unsigned char> frame() { return readFrame(); } // bottom row first

private:
    bool opened = false;
};

} // namespace testsupport
