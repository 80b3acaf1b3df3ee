// The integer grid a metaball field lives on: the box test, the bucket index
// of a point, the eight corners of a cube and the crossing of an edge.
// The box is centred on the origin: a coordinate v is inside when
// -half <= v < half; buckets are (v + half) / cell per axis, 0 .. cells-1.
#pragma once

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

// The cube anchored at (x, y, z) reaches toward +x and +y but toward -z.
// Corners 0..3 are its upper face (y + cy), 4..7 its lower face, each face
// going (x, z), (x + cx, z), (x + cx, z - cz), (x, z - cz).
struct CubeCorners {
    Point3D corner[8];

    CubeCorners(int x, int y, int z, const Point3D& s)
        : corner{Point3D(x, y + s.y, z),       Point3D(x + s.x, y + s.y, z),
                 Point3D(x + s.x, y + s.y, z - s.z), Point3D(x, y + s.y, z - s.z),
                 Point3D(x, y, z),             Point3D(x + s.x, y, z),
                 Point3D(x + s.x, y, z - s.z), Point3D(x, y, z - s.z)} {}
};

// Where the iso value t crosses the segment a -> b with potentials pa, pb:
// one linear interpolation per axis, truncated toward zero. Ends on the same
// side of t (no crossing, or equal potentials) give a: the result always lies
// on the segment, never a division by zero or an out-of-range conversion.
inline Point3D crossing(const Point3D& a, const Point3D& b, float pa, float pb, float t) {
    if ((pa < t) == (pb < t)) return a;
    const float d = pb - pa;
    const float k = t - pa;
    return Point3D(static_cast<int>(static_cast<float>(a.x) + k * static_cast<float>(b.x - a.x) / d),
                   static_cast<int>(static_cast<float>(a.y) + k * static_cast<float>(b.y - a.y) / d),
                   static_cast<int>(static_cast<float>(a.z) + k * static_cast<float>(b.z - a.z) / d));
}

} // namespace metaball
