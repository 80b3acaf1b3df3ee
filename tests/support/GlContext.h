// A real headless GL context for tests: a 1024 x 768 window on SDL's
// offscreen driver, with the ARB multitexture entry points fetched as the
// show does. Create one per test (or per fixture); pixels are read back from
// the render target.
#pragma once

#include <vector>

namespace testsupport {

class GlContext {
public:
    GlContext();
    ~GlContext();
    bool ok() const { return opened; }
    // RGB of one pixel of the 1024 x 768 target, origin lower left.
    struct Rgb { int r, g, b; };
    Rgb pixel(int x, int y);
    // The whole target, bottom row first, RGB bytes.
    std::vector<unsigned char> frame();

private:
    bool opened = false;
};

} // namespace testsupport
