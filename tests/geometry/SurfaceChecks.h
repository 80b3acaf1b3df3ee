// Test helpers for triangle soups, three Point3D per triangle (grid points,
// or vertex indices in x): whether a surface is closed and consistently
// wound, and whether its triangles face away from a centre.
#pragma once

#include <map>
#include <tuple>
#include <utility>

#include "geometry/Vector3D.h"

namespace surfacecheck {

using Key = std::tuple<int, int, int>;

inline Key key(const Point3D& p) {
    return Key(p.x, p.y, p.z);
}

struct EdgeReport {
    int triangles = 0;  // triangles with three different corners
    int degenerate = 0; // triangles with two equal corners, skipped: no edges
    int open = 0;       // directed edges not used exactly once, or whose reverse is not
};

// A closed, consistently wound surface uses every edge once in each
// direction: open is 0. An open rim of n edges gives open = n.
inline EdgeReport edges(const Point3D* v, int vertexCount) {
    EdgeReport r;
    std::map<std::pair<Key, Key>, int> directed;
    for (int t = 0; t + 2 < vertexCount; t += 3) {
        const Key c[3] = {key(v[t]), key(v[t + 1]), key(v[t + 2])};
        if (c[0] == c[1] || c[1] == c[2] || c[2] == c[0]) {
            ++r.degenerate;
            continue;
        }
        ++r.triangles;
        for (int k = 0; k < 3; ++k) ++directed[{c[k], c[(k + 1) % 3]}];
    }
    for (const auto& [e, count] : directed) {
        const auto back = directed.find({e.second, e.first});
        r.open += count != 1 || back == directed.end() || back->second != 1;
    }
    return r;
}

// Triangles whose right-hand normal does not point away from the centre;
// degenerate ones (no direction) are not counted. Exact for coordinates
// within a few thousand units.
inline int facingInward(const Point3D* v, int vertexCount, const Point3D& centre) {
    int inward = 0;
    for (int t = 0; t + 2 < vertexCount; t += 3) {
        const auto at = [&](int k) {
            return Vector3D(float(v[t + k].x - centre.x), float(v[t + k].y - centre.y),
                            float(v[t + k].z - centre.z));
        };
        const Vector3D n = (at(1) - at(0)).crossProduct(at(2) - at(0));
        inward += n.length() > 0.0f && n.dotProduct(at(0) + at(1) + at(2)) <= 0.0f;
    }
    return inward;
}

} // namespace surfacecheck
