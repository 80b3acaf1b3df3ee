// Shared scene steps: the combine set-up of a texture unit and switching both
// units off leave the unit state that the next drawing relies on.
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

} // namespace

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
