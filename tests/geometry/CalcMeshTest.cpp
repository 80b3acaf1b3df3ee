// The surface-following polygoniser: seeds, marking, the walk's order, the
// output buffer's limit, closed outward-facing surfaces, and deep walks on
// a small thread stack.
#include <gtest/gtest.h>

#include <pthread.h>

#include <cmath>
#include <vector>

#include "geometry/CalcMesh.h"
#include "geometry/MarchingCubesTables.h"
#include "geometry/MetaballGrid.h"
#include "geometry/SphereSurface.h"
#include "tests/geometry/SurfaceChecks.h"

namespace {

const int nCells = 29;
const int blobRadius = 18;
const Point3D spaceSize(261, 261, 261);

// The globals as the show declares them, built during static
// initialisation: the classes must not need anything from other units.
std::vector<Point3D> globalBlobs(8, Point3D(0, 0, 0));
std::vector<Point3D> globalMesh(nCells* nCells* nCells * 8, Point3D(0, 0, 0));
SphereSurface globalSurf(8, blobRadius, nCells, spaceSize, globalBlobs.data());
CalcMesh globalSurfMesh(spaceSize, nCells, &globalSurf, globalMesh.data());

// A field of `count` blobs on Scene 9's grid with its own output buffer.
struct Field {
    std::vector<Point3D> blobs;
    std::vector<Point3D> out;
    SphereSurface surf;
    CalcMesh mesh;

    explicit Field(int count, int capacity = nCells * nCells * nCells * 8)
        : blobs(count, Point3D(0, 0, 0)),
          out(capacity + 16, Point3D(7777, 7777, 7777)), // the tail is a guard
          surf(count, blobRadius, nCells, spaceSize, blobs.data()),
          mesh(spaceSize, nCells, &surf, out.data(), capacity) {}

    // One frame as Scene 9 runs it: reset, clear the cache, seed each blob.
    void polygonise() {
        mesh.reset();
        surf.clearCache();
        for (const Point3D& b : blobs) mesh.generate(mesh.getCube(b.x + 17, b.y, b.z), b.y, b.z);
    }

    std::vector<Point3D> triangles() const {
        return std::vector<Point3D>(out.begin(), out.begin() + mesh.vertexCount);
    }

    int markedCells() const {
        int n = 0;
        for (int i = 0; i < mesh.cellCount; ++i) n += mesh.visited[i];
        return n;
    }
};

// Scene 9's blob motion at music time t (ms).
void scene9Blobs(std::vector<Point3D>& blobs, float t) {
    for (int i = 0; i < 8; ++i)
        blobs[i] = Point3D(static_cast<int>(60.0f * sinf(t / 800.0f + 1.5f * i)),
                           static_cast<int>(60.0f * sinf(t / 1200.0f + 1.2f * i)),
                           static_cast<int>(60.0f * sinf(t / 500.0f + static_cast<float>(i))));
}

bool equal(const std::vector<Point3D>& a, const std::vector<Point3D>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!surfacecheck::same(a[i], b[i])) return false;
    return true;
}

TEST(CalcMesh, GlobalInstancesAreReadyBeforeMain) {
    EXPECT_EQ(globalSurfMesh.cellCount, 24389);
    EXPECT_EQ(globalSurfMesh.capacity, 195112);
    EXPECT_EQ(globalSurfMesh.halfSize.x, 130);
    EXPECT_EQ(globalSurfMesh.cellSize.y, 9);
    EXPECT_EQ(globalSurfMesh.vertexCount, 0);
    scene9Blobs(globalBlobs, 130000.0f);
    globalSurfMesh.reset();
    globalSurf.clearCache();
    for (const Point3D& b : globalBlobs)
        globalSurfMesh.generate(globalSurfMesh.getCube(b.x + 17, b.y, b.z), b.y, b.z);
    EXPECT_GT(globalSurfMesh.vertexCount, 0);
}

TEST(CalcMesh, LoneBlobSurfaceIsClosedAndFacesOutward) {
    for (const Point3D centre :
         {Point3D(0, 0, 0), Point3D(5, -3, 7), Point3D(-60, 41, 59), Point3D(100, -100, 0)}) {
        Field f(1);
        f.blobs[0] = centre;
        f.polygonise();
        const auto report = surfacecheck::edges(f.out.data(), f.mesh.vertexCount);
        EXPECT_GT(report.triangles, 50);
        EXPECT_EQ(report.unbalanced, 0) << centre.x << "," << centre.y << "," << centre.z;
        EXPECT_EQ(report.notTwice, 0) << centre.x << "," << centre.y << "," << centre.z;
        EXPECT_EQ(surfacecheck::facingInward(f.out.data(), f.mesh.vertexCount, centre), 0);
    }
}

TEST(CalcMesh, GenerateTwiceWithTheSameAnchorAddsTrianglesOnce) {
    Field f(1);
    f.mesh.generate(17, 0, 0);
    const int once = f.mesh.vertexCount;
    EXPECT_GT(once, 0);
    EXPECT_EQ(once % 3, 0);
    f.mesh.generate(17, 0, 0);
    EXPECT_EQ(f.mesh.vertexCount, once);
}

