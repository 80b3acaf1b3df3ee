// The metaball field with its per-cell potential cache.
// Limits: distances are integers; the cache holds one value per cell, so two
// points of one cell share whichever value was computed first.
#include "geometry/SphereSurface.h"

#include <cassert>
#include <cstring>

#include "geometry/MetaballGrid.h"

SphereSurface::SphereSurface(int blobCount, int radius, int cells, Point3D boxSize, Point3D* blobs)
    : blobCount(blobCount),
      cells(cells),
      threshold(1.0f / static_cast<float>(radius * radius + 1)),
      blobs(blobs),
      cellSize(metaball::cellSizeOf(boxSize, cells)),
      halfSize(metaball::halfSizeOf(boxSize)),
      potentialCache(nullptr),
      cellOf(halfSize, cellSize, cells),
      uniform(metaball::uniformGrid(halfSize, cellSize, cells)) {
    assert(cells > 0 && cells <= 1290); // cells³ must fit an int
    for (int k = 0; k < 8; ++k) cornerStep[k] = metaball::cornerOffset(k, cells);
    potentialCache = new float[static_cast<size_t>(cells) * cells * cells]();
}

SphereSurface::~SphereSurface() {
    if (potentialCache) delete[] potentialCache;
}

void SphereSurface::clearCache() {
    std::memset(potentialCache, 0, sizeof(float) * static_cast<size_t>(cells) * cells * cells);
}

// 1 / (d² + 1) for one point and one centre. d² in double: exact up to
// 2^53 (the same value as 32-bit integer arithmetic wherever that does not
// overflow), and no centre however far can overflow it.
static inline float term(const Point3D& p, const Point3D& b) {
    const double dx = static_cast<double>(p.x) - b.x;
    const double dy = static_cast<double>(p.y) - b.y;
    const double dz = static_cast<double>(p.z) - b.z;
    return 1.0f / static_cast<float>(dx * dx + dy * dy + dz * dz + 1.0);
}

void SphereSurface::blobSums(const Point3D* points, const int* which, int n, float* sum) const {
    int j = 0;
    for (; j + 1 < n; j += 2) { // two points at a time: two independent chains of additions
        const Point3D p = points[which[j]], q = points[which[j + 1]];
        float sp = 0.0f, sq = 0.0f;
        for (int i = 0; i < blobCount; ++i) {
            sp += term(p, blobs[i]);
            sq += term(q, blobs[i]);
        }
        sum[j] = sp;
        sum[j + 1] = sq;
    }
    if (j < n) sum[j] = blobSum(points[which[j]]);
}

float SphereSurface::blobSum(Point3D p) const {
    float sum = 0.0f;
    for (int i = 0; i < blobCount; ++i) sum += term(p, blobs[i]);
    return sum;
}

void SphereSurface::cubePotentials(int x, int y, int z, float* potential) {
    const metaball::CubeCorners cube(x, y, z, cellSize);
    if (!uniform || !metaball::cubeInsideBox(x, y, z, halfSize, cellSize)) {
        for (int k = 0; k < 8; ++k) potential[k] = getPotential(cube.corner[k]);
        return;
    }
    float* anchor = potentialCache + cellOf(x, y, z);
    int missing[8];
    int n = 0;
    for (int k = 0; k < 8; ++k) { // branch-free: a fifth of the corners miss, unpredictably
        missing[n] = k;
        n += anchor[cornerStep[k]] == 0.0f;
    }
    float sum[8];
    blobSums(cube.corner, missing, n, sum);
    for (int j = 0; j < n; ++j) anchor[cornerStep[missing[j]]] = sum[j];
    for (int k = 0; k < 8; ++k) potential[k] = anchor[cornerStep[k]];
}

bool SphereSurface::outside(Point3D p) {
    return getPotential(p) < threshold;
}

Point3D SphereSurface::getIntersection(Point3D a, Point3D b) {
    const float pa = getPotential(a);
    const float pb = getPotential(b);
    return metaball::crossing(a, b, pa, pb, threshold);
}
