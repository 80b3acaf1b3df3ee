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

float SphereSurface::blobSum(Point3D p) const {
    const int first = 0;
    float sum;
    blobSums(&p, &first, 1, &sum);
    return sum;
}

void SphereSurface::blobSums(const Point3D* points, const int* which, int n, float* sum) const {
    for (int j = 0; j < n; ++j) sum[j] = 0.0f;
    for (int i = 0; i < blobCount; ++i) {
        const Point3D& b = blobs[i];
        for (int j = 0; j < n; ++j) {
            const Point3D& p = points[which[j]];
            const long long dx = static_cast<long long>(p.x) - b.x;
            const long long dy = static_cast<long long>(p.y) - b.y;
            const long long dz = static_cast<long long>(p.z) - b.z;
            sum[j] += 1.0f / static_cast<float>(dx * dx + dy * dy + dz * dz + 1);
        }
    }
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
    for (int k = 0; k < 8; ++k)
        if (anchor[cornerStep[k]] == 0.0f) missing[n++] = k;
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
