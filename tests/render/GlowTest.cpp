// Glow post-processing on a real headless context: what each composite does
// to the pixels, the state each operation leaves for the next drawing, and
// that skipping invisible flash quads changes no frame of the show.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/Texture.h"
#include "tests/support/GlContext.h"
#include "tests/support/ShowRunner.h"

namespace {

using testsupport::GlContext;
using testsupport::Rgb;

class GlowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        glow.Init(&texture, GL_LINEAR);
        glDisable(GL_DEPTH_TEST);
    }
    // Clears the whole 1024 x 768 target to grey `level` (0..255).
    void clearScreen(int level) {
        clearRect(0, 0, platform::renderWidth(), platform::renderHeight(), level);
    }
    void clearRect(int x, int y, int w, int h, int level) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, y, w, h);
        glClearColor(level / 255.0f, level / 255.0f, level / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
    // Captures a uniform grey into the blur texture.
    void captureBlur(int level) {
        clearRect(0, 0, 128, 128, level);
        glow.MakeBlur(&texture, false, 0.002f, 0.5f, 5);
    }
    std::vector<unsigned char> texels(int index) {
        std::vector<unsigned char> rgb(128 * 128 * 3);
        texture.bind(unsigned(index));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }
    void expectGrey(Rgb p, int level, int tolerance = 2) {
        EXPECT_NEAR(p.r, level, tolerance);
        EXPECT_NEAR(p.g, level, tolerance);
        EXPECT_NEAR(p.b, level, tolerance);
    }
    GlContext gl;
    Texture texture;
    Glow glow;
};

TEST_F(GlowTest, InitTakesTheFirstTwoTextureIndices) {
    EXPECT_EQ(glow.blurTexture, 0);
    EXPECT_EQ(glow.dofTexture, 1);
    EXPECT_EQ(texture.count, 2u);
    texture.bind(1);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 128);
}

TEST_F(GlowTest, RenderQuadBlacksOutAtAlphaOneAndChangesNothingAtZeroOrBelow) {
    clearScreen(200);
    glow.RenderQuad(0, 0, 0, 0);
    expectGrey(gl.pixel(500, 400), 200, 0);
    glow.RenderQuad(0, 0, 0, -0.5f);
    expectGrey(gl.pixel(500, 400), 200, 0);
    glow.RenderQuad(1, 1, 1, 0.5f);
    expectGrey(gl.pixel(10, 700), 227, 1);
    glow.RenderQuad(0, 0, 0, 1);
    expectGrey(gl.pixel(1023, 767), 0, 0);
    expectGrey(gl.pixel(0, 0), 0, 0);
}

TEST_F(GlowTest, RenderQuadLeavesTexturingOffAndTheDepthMaskOn) {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glow.RenderQuad(1, 0, 0, 0.25f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], platform::renderWidth());
    EXPECT_EQ(viewport[3], platform::renderHeight());
}

// The GL state a drawing can see after RenderQuad.
struct QuadState {
    GLboolean texture, depthTest, blend, depthMask;
    GLint src, dst, viewport[4];
    GLfloat colour[4], projection[16], modelview[16];
    bool operator==(const QuadState& o) const {
        return texture == o.texture && depthTest == o.depthTest && blend == o.blend &&
               depthMask == o.depthMask && src == o.src && dst == o.dst &&
               std::equal(viewport, viewport + 4, o.viewport) &&
               std::equal(colour, colour + 4, o.colour) &&
               std::equal(projection, projection + 16, o.projection) &&
               std::equal(modelview, modelview + 16, o.modelview);
    }
};

QuadState quadStateAfter(Glow& glow, float alpha) {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_ONE, GL_ONE);
    glow.RenderQuad(0.25f, 0.5f, 0.75f, alpha);
    QuadState s;
    s.texture = glIsEnabled(GL_TEXTURE_2D);
    s.depthTest = glIsEnabled(GL_DEPTH_TEST);
    s.blend = glIsEnabled(GL_BLEND);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depthMask);
    glGetIntegerv(GL_BLEND_SRC, &s.src);
    glGetIntegerv(GL_BLEND_DST, &s.dst);
    glGetIntegerv(GL_VIEWPORT, s.viewport);
    glGetFloatv(GL_CURRENT_COLOR, s.colour);
    glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
    return s;
}

TEST_F(GlowTest, SkippedInvisibleQuadLeavesTheStateADrawnOneLeaves) {
    clearScreen(120);
    glow.skipInvisibleQuads = false;
    QuadState drawn = quadStateAfter(glow, 0.0f);
    glow.skipInvisibleQuads = true;
    QuadState skipped = quadStateAfter(glow, 0.0f);
    EXPECT_TRUE(drawn == skipped);
    EXPECT_EQ(skipped.colour[3], 0.0f);
    expectGrey(gl.pixel(512, 384), 120, 0);
}

// Frames of the show just after the flashes and fades of scenes 4 to 8 have
// ended (their quads are at alpha 0 or below), bottom row first, one after
// the other; empty when the show cannot start.
const unsigned quietTimes[] = {49200, 61200, 77100, 101100, 111600};
constexpr size_t quietCount = sizeof quietTimes / sizeof quietTimes[0];

std::vector<unsigned char> quietFrames(bool skipInvisible) {
    std::vector<unsigned char> frames;
    testsupport::ShowRunner show;
    if (!show.ok()) return frames;
    engine->glow->skipInvisibleQuads = skipInvisible;
    for (unsigned ms : quietTimes) {
        show.runTo(ms, 5);
        std::vector<unsigned char> f = show.frame();
        frames.insert(frames.end(), f.begin(), f.end());
    }
    return frames;
}

