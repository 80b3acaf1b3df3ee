// The metaball field: potentials, the threshold, the box, the per-cell
// cache and the truncated edge crossings.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/MetaballGrid.h"
#include "geometry/SphereSurface.h"

namespace {

// Scene 9's grid: 29 cells of 9 units per axis, lone blob radius 18.
const Point3D box(261, 261, 261);

struct LoneBlob : ::testing::Test {
    Point3D centre{0, 0, 0};
    SphereSurface surf{1, 18, 29, box, &centre};
};

int cacheIndex(const SphereSurface& s, int x, int y, int z) {
    return metaball::cellIndex(x, y, z, s.halfSize, s.cellSize, s.cells);
}

TEST_F(LoneBlob, ConstructorDerivesGridAndThreshold) {
    EXPECT_EQ(surf.cellSize.x, 9);
    EXPECT_EQ(surf.halfSize.z, 130);
    EXPECT_EQ(surf.threshold, 1.0f / 325.0f);
    for (int i = 0; i < 29 * 29 * 29; ++i) ASSERT_EQ(surf.potentialCache[i], 0.0f);
}

TEST_F(LoneBlob, ThresholdPointIsInsideAndTheNextIsOutside) {
    EXPECT_EQ(surf.getPotential(Point3D(18, 0, 0)), surf.threshold);
    EXPECT_FALSE(surf.outside(Point3D(18, 0, 0)));
    surf.clearCache(); // 18 and 19 share a cell: the cache would answer for 18
    EXPECT_TRUE(surf.outside(Point3D(19, 0, 0)));
    EXPECT_FALSE(surf.outside(Point3D(0, 0, 0)));
}

TEST_F(LoneBlob, PointsOutsideTheBoxHavePotentialMinusOneAndAreOutside) {
    centre = Point3D(125, 0, 0);
    EXPECT_EQ(surf.getPotential(Point3D(130, 0, 0)), -1.0f);
    EXPECT_EQ(surf.getPotential(Point3D(0, -131, 0)), -1.0f);
    EXPECT_EQ(surf.getPotential(Point3D(0, 0, 200)), -1.0f);
    EXPECT_TRUE(surf.outside(Point3D(130, 0, 0)));
    EXPECT_GT(surf.getPotential(Point3D(129, 0, 0)), surf.threshold);
    EXPECT_GT(surf.getPotential(Point3D(0, -130, 0)), 0.0f);
}

TEST_F(LoneBlob, CacheHoldsOneValuePerCellUntilCleared) {
    // 14 and 15 share a bucket: the second point reads the first one's value.
    const float first = surf.getPotential(Point3D(14, 0, 0));
    EXPECT_EQ(surf.getPotential(Point3D(15, 0, 0)), first);
    EXPECT_EQ(surf.potentialCache[cacheIndex(surf, 14, 0, 0)], first);
    surf.clearCache();
    EXPECT_EQ(surf.getPotential(Point3D(15, 0, 0)), 1.0f / 226.0f);
}

TEST_F(LoneBlob, MovedBlobsNeedTheCacheCleared) {
    const float before = surf.getPotential(Point3D(0, 0, 0));
    centre = Point3D(50, 0, 0);
    EXPECT_EQ(surf.getPotential(Point3D(0, 0, 0)), before);
    surf.clearCache();
    EXPECT_EQ(surf.getPotential(Point3D(0, 0, 0)), 1.0f / 2501.0f);
}

TEST(SphereSurface, PotentialSumsTheBlobTermsInOrder) {
    Point3D blobs[3] = {Point3D(0, 0, 0), Point3D(3, 4, 0), Point3D(-1, -1, -1)};
    SphereSurface surf(3, 18, 29, box, blobs);
    EXPECT_EQ(surf.getPotential(Point3D(0, 0, 0)), (1.0f + 1.0f / 26.0f) + 1.0f / 4.0f);
}

TEST(SphereSurface, CubePotentialsEqualThePotentialsCornerByCorner) {
    Point3D blobs[2] = {Point3D(3, -7, 11), Point3D(-20, 5, 0)};
    SphereSurface batch(2, 18, 29, box, blobs), single(2, 18, 29, box, blobs);
    // Inside the box, on its edges, and reaching out of it on every side.
    const Point3D anchors[] = {Point3D(0, 0, 0),       Point3D(-130, -130, -121), Point3D(121, 121, 129),
                               Point3D(125, 0, 0),     Point3D(0, 125, 0),        Point3D(0, 0, -125),
                               Point3D(-130, 40, 130), Point3D(17, -3, 5)};
    for (const Point3D& a : anchors) {
        float potential[8];
        batch.cubePotentials(a.x, a.y, a.z, potential);
        const metaball::CubeCorners cube(a.x, a.y, a.z, single.cellSize);
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(potential[k], single.getPotential(cube.corner[k]))
                << a.x << "," << a.y << "," << a.z << " corner " << k;
    }
}

TEST(SphereSurface, FarAwayBlobsGiveTinyPositivePotentialsWithoutOverflow) {
    Point3D far(2000000, -2000000, 2000000); // d² far beyond 32 bits
    SphereSurface surf(1, 18, 29, box, &far);
    const float p = surf.getPotential(Point3D(0, 0, 0));
    EXPECT_GT(p, 0.0f);
    EXPECT_LT(p, 1e-12f);
    EXPECT_TRUE(surf.outside(Point3D(0, 0, 0)));
}

TEST(SphereSurface, CentresAtTheEndsOfTheIntRangeDoNotOverflow) {
    Point3D blobs[2] = {Point3D(2147483647, -2147483647 - 1, 2147483647), Point3D(0, 0, 0)};
    SphereSurface surf(2, 18, 29, box, blobs);
    const float corner = surf.getPotential(Point3D(-130, 129, -130)); // d² near 1.4e19
    EXPECT_GT(corner, 0.0f);
    EXPECT_EQ(corner, 1.0f / (130.0f * 130.0f * 2.0f + 129.0f * 129.0f + 1.0f) + 0.0f);
    EXPECT_EQ(surf.getPotential(Point3D(0, 0, 0)), 1.0f); // the far term vanishes in the sum
}

TEST(SphereSurface, BoxNotAWholeNumberOfCellsStaysInsideTheCache) {
    Point3D centre(0, 0, 0);
    SphereSurface surf(1, 5, 29, Point3D(100, 100, 100), &centre); // 3-unit cells, 33 buckets wide
    EXPECT_GT(surf.getPotential(Point3D(49, 49, 49)), 0.0f);
    EXPECT_EQ(surf.getPotential(Point3D(50, 0, 0)), -1.0f);
}

// The crossings of the edge cases use hand-set cache entries: no blobs, so
// uncached points have potential 0, and one end set to twice the threshold.
struct Crossing : ::testing::Test {
    SphereSurface surf{0, 18, 29, box, nullptr};
    void setPotential(int x, int y, int z, float p) {
        surf.potentialCache[cacheIndex(surf, x, y, z)] = p;
    }
};

TEST_F(Crossing, HalfwayFromInsideTruncatesTowardZero) {
    setPotential(0, 0, 0, 2.0f * surf.threshold);
    const Point3D r = surf.getIntersection(Point3D(0, 0, 0), Point3D(9, 0, 0));
    EXPECT_EQ(r.x, 4);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.z, 0);
}

