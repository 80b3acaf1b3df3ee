// Material property bits and the GL state activate() applies.
#include <gtest/gtest.h>

#include "geometry/Material.h"
#include "platform/GL.h"
#include "tests/support/GlContext.h"

namespace {

TEST(Material, DefaultIsLitTexturedWithFaceNormals) {
    const Material m;
    EXPECT_EQ(m.properties, 19u);
    EXPECT_TRUE(m.getProperty(MAT_LIT));
    EXPECT_TRUE(m.getProperty(MAT_TEXTURED));
    EXPECT_TRUE(m.getProperty(MAT_SHOW_FACE_NORMALS));
    EXPECT_FALSE(m.getProperty(MAT_FLAT));
}

TEST(Material, GetPropertyIsTrueWhenAnyBitOfTheMaskIsSet) {
    Material m;
    m.setPropereties(MAT_FLAT);
    EXPECT_TRUE(m.getProperty(MAT_LIT | MAT_FLAT | MAT_TEXCOORD_S_ONLY));
    EXPECT_FALSE(m.getProperty(MAT_LIT | MAT_TEXTURED | MAT_SHOW_VERTEX_NORMALS));
    m.setProperty(MAT_TEXCOORD_S_ONLY | MAT_LIT);
    EXPECT_EQ(m.properties, MAT_FLAT | MAT_TEXCOORD_S_ONLY | MAT_LIT);
    m.setPropereties(0);
    EXPECT_FALSE(m.getProperty(~0u));
}

TEST(Material, ActivateSetsLightingColourAndTexturing) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Material m;
    glDisable(GL_TEXTURE_2D);
    m.activate();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    m.setPropereties(0); // unlit, texturing left as it is
    m.colour[0] = 0.25f;
    m.colour[1] = 0.5f;
    m.colour[2] = 1.0f;
    m.activate();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.25f);
    EXPECT_FLOAT_EQ(colour[1], 0.5f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
}

} // namespace