// The same frames with and without the skip, in two processes (a scene's
// state lives in its process): byte for byte the same.
TEST(GlowFrames, SkippingInvisibleQuadsKeepsTheShowsFramesIdentical) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) { // draws every quad and sends its frames
        close(fds[0]);
        std::vector<unsigned char> frames = quietFrames(false);
        size_t done = 0;
        while (done < frames.size()) {
            ssize_t n = write(fds[1], frames.data() + done, frames.size() - done);
            if (n <= 0) break;
            done += size_t(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::vector<unsigned char> skipped = quietFrames(true);
    std::vector<unsigned char> drawn(skipped.size());
    size_t got = 0;
    while (got < drawn.size()) {
        ssize_t n = read(fds[0], drawn.data() + got, drawn.size() - got);
        if (n <= 0) break;
        got += size_t(n);
    }
    close(fds[0]);
    waitpid(child, nullptr, 0);
    ASSERT_FALSE(skipped.empty());
    ASSERT_EQ(got, drawn.size());
    size_t bytes = skipped.size() / quietCount;
    for (size_t i = 0; i < quietCount; i++) {
        auto from = skipped.begin() + long(i * bytes), to = from + long(bytes);
        EXPECT_TRUE(std::equal(from, to, drawn.begin() + long(i * bytes)))
            << "frame at " << quietTimes[i] << " ms";
    }
}

TEST_F(GlowTest, MakeBlurWithoutPassesOnlyCaptures) {
    clearRect(0, 0, 128, 128, 90);
    clearRect(0, 0, 64, 128, 30); // left half darker
    glow.MakeBlur(&texture, false, 0.002f, 0.5f, 0);
    std::vector<unsigned char> t = texels(glow.blurTexture);
    EXPECT_EQ(t[(64 * 128 + 10) * 3], 30);
    EXPECT_EQ(t[(64 * 128 + 63) * 3], 30);
    EXPECT_EQ(t[(64 * 128 + 64) * 3], 90);
    EXPECT_EQ(t[(64 * 128 + 120) * 3], 90);
}

TEST_F(GlowTest, MakeBlurSoftensAnEdge) {
    clearRect(0, 0, 128, 128, 0);
    clearRect(0, 0, 64, 128, 240);
    glow.MakeBlur(&texture, false, 0.002f, 0.5f, 5);
    std::vector<unsigned char> t = texels(glow.blurTexture);
    int left = t[(64 * 128 + 63) * 3], right = t[(64 * 128 + 64) * 3];
    EXPECT_LT(left, 240);
    EXPECT_GT(right, 0);
    EXPECT_EQ(t[(64 * 128 + 10) * 3], 240); // far from the edge nothing changes
}

TEST_F(GlowTest, MakeBlurLeavesTheSmallViewportAndTheCallersModelview) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3, 4, 5);
    captureBlur(100);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], 3);
    EXPECT_FLOAT_EQ(m[13], 4);
    EXPECT_FLOAT_EQ(m[14], 5);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 128);
    EXPECT_EQ(viewport[3], 128);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), texture.ids[glow.blurTexture]);
}

TEST_F(GlowTest, CaptureReadsTheLowerLeftCornerWhateverTheViewport) {
    clearScreen(10);
    clearRect(0, 0, 128, 128, 170);
    glViewport(300, 300, 64, 64);
    glow.MakeDOF(&texture);
    std::vector<unsigned char> t = texels(glow.dofTexture);
    EXPECT_EQ(t[0], 170);
    EXPECT_EQ(t[(127 * 128 + 127) * 3], 170);
}

TEST_F(GlowTest, RenderAddsTheGlowAndRenderBlurCrossFades) {
    captureBlur(100);
    clearScreen(50);
    glow.Render(&texture, 1.0f);
    expectGrey(gl.pixel(512, 384), 150);
    clearScreen(50);
    glow.Render(&texture, 0.0f);
    expectGrey(gl.pixel(512, 384), 50, 0);
    clearScreen(50);
    glow.RenderBlur(&texture, 1.0f);
    expectGrey(gl.pixel(700, 100), 100);
    clearScreen(50);
    glow.RenderBlur(&texture, 0.5f);
    expectGrey(gl.pixel(700, 100), 75);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(GlowTest, RenderDOFKeepsThePictureUnderWhiteAndOnlyTheBlurUnderBlack) {
    clearRect(0, 0, 128, 128, 255);
    glow.MakeDOF(&texture);
    captureBlur(100);
    clearScreen(60);
    glow.RenderDOF(&texture);
    expectGrey(gl.pixel(512, 384), 160);

    clearRect(0, 0, 128, 128, 0);
    glow.MakeDOF(&texture);
    captureBlur(100);
    clearScreen(60);
    glow.RenderDOF(&texture);
    expectGrey(gl.pixel(512, 384), 100);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
}

TEST_F(GlowTest, TheCompositeShowsTheSmallPictureUpright) {
    // Top half of the small picture bright, bottom half dark.
    clearRect(0, 0, 128, 64, 20);
    clearRect(0, 64, 128, 64, 220);
    glow.MakeBlur(&texture, false, 0.0f, 0.5f, 0);
    clearScreen(0);
    glow.RenderBlur(&texture, 1.0f);
    EXPECT_GT(gl.pixel(512, 700).r, 200); // top of the screen
    EXPECT_LT(gl.pixel(512, 60).r, 40);   // bottom of the screen
}

} // namespace
