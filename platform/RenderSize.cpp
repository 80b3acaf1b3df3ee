// The render size of the run. See RenderSize.h.
#include "platform/RenderSize.h"

#include <cassert>

namespace platform {
namespace {

PixelSize current = {classicWidth, classicHeight};
bool fixed = false;

} // namespace

int renderWidth() {
    return current.width;
}

int renderHeight() {
    return current.height;
}

float pixelScale() {
    return float(current.height) / float(classicHeight);
}

const char* renderSizeProblem(int width, int height) {
    if (width < leastRenderWidth || height < leastRenderHeight) return "smaller than 320x240";
    if (long(width) * 3 != long(height) * 4) return "not 4:3 (width x 3 must equal height x 4)";
    return nullptr;
}

void fixRenderSize(int width, int height) {
    assert(!renderSizeProblem(width, height));
    current = {width, height};
    fixed = true;
}

bool renderSizeFixed() {
    return fixed;
}

void chooseRenderSize(int width, int height) {
    assert(!fixed && !renderSizeProblem(width, height));
    current = {width, height};
}

PixelSize largestFourByThree(int width, int height) {
    const int k = width / 4 < height / 3 ? width / 4 : height / 3;
    return k > 0 ? PixelSize{4 * k, 3 * k} : PixelSize{};
}

} // namespace platform
