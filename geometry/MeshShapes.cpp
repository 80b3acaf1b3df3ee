// Mesh generators: cube, cylinder (open tube), tyre and latitude-longitude
// sphere. Angles use the single-precision constant 3.14159, not pi, computed
// as (index * 3.14159 * 2) / segments for full turns. None computes normals.
// Winding with counter-clockwise front faces: tyre inner, outer and back side
// face out of the ring, its front side into it; sphere and cylinder face
// outwards; cube inwards. createNormals gives the opposite directions.
#include <cmath>
#include <cstdio>

#include "geometry/Mesh.h"

namespace {

const float kPi = 3.14159f; // the show's value of pi: every generated angle depends on it

// Angle of step `index` of `segments` around a full turn.
float fullTurn(int index, int segments) {
    return float(index) * kPi * 2.0f / float(segments);
}

bool segmentsOk(const char* generator, int segments) {
    if (segments >= 1) return true;
    std::fprintf(stderr, "Mesh::%s: segment count %d is below 1, mesh left empty\n", generator,
                 segments);
    return false;
}

void setTriangle(int* indices, int triangle, int a, int b, int c) {
    indices[3 * triangle] = a;
    indices[3 * triangle + 1] = b;
    indices[3 * triangle + 2] = c;
}

// The four corners of the unit texture square, counter-clockwise from (0, 0).
void setUnitSquare(Vector2D* texCoords) {
    texCoords[0] = Vector2D(0.0f, 0.0f);
    texCoords[1] = Vector2D(1.0f, 0.0f);
    texCoords[2] = Vector2D(1.0f, 1.0f);
    texCoords[3] = Vector2D(0.0f, 1.0f);
}

// One triangle's vertex and texture triples.
struct Corner3 {
    int v[3];
    int t[3];
};

void setFace(Mesh& mesh, int triangle, const Corner3& f) {
    setTriangle(mesh.faceIndices, triangle, f.v[0], f.v[1], f.v[2]);
    setTriangle(mesh.texIndices, triangle, f.t[0], f.t[1], f.t[2]);
}

// Two triangles per quad of a grid whose rows run along the segments: c, d on
// one row (d = next column), e, g below them. The vertex column wraps to 0 at
// the seam; the texture column goes on to `segments`, so the texture runs
// once around. Vertex index = column + rowStride * row, likewise textures.
void setGridBand(Mesh& mesh, int firstTriangle, int segments, int vRow, int vNextRow, int tRow,
                 int tNextRow) {
    for (int k = 0; k < segments; k++) {
        const int kn = (k + 1 == segments) ? 0 : k + 1;
        const int c = vRow + k, d = vRow + kn, e = vNextRow + k, g = vNextRow + kn;
        const int tc = tRow + k, te = tNextRow + k;
        const int b = firstTriangle + 2 * k;
        setFace(mesh, b, {{c, d, e}, {tc, tc + 1, te}});
        setFace(mesh, b + 1, {{d, g, e}, {tc + 1, te + 1, te}});
    }
}

} // namespace

void Mesh::makeCube(float s) {
    allocate(8, 12, 4);
    const Vector3D corners[8] = {
        {-s, s, s}, {s, s, s},   {s, -s, s},   {-s, -s, s},
        {s, s, -s}, {-s, s, -s}, {-s, -s, -s}, {s, -s, -s},
    };
    for (int i = 0; i < 8; i++) vertices[i] = corners[i];
    setUnitSquare(texCoords);
    // Each side seen from outside runs clockwise.
    const Corner3 faces[12] = {
        {{0, 1, 2}, {0, 1, 2}}, {{2, 3, 0}, {2, 3, 0}}, // +z
        {{1, 4, 2}, {0, 1, 3}}, {{4, 7, 2}, {1, 2, 3}}, // +x
        {{4, 5, 6}, {0, 1, 2}}, {{6, 7, 4}, {2, 3, 0}}, // -z
        {{5, 0, 3}, {0, 1, 2}}, {{3, 6, 5}, {2, 3, 0}}, // -x
        {{5, 4, 0}, {0, 1, 3}}, {{4, 1, 0}, {1, 2, 3}}, // +y
        {{3, 2, 6}, {0, 1, 3}}, {{2, 7, 6}, {1, 2, 3}}, // -y
    };
    for (int i = 0; i < 12; i++) setFace(*this, i, faces[i]);
}

