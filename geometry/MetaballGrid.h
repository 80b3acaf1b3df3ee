// The integer grid a metaball field lives on: the box test, the bucket index
// of a point, the eight corners of a cube and the crossing of an edge.
// The box is centred on the origin: a coordinate v is inside when
// -half <= v < half; buckets are (v + half) / cell per axis, 0 .. cells-1.
#pragma once

#include <vector>

#include "geometry/Vector3D.h"

namespace metaball {

// Box size / 2 per axis (integer division).
inline Point3D halfSizeOf(const Point3D& box) {
    return Point3D(box.x / 2, box.y / 2, box.z / 2);
}

// Box size / cells per axis, at least 1 so that a box smaller than its cell
// count cannot make bucket lookups divide by zero.
inline Point3D cellSizeOf(const Point3D& box, int cells) {
    const auto axis = [cells](int size) { return size / cells > 0 ? size / cells : 1; };
    return Point3D(axis(box.x), axis(box.y), axis(box.z));
}

inline bool same(const Point3D& a, const Point3D& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

inline bool insideBox(int x, int y, int z, const Point3D& half) {
    return x >= -half.x && x < half.x && y >= -half.y && y < half.y && z >= -half.z && z < half.z;
}

// Bucket along one axis of a coordinate inside the box. Clamped to the last
// bucket, so a box that is not a whole number of cells cannot index past it.
inline int bucket(int v, int half, int cell, int cells) {
    const int b = (v + half) / cell;
    return b < cells ? b : cells - 1;
}

// Cell index of a point inside the box: (bz * cells + by) * cells + bx.
inline int cellIndex(int x, int y, int z, const Point3D& half, const Point3D& cell, int cells) {
    return (bucket(z, half.z, cell.z, cells) * cells + bucket(y, half.y, cell.y, cells)) * cells +
           bucket(x, half.x, cell.x, cells);
}

// cellIndex by table lookup instead of three integer divisions: the field
// looks up tens of thousands of points a frame, and three divisions per point
// would take half of the polygoniser's time. Valid for points inside the box only.
class CellIndexer {
public:
    CellIndexer(const Point3D& half, const Point3D& cell, int cells)
        : table(2 * (half.x + half.y + half.z)),
          tx(table.data() + half.x),
          ty(tx + half.x + half.y),
          tz(ty + half.y + half.z) {
        for (int v = -half.x; v < half.x; ++v) tx[v] = bucket(v, half.x, cell.x, cells);
        for (int v = -half.y; v < half.y; ++v) ty[v] = bucket(v, half.y, cell.y, cells) * cells;
        for (int v = -half.z; v < half.z; ++v) tz[v] = bucket(v, half.z, cell.z, cells) * cells * cells;
    }
    CellIndexer(const CellIndexer&) = delete;
    CellIndexer& operator=(const CellIndexer&) = delete;

    int operator()(int x, int y, int z) const { return tz[z] + ty[y] + tx[x]; }

private:
    std::vector<int> table; // the three axes' bucket offsets, back to back
    int* tx;                // tx[v] for v in -half.x .. half.x - 1
    int* ty;
    int* tz;
};

// The cube anchored at (x, y, z) reaches toward +x and +y but toward -z.
// Corners 0..3 are its upper face (y + cy), 4..7 its lower face, each face
// going (x, z), (x + cx, z), (x + cx, z - cz), (x, z - cz).
struct CubeCorners {
    Point3D corner[8];

    CubeCorners(int x, int y, int z, const Point3D& s)
        : corner{Point3D(x, y + s.y, z),
                 Point3D(x + s.x, y + s.y, z),
                 Point3D(x + s.x, y + s.y, z - s.z),
                 Point3D(x, y + s.y, z - s.z),
                 Point3D(x, y, z),
                 Point3D(x + s.x, y, z),
                 Point3D(x + s.x, y, z - s.z),
                 Point3D(x, y, z - s.z)} {}
};

// One axis of a crossing: a + (t - pa) × (b - a) / (pb - pa), truncated
// toward zero.
inline int crossAxis(int a, int b, float k, float d) {
    return static_cast<int>(static_cast<float>(a) + k * static_cast<float>(b - a) / d);
}

// True when all eight corners of the cube anchored at (x, y, z) lie inside.
inline bool cubeInsideBox(int x, int y, int z, const Point3D& half, const Point3D& cell) {
    return insideBox(x, y, z - cell.z, half) && insideBox(x + cell.x, y + cell.y, z, half);
}

// True when one cell's step inside the box always lands in the next bucket
// (no bucket clamped): then a cube's corners are at fixed index offsets.
inline bool uniformGrid(const Point3D& half, const Point3D& cell, int cells) {
    return 2 * half.x <= cells * cell.x && 2 * half.y <= cells * cell.y && 2 * half.z <= cells * cell.z;
}

// Cell index offset of corner k from its cube's anchor, in a uniform grid.
inline int cornerOffset(int k, int cells) {
    const Point3D c = CubeCorners(0, 0, 0, Point3D(1, 1, 1)).corner[k];
    return (c.z * cells + c.y) * cells + c.x;
}

// Where the iso value t crosses the segment a -> b with potentials pa, pb:
// one linear interpolation per axis, truncated toward zero. Ends on the same
// side of t (no crossing, or equal potentials) give a: the result always lies
// on the segment, never a division by zero or an out-of-range conversion.
inline Point3D crossing(const Point3D& a, const Point3D& b, float pa, float pb, float t) {
    if ((pa < t) == (pb < t)) return a;
    const float d = pb - pa;
    const float k = t - pa;
    return Point3D(crossAxis(a.x, b.x, k, d), crossAxis(a.y, b.y, k, d), crossAxis(a.z, b.z, k, d));
}

// crossing() of a segment along one axis (0 x, 1 y, 2 z), as every cube
// edge is: the other two coordinates come out as a's exactly (the formula
// adds ±0 to them), so one division does instead of three.
inline Point3D axisCrossing(const Point3D& a, const Point3D& b, float pa, float pb, float t, int axis) {
    if ((pa < t) == (pb < t)) return a;
    const int from = axis == 0 ? a.x : (axis == 1 ? a.y : a.z);
    const int to = axis == 0 ? b.x : (axis == 1 ? b.y : b.z);
    const int v = crossAxis(from, to, t - pa, pb - pa);
    return Point3D(axis == 0 ? v : a.x, axis == 1 ? v : a.y, axis == 2 ? v : a.z);
}

} // namespace metaball
