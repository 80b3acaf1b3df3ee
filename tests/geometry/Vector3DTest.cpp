// Vector3D operations and the fastrand recurrence.
#include <gtest/gtest.h>

#include <cstdint>

#include "geometry/Vector3D.h"

namespace {

void expectVec(const Vector3D& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

TEST(Vector3D, CrossProductIsObjectTimesArgument) {
    const Vector3D x(1, 0, 0), y(0, 1, 0);
    expectVec(x.crossProduct(y), 0, 0, 1);
    expectVec(y.crossProduct(x), 0, 0, -1);
    expectVec(Vector3D(2, 3, 4).crossProduct(Vector3D(5, 6, 7)), -3, 6, -3);
    EXPECT_EQ(Vector3D(2, 3, 4).dotProduct(Vector3D(5, 6, 7)), 56.0f);
}

TEST(Vector3D, LengthIsExactAndNormalizeDividesInPlace) {
    Vector3D v(3, 4, 0);
    EXPECT_EQ(v.length(), 5.0f);
    v.Normalize();
    expectVec(v, 0.6f, 0.8f, 0.0f);
    Vector3D w(1, 1, 1);
    w.Normalize();
    EXPECT_NEAR(w.length(), 1.0f, 1e-7f);
}

TEST(Vector3D, CompoundOperatorsReturnCopiesNotReferences) {
    const Vector3D original(1, 2, 3);
    Vector3D copy = original;
    const Vector3D returned = (copy += Vector3D(1, 1, 1));
    expectVec(original, 1, 2, 3);
    expectVec(copy, 2, 3, 4);
    expectVec(returned, 2, 3, 4);

    // A chain changes only the left-most object, once.
    Vector3D a(1, 1, 1);
    (a += Vector3D(1, 0, 0)) += Vector3D(10, 0, 0);
    expectVec(a, 2, 1, 1);
    (a *= 2.0f) *= 100.0f;
    expectVec(a, 4, 2, 2);
    const Vector3D halved = ((a /= 2.0f) /= 100.0f);
    expectVec(a, 2, 1, 1);
    expectVec(halved, 0.02f, 0.01f, 0.01f);
}

TEST(FastRand, FollowsTheRecurrenceFromTheInitialSeed) {
    uint32_t expected = 0xCAFEBABEu;
    for (int i = 0; i < 10000; i++) {
        expected = expected * 0x97654321u + 1u;
        const int r = fastrand();
        ASSERT_EQ(r, int(expected >> 17)) << "call " << i;
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

} // namespace
