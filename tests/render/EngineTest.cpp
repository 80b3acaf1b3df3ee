// The engine: its work textures, the scene projection and viewport.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/Texture.h"
#include "tests/support/GlContext.h"

namespace {

void expectViewport(int w, int h) {
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[2], w);
    EXPECT_EQ(v[3], h);
}

TEST(Engine, InitCreatesExactlyTheTwoWorkTextures) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Engine e;
    e.init();
    ASSERT_NE(e.texture, nullptr);
    ASSERT_NE(e.glow, nullptr);
    EXPECT_EQ(e.texture->count, 2u);
    EXPECT_EQ(e.glow->blurTexture, 0);
    EXPECT_EQ(e.glow->dofTexture, 1);
    EXPECT_TRUE(e.meshes.empty());
}

TEST(Engine, PerspectiveSetsTheViewportFromTheLowerLeftCorner) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Engine e;
    e.perspective(128, 128);
    expectViewport(128, 128);
    e.perspective(platform::renderWidth(), platform::renderHeight());
    expectViewport(platform::renderWidth(), platform::renderHeight());
    e.perspective(127.9f, 127.9f);
    expectViewport(127, 127);
}

TEST(Engine, PerspectiveUsesTheFixedAspectAndResetsTheModelview) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Engine e;
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    e.perspective(platform::renderWidth(), platform::renderHeight());
    GLfloat p[16], m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // gluPerspective: p[5] = cot(fov / 2), p[0] = p[5] / aspect.
    EXPECT_NEAR(p[5], 1.0f / std::tan(22.5f * 3.14159265f / 180.0f), 1e-5f);
    EXPECT_NEAR(p[0] * 1.25f, p[5], 1e-5f);
    EXPECT_FLOAT_EQ(m[12], 0);
    EXPECT_FLOAT_EQ(m[14], 0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST(Engine, RenderWithNoMeshesDrawsNothing) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Engine e;
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    e.render();
    EXPECT_EQ(gl.pixel(512, 384).r, 128);
}

} // namespace
