// Test helpers for triangle soups: whether a surface is closed and
// consistently wound (every edge used once in each direction), and whether
// its triangles face away from a centre. Triangles are three Point3D each.
#pragma once

#include <map>
#include <tuple>
#include <utility>

#include "geometry/Vector3D.h"

namespace surfacecheck {

using Key = std::tuple<long long, long long, long long>;

inline Key key(const Point3D& p) {
    return Key(p.x, p.y, p.z);
}

inline bool same(const Point3D& a, const Point3D& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

struct EdgeReport {
    int triangles = 0;  // non-degenerate triangles looked at
    int degenerate = 0; // triangles with two equal corners, skipped
    int edges = 0;      // distinct undirected edges
    int unbalanced = 0; // edges not used equally often in both directions
    int notTwice = 0;   // edges not used by exactly two triangles
};

// Degenerate triangles (two equal corners) are skipped: collapsing a corner
// keeps a closed surface closed, but a collapsed triangle has no edges.
inline EdgeReport edges(const Point3D* v, int vertexCount) {
    EdgeReport r;
    std::map<std::pair<Key, Key>, int> directed;
    for (int t = 0; t + 2 < vertexCount; t += 3) {
        const Point3D* c = v + t;
        if (same(c[0], c[1]) || same(c[1], c[2]) || same(c[2], c[0])) {
            ++r.degenerate;
            continue;
        }
        ++r.triangles;
        for (int k = 0; k < 3; ++k) ++directed[{key(c[k]), key(c[(k + 1) % 3])}];
    }
    for (const auto& [e, forward] : directed) {
        const auto back = directed.find({e.second, e.first});
        const int backward = back == directed.end() ? 0 : back->second;
        if (e.first < e.second || backward == 0) {
            ++r.edges;
            if (forward != backward) ++r.unbalanced;
            if (forward + backward != 2) ++r.notTwice;
        }
    }
    return r;
}

// Triangles whose right-hand normal does not point away from the centre.
inline int facingInward(const Point3D* v, int vertexCount, const Point3D& centre) {
    int inward = 0;
    for (int t = 0; t + 2 < vertexCount; t += 3) {
        const Point3D* c = v + t;
        const long long ax = c[1].x - c[0].x, ay = c[1].y - c[0].y, az = c[1].z - c[0].z;
        const long long bx = c[2].x - c[0].x, by = c[2].y - c[0].y, bz = c[2].z - c[0].z;
        const long long nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
        if (nx == 0 && ny == 0 && nz == 0) continue; // degenerate: no direction
        const long long ox = c[0].x + c[1].x + c[2].x - 3LL * centre.x;
        const long long oy = c[0].y + c[1].y + c[2].y - 3LL * centre.y;
        const long long oz = c[0].z + c[1].z + c[2].z - 3LL * centre.z;
        if (nx * ox + ny * oy + nz * oz <= 0) ++inward;
    }
    return inward;
}

} // namespace surfacecheck
