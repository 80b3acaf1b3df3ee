// Scene test helpers: small versus full-size drawings, the camera eye.
#include "tests/support/SceneCompare.h"

#include <algorithm>
#include <cstdlib>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/Window.h"
#include "render/Engine.h"
#include "tests/support/Pixels.h"

namespace testsupport {

std::vector<unsigned char> readRegion(int w, int h) {
    std::vector<unsigned char> rgb(std::size_t(w) * h * 3);
    platform::beginFrame();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

std::vector<unsigned char> downscaleToSmall(const std::vector<unsigned char>& frame) {
    constexpr int fullW = 1024, boxW = 8, boxH = 6, size = 128;
    std::vector<unsigned char> small(size * size * 3);
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int dy = 0; dy < boxH; dy++) {
                    for (int dx = 0; dx < boxW; dx++) sum += frame[((y * boxH + dy) * fullW + x * boxW + dx) * 3 + c];
                }
                small[(y * size + x) * 3 + c] = static_cast<unsigned char>(sum / (boxW * boxH));
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

int contrast(const std::vector<unsigned char>& image) {
    if (image.empty()) return 0;
    auto range = std::minmax_element(image.begin(), image.end());
    return int(*range.second) - int(*range.first);
}

SmallAndFull drawSmallAndFull(const std::function<void()>& draw) {
    SmallAndFull result;
    engine->perspective(128, 128);
    draw();
    glFinish();
    result.small = readRegion(128, 128);
    engine->perspective(1024, 768);
    draw();
    glFinish();
    result.full = downscaleToSmall(readFrame());
    return result;
}

void drawSceneOnly(unsigned ms, float step, void (*update)()) {
    platform::beginFrame();
    skip = step;
    advanceTimeline(ms);
    update();
    glFinish();
}

void eyeFromModelview(float eye[3]) {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Column-major: R(row, col) = m[col * 4 + row], t = m[12..14].
    for (int i = 0; i < 3; i++) eye[i] = -(m[i * 4 + 0] * m[12] + m[i * 4 + 1] * m[13] + m[i * 4 + 2] * m[14]);
}

} // namespace testsupport
