// The layer's state against real OpenGL 1.1: the values the show reads back
// (matrices, enables, matrix mode, viewport, scissor box, alignment) after
// the same calls in both; then what the layer alone promises: one draw for
// consecutive primitives of one state, programs built once, and an error
// for what it does not implement.
#include <gtest/gtest.h>

#include <GLES2/gl2.h>

#include <cmath>
#include <string>

#include "platform/fixedgl/FixedGL.h"
#include "tests/platform/fixedgl/CaseTables.h"
#include "tests/platform/fixedgl/TwoContexts.h"

namespace fixedgltest {
namespace {

class FixedGLState : public testing::TestWithParam<int> {};

TEST_P(FixedGLState, MatchesOpenGL) {
    const QueryCase& desktopCase = desktop::tables.queries[GetParam()];
    const QueryCase& layerCase = layer::tables.queries[GetParam()];
    ASSERT_STREQ(desktopCase.name, layerCase.name);
    TwoContexts two(frameSide, frameSide);
    ASSERT_TRUE(two.ok());
    std::vector<float> expected, actual;
    two.useDesktop();
    ASSERT_EQ(desktop::tables.start(), nullptr);
    desktopCase.query(expected);
    two.useLayer();
    ASSERT_EQ(layer::tables.start(), nullptr);
    layerCase.query(actual);
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); i++) {
        // Matrices in single precision: the last bits may round apart.
        EXPECT_NEAR(actual[i], expected[i], 1e-6 * std::fmax(1.0f, std::fabs(expected[i])))
            << "value " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FixedGLState, testing::Range(0, desktop::tables.queryCount),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(desktop::tables.queries[info.param].name);
                         });

// The layer alone, on its ES 2.0 context, in the layer's own namespace.
class FixedGLLayer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(two.ok());
        two.useLayer();
        ASSERT_EQ(fixedgl::start(), nullptr);
        fixedgl::glMatrixMode(GL_PROJECTION);
        fixedgl::glOrtho(0, frameSide, 0, frameSide, -1, 1);
        fixedgl::glMatrixMode(GL_MODELVIEW);
    }
    static void triangle(float x, float y) {
        fixedgl::glBegin(GL_TRIANGLES);
        fixedgl::glVertex2f(x, y);
        fixedgl::glVertex2f(x + 10, y);
        fixedgl::glVertex2f(x, y + 10);
        fixedgl::glEnd();
    }
    TwoContexts two{frameSide, frameSide};
};

TEST_F(FixedGLLayer, DrawsConsecutivePrimitivesOfOneStateAtOnce) {
    const long before = fixedgl::counters().drawCalls;
    for (int i = 0; i < 100; i++) {
        // Matrices and current values change nothing a draw depends on.
        fixedgl::glPushMatrix();
        fixedgl::glTranslatef(float(i), 0, 0);
        fixedgl::glColor4f(1, float(i) / 100, 0, 1);
        triangle(0, 0);
        fixedgl::glPopMatrix();
    }
    fixedgl::glBegin(GL_QUADS); // quads join the triangles
    for (int i = 0; i < 4; i++) fixedgl::glVertex2f(float(i % 2), float(i / 2));
    fixedgl::glEnd();
    fixedgl::flush();
    EXPECT_EQ(fixedgl::counters().drawCalls - before, 1);

    // Each state change, and each change of primitive kind, ends a batch.
    triangle(0, 0);
    fixedgl::glEnable(GL_BLEND);
    triangle(0, 0);
    fixedgl::glBegin(GL_POINTS);
    fixedgl::glVertex2f(5, 5);
    fixedgl::glEnd();
    fixedgl::glBlendFunc(GL_ONE, GL_ONE);
    fixedgl::glBlendFunc(GL_ONE, GL_ONE); // unchanged: no flush
    triangle(0, 0);
    fixedgl::flush();
    EXPECT_EQ(fixedgl::counters().drawCalls - before, 5);
}

