// The case tables against the cube's corner and edge numbering: edges cut,
// triangles per case, winding, and crack-free surfaces over random fields.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "geometry/MarchingCubesTables.h"
#include "geometry/MetaballGrid.h"
#include "tests/geometry/SurfaceChecks.h"

namespace {

const Point3D unit(1, 1, 1);

// Corners of the unit cube anchored at the origin, doubled on use so that
// edge midpoints stay integers.
Point3D corner(int k) {
    return metaball::CubeCorners(0, 0, 0, unit).corner[k];
}

bool isOutside(int caseIndex, int k) {
    return (caseIndex >> k) & 1;
}

int rowLength(int i) {
    int n = 0;
    while (n < 16 && triTab[i][n] != -1) ++n;
    return n;
}

TEST(MarchingCubesTables, EdgeTabMarksExactlyTheEdgesWhoseCornersDiffer) {
    for (int i = 0; i < 256; ++i) {
        int expected = 0;
        for (int e = 0; e < 12; ++e)
            if (isOutside(i, cubeEdgeCorners[e][0]) != isOutside(i, cubeEdgeCorners[e][1]))
                expected |= 1 << e;
        EXPECT_EQ(edgeTab[i], expected) << "case " << i;
    }
    EXPECT_EQ(edgeTab[1], 0x109);
    EXPECT_EQ(edgeTab[9], 0x905);
}

TEST(MarchingCubesTables, EdgeAxisIsTheOneAxisAlongWhichTheCornersDiffer) {
    for (int e = 0; e < 12; ++e) {
        const Point3D a = corner(cubeEdgeCorners[e][0]), b = corner(cubeEdgeCorners[e][1]);
        const int differ[3] = {a.x != b.x, a.y != b.y, a.z != b.z};
        EXPECT_EQ(differ[0] + differ[1] + differ[2], 1) << "edge " << e;
        EXPECT_TRUE(differ[cubeEdgeAxis[e]]) << "edge " << e;
    }
}

TEST(MarchingCubesTables, EveryRowUsesExactlyTheMarkedEdgesInAtMostFiveTriangles) {
    int triangles = 0;
    for (int i = 0; i < 256; ++i) {
        const int n = rowLength(i);
        EXPECT_EQ(n % 3, 0) << "case " << i;
        EXPECT_LE(n, 15) << "case " << i;
        for (int k = n; k < 16; ++k) EXPECT_EQ(triTab[i][k], -1) << "case " << i;
        int used = 0;
        for (int k = 0; k < n; ++k) {
            ASSERT_GE(triTab[i][k], 0);
            ASSERT_LT(triTab[i][k], 12);
            used |= 1 << triTab[i][k];
        }
        EXPECT_EQ(used, edgeTab[i]) << "case " << i;
        triangles += n / 3;
    }
    EXPECT_EQ(triangles, 820);
}

TEST(MarchingCubesTables, TellingRowsMatchTheStandardTable) {
    const std::vector<std::pair<int, std::vector<int>>> rows = {
        {0, {}},
        {1, {0, 8, 3}},
        {3, {1, 8, 3, 9, 8, 1}},
        {7, {2, 8, 3, 2, 10, 8, 10, 9, 8}},
        {23, {2, 10, 9, 2, 9, 7, 2, 7, 3, 7, 9, 4}},
        {254, {0, 3, 8}},
        {255, {}},
    };
    for (const auto& [i, row] : rows) {
        ASSERT_EQ(rowLength(i), static_cast<int>(row.size())) << "case " << i;
        for (size_t k = 0; k < row.size(); ++k) EXPECT_EQ(triTab[i][k], row[k]) << "case " << i;
    }
}

// Doubled midpoint of edge e of the unit cube.
Point3D midpoint(int e) {
    const Point3D a = corner(cubeEdgeCorners[e][0]), b = corner(cubeEdgeCorners[e][1]);
    return Point3D(a.x + b.x, a.y + b.y, a.z + b.z);
}

TEST(MarchingCubesTables, TableOrderNormalsPointFromOutsideToInside) {
    for (int i = 0; i < 256; ++i) {
        for (int t = 0; t < rowLength(i); t += 3) {
            const Point3D p0 = midpoint(triTab[i][t]), p1 = midpoint(triTab[i][t + 1]),
                          p2 = midpoint(triTab[i][t + 2]);
            const Vector3D a(p1.x - p0.x, p1.y - p0.y, p1.z - p0.z),
                b(p2.x - p0.x, p2.y - p0.y, p2.z - p0.z);
            const Vector3D n = a.crossProduct(b);
            float towardInside = 0.0f;
            for (int k = 0; k < 3; ++k) {
                const int e = triTab[i][t + k];
                int in = cubeEdgeCorners[e][0], out = cubeEdgeCorners[e][1];
                if (isOutside(i, in)) std::swap(in, out);
                const Point3D ci = corner(in), co = corner(out);
                towardInside += n.dotProduct(Vector3D(ci.x - co.x, ci.y - co.y, ci.z - co.z));
            }
            EXPECT_GT(towardInside, 0.0f) << "case " << i << " triangle " << t / 3;
        }
    }
}

// Marches every cube of an n³ lattice of random corners (the outer layer
// forced outside) and names each vertex by its grid edge, so that a crack
// between neighbouring cubes shows as an edge used once.
TEST(MarchingCubesTables, RandomFieldsGiveClosedConsistentlyWoundSurfaces) {
    const int n = 8;
    std::mt19937 random(12345);
    for (const double share : {0.3, 0.5, 0.7}) {
        for (int trial = 0; trial < 20; ++trial) {
            std::vector<char> out((n + 1) * (n + 1) * (n + 1));
            std::bernoulli_distribution coin(share);
            for (int z = 0; z <= n; ++z)
                for (int y = 0; y <= n; ++y)
                    for (int x = 0; x <= n; ++x) {
                        const bool border = x == 0 || y == 0 || z == 0 || x == n || y == n || z == n;
                        out[(z * (n + 1) + y) * (n + 1) + x] = border || coin(random);
                    }
            std::vector<Point3D> triangles;
            for (int z = 1; z <= n; ++z)
                for (int y = 0; y < n; ++y)
                    for (int x = 0; x < n; ++x) {
                        const metaball::CubeCorners cube(x, y, z, unit);
                        int i = 0;
                        for (int k = 0; k < 8; ++k) {
                            const Point3D& c = cube.corner[k];
                            if (out[(c.z * (n + 1) + c.y) * (n + 1) + c.x]) i |= 1 << k;
                        }
                        for (int t = 0; t < rowLength(i); ++t) {
                            const int e = triTab[i][t];
                            const Point3D& a = cube.corner[cubeEdgeCorners[e][0]];
                            const Point3D& b = cube.corner[cubeEdgeCorners[e][1]];
                            triangles.push_back(Point3D(a.x + b.x, a.y + b.y, a.z + b.z));
                        }
                    }
            const auto report =
                surfacecheck::edges(triangles.data(), static_cast<int>(triangles.size()));
            EXPECT_EQ(report.degenerate, 0);
            EXPECT_EQ(report.unbalanced, 0) << "share " << share << " trial " << trial;
            EXPECT_EQ(report.notTwice, 0) << "share " << share << " trial " << trial;
        }
    }
}

} // namespace
