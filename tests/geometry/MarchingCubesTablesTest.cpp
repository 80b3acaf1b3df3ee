// The case tables against the cube's corner and edge numbering: the edges
// each case cuts, its triangles, and crack-free consistently wound surfaces
// over random fields.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "geometry/MarchingCubesTables.h"
#include "geometry/MetaballGrid.h"
#include "tests/geometry/SurfaceChecks.h"

namespace {

const metaball::CubeCorners unitCube(0, 0, 0, Point3D(1, 1, 1));

Vector3D corner(int k) {
    const Point3D& c = unitCube.corner[k];
    return Vector3D(float(c.x), float(c.y), float(c.z));
}

bool isOutside(int caseIndex, int k) {
    return (caseIndex >> k) & 1;
}

int rowLength(int i) {
    int n = 0;
    while (n < 16 && triTab[i][n] != -1) ++n;
    return n;
}

TEST(MarchingCubesTables, EachEdgeRunsAlongItsAxisAndIsCutWhereItsCornersDiffer) {
    for (int e = 0; e < 12; ++e) {
        const Vector3D a = corner(cubeEdgeCorners[e][0]), b = corner(cubeEdgeCorners[e][1]);
        const int differ[3] = {a.x != b.x, a.y != b.y, a.z != b.z};
        EXPECT_EQ(differ[0] + differ[1] + differ[2], 1) << "edge " << e;
        EXPECT_TRUE(differ[cubeEdgeAxis[e]]) << "edge " << e;
    }
    for (int i = 0; i < 256; ++i) {
        int expected = 0;
        for (int e = 0; e < 12; ++e)
            expected |= (isOutside(i, cubeEdgeCorners[e][0]) != isOutside(i, cubeEdgeCorners[e][1]))
                        << e;
        EXPECT_EQ(edgeTab[i], expected) << "case " << i;
    }
}

TEST(MarchingCubesTables, EveryRowUsesExactlyItsCutEdgesInAtMostFiveTriangles) {
    int triangles = 0;
    for (int i = 0; i < 256; ++i) {
        const int n = rowLength(i);
        EXPECT_TRUE(n % 3 == 0 && n <= 15) << "case " << i;
        int used = 0;
        for (int k = 0; k < 16; ++k) {
            ASSERT_TRUE(k < n ? triTab[i][k] >= 0 && triTab[i][k] < 12 : triTab[i][k] == -1)
                << "case " << i;
            if (k < n) used |= 1 << triTab[i][k];
        }
        EXPECT_EQ(used, edgeTab[i]) << "case " << i;
        triangles += n / 3;
    }
    EXPECT_EQ(triangles, 820);
}

// Marches every cube of an 8³ lattice of random corners (the outer layer
// outside; every one of the 256 cases occurs) with vertices named by their
// grid edge, so that a crack between neighbouring cubes, or a case wound
// against its neighbours, shows as an edge not matched by a reversed one.
// (Which way the whole surface faces is checked on real surfaces, in
// CalcMeshTest.)
TEST(MarchingCubesTables, RandomFieldsGiveClosedConsistentlyWoundSurfaces) {
    const int n = 8, side = n + 1;
    std::mt19937 random(12345);
    for (const double share : {0.3, 0.5, 0.7}) {
        for (int trial = 0; trial < 4; ++trial) {
            std::bernoulli_distribution coin(share);
            std::vector<char> out(side * side * side);
            for (int p = 0; p < side * side * side; ++p) {
                const int x = p % side, y = p / side % side, z = p / (side * side);
                out[p] = x % n == 0 || y % n == 0 || z % n == 0 || coin(random);
            }
            std::vector<Point3D> triangles;
            for (int a = 0; a < n * n * n; ++a) { // anchors reach toward -z: z from 1
                const metaball::CubeCorners cube(a % n, a / n % n, 1 + a / (n * n), Point3D(1, 1, 1));
                int i = 0;
                for (int k = 0; k < 8; ++k) {
                    const Point3D& c = cube.corner[k];
                    i |= out[(c.z * side + c.y) * side + c.x] << k;
                }
                for (int t = 0; t < rowLength(i); ++t) {
                    const Point3D &e0 = cube.corner[cubeEdgeCorners[triTab[i][t]][0]],
                                  &e1 = cube.corner[cubeEdgeCorners[triTab[i][t]][1]];
                    triangles.push_back(
                        Point3D(e0.x + e1.x, e0.y + e1.y, e0.z + e1.z)); // twice the midpoint
                }
            }
            const auto report = surfacecheck::edges(triangles.data(), int(triangles.size()));
            EXPECT_GT(report.triangles, 0) << "share " << share << " trial " << trial;
            EXPECT_EQ(report.degenerate, 0);
            EXPECT_EQ(report.open, 0) << "share " << share << " trial " << trial;
        }
    }
}

} // namespace