TEST(CalcMesh, AllInsideCubeIsMarkedButDoesNotSpread) {
    Field f(1);
    f.mesh.generate(0, 0, 0); // corners within 9√3 of the centre: all inside
    EXPECT_EQ(f.mesh.vertexCount, 0);
    EXPECT_EQ(f.mesh.visited[metaball::cellIndex(0, 0, 0, f.mesh.halfSize, f.mesh.cellSize, nCells)], 1);
    EXPECT_EQ(f.markedCells(), 1);
}

TEST(CalcMesh, GenerateOutsideTheBoxDoesNothing) {
    Field f(1);
    f.mesh.generate(-131, 0, 0);
    f.mesh.generate(0, 130, 0);
    EXPECT_EQ(f.mesh.vertexCount, 0);
    EXPECT_EQ(f.markedCells(), 0);
}

TEST(CalcMesh, GetCubeWalksTowardMinusXToTheFirstCubeNotAllInside) {
    Field f(1);
    EXPECT_EQ(f.mesh.getCube(0, 0, 0), -18);
    EXPECT_EQ(f.mesh.getCube(17, 0, 0), 17); // already cut by the surface
    EXPECT_EQ(f.mesh.getCube(60, 0, 0), 60); // all outside also stops
    EXPECT_EQ(f.markedCells(), 0);           // the search marks nothing
}

TEST(CalcMesh, GetCubeFromAMarkedCellReturnsItsStart) {
    Field f(1);
    f.mesh.generate(0, 0, 0);
    EXPECT_EQ(f.mesh.getCube(0, 0, 0), 0);
    EXPECT_EQ(f.mesh.getCube(4, 2, -3), 4); // same cell, other lattice
}

TEST(CalcMesh, GetCubeStopsLeftOfTheBoxWhenEverythingIsInside) {
    Field f(1);
    f.surf.threshold = 1e-9f; // the whole box is inside
    const int x0 = f.mesh.getCube(0, 0, 0);
    EXPECT_EQ(x0, -135); // 0, -9, ... -126 all inside
    f.mesh.generate(x0, 0, 0);
    EXPECT_EQ(f.mesh.vertexCount, 0);
}

TEST(CalcMesh, GetCubeOutsideTheBoxReturnsItsStart) {
    Field f(1);
    EXPECT_EQ(f.mesh.getCube(0, 200, 0), 0);
    EXPECT_EQ(f.mesh.getCube(500, 0, 0), 500);
}

TEST(CalcMesh, GetCubeStaysInItsRowWhenTheBoxIsNotAWholeNumberOfCells) {
    // 100 units in 29 cells of 3: the last bucket holds 34 .. 49, so a walk
    // from x = 46 takes 33 steps across only 29 buckets of its row.
    Point3D centre(0, 0, 0);
    SphereSurface surf(1, 5, 29, Point3D(100, 100, 100), &centre);
    std::vector<Point3D> out(29 * 29 * 29 * 8, Point3D(0, 0, 0));
    CalcMesh mesh(Point3D(100, 100, 100), 29, &surf, out.data());
    surf.threshold = 1e-9f; // everything inside: the walk runs to the left edge
    EXPECT_EQ(mesh.getCube(46, -50, -47), 46 - 33 * 3);
}

TEST(CalcMesh, ResetAndRepeatGiveTheSameTriangles) {
    Field f(8);
    scene9Blobs(f.blobs, 127345.0f);
    f.polygonise();
    const auto first = f.triangles();
    ASSERT_GT(first.size(), 0u);
    f.mesh.reset();
    EXPECT_EQ(f.mesh.vertexCount, 0);
    EXPECT_EQ(f.markedCells(), 0);
    f.polygonise();
    EXPECT_TRUE(equal(f.triangles(), first));
}

TEST(CalcMesh, CasesZeroAndAllOutsideProduceNoTriangles) {
    Field f(1);
    const metaball::CubeCorners cube(0, 0, 0, f.mesh.cellSize);
    f.mesh.triangulate(cube.corner, 0);
    f.mesh.triangulate(cube.corner, 255);
    EXPECT_EQ(f.mesh.vertexCount, 0);
    EXPECT_EQ(f.mesh.getIndex(cube.corner), 0);
    const metaball::CubeCorners far(100, 100, 100, f.mesh.cellSize);
    EXPECT_EQ(f.mesh.getIndex(far.corner), 255);
}

TEST(CalcMesh, CaseOneEmitsEdgesThreeEightZeroInThatOrder) {
    Field f(1);
    // Find a cube of the lone blob whose corner 0 alone is outside.
    for (int x = -27; x <= 0; ++x)
        for (int y = 0; y <= 27; ++y)
            for (int z = 0; z <= 27; ++z) {
                f.surf.clearCache();
                const metaball::CubeCorners cube(x, y, z, f.mesh.cellSize);
                if (f.mesh.getIndex(cube.corner) != 1) continue;
                f.mesh.triangulate(cube.corner, 1);
                ASSERT_EQ(f.mesh.vertexCount, 3);
                const Point3D* c = cube.corner;
                EXPECT_TRUE(surfacecheck::same(f.out[0], f.surf.getIntersection(c[3], c[0])));
                EXPECT_TRUE(surfacecheck::same(f.out[1], f.surf.getIntersection(c[0], c[4])));
                EXPECT_TRUE(surfacecheck::same(f.out[2], f.surf.getIntersection(c[0], c[1])));
                return;
            }
    FAIL() << "no case-1 cube found";
}

