// Model: placement around its meshes, the texture it binds, a balanced
// matrix stack.
#include <gtest/gtest.h>

#include "geometry/Material.h"
#include "geometry/Mesh.h"
#include "geometry/Model.h"
#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "render/Engine.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "tests/support/GlContext.h"

namespace {

class ModelTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        engine = new Engine();
        engine->init();
        engine->slots[slotNice] = int(engine->texture->empty(4, GL_LINEAR));
        glDisable(GL_TEXTURE_2D);
    }
    void TearDown() override {
        delete engine;
        engine = nullptr;
    }
    testsupport::GlContext gl;
};

GLint stackDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

TEST_F(ModelTest, EmptyModelBindsNiceAndKeepsTheStackBalanced) {
    Model model;
    model.setPosition(1, 2, 3);
    model.setRotation(10, 20, 30);
    GLint before = stackDepth();
    model.render();
    model.render();
    EXPECT_EQ(stackDepth(), before);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), engine->texture->ids[engine->slots[slotNice]]);
}

TEST_F(ModelTest, RotationTurnsAboutXBeforeTheTranslation) {
    // A small cube at (0, 1, 0) turned 90 degrees about x lands on (0, 0, 1):
    // seen from (0, 0, 5) along -z it covers the centre of the screen.
    Mesh cube;
    cube.makeCube(0.2f);
    cube.createNormals();
    cube.material.setPropereties(MAT_LIT);
    cube.setPosition(Vector3D(0, 1, 0));
    Model model;
    model.meshes.push_back(&cube);
    model.setPosition(0, 0, 0);
    model.setRotation(90, 0, 0);

    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    engine->perspective(platform::renderWidth(), platform::renderHeight());
    gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    model.render();
    EXPECT_LT(gl.pixel(512, 384).r, 128);       // covered
    EXPECT_EQ(gl.pixel(512, 384 + 185).r, 255); // where the unturned cube would be
}

} // namespace
