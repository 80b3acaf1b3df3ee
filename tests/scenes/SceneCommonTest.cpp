// Shared scene steps: the combine set-up of a texture unit and switching both
// units off leave the unit state that the next drawing relies on; the
// depth-of-field drawings combine the right passes.
#include <gtest/gtest.h>

#include "platform/GL.h"
#include "scenes/SceneCommon.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/ShowRunner.h"

namespace {

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLint envParameter(GLenum name) {
    GLint value = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, name, &value);
    return value;
}

// The focus mask is white on the left half of the viewport and black on the
// right; the picture is grey 80 all over.
void halfMaskFlatPicture(bool mask) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    const float level = mask ? 0.0f : 80.0f / 255.0f;
    glClearColor(level, level, level, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (!mask) return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glRectf(-1.0f, -1.0f, 0.0f, 1.0f);
}

} // namespace

TEST(SceneCommonTest, DepthOfFieldKeepsThePictureWhereTheMaskIsWhiteAndTheBlurEverywhere) {
    testsupport::ShowRunner show(testsupport::assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    drawDepthOfField(halfMaskFlatPicture, 0.002f);
    const testsupport::Rgb sharp = show.pixel(256, 384), blurred = show.pixel(768, 384);
    EXPECT_NEAR(sharp.g, 160, 2);  // picture x 1 + blur
    EXPECT_NEAR(blurred.g, 80, 2); // picture x 0 + blur
}

TEST(SceneCommonTest, CombinedUnitsAreSetUpAndSwitchedOffLeavingUnitZeroActive) {
    testsupport::ShowRunner show(testsupport::assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    bindCombined(GL_TEXTURE0_ARB, 14, GL_REPLACE);
    bindCombined(GL_TEXTURE1_ARB, 13, GL_ADD);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE1_ARB);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(envParameter(GL_TEXTURE_ENV_MODE), GL_COMBINE_ARB);
    EXPECT_EQ(envParameter(GL_COMBINE_RGB_ARB), GL_ADD);
    EXPECT_EQ(envParameter(GL_COMBINE_ALPHA_ARB), GL_MODULATE); // alpha untouched

    disableTextureUnits();
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(envParameter(GL_COMBINE_RGB_ARB), GL_REPLACE); // the environment stays
    glActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

TEST(SceneCommonTest, FogIsSwitchedOnInTheGivenModeWithItsColourDensityAndRange) {
    testsupport::ShowRunner show(testsupport::assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    setFog(GL_EXP, 0.8f, 0.9f, 1.0f, 0.015f, 40.0f, 80.0f);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(integer(GL_FOG_MODE), GL_EXP);
    GLfloat colour[4] = {0, 0, 0, 0}, density = 0, start = 0, end = 0;
    glGetFloatv(GL_FOG_COLOR, colour);
    glGetFloatv(GL_FOG_DENSITY, &density);
    glGetFloatv(GL_FOG_START, &start);
    glGetFloatv(GL_FOG_END, &end);
    EXPECT_FLOAT_EQ(colour[0], 0.8f);
    EXPECT_FLOAT_EQ(colour[1], 0.9f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
    EXPECT_FLOAT_EQ(colour[3], 1.0f);
    EXPECT_FLOAT_EQ(density, 0.015f);
    EXPECT_FLOAT_EQ(start, 40.0f);
    EXPECT_FLOAT_EQ(end, 80.0f);

    glDisable(GL_FOG);
    setLinearFog(0.0f, 0.0f, 0.0f, 0.005f, 100.0f, 200.0f);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(integer(GL_FOG_MODE), GL_LINEAR);
}
