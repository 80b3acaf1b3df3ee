// Frame helpers for the scene tests.
#include "tests/scenes/SceneFrames.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/Window.h"
#include "render/Engine.h"
#include "tests/support/Pixels.h"

namespace scenetest {
namespace {

constexpr int smallSize = 128;
constexpr int blockW = platform::renderWidth / smallSize;  // 8
constexpr int blockH = platform::renderHeight / smallSize; // 6

std::vector<unsigned char> finishedFrame() {
    glFinish();
    return testsupport::readFrame();
}

} // namespace

void setShowTextureEnvironment() {
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_REPLACE);
}

std::vector<unsigned char> drawUpdate(void (*update)(), unsigned ms, float step) {
    platform::beginFrame();
    skip = step;
    advanceTimeline(ms);
    update();
    return finishedFrame();
}

double smallVsFullDifference(void (*draw)(), unsigned smallMs, unsigned fullMs) {
    platform::beginFrame();
    advanceTimeline(smallMs);
    engine->perspective(smallSize, smallSize);
    draw();
    const std::vector<unsigned char> small = finishedFrame();
    advanceTimeline(fullMs);
    engine->perspective(platform::renderWidth, platform::renderHeight);
    draw();
    const std::vector<unsigned char> full = finishedFrame();

    double total = 0;
    for (int y = 0; y < smallSize; y++) {
        for (int x = 0; x < smallSize; x++) {
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int by = 0; by < blockH; by++) {
                    for (int bx = 0; bx < blockW; bx++) {
                        const int px = x * blockW + bx, py = y * blockH + by;
                        sum += full[(std::size_t(py) * platform::renderWidth + px) * 3 + c];
                    }
                }
                const double mean = double(sum) / (blockW * blockH);
                total += std::fabs(mean - small[(std::size_t(y) * platform::renderWidth + x) * 3 + c]);
            }
        }
    }
    return total / (smallSize * smallSize * 3);
}

int minChannel(const std::vector<unsigned char>& rgb) {
    return rgb.empty() ? 0 : *std::min_element(rgb.begin(), rgb.end());
}

int maxChannel(const std::vector<unsigned char>& rgb) {
    return rgb.empty() ? 0 : *std::max_element(rgb.begin(), rgb.end());
}

} // namespace scenetest
