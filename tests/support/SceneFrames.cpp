// Frame helpers for the scene tests.
#include "tests/support/SceneFrames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "platform/Window.h"
#include "render/Engine.h"
#include "tests/support/Pixels.h"

namespace testsupport {
namespace {

constexpr int smallSize = 128, coarseSize = 32;

// A size x size picture box-averaged by `box` x `box` (rounded to nearest).
std::vector<unsigned char> shrink(const std::vector<unsigned char>& in, int size, int box) {
    const int out = size / box;
    std::vector<unsigned char> result(std::size_t(out) * out * 3);
    for (int y = 0; y < out; y++) {
        for (int x = 0; x < out; x++) {
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int j = 0; j < box; j++) {
                    for (int i = 0; i < box; i++)
                        sum += in[(std::size_t(y * box + j) * size + x * box + i) * 3 + c];
                }
                result[(std::size_t(y) * out + x) * 3 + c] =
                    (unsigned char)((sum + box * box / 2) / (box * box));
            }
        }
    }
    return result;
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
    glFinish();
    return readFrame();
}

SmallAndFull drawSmallAndFull(const std::function<void()>& draw) {
    SmallAndFull result;
    engine->perspective(smallSize, smallSize);
    draw();
    glFinish();
    result.small = readRegion(smallSize, smallSize);
    engine->perspective(platform::renderWidth(), platform::renderHeight());
    draw();
    glFinish();
    result.full = downscaleToSmall(readFrame());
    return result;
}

SmallAndFull drawSmallAndFullAt(const std::function<void()>& draw, unsigned ms) {
    platform::beginFrame();
    advanceTimeline(ms);
    return drawSmallAndFull(draw);
}

std::vector<unsigned char> readRegion(int w, int h) {
    std::vector<unsigned char> rgb(std::size_t(w) * h * 3);
    platform::beginFrame();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

std::vector<unsigned char> downscaleToSmall(const std::vector<unsigned char>& frame) {
    const int fullW = platform::renderWidth();
    const int boxW = fullW / smallSize, boxH = platform::renderHeight() / smallSize; // 8 x 6
    std::vector<unsigned char> small(smallSize * smallSize * 3);
    if (frame.size() != std::size_t(fullW) * platform::renderHeight() * 3) return small;
    for (int y = 0; y < smallSize; y++) {
        for (int x = 0; x < smallSize; x++) {
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int dy = 0; dy < boxH; dy++) {
                    for (int dx = 0; dx < boxW; dx++)
                        sum += frame[((y * boxH + dy) * fullW + x * boxW + dx) * 3 + c];
                }
                small[(y * smallSize + x) * 3 + c] = static_cast<unsigned char>(sum / (boxW * boxH));
            }
        }
    }
    return small;
}

double meanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    if (a.size() != b.size() || a.empty()) return 255.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); i++) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

double coarseDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    if (a.size() != std::size_t(smallSize) * smallSize * 3 || b.size() != a.size()) return 255.0;
    constexpr int box = smallSize / coarseSize;
    return meanDifference(shrink(a, smallSize, box), shrink(b, smallSize, box));
}

int darkest(const std::vector<unsigned char>& image) {
    return image.empty() ? 0 : int(*std::min_element(image.begin(), image.end()));
}

int brightest(const std::vector<unsigned char>& image) {
    return image.empty() ? 0 : int(*std::max_element(image.begin(), image.end()));
}

int contrast(const std::vector<unsigned char>& image) {
    return brightest(image) - darkest(image);
}

int largestQuadError(const std::vector<unsigned char>& shown, const std::vector<unsigned char>& plain,
                     float r, float g, float b, float a) {
    if (shown.size() != plain.size()) return 255;
    const float colour[3] = {r * 255.0f, g * 255.0f, b * 255.0f};
    const float k = std::clamp(a, 0.0f, 1.0f);
    int worst = 0;
    for (std::size_t i = 0; i < shown.size(); i++) {
        const float expected = float(plain[i]) * (1.0f - k) + colour[i % 3] * k;
        worst = std::max(worst, int(std::lround(std::fabs(float(shown[i]) - expected))));
    }
    return worst;
}

void expectSameScene(const SmallAndFull& now, const SmallAndFull& later, double maxSame, int minContrast,
                     double (*difference)(const std::vector<unsigned char>&,
                                          const std::vector<unsigned char>&)) {
    const double same = difference(now.small, now.full);
    const double laterFull = difference(now.small, later.full);
    const double laterSmall = difference(later.small, now.full);
    std::printf("small vs full: %.2f levels (other moments: %.2f, %.2f)\n", same, laterFull, laterSmall);
    EXPECT_GT(contrast(now.full), minContrast);
    EXPECT_LT(same, maxSame) << "other moments " << laterFull << ", " << laterSmall;
    EXPECT_LT(same * 2.0, laterFull) << "same " << same;
    EXPECT_LT(same * 2.0, laterSmall) << "same " << same;
}

void eyeFromModelview(float eye[3]) {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Column-major: R(row, col) = m[col * 4 + row], t = m[12..14].
    for (int i = 0; i < 3; i++)
        eye[i] = -(m[i * 4 + 0] * m[12] + m[i * 4 + 1] * m[13] + m[i * 4 + 2] * m[14]);
}

} // namespace testsupport
