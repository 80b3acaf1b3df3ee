// Pixel read-back from the 1024 x 768 render target, for tests.
#pragma once

#include <vector>

namespace testsupport {

struct Rgb {
    int r, g, b;
};
// One pixel, origin lower left.
Rgb readPixel(int x, int y);
// The whole target, bottom row first, RGB bytes.
std::vector<unsigned char> readFrame();

} // namespace testsupport
