// Scene 3: an arrow direction of three zero draws has no direction and is
// drawn again (each of the 600 directions drawn at start-up has a one in a
// million chance of it).
#include "scenes/Scene3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

TEST(Scene3Arrows, DirectionOfThreeZeroDrawsIsDrawnAgain) {
    constexpr unsigned seed = 1034225; // its first three rand() % 100 are 50: (0, 0, 0)
    std::srand(seed);
    for (int i = 0; i < 3; i++) ASSERT_EQ(std::rand() % 100, 50);
    std::srand(seed);
    const Vector3D d = Scene3::randomDirection();
    EXPECT_TRUE(std::isfinite(d.x) && std::isfinite(d.y) && std::isfinite(d.z));
    EXPECT_NEAR(d.length(), 1.0f, 1e-5f);
}

} // namespace
