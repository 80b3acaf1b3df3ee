// The scene projection: a fixed lens and aspect whatever the size, the
// viewport of the small (128 x 128) or full drawing, a fresh modelview.
#include <gtest/gtest.h>

#include <vector>

#include "platform/GL.h"
#include "render/Engine.h"
#include "tests/support/GlContext.h"

namespace {

TEST(Engine, PerspectiveHasAFixedLensAndATruncatedViewportFromTheLowerLeft) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Engine e;
    for (const float size : {128.0f, 1024.0f, 127.9f}) {
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(1, 2, 3);
        e.perspective(size, size * 0.75f);
        std::vector<int> viewport(4);
        GLfloat p[16], m[16];
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_EQ(viewport, std::vector<int>({0, 0, int(size), int(size * 0.75f)}));
        // 45 degrees high at the aspect 1.25: p[5] = cot(22.5 degrees), p[0] = p[5] / 1.25.
        EXPECT_NEAR(p[5], 2.4142136f, 1e-5f);
        EXPECT_NEAR(p[0], 2.4142136f / 1.25f, 1e-5f);
        EXPECT_EQ(std::vector<float>(m + 12, m + 15), std::vector<float>(3, 0.0f));
    }
}

} // namespace
