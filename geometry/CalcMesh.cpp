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
      stack(nullptr) {
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
    int index = 0;
    for (int k = 0; k < 8; ++k)
        if (surface->outside(corners[k])) index |= 1 << k;
    return index;
}

void CalcMesh::triangulate(const Point3D* corners, int i) {
    const int count = rowVertices(i);
    if (count > capacity - vertexCount) {
        dropped = true;
        return;
    }
    const Point3D o(0, 0, 0);
    Point3D edgePoint[12] = {o, o, o, o, o, o, o, o, o, o, o, o};
    for (int e = 0; e < 12; ++e)
        if (edgeTab[i] & (1 << e))
            edgePoint[e] = surface->getIntersection(corners[cubeEdgeCorners[e][0]], corners[cubeEdgeCorners[e][1]]);
    // Table order faces inward; reversing each triple faces it outward.
    for (int n = 0; n < count; n += 3) {
        vertices[vertexCount++] = edgePoint[triTab[i][n + 2]];
        vertices[vertexCount++] = edgePoint[triTab[i][n + 1]];
        vertices[vertexCount++] = edgePoint[triTab[i][n]];
    }
}

int CalcMesh::getCube(int x, int y, int z) {
    if (!metaball::insideBox(x, y, z, halfSize)) return x;
    int k = metaball::cellIndex(x, y, z, halfSize, cellSize, cells);
    int cx0 = x;
    for (;;) {
        if (cx0 < -halfSize.x) return cx0;
        if (visited[k]) return cx0;
        --k; // the next cell toward -x
        const metaball::CubeCorners cube(cx0, y, z, cellSize);
        if (getIndex(cube.corner) != 0) return cx0;
        cx0 -= cellSize.x;
    }
}

bool CalcMesh::visit(int x, int y, int z) {
    if (dropped || !metaball::insideBox(x, y, z, halfSize)) return false;
    unsigned char& flag = visited[metaball::cellIndex(x, y, z, halfSize, cellSize, cells)];
    if (flag) return false;
    flag = 1;
    const metaball::CubeCorners cube(x, y, z, cellSize);
    const int i = getIndex(cube.corner);
    if (edgeTab[i] == 0) return false;
    triangulate(cube.corner, i);
    return !dropped;
}

void CalcMesh::generate(int x, int y, int z) {
    if (!visit(x, y, z)) return;
    // Depth-first exactly as the recursive walk: a frame per cube on the
    // current path, each trying its six neighbours in order.
    int depth = 0;
    stack[depth++] = Frame{x, y, z, 0};
    while (depth > 0 && !dropped) {
        Frame& f = stack[depth - 1];
        if (f.next == 6) {
            --depth;
            continue;
        }
        const int n = f.next++;
        const int axis = n / 2;
        const int step = (n % 2 == 0) ? -1 : 1;
        const int nx = f.x + (axis == 0 ? step * cellSize.x : 0);
        const int ny = f.y + (axis == 1 ? step * cellSize.y : 0);
        const int nz = f.z + (axis == 2 ? step * cellSize.z : 0);
        if (visit(nx, ny, nz)) {
            assert(depth < cellCount); // each frame is a distinct marked cell
            stack[depth++] = Frame{nx, ny, nz, 0};
        }
    }
}
