// Curve: the closed and Bernstein forms at their ends, inside and beyond
// them, and the horizontal side vector. Expected points are the cubic's
// values worked out by hand (exact in binary).
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "geometry/Curve.h"

namespace {

const Curve bent(Vector3D(0, 0, 0), Vector3D(1, 2, -1), Vector3D(3, -1, 2), Vector3D(4, 1, 5));

void expectNear(const Vector3D& a, const Vector3D& b, float tolerance, float t) {
    EXPECT_NEAR(a.x, b.x, tolerance) << "t = " << t;
    EXPECT_NEAR(a.y, b.y, tolerance) << "t = " << t;
    EXPECT_NEAR(a.z, b.z, tolerance) << "t = " << t;
}

// The closed form is clamped at t = 1 and extrapolates below 0; the
// Bernstein form extrapolates on both sides and hits t = 1 exactly.
TEST(Curve, BothFormsHitTheEndsAndTheCubicBetweenAndOnlyTheClosedFormClampsAboveOne) {
    // t, the closed form's point, the Bernstein form's point.
    for (const auto& [t, closed, bernstein] :
         {std::tuple{0.0f, Vector3D(0, 0, 0), Vector3D(0, 0, 0)},
          std::tuple{1.0f, Vector3D(4, 1, 5), Vector3D(4, 1, 5)},
          std::tuple{0.5f, Vector3D(2, 0.5f, 1), Vector3D(2, 0.5f, 1)},
          std::tuple{-0.5f, Vector3D(-0.5f, -8, 5), Vector3D(-0.5f, -8, 5)},
          std::tuple{1.25f, Vector3D(4, 1, 5), Vector3D(4.53125f, 3.59375f, 7.1875f)},
          std::tuple{1.5f, Vector3D(4, 1, 5), Vector3D(4.5f, 9, 9)}}) {
        expectNear(bent.vReturnPoint(t), closed, t == 0.0f || t >= 1.0f ? 0.0f : 1e-5f, t);
        expectNear(bent.vReturnBezier(t), bernstein, t == 0.0f || t == 1.0f ? 0.0f : 2e-3f, t);
    }
}

// Level, climbing and vertical lines along +x (or up); near t = 1 the second
// sample lies on or beyond the end.
TEST(Curve, SideVectorIsTheHorizontalPartOfTheTangentTurnedToTheRight) {
    const Curve level(Vector3D(0, 2, 0), Vector3D(1, 2, 0), Vector3D(2, 2, 0), Vector3D(3, 2, 0));
    const Curve climb(Vector3D(0, 0, 0), Vector3D(1, 1, 0), Vector3D(2, 2, 0), Vector3D(3, 3, 0));
    const Curve up(Vector3D(0, 0, 0), Vector3D(0, 1, 0), Vector3D(0, 2, 0), Vector3D(0, 3, 0));
    for (float t : {0.0f, 0.25f, 0.5f, 0.995f, 1.0f}) {
        expectNear(level.curveSideVec(t), Vector3D(0, 0, 1), 1e-5f, t);
        expectNear(climb.curveSideVec(t), Vector3D(0, 0, std::sqrt(0.5f)), 1e-5f, t);
        expectNear(up.curveSideVec(t), Vector3D(0, 0, 0), 0.0f, t);
    }
}

} // namespace
