// Scene 2: a panel's life falls by 5 per frame step and stops at 0, opaque.
// Below 0 the alpha would clamp to the same opacity, so only the state
// shows it.
#include "scenes/Scene2.h"

#include <gtest/gtest.h>

#include "scenes/Scenes.h"

namespace {

TEST(Scene2Tunnel, PanelLivesFallFivePerStepAndStopAtZero) {
    scene2init();
    float* lives = Scene2::polyLife + Scene2::lifeStride * 4; // ring 4, far from the tunnel's end
    lives[0] = 100.0f;
    lives[1] = 1.0f;
    Scene2::advance(0.4f);
    EXPECT_FLOAT_EQ(lives[0], 98.0f);
    EXPECT_EQ(lives[1], 0.0f);
}

} // namespace