TEST_F(Crossing, HalfwayOnTheNegativeSideTruncatesTowardZero) {
    setPotential(0, 0, 0, 2.0f * surf.threshold);
    const Point3D r = surf.getIntersection(Point3D(-9, 0, 0), Point3D(0, 0, 0));
    EXPECT_EQ(r.x, -4);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.z, 0);
}

TEST_F(Crossing, EveryAxisIsInterpolatedWithTheSameFraction) {
    setPotential(0, 0, 0, 5.0f * surf.threshold); // crossing at 0.8
    const Point3D r = surf.getIntersection(Point3D(0, 0, 0), Point3D(41, -41, 21));
    EXPECT_EQ(r.x, 32);  // 32.8
    EXPECT_EQ(r.y, -32); // -32.8
    EXPECT_EQ(r.z, 16);  // 16.8
}

TEST_F(Crossing, EndsOnTheSameSideGiveTheStartInsteadOfDividingByZero) {
    const Point3D r = surf.getIntersection(Point3D(-9, 0, 0), Point3D(0, 0, 0));
    EXPECT_EQ(r.x, -9);
    setPotential(0, 0, 0, 3.0f * surf.threshold);
    setPotential(9, 0, 0, 2.0f * surf.threshold);
    EXPECT_EQ(surf.getIntersection(Point3D(0, 0, 0), Point3D(9, 0, 0)).x, 0);
}

} // namespace
