// Scene frame test fixture.
#include "tests/support/SceneFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/support/AssetFolder.h"
#include "tests/support/Pixels.h"
#include "tests/support/SceneCompare.h"

namespace testsupport {
namespace {

constexpr int small = 128, coarse = 32, box = small / coarse;

std::vector<unsigned char> shrink(const std::vector<unsigned char>& in) {
    std::vector<unsigned char> out(size_t(coarse) * coarse * 3);
    for (int y = 0; y < coarse; y++) {
        for (int x = 0; x < coarse; x++) {
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int j = 0; j < box; j++) {
                    for (int i = 0; i < box; i++) sum += in[(size_t(y * box + j) * small + x * box + i) * 3 + c];
                }
                out[(size_t(y) * coarse + x) * 3 + c] = (unsigned char)((sum + box * box / 2) / (box * box));
            }
        }
    }
    return out;
}

} // namespace

int largestQuadError(const std::vector<unsigned char>& shown, const std::vector<unsigned char>& plain,
                     float r, float g, float b, float a) {
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

double coarseDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    if (a.size() != size_t(small) * small * 3 || b.size() != a.size()) return 255.0;
    return meanDifference(shrink(a), shrink(b));
}

SceneFixture::SceneFixture() : show(assetsWithoutOverlay()) {}

void SceneFixture::expectQuad(unsigned ms, void (*plainPass)(), float r, float g, float b, float a) {
    show.drawAt(ms, 1.0f);
    const std::vector<unsigned char> shown = readFrame();
    plainPass();
    const std::vector<unsigned char> plain = readFrame();
    EXPECT_GT(contrast(plain), 20) << "a blank frame at " << ms << " ms";
    EXPECT_LE(largestQuadError(shown, plain, r, g, b, a), 2) << "at " << ms << " ms";
}

void SceneFixture::expectStableDrawings(unsigned ms, void (*draw)(), void (*moveOn)(), int minContrast) {
    show.drawAt(ms, 1.0f);
    const SmallAndFull now = drawSmallAndFull(draw);
    moveOn();
    const SmallAndFull later = drawSmallAndFull(draw);
    const double same = coarseDifference(now.small, now.full);
    const double other = coarseDifference(later.small, now.full);
    EXPECT_GT(contrast(now.full), minContrast);
    EXPECT_LT(same, 6.0);
    EXPECT_GT(other, 2.0 * same) << "same " << same;
}

int SceneFixture::darkestAt(unsigned ms) {
    show.drawAt(ms, 1.0f);
    const std::vector<unsigned char> f = readFrame();
    return int(*std::min_element(f.begin(), f.end()));
}

int SceneFixture::brightestAt(unsigned ms) {
    show.drawAt(ms, 1.0f);
    const std::vector<unsigned char> f = readFrame();
    return int(*std::max_element(f.begin(), f.end()));
}

} // namespace testsupport
