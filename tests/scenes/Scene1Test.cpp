// Scene 1: the tile permutation, the particle relaunch, the camera phases and
// the funnel without GL; the flash, the fade to white, the texture
// environment it leaves and the stability of its two drawings on the real
// show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "app/Timeline.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "scenes/Scene1.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "tests/support/SceneFixture.h"

namespace {

using namespace testsupport;

void expectNear(const Vector3D& a, const Vector3D& b, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(Scene1State, TileOffsetsAreAPermutationOfSixTenthMsSteps) {
    scene1init();
    std::vector<float> offsets(Scene1::tileIntensity, Scene1::tileIntensity + 10000);
    std::sort(offsets.begin(), offsets.end(), std::greater<float>());
    int wrong = 0;
    for (int i = 0; i < 10000; i++) {
        if (std::fabs(offsets[i] - float(-0.6 * i)) > 0.001f) wrong++;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(offsets.front(), 0.0f);
    EXPECT_NEAR(offsets.back(), -5999.4f, 0.001f);
    // Shuffled, not laid out in order: the first row is not the first 100 offsets.
    int inOrder = 0;
    for (int i = 0; i < 100; i++) inOrder += Scene1::tileIntensity[i] > -60.0f;
    EXPECT_LT(inOrder, 10);
}

TEST(Scene1State, ParticleRelaunchesInTheFrameItsLifeRunsOut) {
    scene1init();
    // The first frame of the show has step 50: every life starts at 0.
    Scene1::advanceParticles(50.0f);
    for (int i = 0; i < Scene1::particleCount; i++) {
        EXPECT_GE(Scene1::particleLife[i], 50.0f);
        EXPECT_LE(Scene1::particleLife[i], 99.0f);
    }
    Scene1::particleLife[0] = 0.5f;
    Scene1::particleLife[1] = 10.0f;
    Scene1::particleLife[2] = 1.0f; // reaches exactly 0: not below, kept
    Scene1::advanceParticles(1.0f);
    EXPECT_GE(Scene1::particleLife[0], 50.0f);
    EXPECT_LE(Scene1::particleLife[0], 99.0f);
    EXPECT_EQ(Scene1::particleLife[0], std::floor(Scene1::particleLife[0]));
    EXPECT_EQ(Scene1::particleLife[1], 9.0f);
    EXPECT_EQ(Scene1::particleLife[2], 0.0f);
}

TEST(Scene1Camera, JumpsFromFirstCamToTraCamAt6000ms) {
    scene1init();
    demoMS = 5999.0f;
    Scene1::View v = Scene1::camera();
    expectNear(v.eye, Scene1::firstCam.vReturnPoint(0.49992f), 1e-3f);
    expectNear(v.centre, Vector3D(0, 0, 0), 0.0f);
    demoMS = 6000.0f;
    v = Scene1::camera();
    expectNear(v.eye, Vector3D(0, 10, 70), 1e-4f);
    expectNear(v.centre, Vector3D(0, 5, 0), 0.0f);
}

TEST(Scene1Camera, SwitchesToTheSecondTransitionPathAfter9000ms) {
    scene1init();
    demoMS = 9000.0f;
    const Vector3D before = Scene1::camera().eye;
    demoMS = 9001.0f;
    const Vector3D after = Scene1::camera().eye;
    expectNear(before, Scene1::traCam[0].vReturnBezier(0.5f), 1e-3f);
    expectNear(after, Scene1::traCam[1].vReturnBezier(0.5f), 0.05f);
    EXPECT_GT((after - before).length(), 10.0f); // a cut, not a glide
}

TEST(Scene1Heights, GridIsFlatBefore12sThenSinksIntoAFunnel) {
    scene1init();
    Scene1::computeHeights(11999.0f);
    EXPECT_TRUE(std::all_of(Scene1::field, Scene1::field + 10000, [](float h) { return h == 0.0f; }));
    Scene1::computeHeights(15000.0f);
    EXPECT_FLOAT_EQ(Scene1::field[100 * 50 + 50], -150.0f);
    EXPECT_FLOAT_EQ(Scene1::field[100 * 50 + 51], -75.0f);            // distance 1
    EXPECT_NEAR(Scene1::field[100 * 53 + 54], -150.0f / 6.0f, 1e-4f); // distance 5
    EXPECT_LT(Scene1::field[0], 0.0f);
    EXPECT_GT(Scene1::field[0], -3.0f);
}

// The frame without its flash and fade quads.
void plainFrame() {
    drawSmallBlurredThenFull(Scene1::scene1, 0.001f);
    engine->glow->Render(engine->texture, 0.8f);
}

void laterMoment() {
    demoMS += 1500.0f; // the camera moves on
}

class Scene1Frames : public SceneFixture {};

TEST_F(Scene1Frames, LeavesUnitZeroTakingRgbFromTheTextureAndUnitOneAdding) {
    show.drawAt(1000, 1.0f);
    GLint active = 0, mode = 0, rgb = 0, alpha = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    EXPECT_EQ(active, GL_TEXTURE0_ARB);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, &rgb);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_COMBINE_ALPHA_ARB, &alpha);
    EXPECT_EQ(mode, GL_COMBINE_ARB);
    EXPECT_EQ(rgb, GL_REPLACE);
    EXPECT_EQ(alpha, GL_MODULATE);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, &rgb);
    EXPECT_EQ(mode, GL_COMBINE_ARB);
    EXPECT_EQ(rgb, GL_ADD);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

TEST_F(Scene1Frames, FlashesHalfWhiteJustAfterASync) {
    // getSyncFloat is 0.998 one ms after the sync; the flash is half of it.
    expectQuad(6001, plainFrame, 1, 1, 1, 0.499f);
}

TEST_F(Scene1Frames, FadesToWhiteAsItHandsOverAt18000ms) {
    expectFadeToWhiteEndingAt(18000, plainFrame);
}

TEST_F(Scene1Frames, SmallAndFullDrawingsShowTheSameScene) {
    expectStableDrawings(8000, Scene1::scene1, laterMoment, 40);
}

} // namespace
