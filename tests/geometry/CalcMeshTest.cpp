// The surface-following polygoniser on Scene 9's grid (29 cells of 9 units,
// blob radius 18): closed outward surfaces, the seed search, marking and
// reset, the walk's order, the output buffer's limit, and deep walks on a
// small thread stack.
#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "geometry/CalcMesh.h"
#include "geometry/MarchingCubesTables.h"
#include "geometry/MetaballGrid.h"
#include "geometry/SphereSurface.h"
#include "tests/geometry/SurfaceChecks.h"

namespace {

using surfacecheck::Key;
using surfacecheck::key;

const Point3D box(261, 261, 261);

// Blobs of radius `radius` in a box of `cells` cells (Scene 9's grid by
// default) with their own output buffer, whose tail past `capacity` is a
// guard of 7777s.
struct Field {
    std::vector<Point3D> blobs;
    std::vector<Point3D> out;
    SphereSurface surf;
    CalcMesh mesh;

    explicit Field(std::vector<Point3D> centres, int capacity = 29 * 29 * 29 * 8, Point3D size = box,
                   int cells = 29, int radius = 18)
        : blobs(std::move(centres)),
          out(capacity + 16, Point3D(7777, 7777, 7777)),
          surf(int(blobs.size()), radius, cells, size, blobs.data()),
          mesh(size, cells, &surf, out.data(), capacity) {}

    // One frame as Scene 9 makes it: reset, clear the cache, then follow
    // each blob's surface from a seed 17 units to its +x side.
    void polygonise() {
        mesh.reset();
        surf.clearCache();
        for (const Point3D& b : blobs) mesh.generate(mesh.getCube(b.x + 17, b.y, b.z), b.y, b.z);
    }
    // The first n output vertices (all of this frame's by default).
    std::vector<Key> keys(int n = -1) const {
        std::vector<Key> k;
        for (int i = 0; i < (n < 0 ? mesh.vertexCount : n); ++i) k.push_back(key(out[i]));
        return k;
    }
    int marked() const { return int(std::count(mesh.visited, mesh.visited + mesh.cellCount, 1)); }
};

// Eight overlapping blobs spread over Scene 9's range, -60 .. 60 per axis.
std::vector<Point3D> swarm(int seed) {
    std::vector<Point3D> blobs;
    for (int i = 0; i < 8; ++i)
        blobs.push_back(Point3D((37 * i + 17 * seed) % 121 - 60, (53 * i + 29 * seed) % 121 - 60,
                                (71 * i + 41 * seed) % 121 - 60));
    return blobs;
}

TEST(CalcMesh, BlobSurfacesAreClosedAndALoneBlobsFacesOutward) {
    for (const Point3D centre :
         {Point3D(0, 0, 0), Point3D(5, -3, 7), Point3D(-60, 41, 59), Point3D(100, -100, 0)}) {
        Field f({centre});
        f.polygonise();
        const auto report = surfacecheck::edges(f.out.data(), f.mesh.vertexCount);
        EXPECT_GT(report.triangles, 50);
        EXPECT_EQ(report.open, 0) << centre.x << "," << centre.y << "," << centre.z;
        EXPECT_EQ(surfacecheck::facingInward(f.out.data(), f.mesh.vertexCount, centre), 0);
    }
    for (int seed : {1, 2}) {
        Field f(swarm(seed));
        f.polygonise();
        const auto report = surfacecheck::edges(f.out.data(), f.mesh.vertexCount);
        EXPECT_GT(report.triangles, 50) << "swarm " << seed;
        EXPECT_EQ(report.open, 0) << "swarm " << seed;
    }
}

// From (x, 0, 0) toward -x, cell by cell: the first cube not all inside, a
// marked cell, or the left of the box; an anchor outside the box is kept.
TEST(CalcMesh, SeedSearchWalksTowardMinusXToTheFirstCubeNotAllInside) {
    Field f({Point3D(0, 0, 0)});
    for (const auto& [x, y, found] :
         {std::tuple{0, 0, -18}, std::tuple{17, 0, 17}, std::tuple{60, 0, 60}, std::tuple{500, 0, 500},
          std::tuple{0, 200, 0}})
        EXPECT_EQ(f.mesh.getCube(x, y, 0), found) << x << ", " << y;
    EXPECT_EQ(f.marked(), 0); // the search marks nothing
    f.mesh.generate(0, 0, 0);
    EXPECT_EQ(f.mesh.getCube(4, 2, -3), 4); // a marked cell stops it at once
    f.surf.threshold = 1e-9f;               // the whole box inside
    EXPECT_EQ(f.mesh.getCube(-10, 0, 0), -136);
    // 100 units in 29 cells of 3: the last cell holds 34 .. 49, so the walk
    // from 46 takes 33 steps across the 29 cells of its row.
    Field odd({Point3D(0, 0, 0)}, 0, Point3D(100, 100, 100), 29, 5);
    odd.surf.threshold = 1e-9f;
    EXPECT_EQ(odd.mesh.getCube(46, -50, -47), 46 - 33 * 3);
}

TEST(CalcMesh, EachCellIsWalkedOnceUntilResetAndOnlySurfaceCellsSpread) {
    Field f({Point3D(0, 0, 0)});
    f.mesh.generate(0, 0, 0); // corners within 9√3 of the centre: all inside
    EXPECT_EQ(f.mesh.vertexCount, 0);
    EXPECT_EQ(f.marked(), 1);
    f.mesh.generate(-131, 0, 0); // outside the box
    f.mesh.generate(0, 130, 0);
    EXPECT_EQ(f.marked(), 1);
    f.mesh.generate(17, 0, 0);
    const int once = f.mesh.vertexCount;
    EXPECT_GT(once, 0);
    f.mesh.generate(17, 0, 0);
    f.mesh.generate(-18, 0, 0); // the far side of the same surface
    EXPECT_EQ(f.mesh.vertexCount, once);
    f.mesh.reset();
    EXPECT_EQ(f.mesh.vertexCount + f.marked(), 0);
    f.mesh.generate(17, 0, 0);
    EXPECT_EQ(f.mesh.vertexCount, once);
}

// The walk as a plain recursion, neighbours in the order -x +x -y +y -z +z:
// the order the explicit stack must reproduce.
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
    for (const Point3D& d : {Point3D(-s.x, 0, 0), Point3D(s.x, 0, 0), Point3D(0, -s.y, 0),
                             Point3D(0, s.y, 0), Point3D(0, 0, -s.z), Point3D(0, 0, s.z)})
        recursiveGenerate(m, x + d.x, y + d.y, z + d.z);
}