// The walk as a plain recursion, each neighbour in order: the reference for
// the order of the explicit stack.
void recursiveGenerate(CalcMesh& m, int x, int y, int z) {
    if (!metaball::insideBox(x, y, z, m.halfSize)) return;
    unsigned char& flag = m.visited[metaball::cellIndex(x, y, z, m.halfSize, m.cellSize, m.cells)];
    if (flag) return;
    flag = 1;
    const metaball::CubeCorners cube(x, y, z, m.cellSize);
    const int i = m.getIndex(cube.corner);
    if (edgeTab[i] == 0) return;
    m.triangulate(cube.corner, i);
    const Point3D& s = m.cellSize;
    recursiveGenerate(m, x - s.x, y, z);
    recursiveGenerate(m, x + s.x, y, z);
    recursiveGenerate(m, x, y - s.y, z);
    recursiveGenerate(m, x, y + s.y, z);
    recursiveGenerate(m, x, y, z - s.z);
    recursiveGenerate(m, x, y, z + s.z);
}

TEST(CalcMesh, ExplicitStackEmitsInTheRecursiveDepthFirstOrder) {
    for (const float t : {123000.0f, 129876.0f, 141234.0f}) {
        Field f(8);
        scene9Blobs(f.blobs, t);
        f.polygonise();
        const auto iterative = f.triangles();
        f.mesh.reset();
        f.surf.clearCache();
        for (const Point3D& b : f.blobs)
            recursiveGenerate(f.mesh, f.mesh.getCube(b.x + 17, b.y, b.z), b.y, b.z);
        EXPECT_TRUE(equal(f.triangles(), iterative)) << "t = " << t;
    }
}

TEST(CalcMesh, FullBufferDropsWholeCubesAndTheRestOfTheWalk) {
    Field whole(1);
    whole.polygonise();
    ASSERT_GT(whole.mesh.vertexCount, 100);
    EXPECT_FALSE(whole.mesh.dropped);

    Field small(1, 100);
    small.polygonise();
    EXPECT_TRUE(small.mesh.dropped);
    EXPECT_LE(small.mesh.vertexCount, 100);
    EXPECT_GT(small.mesh.vertexCount, 100 - 15);
    EXPECT_EQ(small.mesh.vertexCount % 3, 0);
    for (int i = 0; i < small.mesh.vertexCount; ++i)
        EXPECT_TRUE(surfacecheck::same(small.out[i], whole.out[i]));
    for (size_t i = 100; i < small.out.size(); ++i)
        EXPECT_TRUE(surfacecheck::same(small.out[i], Point3D(7777, 7777, 7777)));

    const int kept = small.mesh.vertexCount;
    small.mesh.generate(-17, 0, 0); // the far side: nothing more this frame
    EXPECT_EQ(small.mesh.vertexCount, kept);
    small.mesh.reset();
    EXPECT_FALSE(small.mesh.dropped);
}

TEST(CalcMesh, Scene9SpanFitsTheBufferEveryFrame) {
    Field f(8);
    int most = 0;
    for (float t = 123000.0f; t <= 147000.0f; t += 250.0f) {
        scene9Blobs(f.blobs, t);
        f.polygonise();
        EXPECT_FALSE(f.mesh.dropped) << "t = " << t;
        EXPECT_GT(f.mesh.vertexCount, 0) << "t = " << t;
        most = std::max(most, f.mesh.vertexCount);
    }
    EXPECT_LT(most, f.mesh.capacity / 10);
}

// A sphere of radius 50 cells on a 120³ grid: 94,000 triangles, and a
// recursive walk would go 11,305 levels deep (megabytes of stack). Walked
// here on a 256 KiB thread stack.
struct DeepWalk {
    Point3D centre{0, 0, 0};
    std::vector<Point3D> out{std::vector<Point3D>(2000000, Point3D(0, 0, 0))};
    SphereSurface surf{1, 450, 120, Point3D(1080, 1080, 1080), &centre};
    CalcMesh mesh{Point3D(1080, 1080, 1080), 120, &surf, out.data(), static_cast<int>(out.size())};
};

void* walkDeep(void* arg) {
    auto* w = static_cast<DeepWalk*>(arg);
    w->mesh.generate(w->mesh.getCube(449, 0, 0), 0, 0);
    return nullptr;
}

TEST(CalcMesh, HugeSurfaceWalksOnASmallThreadStack) {
    DeepWalk w;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, walkDeep, &w), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_FALSE(w.mesh.dropped);
    EXPECT_GT(w.mesh.vertexCount, 100000);
    const auto report = surfacecheck::edges(w.out.data(), w.mesh.vertexCount);
    EXPECT_EQ(report.unbalanced, 0);
}

} // namespace
