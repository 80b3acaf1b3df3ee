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
      potentialCache(nullptr) {
    assert(cells > 0 && cells <= 1290); // cells³ must fit an int
    potentialCache = new float[static_cast<size_t>(cells) * cells * cells]();
}

SphereSurface::~SphereSurface() {
    if (potentialCache) delete[] potentialCache;
}

void SphereSurface::clearCache() {
    std::memset(potentialCache, 0, sizeof(float) * static_cast<size_t>(cells) * cells * cells);
}

float SphereSurface::getPotential(Point3D p) {
    if (!metaball::insideBox(p.x, p.y, p.z, halfSize)) return -1.0f;
    float& cached = potentialCache[metaball::cellIndex(p.x, p.y, p.z, halfSize, cellSize, cells)];
    if (cached != 0.0f) return cached;
    float sum = 0.0f;
    for (int i = 0; i < blobCount; ++i) {
        // 64-bit so that a far-away centre cannot overflow; the same value
        // as 32-bit arithmetic wherever that does not overflow.
        const long long dx = static_cast<long long>(p.x) - blobs[i].x;
        const long long dy = static_cast<long long>(p.y) - blobs[i].y;
        const long long dz = static_cast<long long>(p.z) - blobs[i].z;
        sum += 1.0f / static_cast<float>(dx * dx + dy * dy + dz * dz + 1);
    }
    cached = sum;
    return sum;
}

bool SphereSurface::outside(Point3D p) {
    return getPotential(p) < threshold;
}

Point3D SphereSurface::getIntersection(Point3D a, Point3D b) {
    const float pa = getPotential(a);
    const float pb = getPotential(b);
    return metaball::crossing(a, b, pa, pb, threshold);
}
