// The metaball field: the sum over the blob centres of 1 / (d² + 1), d the
// integer distance, with the iso value 1 / (r² + 1) of a lone blob of radius
// r. Values are cached per grid cell (not per point) until the owner clears
// the cache; points outside the box have potential -1 and are outside.
// Constructible as a global: touches nothing but its arguments.
#pragma once

#include "geometry/MetaballGrid.h"
#include "geometry/Vector3D.h"

class SphereSurface {
public:
    int blobCount;         // number of blob centres
    int cells;             // cells per axis
    float threshold;       // iso value 1 / (r² + 1)
    Point3D* blobs;        // blobCount centres, not owned
    Point3D cellSize;      // box size / cells, world units per axis
    Point3D halfSize;      // box size / 2; inside is -halfSize .. halfSize - 1
    float* potentialCache; // cells³ values, 0 = not computed yet; owned

    SphereSurface(int blobCount, int radius, int cells, Point3D boxSize, Point3D* blobs);
    ~SphereSurface();
    SphereSurface(const SphereSurface&) = delete;
    SphereSurface& operator=(const SphereSurface&) = delete;

    // Forgets every cached potential; needed whenever the blobs move.
    void clearCache();

    // Potential at p: the cached value of p's cell if there is one, else the
    // blob sum, cached. -1 outside the box (not cached).
    // Inline: the walk reads some 15,000 potentials a frame, most cached.
    float getPotential(Point3D p) {
        if (!metaball::insideBox(p.x, p.y, p.z, halfSize)) return -1.0f;
        float& cached = potentialCache[cellOf(p.x, p.y, p.z)];
        if (cached == 0.0f) cached = blobSum(p);
        return cached;
    }

    // The potentials of the eight corners of the cube anchored at (x, y, z)
    // with this field's cell size, in corner order: the values getPotential
    // gives corner by corner, at a third of the lookups.
    void cubePotentials(int x, int y, int z, float* potential);

    // True when the potential is strictly below the threshold.
    bool outside(Point3D p);

    // Where the surface crosses a -> b (ends on different sides), each axis
    // interpolated once and truncated toward zero.
    Point3D getIntersection(Point3D a, Point3D b);

private:
    metaball::CellIndexer cellOf; // cache index of a point inside the box
    bool uniform;                 // corners at fixed index offsets (cornerStep)
    int cornerStep[8];            // cache index offset of each cube corner

    // The sum over the blobs of 1 / (d² + 1), in blob order.
    float blobSum(Point3D p) const;

    // blobSum of n points at once: sum[j] for points[which[j]]. The n sums
    // are independent chains, so they overlap instead of waiting on each
    // other's additions.
    void blobSums(const Point3D* points, const int* which, int n, float* sum) const;
};
