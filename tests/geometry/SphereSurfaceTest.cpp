// The metaball field on Scene 9's grid (29 cells of 9 units per axis, blob
// radius 18): potentials, the threshold, the box, the per-cell cache and the
// truncated edge crossings.
#include <gtest/gtest.h>

#include <tuple>

#include "geometry/MetaballGrid.h"
#include "geometry/SphereSurface.h"

namespace {

const Point3D box(261, 261, 261);

struct LoneBlob : ::testing::Test {
    Point3D centre{0, 0, 0};
    SphereSurface surf{1, 18, 29, box, &centre};
};

TEST_F(LoneBlob, PotentialIsOneOverDistanceSquaredPlusOneInsideTheBoxAndMinusOneOutside) {
    EXPECT_EQ(surf.threshold, 1.0f / 325.0f);
    EXPECT_EQ(surf.getPotential(Point3D(18, 0, 0)), surf.threshold); // on the surface: inside
    EXPECT_FALSE(surf.outside(Point3D(18, 0, 0)));
    surf.clearCache(); // 18 and 19 share a cell
    EXPECT_TRUE(surf.outside(Point3D(19, 0, 0)));
    centre = Point3D(125, 0, 0);
    surf.clearCache();
    for (const Point3D& p : {Point3D(130, 0, 0), Point3D(0, -131, 0), Point3D(0, 0, 200)})
        EXPECT_EQ(surf.getPotential(p), -1.0f) << p.x << "," << p.y << "," << p.z;
    EXPECT_TRUE(surf.outside(Point3D(130, 0, 0)));
    EXPECT_GT(surf.getPotential(Point3D(129, 0, 0)), surf.threshold); // the last point inside the box
    EXPECT_EQ(surf.getPotential(Point3D(0, -130, 0)), 1.0f / (125.0f * 125.0f + 130.0f * 130.0f + 1.0f));
}

// The cache holds the first value computed in each cell until cleared, also
// when the blobs have moved meanwhile.
TEST_F(LoneBlob, CacheHoldsOneValuePerCellUntilCleared) {
    EXPECT_EQ(surf.getPotential(Point3D(14, 0, 0)), 1.0f / 197.0f);
    EXPECT_EQ(surf.getPotential(Point3D(15, 0, 0)), 1.0f / 197.0f); // 14 and 15 share a cell
    centre = Point3D(50, 0, 0);
    EXPECT_EQ(surf.getPotential(Point3D(15, 0, 0)), 1.0f / 197.0f);
    surf.clearCache();
    EXPECT_EQ(surf.getPotential(Point3D(15, 0, 0)), 1.0f / 1226.0f);
}

TEST(SphereSurface, PotentialSumsTheBlobTermsInOrderWithoutOverflowingFarAway) {
    Point3D blobs[3] = {Point3D(0, 0, 0), Point3D(3, 4, 0), Point3D(-1, -1, -1)};
    EXPECT_EQ(SphereSurface(3, 18, 29, box, blobs).getPotential(Point3D(0, 0, 0)),
              (1.0f + 1.0f / 26.0f) + 0.25f);
    // Squared distances of 1.2e13 and 1.4e19 are far beyond 32 bits.
    Point3D far[2] = {Point3D(2000000, -2000000, 2000000),
                      Point3D(2147483647, -2147483647 - 1, 2147483647)};
    const float p = SphereSurface(2, 18, 29, box, far).getPotential(Point3D(-130, 129, -130));
    EXPECT_GT(p, 0.0f);
    EXPECT_LT(p, 1e-13f);
}

TEST(SphereSurface, CubePotentialsEqualThePotentialsCornerByCorner) {
    Point3D blobs[2] = {Point3D(3, -7, 11), Point3D(-20, 5, 0)};
    SphereSurface batch(2, 18, 29, box, blobs), single(2, 18, 29, box, blobs);
    // Inside the box, on its edges, and reaching out of it on every side.
    for (const Point3D& a :
         {Point3D(0, 0, 0), Point3D(-130, -130, -121), Point3D(121, 121, 129), Point3D(125, 0, 0),
          Point3D(0, 125, 0), Point3D(0, 0, -125), Point3D(-130, 40, 130), Point3D(17, -3, 5)}) {
        float potential[8];
        batch.cubePotentials(a.x, a.y, a.z, potential);
        const metaball::CubeCorners cube(a.x, a.y, a.z, single.cellSize);
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(potential[k], single.getPotential(cube.corner[k]))
                << a.x << "," << a.y << "," << a.z << ": " << k;
    }
}

// No blobs: every uncached point has potential 0; the start is set to a
// multiple of the threshold, so the crossing lies at a known fraction.
TEST(SphereSurface, CrossingsInterpolateEveryAxisAndTruncateTowardZero) {
    SphereSurface surf(0, 18, 29, box, nullptr);
    // From a to b, the potential at a in thresholds (at b it is 0), and the crossing.
    for (const auto& [a, b, start, expected] :
         {std::tuple{Point3D(0, 0, 0), Point3D(9, 0, 0), 2.0f, Point3D(4, 0, 0)},         // 4.5
          std::tuple{Point3D(0, 0, 0), Point3D(-9, 0, 0), 2.0f, Point3D(-4, 0, 0)},       // -4.5
          std::tuple{Point3D(0, 0, 0), Point3D(41, -41, 21), 5.0f, Point3D(32, -32, 16)}, // 32.8 ...
          std::tuple{Point3D(0, 0, 0), Point3D(9, 0, 0), 0.5f, Point3D(0, 0, 0)},         // both outside
          std::tuple{Point3D(-9, 0, 0), Point3D(0, 0, 0), 0.0f, Point3D(-9, 0, 0)}}) {    // equal
        surf.clearCache();
        surf.potentialCache[metaball::cellIndex(a.x, a.y, a.z, surf.halfSize, surf.cellSize, 29)] =
            start * surf.threshold;
        const Point3D r = surf.getIntersection(a, b);
        EXPECT_TRUE(r.x == expected.x && r.y == expected.y && r.z == expected.z)
            << "to " << b.x << "," << b.y << "," << b.z << ": " << r.x << "," << r.y << "," << r.z;
    }
}

} // namespace
