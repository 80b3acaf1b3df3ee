// Frame checks for scene tests.
#include "tests/support/SceneFrames.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/Engine.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/Pixels.h"

namespace testsupport {
namespace {

constexpr int screenW = 1024, screenH = 768, small = 128;

// Averages blocks of bw x bh pixels of a `width`-wide RGB frame into a
// (width / bw) x (height / bh) one.
Frame boxAverage(const Frame& in, int width, int height, int bw, int bh) {
    const int ow = width / bw, oh = height / bh;
    Frame out(size_t(ow) * oh * 3);
    for (int y = 0; y < oh; y++) {
        for (int x = 0; x < ow; x++) {
            for (int ch = 0; ch < 3; ch++) {
                int sum = 0;
                for (int j = 0; j < bh; j++) {
                    for (int i = 0; i < bw; i++) sum += in[(size_t(y * bh + j) * width + x * bw + i) * 3 + ch];
                }
                out[(size_t(y) * ow + x) * 3 + ch] = (unsigned char)((sum + bw * bh / 2) / (bw * bh));
            }
        }
    }
    return out;
}

} // namespace

Frame currentFrame() {
    return readFrame();
}

Frame smallDrawing(void (*draw)()) {
    engine->perspective(small, small);
    draw();
    Frame all = readFrame();
    Frame out(size_t(small) * small * 3);
    for (int y = 0; y < small; y++) {
        std::copy_n(all.begin() + long(y) * screenW * 3, small * 3, out.begin() + long(y) * small * 3);
    }
    return out;
}

Frame fullDrawingDownscaled(void (*draw)()) {
    engine->perspective(screenW, screenH);
    draw();
    return boxAverage(readFrame(), screenW, screenH, screenW / small, screenH / small);
}

double pictureDifference(const Frame& a, const Frame& b) {
    if (a.size() != size_t(small) * small * 3 || b.size() != a.size()) return 255.0;
    const Frame ca = boxAverage(a, small, small, 4, 4), cb = boxAverage(b, small, small, 4, 4);
    double sum = 0;
    for (size_t i = 0; i < ca.size(); i++) sum += std::abs(int(ca[i]) - int(cb[i]));
    return sum / double(ca.size());
}

double contrast(const Frame& f) {
    if (f.empty()) return 0.0;
    double mean = 0, square = 0;
    for (unsigned char v : f) mean += v;
    mean /= double(f.size());
    for (unsigned char v : f) square += (v - mean) * (v - mean);
    return std::sqrt(square / double(f.size()));
}

int largestQuadError(const Frame& shown, const Frame& plain, float r, float g, float b, float a) {
    if (shown.size() != plain.size()) return 255;
    const float colour[3] = {r * 255.0f, g * 255.0f, b * 255.0f};
    const float k = std::clamp(a, 0.0f, 1.0f);
    int worst = 0;
    for (size_t i = 0; i < shown.size(); i++) {
        const float expected = float(plain[i]) * (1.0f - k) + colour[i % 3] * k;
        worst = std::max(worst, int(std::lround(std::fabs(float(shown[i]) - expected))));
    }
    return worst;
}

int darkest(const Frame& f) {
    return f.empty() ? 0 : int(*std::min_element(f.begin(), f.end()));
}

int brightest(const Frame& f) {
    return f.empty() ? 0 : int(*std::max_element(f.begin(), f.end()));
}

SceneFramesTest::SceneFramesTest() : show(assetsWithoutOverlay()) {}

void SceneFramesTest::expectQuad(unsigned ms, void (*plainPass)(), float r, float g, float b, float a) {
    show.drawAt(ms, 1.0f);
    const Frame shown = readFrame();
    plainPass();
    const Frame plain = readFrame();
    EXPECT_GT(contrast(plain), 5.0) << "a blank frame at " << ms << " ms";
    EXPECT_LE(largestQuadError(shown, plain, r, g, b, a), 2) << "at " << ms << " ms";
}

void SceneFramesTest::expectStableDrawings(unsigned ms, void (*draw)(), void (*moveOn)(), double minContrast) {
    show.drawAt(ms, 1.0f);
    const Frame small = smallDrawing(draw);
    const Frame full = fullDrawingDownscaled(draw);
    moveOn();
    const double same = pictureDifference(small, full);
    const double other = pictureDifference(smallDrawing(draw), full);
    EXPECT_GT(contrast(small), minContrast);
    EXPECT_LT(same, 6.0);
    EXPECT_GT(other, 2.0 * same);
}

} // namespace testsupport