TEST(CalcMesh, TheWalkEmitsInTheRecursiveDepthFirstOrder) {
    for (int seed : {1, 2}) {
        Field f(swarm(seed));
        f.polygonise();
        const std::vector<Key> walked = f.keys();
        ASSERT_FALSE(walked.empty()) << "swarm " << seed;
        f.mesh.reset();
        f.surf.clearCache();
        for (const Point3D& b : f.blobs)
            recursiveGenerate(f.mesh, f.mesh.getCube(b.x + 17, b.y, b.z), b.y, b.z);
        EXPECT_EQ(f.keys(), walked);
    }
}

// The buffer takes whole cubes and never more than its capacity; after a
// dropped cube the rest of the walk is dropped too, until reset.
TEST(CalcMesh, AFullBufferDropsWholeCubesAndTheRestOfTheWalkUntilReset) {
    Field whole(swarm(1)), small(swarm(1), 70); // 70: room for 10 of a 12-vertex cube
    whole.polygonise();
    small.polygonise();
    EXPECT_FALSE(whole.mesh.dropped);
    EXPECT_TRUE(small.mesh.dropped);
    EXPECT_GT(small.mesh.vertexCount, 70 - 15); // a cube gives at most 15
    EXPECT_EQ(small.keys(), whole.keys(small.mesh.vertexCount));
    EXPECT_EQ(small.keys(70 + 16).back(), Key(7777, 7777, 7777));
    const int kept = small.mesh.vertexCount;
    small.mesh.generate(-17, 0, 0);
    EXPECT_EQ(small.mesh.vertexCount, kept);
    small.mesh.reset();
    EXPECT_FALSE(small.mesh.dropped);
    for (int capacity : {14, 15}) { // case 61 has five triangles
        Field f({Point3D(0, 0, 0)}, capacity);
        f.mesh.triangulate(metaball::CubeCorners(0, 0, 0, f.mesh.cellSize).corner, 61);
        EXPECT_EQ(f.mesh.vertexCount, capacity == 15 ? 15 : 0);
        EXPECT_EQ(f.keys(capacity + 16)[capacity], Key(7777, 7777, 7777));
    }
}

// A sphere of radius 50 cells on a 120³ grid: a recursive walk would go
// 11,305 levels deep (megabytes of stack). Walked on a 256 KiB stack.
TEST(CalcMesh, AHugeSurfaceIsWalkedOnASmallThreadStack) {
    Field f({Point3D(0, 0, 0)}, 2000000, Point3D(1080, 1080, 1080), 120, 450);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    const auto walk = [](void* field) -> void* {
        CalcMesh& mesh = static_cast<Field*>(field)->mesh;
        mesh.generate(mesh.getCube(449, 0, 0), 0, 0);
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, walk, &f), 0);
    pthread_join(thread, nullptr);
    EXPECT_FALSE(f.mesh.dropped);
    EXPECT_GT(f.mesh.vertexCount, 100000);
    EXPECT_EQ(surfacecheck::edges(f.out.data(), f.mesh.vertexCount).open, 0);
}

} // namespace
