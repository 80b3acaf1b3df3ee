// Glow post-processing on a real headless context: what the capture, the
// blur and each composite do to the pixels, and the state each operation
// leaves for the next drawing. Levels are grey 0..255.
#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "render/Glow.h"
#include "render/Invisible.h"
#include "render/Texture.h"
#include "tests/support/GlContext.h"

namespace {

class GlowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        glow.Init(&texture, GL_LINEAR);
        glDisable(GL_DEPTH_TEST);
    }
    static void clearRect(int x, int y, int w, int h, int level) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, y, w, h);
        glClearColor(level / 255.0f, level / 255.0f, level / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
    static void clearScreen(int level) { clearRect(0, 0, 1024, 768, level); }
    // Red of texel (x, y) of a 128 x 128 work texture, origin lower left.
    int texel(int index, int x, int y = 64) {
        std::vector<unsigned char> rgb(128 * 128 * 3);
        texture.bind(unsigned(index));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb[(y * 128 + x) * 3];
    }
    testsupport::GlContext gl;
    Texture texture;
    Glow glow;
};

// GL values read as floats: each name with the number of values it has.
std::vector<float> glValues(std::initializer_list<std::pair<GLenum, int>> names) {
    std::vector<float> values;
    for (const auto& [name, count] : names) {
        GLfloat v[16];
        glGetFloatv(name, v);
        for (int i = 0; i < count; i++) values.push_back(v[i]);
    }
    return values;
}

// Every GL value a drawing after RenderQuad can see.
std::vector<float> stateAfterQuad(Glow& glow, float alpha) {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_ONE, GL_ONE);
    glow.RenderQuad(0.25f, 0.5f, 0.75f, alpha);
    return glValues({{GL_TEXTURE_2D, 1},
                     {GL_DEPTH_TEST, 1},
                     {GL_BLEND, 1},
                     {GL_DEPTH_WRITEMASK, 1},
                     {GL_BLEND_SRC, 1},
                     {GL_BLEND_DST, 1},
                     {GL_VIEWPORT, 4},
                     {GL_CURRENT_COLOR, 4},
                     {GL_PROJECTION_MATRIX, 16},
                     {GL_MODELVIEW_MATRIX, 16}});
}

TEST_F(GlowTest, RenderQuadBlendsByAlphaAndASkippedQuadLeavesTheStateOfADrawnOne) {
    for (const auto& [grey, alpha, level] : {std::tuple{0.0f, 0.0f, 200}, std::tuple{0.0f, -0.5f, 200},
                                             std::tuple{1.0f, 0.25f, 214}, std::tuple{0.0f, 1.0f, 0}}) {
        clearScreen(200);
        glow.RenderQuad(grey, grey, grey, alpha);
        EXPECT_NEAR(gl.pixel(1023, 767).b, level, 1) << "alpha " << alpha; // the far corner too
    }
    leftOut.enabled = false;
    const std::vector<float> drawn = stateAfterQuad(glow, 0.0f);
    leftOut.enabled = true;
    const std::vector<float> skipped = stateAfterQuad(glow, 0.0f);
    EXPECT_EQ(drawn, skipped);
    const std::vector<float> expected = {0, 0, 1,    1,  GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                                         0, 0, 1024, 768};
    EXPECT_EQ(std::vector<float>(skipped.begin(), skipped.begin() + 10), expected);
}

// The lower-left 128 x 128 pixels, whatever the viewport, go into both work
// textures as they are; composited, the small picture shows upright.
TEST_F(GlowTest, CaptureCopiesTheLowerLeftCornerAndTheCompositeShowsItUpright) {
    clearScreen(10);
    clearRect(0, 0, 128, 128, 90);
    clearRect(0, 0, 64, 64, 30); // lower-left quarter dark
    glViewport(300, 300, 64, 64);
    glow.MakeBlur(&texture, false, 0.002f, 0.5f, 0);
    glow.MakeDOF(&texture);
    for (int index : {glow.blurTexture, glow.dofTexture})
        for (const auto& [x, y] :
             {std::pair{0, 0}, std::pair{63, 63}, std::pair{64, 0}, std::pair{0, 64}})
            EXPECT_EQ(texel(index, x, y), x < 64 && y < 64 ? 30 : 90) << index << ": " << x << ", " << y;
    clearScreen(0);
    glow.RenderBlur(&texture, 1.0f);
    EXPECT_NEAR(gl.pixel(200, 100).r, 30, 2);
    for (const auto& [x, y] : {std::pair{800, 100}, std::pair{200, 600}})
        EXPECT_NEAR(gl.pixel(x, y).r, 90, 2);
}

// Each pass blends copies shifted by pass x spread x 128 pixels, so an edge
// spreads 8 pixels each way in the first pass and 16 more in the second. The
// blur leaves blending on, depth test off and a 128 x 128 viewport.
TEST_F(GlowTest, EachBlurPassSpreadsAnEdgeByItsShiftAndNoFurther) {
    for (const auto& [passes, from, to] : {std::tuple{1, 56, 72}, std::tuple{2, 40, 88}}) {
        clearRect(0, 0, 128, 128, 0);
        clearRect(0, 0, 64, 128, 240);
        glow.MakeBlur(&texture, false, 8.0f / 128.0f, 0.5f, passes);
        for (int x = 0; x < 128; x++)
            EXPECT_EQ(texel(glow.blurTexture, x) != (x < 64 ? 240 : 0), x >= from && x < to)
                << passes << " passes, texel " << x;
    }
    EXPECT_EQ(glValues({{GL_BLEND, 1}, {GL_TEXTURE_2D, 1}, {GL_DEPTH_TEST, 1}, {GL_VIEWPORT, 4}}),
              std::vector<float>({1, 1, 0, 0, 0, 128, 128}));
}

// A blurred copy of grey 100 over a screen of grey 50, with a focus mask.
TEST_F(GlowTest, CompositesAddCrossFadeOrFocusTheBlurredCopyOverTheScreen) {
    const auto add = &Glow::Render, fade = &Glow::RenderBlur;
    decltype(add) dof = nullptr; // RenderDOF
    for (const auto& [composite, alpha, mask, level] :
         {std::tuple{add, 1.0f, 255, 150}, std::tuple{add, 0.0f, 255, 50},
          std::tuple{fade, 1.0f, 255, 100}, std::tuple{fade, 0.5f, 255, 75},
          std::tuple{dof, 0.0f, 255, 150}, std::tuple{dof, 0.0f, 0, 100}}) {
        clearRect(0, 0, 128, 128, mask);
        glow.MakeDOF(&texture);
        clearRect(0, 0, 128, 128, 100);
        glow.MakeBlur(&texture, false, 0.002f, 0.5f, 5);
        clearScreen(50);
        composite ? (glow.*composite)(&texture, alpha) : glow.RenderDOF(&texture);
        EXPECT_NEAR(gl.pixel(512, 384).r, level, 2) << "row giving " << level << ", mask " << mask;
        GLboolean depthMask = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        EXPECT_TRUE(depthMask && !glIsEnabled(GL_FOG));
    }
}

} // namespace