TEST_F(FixedGLLayer, BuildsEachProgramOnce) {
    GLuint texture = 0;
    fixedgl::glGenTextures(1, &texture);
    fixedgl::glBindTexture(GL_TEXTURE_2D, texture);
    const unsigned char texel[3] = {200, 100, 50};
    fixedgl::glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    fixedgl::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    auto frame = [] {
        fixedgl::glDisable(GL_FOG);
        fixedgl::glDisable(GL_TEXTURE_2D);
        triangle(0, 0);
        fixedgl::glEnable(GL_TEXTURE_2D);
        triangle(20, 0);
        fixedgl::glEnable(GL_FOG);
        triangle(40, 0);
        fixedgl::glFogi(GL_FOG_MODE, GL_LINEAR);
        triangle(60, 0);
        fixedgl::flush();
    };
    frame();
    const long built = fixedgl::counters().programsBuilt;
    frame();
    frame();
    EXPECT_EQ(fixedgl::counters().programsBuilt, built);
    EXPECT_EQ(fixedgl::glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FixedGLLayer, RefusesWhatItDoesNotImplement) {
    const struct {
        const char* call;
        void (*make)();
        GLenum error;
    } cases[] = {
        {"glBegin(GL_LINES)", [] { fixedgl::glBegin(GL_LINES); }, GL_INVALID_ENUM},
        {"glEnable(GL_LINE_SMOOTH)", [] { fixedgl::glEnable(GL_LINE_SMOOTH); }, GL_INVALID_ENUM},
        {"glShadeModel(flat)", [] { fixedgl::glShadeModel(0x1D00); }, GL_INVALID_ENUM},
        {"glFogi(GL_FOG_MODE, exp2)", [] { fixedgl::glFogi(GL_FOG_MODE, 0x0801); }, GL_INVALID_ENUM},
        {"glTexEnvi(decal)", [] { fixedgl::glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, 0x2101); },
         GL_INVALID_ENUM},
        {"glPushAttrib(current bit)", [] { fixedgl::glPushAttrib(0x1); }, GL_INVALID_VALUE},
        {"glActiveTextureARB(unit 2)", [] { fixedgl::glActiveTextureARB(GL_TEXTURE0 + 2); },
         GL_INVALID_ENUM},
        {"glPopMatrix() at the bottom", [] { fixedgl::glPopMatrix(); }, GL_STACK_UNDERFLOW},
        {"glPopAttrib() when empty", [] { fixedgl::glPopAttrib(); }, GL_STACK_UNDERFLOW},
        {"glTexImage2D(luminance)",
         [] {
             fixedgl::glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE,
                                   nullptr);
         },
         GL_INVALID_VALUE},
    };
    for (const auto& c : cases) {
        c.make();
        EXPECT_EQ(fixedgl::glGetError(), c.error) << c.call;
        EXPECT_EQ(fixedgl::glGetError(), GLenum(GL_NO_ERROR)) << c.call << " left a second error";
    }
}

// GL_RGB read-backs, which ES 2.0 cannot do itself, give the RGBA
// read-back's colours, with rows padded to the pack alignment.
TEST_F(FixedGLLayer, ReadsRgbRows) {
    fixedgl::glBegin(GL_TRIANGLES);
    fixedgl::glColor3f(1, 0, 0);
    fixedgl::glVertex2f(0, 0);
    fixedgl::glColor3f(0, 1, 0);
    fixedgl::glVertex2f(128, 0);
    fixedgl::glColor3f(0, 0, 1);
    fixedgl::glVertex2f(0, 128);
    fixedgl::glEnd();
    const int width = 37, height = 21, stride = 112; // 37 x 3 bytes padded to 4
    std::vector<unsigned char> rgba(width * height * 4), rgb(stride * height);
    fixedgl::glPixelStorei(GL_PACK_ALIGNMENT, 1);
    fixedgl::glReadPixels(3, 5, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    fixedgl::glPixelStorei(GL_PACK_ALIGNMENT, 4);
    fixedgl::glReadPixels(3, 5, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            for (int c = 0; c < 3; c++) {
                ASSERT_EQ(rgb[y * stride + x * 3 + c], rgba[(y * width + x) * 4 + c]) << x << ", " << y;
            }
        }
    }
    EXPECT_EQ(fixedgl::glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
} // namespace fixedgltest
