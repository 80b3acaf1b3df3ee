// The surface-following marching-cubes polygoniser.
// Limits: one lattice of anchors per seed (whole cells from the seed); visited
// flags are shared per bucket, so walks from different seeds stop at each
// other's cells. Neighbouring cubes recompute shared crossings.
#include "geometry/CalcMesh.h"

#include <cassert>
#include <cstring>

#include "geometry/MarchingCubesTables.h"
#include "geometry/MetaballGrid.h"
#include "geometry/SphereSurface.h"

namespace {

// Number of vertices row i of triTab emits: 0, 3, ... 15.
int rowVertices(int i) {
    int n = 0;
    while (n < 16 && triTab[i][n] != -1) n += 3;
    return n;
}

} // namespace

CalcMesh::CalcMesh(Point3D boxSize, int cells, SphereSurface* surface, Point3D* vertices, int capacity)
    : halfSize(metaball::halfSizeOf(boxSize)),
      cellSize(metaball::cellSizeOf(boxSize, cells)),
      surface(surface),
      cells(cells),
      cellCount(cells * cells * cells),
      visited(nullptr),
      vertices(vertices),
      vertexCount(0),
      capacity(capacity),
      dropped(false),
      stack(nullptr),
      cellOf(halfSize, cellSize, cells),
      neighbourStep{Point3D(-cellSize.x, 0, 0), Point3D(cellSize.x, 0, 0),  Point3D(0, -cellSize.y, 0),
                    Point3D(0, cellSize.y, 0),  Point3D(0, 0, -cellSize.z), Point3D(0, 0, cellSize.z)},
      sharedGrid(false),
      uniform(metaball::uniformGrid(halfSize, cellSize, cells)),
      neighbourIndexStep{-1, 1, -cells, cells, -cells * cells, cells * cells} {
    assert(cells > 0 && cells <= 1290); // cells³ must fit an int
    if (this->capacity < 0) this->capacity = cellCount <= 0x7fffffff / 8 ? cellCount * 8 : 0x7fffffff;
    visited = new unsigned char[cellCount]();
    stack = new Frame[cellCount];
}

CalcMesh::~CalcMesh() {
    if (visited) delete[] visited;
    delete[] stack;
}

void CalcMesh::reset() {
    std::memset(visited, 0, static_cast<size_t>(cellCount));
    vertexCount = 0;
    dropped = false;
}

int CalcMesh::getIndex(const Point3D* corners) {
    float potential[8];
    for (int k = 0; k < 8; ++k) potential[k] = surface->getPotential(corners[k]);
    return caseOf(potential);
}

void CalcMesh::triangulate(const Point3D* corners, int i) {
    emit(corners, i, nullptr);
}

int CalcMesh::caseOf(const float* potential) const {
    const float t = surface->threshold;
    int index = 0;
    for (int k = 0; k < 8; ++k)
        index |= static_cast<int>(potential[k] < t) << k; // bit k: corner k outside
    return index;
}

// Reading the corners' potentials again through getIntersection gives the
// same values (all eight are cached or outside the box by then) at twice
// the lookups; the walk passes them in instead.
void CalcMesh::emit(const Point3D* corners, int i, const float* potential) {
    const int room = capacity - vertexCount;
    const int count = room >= 15 ? 15 : rowVertices(i); // 15 fit whatever the case
    if (count > room) {
        dropped = true;
        return;
    }
    const Point3D o(0, 0, 0);
    Point3D edgePoint[12] = {o, o, o, o, o, o, o, o, o, o, o, o};
    for (unsigned cut = static_cast<unsigned>(edgeTab[i]); cut != 0; cut &= cut - 1) {
        const int e = __builtin_ctz(cut); // the cut edges in increasing order
        const int a = cubeEdgeCorners[e][0], b = cubeEdgeCorners[e][1];
        edgePoint[e] = potential
                           ? metaball::axisCrossing(corners[a], corners[b], potential[a], potential[b],
                                                    surface->threshold, cubeEdgeAxis[e])
                           : surface->getIntersection(corners[a], corners[b]);
    }
    // Table order faces inward; reversing each triple faces it outward.
    for (int n = 0; n < 15 && triTab[i][n] != -1; n += 3) {
        vertices[vertexCount++] = edgePoint[triTab[i][n + 2]];
        vertices[vertexCount++] = edgePoint[triTab[i][n + 1]];
        vertices[vertexCount++] = edgePoint[triTab[i][n]];
    }
}

int CalcMesh::getCube(int x, int y, int z) {
    if (!metaball::insideBox(x, y, z, halfSize)) return x;
    int cx0 = x;
    for (;;) {
        if (cx0 < -halfSize.x) return cx0;
        // The cell of cx0 itself, looked up rather than counted down: where
        // the box is not a whole number of cells the last bucket is wider,
        // and counting would walk off the row (and the array).
        if (visited[cellOf(cx0, y, z)]) return cx0;
        const metaball::CubeCorners cube(cx0, y, z, cellSize);
        if (getIndex(cube.corner) != 0) return cx0;
        cx0 -= cellSize.x;
    }
}

bool CalcMesh::visit(int x, int y, int z, int index) {
    unsigned char& flag = visited[index];
    if (flag) return false;
    flag = 1;
    const metaball::CubeCorners cube(x, y, z, cellSize);
    float potential[8];
    if (sharedGrid) {
        surface->cubePotentials(x, y, z, potential);
    } else {
        for (int k = 0; k < 8; ++k) potential[k] = surface->getPotential(cube.corner[k]);
    }
    const int i = caseOf(potential);
    if (edgeTab[i] == 0) return false;
    emit(cube.corner, i, potential);
    return !dropped;
}

void CalcMesh::generate(int x, int y, int z) {
    if (dropped || !metaball::insideBox(x, y, z, halfSize)) return;
    // Decided here, not in the constructor, so that the surface may be
    // built after this object (globals of different units).
    sharedGrid = surface->cells == cells && metaball::same(surface->cellSize, cellSize) &&
                 metaball::same(surface->halfSize, halfSize);
    const int start = cellOf(x, y, z);
    if (!visit(x, y, z, start)) return;
    // Depth-first exactly as the recursive walk: a frame per cube on the
    // current path, each trying its six neighbours in order.
    int depth = 0;
    stack[depth++] = Frame{x, y, z, start, 0};
    while (depth > 0 && !dropped) {
        Frame& f = stack[depth - 1];
        if (f.next == 6) {
            --depth;
            continue;
        }
        const int n = f.next++;
        const int nx = f.x + neighbourStep[n].x, ny = f.y + neighbourStep[n].y,
                  nz = f.z + neighbourStep[n].z;
        if (!metaball::insideBox(nx, ny, nz, halfSize)) continue;
        const int index = uniform ? f.index + neighbourIndexStep[n] : cellOf(nx, ny, nz);
        if (visited[index]) continue; // most probes: checked here, without a call
        if (visit(nx, ny, nz, index)) {
            assert(depth < cellCount); // each frame is a distinct marked cell
            stack[depth++] = Frame{nx, ny, nz, index, 0};
        }
    }
}
