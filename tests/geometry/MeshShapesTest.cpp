// Mesh generators: counts, closed and consistently wound surfaces, which way
// createNormals points on each shape (the opposite of its counter-clockwise
// front), and the sphere's seam and poles.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/Mesh.h"
#include "tests/geometry/SurfaceChecks.h"

namespace {

Vector3D centroid(const Mesh& m, unsigned face) {
    const int* c = m.faceIndices + 3 * face;
    return (m.vertices[c[0]] + m.vertices[c[1]] + m.vertices[c[2]]) / 3.0f;
}

// The tyre (6 segments): inner side (faces 0 .. 11) away from the axis, outer
// side (12 .. 23) toward it, back and front (24 .. 47) toward +z.
Vector3D tyreNormal(const Vector3D& c, unsigned face) {
    const Vector3D radial(c.x, c.y, 0);
    return face < 12 ? radial : face < 24 ? radial * -1.0f : Vector3D(0, 0, 1);
}

TEST(MeshShapes, CountsClosedSurfacesAndTheDirectionOfTheNormals) {
    const struct {
        const char* name;
        void (*make)(Mesh&);
        unsigned vertices, faces;
        int texCoords, open; // texture coordinates; edges not matched by a reversed one
        Vector3D (*normal)(const Vector3D& centroid, unsigned face);
    } shapes[] = {
        {"cube", [](Mesh& m) { m.makeCube(1.0f); }, 8, 12, 4, 0,
         [](const Vector3D& c, unsigned) { return c; }},
        // Open at both rims of ten edges.
        {"cylinder", [](Mesh& m) { m.makeCylinder(10, 0, 4.0f, 2.0f); }, 22, 20, 22, 20,
         [](const Vector3D& c, unsigned) { return Vector3D(-c.x, 0, -c.z); }},
        // Rows 0 and 8 are rings of vertices at the poles: 16 rim edges.
        {"sphere", [](Mesh& m) { m.makeSphere(1.0f, 8); }, 81, 128, 81, 16,
         [](const Vector3D& c, unsigned) { return c * -1.0f; }},
        // The front side, wound the other way, meets the inner and outer sides
        // along 12 edges run the same way.
        {"tyre", [](Mesh& m) { m.makeTyre(6, 5, 1, 2); }, 24, 48, 4, 12, tyreNormal},
    };
    for (const auto& shape : shapes) {
        Mesh m;
        shape.make(m);
        EXPECT_EQ(m.vertexCount, shape.vertices) << shape.name;
        ASSERT_EQ(m.faceCount, shape.faces) << shape.name;
        EXPECT_EQ(m.texCoordCount, shape.texCoords) << shape.name;
        std::vector<Point3D> indices;
        for (unsigned c = 0; c < 3 * m.faceCount; c++) {
            ASSERT_LT(unsigned(m.faceIndices[c]), m.vertexCount) << shape.name;
            ASSERT_LT(unsigned(m.texIndices[c]), unsigned(m.texCoordCount)) << shape.name;
            indices.push_back(Point3D(m.faceIndices[c], 0, 0));
        }
        EXPECT_EQ(surfacecheck::edges(indices.data(), int(indices.size())).open, shape.open)
            << shape.name;
        m.createNormals();
        for (unsigned f = 0; f < m.faceCount; f++) {
            if (m.faceNormals[f].length() == 0.0f) continue; // at a pole: zero area
            Vector3D expected = shape.normal(centroid(m, f), f);
            expected.Normalize();
            EXPECT_GT(m.faceNormals[f].dotProduct(expected), 0.8f) << shape.name << " face " << f;
        }
    }
}

TEST(MeshShapes, SphereSeamRepeatsColumnZeroForTexturesOnlyAndThePolesAreRings) {
    Mesh sphere;
    sphere.makeSphere(1.0f, 48);
    EXPECT_EQ(sphere.vertices[0].y, 1.0f);
    // Band 0's seam: vertices wrap to column 0, textures go on to column 48 (s = 1).
    EXPECT_EQ(std::vector<int>(sphere.faceIndices + 3 * 94, sphere.faceIndices + 3 * 96),
              std::vector<int>({47, 0, 96, 0, 49, 96}));
    EXPECT_EQ(std::vector<int>(sphere.texIndices + 3 * 94, sphere.texIndices + 3 * 96),
              std::vector<int>({47, 48, 96, 48, 97, 96}));
    EXPECT_EQ(sphere.texCoords[48].x, 1.0f);
    // The bottom row is a ring of radius sinf(3.14159), not a point.
    EXPECT_GT(std::fabs(sphere.vertices[2400 - 12].x), 1e-6f);
}

} // namespace
