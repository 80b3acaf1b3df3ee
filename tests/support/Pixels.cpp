// Pixel read-back for tests.
#include "tests/support/Pixels.h"

#include <cstddef>

#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "platform/Window.h"

namespace testsupport {

Rgb readPixel(int x, int y) {
    unsigned char rgb[3] = {0, 0, 0};
    platform::beginFrame();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

std::vector<unsigned char> readFrame() {
    std::vector<unsigned char> rgb(std::size_t(platform::renderWidth()) * platform::renderHeight() * 3);
    platform::readFrame(rgb.data());
    return rgb;
}

} // namespace testsupport
