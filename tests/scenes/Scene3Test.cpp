// Scene 3: the arrows' random directions, the camera paths by sync, and on
// the real show the arrow span limits, the fades and the stability of its
// two drawings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "scenes/Scene3.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "tests/support/Pixels.h"
#include "tests/support/SceneFixture.h"

namespace {

using namespace testsupport;

TEST(Scene3State, ZeroRandomDirectionIsDrawnAgain) {
    // Find a place in the rand() stream where three draws in a row give 0
    // (rand() % 100 == 50 each): about one in a million positions.
    srand(7);
    long zeroAt = -1, position = 0;
    int run = 0;
    for (; position < 200000000L && zeroAt < 0; position++) {
        run = rand() % 100 == 50 ? run + 1 : 0;
        if (run == 3) zeroAt = position - 2;
    }
    ASSERT_GE(zeroAt, 0);
    srand(7);
    for (long i = 0; i < zeroAt; i++) rand();
    const Vector3D d = Scene3::randomDirection();
    EXPECT_TRUE(std::isfinite(d.x) && std::isfinite(d.y) && std::isfinite(d.z));
    EXPECT_NEAR(d.length(), 1.0f, 1e-5f);
}

TEST(Scene3Camera, ChangesPathAtEverySync) {
    scene3init();
    const struct {
        float ms;
        int path;
    } cases[] = {{30000, 2}, {30001, 3}, {31600, 3}, {31601, 0}, {32801, 1}, {34601, 2},
                 {35901, 3}, {38801, 0}, {41901, 1}, {44801, 2}, {47999, 2}};
    for (const auto& c : cases) {
        demoMS = c.ms;
        EXPECT_EQ(Scene3::cameraPath(), c.path) << "at " << c.ms << " ms";
    }
}

TEST(Scene3Camera, EyeIsAtTheStartOfItsPathWhenTheSineIsMinusOne) {
    scene3init();
    const float pi = 3.14159265f;
    demoMS = 1000.0f * (1.5f * pi + 10.0f * pi); // sine -1, path camz[3]
    const Vector3D eye = Scene3::cameraEye();
    EXPECT_NEAR(eye.x, 30.0f, 0.01f);
    EXPECT_NEAR(eye.y, 10.0f, 0.01f);
    EXPECT_NEAR(eye.z, 0.0f, 0.01f);
}

// Clears to black, looks at the origin from above, draws one arrow and
// returns the brightest channel value of the frame.
int brightestArrow(float head) {
    engine->perspective(platform::renderWidth(), platform::renderHeight());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    gluLookAt(0, 120, 80, 0, 0, 0, 0, 1, 0);
    Scene3::renderArrow(&Scene3::arrow[5], head, 1.0f);
    const std::vector<unsigned char> f = readFrame();
    return int(*std::max_element(f.begin(), f.end()));
}

// The frame without its flash and fade quads.
void plainFrame() {
    drawSmallBlurredThenFull(Scene3::scene3, 0.002f);
    engine->glow->Render(engine->texture, 1.0f);
}

void laterMoment() {
    demoMS += 400.0f; // the arrows move on
}

class Scene3Frames : public SceneFixture {};

TEST_F(Scene3Frames, ArrowIsDrawnOnlyWhileItsHeadLiesIn0To1) {
    demoMS = 40000.0f;
    EXPECT_EQ(brightestArrow(0.0f), 0);
    EXPECT_EQ(brightestArrow(-0.001f), 0);
    EXPECT_EQ(brightestArrow(1.001f), 0);
    EXPECT_GT(brightestArrow(1.0f), 20);
    EXPECT_GT(brightestArrow(0.5f), 20);
}

TEST_F(Scene3Frames, FadesInFromBlack) {
    EXPECT_EQ(brightestAt(30000), 0);
    expectQuad(30500, plainFrame, 0, 0, 0, 0.5f);
}

TEST_F(Scene3Frames, IsNearlyWhiteJustBefore48000ms) {
    expectFadeToWhiteEndingAt(48000, plainFrame);
}

TEST_F(Scene3Frames, SmallAndFullDrawingsShowTheSameScene) {
    expectStableDrawings(36300, Scene3::scene3, laterMoment, 40);
}

} // namespace
