// Curve: closed and Bernstein evaluation, clamping and extrapolation, the
// side vector.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/Curve.h"

namespace {

const Curve bent(Vector3D(0, 0, 0), Vector3D(1, 2, -1), Vector3D(3, -1, 2), Vector3D(4, 1, 5));

// The cubic in double precision, for any t.
Vector3D cubic(const Curve& curve, double t) {
    const double s = 1 - t, w[4] = {s * s * s, 3 * t * s * s, 3 * t * t * s, t * t * t};
    double p[3] = {0, 0, 0};
    for (int i = 0; i < 4; i++) {
        p[0] += w[i] * curve.controlPoints[i].x;
        p[1] += w[i] * curve.controlPoints[i].y;
        p[2] += w[i] * curve.controlPoints[i].z;
    }
    return Vector3D(float(p[0]), float(p[1]), float(p[2]));
}

void expectNear(const Vector3D& a, const Vector3D& b, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

void expectExact(const Vector3D& a, const Vector3D& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
}

TEST(Curve, ClosedFormHitsEndsAndClampsAboveOne) {
    expectExact(bent.vReturnPoint(0.0f), bent.controlPoints[0]);
    expectExact(bent.vReturnPoint(1.0f), bent.controlPoints[3]);
    expectExact(bent.vReturnPoint(1.7f), bent.controlPoints[3]);
}

TEST(Curve, ClosedFormExtrapolatesBelowZero) {
    const Vector3D p = bent.vReturnPoint(-0.5f);
    expectNear(p, cubic(bent, -0.5), 1e-5f);
    EXPECT_GT((p - bent.controlPoints[0]).length(), 1.0f);
}

TEST(Curve, BernsteinFormHitsBothEndsExactly) {
    expectExact(bent.vReturnBezier(0.0f), bent.controlPoints[0]);
    // At t = 1 the running power of (1 - t) would be divided by zero.
    expectExact(bent.vReturnBezier(1.0f), bent.controlPoints[3]);
}

TEST(Curve, BernsteinAndClosedFormsAgreeInsideAndAtMidpoint) {
    const Vector3D* p = bent.controlPoints;
    const Vector3D mid = (p[0] + p[1] * 3.0f + p[2] * 3.0f + p[3]) / 8.0f;
    expectNear(bent.vReturnBezier(0.5f), mid, 1e-6f);
    expectNear(bent.vReturnPoint(0.5f), mid, 1e-6f);
    for (int i = 0; i <= 100; i++) {
        const float t = float(i) / 100.0f;
        expectNear(bent.vReturnBezier(t), bent.vReturnPoint(t), 2e-5f);
    }
}

TEST(Curve, BernsteinFormExtrapolatesAboveOne) {
    expectNear(bent.vReturnBezier(1.25f), cubic(bent, 1.25), 1e-4f);
}

TEST(Curve, SideVectorOfLevelLineIsUnitAndToTheRightAtEveryT) {
    const Curve level(Vector3D(0, 2, 0), Vector3D(1, 2, 0), Vector3D(2, 2, 0), Vector3D(3, 2, 0));
    // 0.995 and 1 take their second sample on or past the end.
    const float ts[] = {0.0f, 0.1f, 0.25f, 0.5f, 0.9f, 0.995f, 0.999f, 1.0f};
    for (float t : ts) {
        const Vector3D side = level.curveSideVec(t);
        EXPECT_NEAR(side.x, 0.0f, 1e-5f) << t;
        EXPECT_EQ(side.y, 0.0f) << t;
        EXPECT_NEAR(side.z, 1.0f, 1e-5f) << t;
    }
}

TEST(Curve, SideVectorIsHorizontalPartOfTangentOnAClimb) {
    const Curve climb(Vector3D(0, 0, 0), Vector3D(1, 1, 0), Vector3D(2, 2, 0), Vector3D(3, 3, 0));
    const Vector3D side = climb.curveSideVec(0.5f);
    EXPECT_NEAR(side.x, 0.0f, 1e-6f);
    EXPECT_EQ(side.y, 0.0f);
    EXPECT_NEAR(side.z, std::sqrt(0.5f), 1e-5f);
}

TEST(Curve, SideVectorOfVerticalLineIsZero) {
    const Curve up(Vector3D(0, 0, 0), Vector3D(0, 1, 0), Vector3D(0, 2, 0), Vector3D(0, 3, 0));
    for (float t : {0.0f, 0.3f, 0.7f, 0.99f}) expectExact(up.curveSideVec(t), Vector3D(0, 0, 0));
}

} // namespace
