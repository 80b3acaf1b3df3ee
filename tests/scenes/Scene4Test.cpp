// Scene 4: a particle whose scatter draws are all zero settles on its cell
// instead of flying in from NaN (one rebirth in a billion meets it).
#include "scenes/Scene4.h"

#include <gtest/gtest.h>

namespace {

TEST(Scene4Particles, ScatterIsOneHundredFiftyLongAndZeroForZeroDraws) {
    const Vector3D d = Scene4::scatterDirection(3, -4, 0);
    EXPECT_NEAR(d.x, 90.0f, 1e-3f);
    EXPECT_NEAR(d.y, -120.0f, 1e-3f);
    EXPECT_EQ(d.z, 0.0f);
    const Vector3D zero = Scene4::scatterDirection(0, 0, 0);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
}

} // namespace
