// Frame helpers for the scene tests.
#include "tests/support/SceneFrames.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/support/AssetFolder.h"

namespace testsupport {

ShowRunner& sharedShow() {
    static ShowRunner show(assetsWithoutOverlay());
    return show;
}

Image boxFilter(const Image& in, int w, int h, int bw, int bh) {
    const int ow = w / bw, oh = h / bh, n = bw * bh;
    Image out(std::size_t(ow) * oh * 3);
    for (int y = 0; y < oh; y++) {
        for (int x = 0; x < ow; x++) {
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int j = 0; j < bh; j++) {
                    for (int i = 0; i < bw; i++)
                        sum += in[(std::size_t(y * bh + j) * w + x * bw + i) * 3 + c];
                }
                out[(std::size_t(y) * ow + x) * 3 + c] = (unsigned char)((sum + n / 2) / n);
            }
        }
    }
    return out;
}

double meanDifference(const Image& a, const Image& b) {
    if (a.size() != b.size() || a.empty()) return 255.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); i++) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

int contrast(const Image& image) {
    const auto [low, high] = std::minmax_element(image.begin(), image.end());
    return image.empty() ? 0 : int(*high) - int(*low);
}

int largestQuadError(const Image& shown, const Image& plain, const float rgb[3], float a) {
    if (shown.size() != plain.size() || shown.empty()) return 255;
    const float k = std::clamp(a, 0.0f, 1.0f);
    int worst = 0;
    for (std::size_t i = 0; i < shown.size(); i++) {
        const float expected = float(plain[i]) * (1.0f - k) + 255.0f * rgb[i % 3] * k;
        worst = std::max(worst, int(std::lround(std::fabs(float(shown[i]) - expected))));
    }
    return worst;
}

} // namespace testsupport