// An open tube around the y axis from -height/2 to +height/2: a top ring
// (indices segments+1 ...) and a bottom ring (0 ...) of segments+1 vertices
// each, the last repeating the first in position; two triangles per segment
// face outwards, the seam wraps to column 0. Texture coordinates: one per
// vertex, s = column / segments, t = 0 at the top ring and 1 at the bottom.
void Mesh::makeCylinder(int segments, int, float height, float radius) {
    if (!segmentsOk("makeCylinder", segments)) {
        release();
        return;
    }
    const int n = segments + 1;
    allocate(2 * n, 2 * segments, 2 * n);
    for (int i = 0; i <= segments; i++) {
        const float a = fullTurn(i, segments);
        const float x = sinf(a) * radius, z = -cosf(a) * radius;
        vertices[i] = Vector3D(x, -height / 2.0f, z);
        vertices[n + i] = Vector3D(x, height / 2.0f, z);
        const float s = float(i) / float(segments);
        texCoords[n + i] = Vector2D(s, 0.0f);
        texCoords[i] = Vector2D(s, 1.0f);
    }
    setGridBand(*this, 0, segments, n, 0, n, 0);
}

void Mesh::makeTyre(int segments, float radius, float thickness, float halfWidth) {
    if (!segmentsOk("makeTyre", segments)) {
        release();
        return;
    }
    const int n = segments;
    allocate(4 * n, 8 * n, 4);
    setUnitSquare(texCoords);
    const float outer = radius + thickness;
    for (int j = 0; j < n; j++) {
        const float a = fullTurn(j, n);
        const float s = sinf(a), c = cosf(a);
        vertices[j] = Vector3D(s * radius, c * radius, -halfWidth);       // inner, back
        vertices[n + j] = Vector3D(s * radius, c * radius, halfWidth);    // inner, front
        vertices[2 * n + j] = Vector3D(s * outer, c * outer, -halfWidth); // outer, back
        vertices[3 * n + j] = Vector3D(s * outer, c * outer, halfWidth);  // outer, front
    }
    for (int j = 0; j < n; j++) {
        const int jn = (j + 1 == n) ? 0 : j + 1;
        setFace(*this, 2 * j, {{j, jn, n + j}, {0, 3, 1}}); // inner
        setFace(*this, 2 * j + 1, {{jn, n + jn, n + j}, {3, 2, 1}});
        setFace(*this, 2 * (n + j), {{2 * n + j, 3 * n + j, 2 * n + jn}, {0, 1, 3}}); // outer
        setFace(*this, 2 * (n + j) + 1, {{2 * n + jn, 3 * n + j, 3 * n + jn}, {3, 1, 2}});
        setFace(*this, 2 * (2 * n + j), {{j, 2 * n + j, jn}, {0, 1, 3}}); // back, z = -d
        setFace(*this, 2 * (2 * n + j) + 1, {{2 * n + j, 2 * n + jn, jn}, {1, 2, 3}});
        setFace(*this, 2 * (3 * n + j), {{n + j, 3 * n + j, n + jn}, {0, 1, 3}}); // front, z = +d
        setFace(*this, 2 * (3 * n + j) + 1, {{3 * n + j, 3 * n + jn, n + jn}, {1, 2, 3}});
    }
}

// (segments + 1) rows by (segments + 1) columns; row 0 is the top pole,
// column `segments` repeats column 0 with s = 1 and is used by no triangle.
void Mesh::makeSphere(float radius, int segments) {
    if (!segmentsOk("makeSphere", segments)) {
        release();
        return;
    }
    const int N = segments, n = segments + 1;
    allocate(unsigned(n * n), unsigned(2 * N * N), n * n);
    for (int i = 0; i <= N; i++) {
        const float theta = float(i) * kPi / float(N);
        const float ring = sinf(theta) * radius;
        const float y = cosf(theta) * radius;
        for (int j = 0; j <= N; j++) {
            const float phi = fullTurn(j, N);
            const int v = j + n * i;
            vertices[v] = Vector3D(sinf(phi) * ring, y, -cosf(phi) * ring);
            texCoords[v] = Vector2D(float(j) / float(N), float(i) / float(N));
        }
    }
    for (int i = 0; i < N; i++) setGridBand(*this, 2 * N * i, N, n * i, n * (i + 1), n * i, n * (i + 1));
}
