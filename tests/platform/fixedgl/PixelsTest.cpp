// The layer against real OpenGL 1.1, pixel by pixel: each case of Cases.h
// drawn once in a desktop context and once through the layer on OpenGL ES
// 2.0 (both Mesa llvmpipe), and the frames compared. The two pipelines
// differ (fixed-function rasteriser state versus generated shaders, the
// layer's vertices transformed on the CPU), so the frames may differ by a
// level where rounding falls differently; each case's bound is what was
// measured, with little room.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "tests/platform/fixedgl/CaseTables.h"
#include "tests/platform/fixedgl/TwoContexts.h"

namespace fixedgltest {
namespace {

struct Difference {
    int largest;    // levels, over the four channels of every pixel
    double within1; // share of pixels whose every channel is within 1 level
    double mean;    // mean absolute difference per channel
};

Difference compare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    Difference d = {0, 0, 0};
    long close = 0, total = 0;
    for (std::size_t p = 0; p < a.size(); p += 4) {
        int pixelLargest = 0;
        for (int c = 0; c < 4; c++) {
            const int diff = std::abs(int(a[p + c]) - int(b[p + c]));
            pixelLargest = std::max(pixelLargest, diff);
            total += diff;
        }
        d.largest = std::max(d.largest, pixelLargest);
        close += pixelLargest <= 1;
    }
    d.within1 = double(close) / double(a.size() / 4);
    d.mean = double(total) / double(a.size());
    return d;
}

// The colours a frame shows: a case that draws nothing would match trivially.
std::size_t colourCount(const std::vector<unsigned char>& frame) {
    std::set<unsigned> colours;
    for (std::size_t p = 0; p < frame.size(); p += 4) {
        colours.insert(unsigned(frame[p]) << 16 | unsigned(frame[p + 1]) << 8 | frame[p + 2]);
    }
    return colours.size();
}

// Per case: the largest difference and the least share of pixels within 1
// level allowed, from the measured figures (in the comment: largest, share),
// a single level allowed wherever none was measured.
struct Bound {
    const char* name;
    int largest;
    double within1;
};

const Bound bounds[] = {
    {"CurrentValues", 1, 0.999},            // 0, 100 %
    {"Quads", 1, 0.999},                    // 0, 100 %
    {"Points", 1, 0.999},                   // 0, 100 %
    {"Matrices", 1, 0.999},                 // 0, 100 %
    {"DepthTest", 1, 0.999},                // 1, 100 %
    {"Culling", 1, 0.999},                  // 0, 100 %
    {"ReplaceFirstUnit", 1, 0.999},         // 0, 100 %
    {"ModulateFirstUnit", 1, 0.999},        // 1, 100 %
    {"AddFirstUnit", 1, 0.999},             // 1, 100 %
    {"CombineReplaceFirstUnit", 1, 0.999},  // 1, 100 %
    {"CombineAddFirstUnit", 1, 0.999},      // 1, 100 %
    {"ReplaceSecondUnit", 1, 0.999},        // 0, 100 %
    {"ModulateSecondUnit", 2, 0.999},       // 2, 99.994 %
    {"AddSecondUnit", 2, 0.999},            // 2, 99.982 %
    {"CombineReplaceSecondUnit", 1, 0.999}, // 1, 100 %
    {"CombineAddSecondUnit", 2, 0.999},     // 2, 99.982 %
    {"SceneCombiner", 1, 0.999},            // 1, 100 %
    {"LinearFog", 1, 0.999},                // 1, 100 %
    {"ExpFog", 1, 0.999},                   // 1, 100 %
    {"Blending", 1, 0.999},                 // 1, 100 %
    {"DepthWrites", 1, 0.999},              // 0, 100 %
    {"Scissor", 1, 0.999},                  // 0, 100 %
    {"FrameCopies", 1, 0.999},              // 0, 100 %
    {"RgbAlpha", 1, 0.999},                 // 0, 100 %
    {"Mipmaps", 1, 0.999},                  // 1, 100 %
    {"TextureFormats", 1, 0.999},           // 0, 100 %
    {"AttributeStacks", 1, 0.999},          // 0, 100 %
    // Thousands of overlapping blended quads: the rounding of each layer adds up.
    {"Particles", 2, 0.995}, // 2, 99.573 %
};

const Bound* boundOf(const char* name) {
    for (const Bound& b : bounds) {
        if (std::string(b.name) == name) return &b;
    }
    return nullptr;
}

class FixedGLPixels : public testing::TestWithParam<int> {};

TEST_P(FixedGLPixels, MatchOpenGL) {
    const DrawCase& desktopCase = desktop::tables.draws[GetParam()];
    const DrawCase& layerCase = layer::tables.draws[GetParam()];
    ASSERT_STREQ(desktopCase.name, layerCase.name);
    const Bound* bound = boundOf(desktopCase.name);
    ASSERT_NE(bound, nullptr) << desktopCase.name << " has no bound";

    TwoContexts two(frameSide, frameSide);
    ASSERT_TRUE(two.ok());
    two.useDesktop();
    ASSERT_EQ(desktop::tables.start(), nullptr);
    desktopCase.draw();
    const std::vector<unsigned char> expected = two.frame();
    EXPECT_EQ(desktop::tables.error(), 0u);
    two.useLayer();
    ASSERT_EQ(layer::tables.start(), nullptr);
    layerCase.draw();
    const std::vector<unsigned char> actual = two.frame();
    EXPECT_EQ(layer::tables.error(), 0u);

    EXPECT_GT(colourCount(expected), 2u) << "the case draws too little to compare";
    const Difference d = compare(expected, actual);
    std::printf("%s: largest difference %d, %.3f %% of pixels within 1, mean %.4f\n", desktopCase.name,
                d.largest, 100 * d.within1, d.mean);
    EXPECT_LE(d.largest, bound->largest);
    EXPECT_GE(d.within1, bound->within1);
}

INSTANTIATE_TEST_SUITE_P(Cases, FixedGLPixels, testing::Range(0, desktop::tables.drawCount),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(desktop::tables.draws[info.param].name);
                         });

TEST(FixedGLPixels, CoverEveryCase) {
    ASSERT_EQ(desktop::tables.drawCount, layer::tables.drawCount);
    EXPECT_EQ(std::size(bounds), std::size_t(desktop::tables.drawCount));
}

} // namespace
} // namespace fixedgltest
