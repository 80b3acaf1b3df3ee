// Scene 2: start lives, ring wrap, life floor and triangle respawn without
// GL; the fade in from white, the fade to black and the stability of its two
// drawings on the real show.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "app/Timeline.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "scenes/Scene2.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "tests/support/SceneFixture.h"

namespace {

using namespace testsupport;

float life(int ring, int panel) {
    return Scene2::polyLife[Scene2::lifeStride * ring + panel];
}

bool isWholeNumber(float v) {
    return v == std::floor(v);
}

TEST(Scene2State, EveryPanelStartsWithALifeIn0To255) {
    scene2init();
    int outside = 0;
    std::set<float> distinct; // drawn, not left at whatever the memory held
    for (int i = 0; i < Scene2::ringCount; i++) {
        for (int j = 0; j < Scene2::panelsPerRing; j++) {
            const float l = life(i, j);
            if (!(l >= 0.0f && l <= 255.0f && isWholeNumber(l))) outside++;
            if (i >= 2) distinct.insert(l);
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(distinct.size(), 30u); // 78 lives beyond the first fifteen entries
    EXPECT_EQ(Scene2::zPos[0], -12.0f);
    EXPECT_EQ(Scene2::zPos[14], 156.0f);
}

TEST(Scene2State, RingPassingTheTunnelEndWrapsWithFadingPanelsAndLivesStopAtZero) {
    scene2init();
    Scene2::zPos[3] = 167.6f;
    Scene2::zPos[4] = 166.0f;
    for (int j = 0; j < Scene2::panelsPerRing; j++) {
        Scene2::polyLife[Scene2::lifeStride * 3 + j] = 0.0f;
        Scene2::polyLife[Scene2::lifeStride * 4 + j] = 100.0f;
    }
    Scene2::polyLife[Scene2::lifeStride * 4 + 5] = 1.0f; // would fall below 0
    Scene2::advance(0.4f);                               // rings move 0.8 units
    EXPECT_NEAR(Scene2::zPos[3], 168.4f - 180.0f, 1e-4f);
    EXPECT_NEAR(Scene2::zPos[4], 166.8f, 1e-4f); // not past 168: stays
    for (int j = 0; j < Scene2::panelsPerRing; j++) {
        EXPECT_GE(life(3, j), 128.0f);
        EXPECT_LE(life(3, j), 255.0f);
        if (j < 5) {
            EXPECT_FLOAT_EQ(life(4, j), 98.0f);
        }
    }
    EXPECT_EQ(life(4, 5), 0.0f); // a life stops at 0: the panel is opaque
}

TEST(Scene2State, TrianglePassingTheCameraRespawnsFarAhead) {
    scene2init();
    Scene2::triPos[0] = Vector3D(1.0f, 2.0f, 1.0f);
    Scene2::triPos[1] = Vector3D(1.0f, 2.0f, 100.0f);
    Scene2::advance(1.0f);
    const Vector3D p = Scene2::triPos[0];
    EXPECT_GE(p.z, 180.0f);
    EXPECT_LE(p.z, 359.0f);
    EXPECT_GE(p.x, -4.0f);
    EXPECT_LE(p.x, 3.99f);
    EXPECT_GE(p.y, -4.0f);
    EXPECT_LE(p.y, 3.99f);
    EXPECT_FLOAT_EQ(Scene2::triPos[1].z, 98.5f);
    EXPECT_EQ(Scene2::triPos[1].x, 1.0f);
}

// The frame without its flash and fade quads.
void plainFrame() {
    drawSmallBlurredThenFull(Scene2::scene2, 0.002f);
    engine->glow->Render(engine->texture, 0.8f);
}

void laterMoment() {
    for (int i = 0; i < 8; i++) Scene2::advance(1.0f); // the tunnel moves on
}

class Scene2Frames : public SceneFixture {};

TEST_F(Scene2Frames, StartsWhiteAndIsHalfWhiteHalfASecondLater) {
    EXPECT_GE(darkestAt(18000), 254);
    expectQuad(18500, plainFrame, 1, 1, 1, 0.5f);
}

TEST_F(Scene2Frames, FadesHalfwayToBlackAt29500ms) {
    expectQuad(29500, plainFrame, 0, 0, 0, 0.5f);
}

TEST_F(Scene2Frames, SmallAndFullDrawingsShowTheSameScene) {
    expectStableDrawings(21000, Scene2::scene2, laterMoment, 40);
}

} // namespace
