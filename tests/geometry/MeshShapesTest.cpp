// Mesh generators: counts, sample vertices and triangles, index ranges,
// closed and consistently wound surfaces, normal directions, and winding
// checked against GL back-face culling.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>

#include "tests/geometry/MeshView.h"

namespace {

void expectVec(const Vector3D& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

void expectTriangle(const int* indices, unsigned triangle, int a, int b, int c) {
    EXPECT_EQ(indices[3 * triangle], a) << "triangle " << triangle;
    EXPECT_EQ(indices[3 * triangle + 1], b) << "triangle " << triangle;
    EXPECT_EQ(indices[3 * triangle + 2], c) << "triangle " << triangle;
}

void expectIndicesInRange(const Mesh& m) {
    for (unsigned c = 0; c < 3 * m.faceCount; c++) {
        ASSERT_GE(m.faceIndices[c], 0);
        ASSERT_LT(unsigned(m.faceIndices[c]), m.vertexCount);
        ASSERT_GE(m.texIndices[c], 0);
        ASSERT_LT(m.texIndices[c], m.texCoordCount);
    }
    EXPECT_EQ(unsigned(m.texFaceCount), m.faceCount);
}

// Every edge used by two triangles runs in opposite directions in them (one
// orientation for the whole surface); returns the number of edges used once
// (0 for a closed surface).
int boundaryEdges(const Mesh& m) {
    std::map<std::pair<int, int>, int> directed;
    for (unsigned i = 0; i < m.faceCount; i++)
        for (int k = 0; k < 3; k++)
            directed[{m.faceIndices[3 * i + k], m.faceIndices[3 * i + (k + 1) % 3]}]++;
    int boundary = 0;
    for (const auto& [edge, count] : directed) {
        EXPECT_EQ(count, 1) << edge.first << "->" << edge.second;
        if (!directed.count({edge.second, edge.first})) boundary++;
    }
    return boundary;
}

TEST(MakeTyre, CountsSampleVerticesAndRingClosure) {
    Mesh tyre;
    tyre.makeTyre(6, 5, 1, 2);
    EXPECT_EQ(tyre.vertexCount, 24u);
    EXPECT_EQ(tyre.faceCount, 48u);
    EXPECT_EQ(tyre.texCoordCount, 4);
    EXPECT_EQ(tyre.texFaceCount, 48);
    expectVec(tyre.vertices[0], 0, 5, -2);
    expectVec(tyre.vertices[18], 0, 6, 2);
    expectTriangle(tyre.faceIndices, 10, 5, 0, 11);
    expectTriangle(tyre.faceIndices, 11, 0, 6, 11);
    expectTriangle(tyre.texIndices, 10, 0, 3, 1);
    expectTriangle(tyre.texIndices, 11, 3, 2, 1);
    expectTriangle(tyre.faceIndices, 47, 18 + 5, 18, 6); // front side, last segment
    expectTriangle(tyre.texIndices, 47, 1, 2, 3);
    expectIndicesInRange(tyre);
}

// The front side (z = +d) is wound the other way round from the rest: with it
// turned over the ring is one closed, consistently wound surface.
TEST(MakeTyre, ClosedSurfaceWithOnlyTheFrontSideWoundInwards) {
    const int n = 6;
    Mesh tyre;
    tyre.makeTyre(n, 5, 1, 2);
    for (int i = 6 * n; i < 8 * n; i++)
        std::swap(tyre.faceIndices[3 * i + 1], tyre.faceIndices[3 * i + 2]);
    EXPECT_EQ(boundaryEdges(tyre), 0);
}

TEST(MakeTyre, NormalsPointIntoTheMaterialExceptOnTheFront) {
    const int n = 6;
    Mesh tyre;
    tyre.makeTyre(n, 5, 1, 2);
    tyre.createNormals();
    for (int i = 0; i < 8 * n; i++) {
        const Vector3D c = meshview::centroid(tyre, i);
        const Vector3D radial = Vector3D(c.x, c.y, 0) / Vector3D(c.x, c.y, 0).length();
        const Vector3D& f = tyre.faceNormals[i];
        EXPECT_NEAR(f.length(), 1.0f, 1e-6f);
        if (i < 2 * n) {
            EXPECT_GT(f.dotProduct(radial), 0.95f) << i; // inner: outwards
        } else if (i < 4 * n) {
            EXPECT_LT(f.dotProduct(radial), -0.95f) << i; // outer: inwards
        } else {
            EXPECT_EQ(f.z, 1.0f) << i; // back into the ring, front away from it
        }
    }
}

TEST(MakeSphere, CountsPoleAndTextureSeam) {
    Mesh sphere;
    sphere.makeSphere(1.0f, 48);
    EXPECT_EQ(sphere.vertexCount, 2401u);
    EXPECT_EQ(sphere.faceCount, 4608u);
    EXPECT_EQ(sphere.texCoordCount, 2401);
    expectVec(sphere.vertices[0], 0, 1, 0);
    EXPECT_EQ(sphere.texCoords[2400].x, 1.0f);
    EXPECT_EQ(sphere.texCoords[2400].y, 1.0f);
    expectIndicesInRange(sphere);
    // Seam of band 0: vertices wrap to column 0, textures go on to column 48.
    expectTriangle(sphere.faceIndices, 94, 47, 0, 96);
    expectTriangle(sphere.texIndices, 94, 47, 48, 96);
    expectTriangle(sphere.faceIndices, 95, 0, 49, 96);
    expectTriangle(sphere.texIndices, 95, 48, 97, 96);
    for (unsigned c = 0; c < 3 * sphere.faceCount; c++) ASSERT_NE(sphere.faceIndices[c] % 49, 48);
    // Bottom row: a ring of radius sinf(3.14159), not a point.
    EXPECT_GT(std::fabs(sphere.vertices[2400 - 12].x), 1e-6f);
}

TEST(MakeCube, CornersTexturesAndFaceNormals) {
    Mesh cube;
    cube.makeCube(1.0f);
    EXPECT_EQ(cube.vertexCount, 8u);
    EXPECT_EQ(cube.faceCount, 12u);
    EXPECT_EQ(cube.texCoordCount, 4);
    expectVec(cube.vertices[0], -1, 1, 1);
    expectVec(cube.vertices[7], 1, -1, -1);
    expectTriangle(cube.faceIndices, 9, 4, 1, 0);
    expectTriangle(cube.texIndices, 9, 1, 2, 3);
    expectIndicesInRange(cube);
    EXPECT_EQ(boundaryEdges(cube), 0);
    cube.createNormals();
    for (unsigned i : {0u, 1u}) expectVec(cube.faceNormals[i], 0, 0, 1);
    for (unsigned i : {10u, 11u}) expectVec(cube.faceNormals[i], 0, -1, 0);
}

TEST(MakeCylinder, OpenTubeClosedAroundWithOutwardWindingAndInwardNormals) {
    const int m = 10;
    Mesh tube;
    tube.makeCylinder(m, 0, 4.0f, 2.0f);
    EXPECT_EQ(tube.vertexCount, unsigned(2 * m + 2));
    EXPECT_EQ(tube.faceCount, unsigned(2 * m));
    expectIndicesInRange(tube);
    EXPECT_EQ(boundaryEdges(tube), 2 * m); // the two rims only
    expectVec(tube.vertices[0], 0, -2, -2);
    expectVec(tube.vertices[m + 1], 0, 2, -2);
    tube.createNormals();
    for (unsigned i = 0; i < tube.faceCount; i++) {
        const Vector3D c = meshview::centroid(tube, i);
        const Vector3D radial = Vector3D(c.x, 0, c.z) / Vector3D(c.x, 0, c.z).length();
        EXPECT_LT(tube.faceNormals[i].dotProduct(radial), -0.95f) << i;
    }
    for (unsigned v = 0; v < tube.vertexCount; v++) {
        const Vector3D radial(tube.vertices[v].x / 2, 0, tube.vertices[v].z / 2);
        if (v % (m + 1) == unsigned(m)) continue; // last column repeats the first
        EXPECT_LT(tube.vertexNormals[v].dotProduct(radial), -0.99f) << v;
    }
    // The texture wraps once: the seam triangles reach s = 1.
    EXPECT_EQ(tube.texCoords[tube.texIndices[3 * (2 * m - 2) + 1]].x, 1.0f);
}

TEST(MeshGenerators, SegmentCountBelowOneLeavesAnEmptyMesh) {
    Mesh m;
    m.makeSphere(1.0f, 4);
    m.makeSphere(1.0f, 0);
    EXPECT_EQ(m.vertexCount, 0u);
    EXPECT_EQ(m.faceCount, 0u);
    m.makeTyre(-3, 1, 1, 1);
    m.makeCylinder(0, 0, 1, 1);
    m.createNormals();
    EXPECT_EQ(m.faceCount, 0u);
}

TEST(MeshGenerators, CallingAgainReplacesTheShape) {
    Mesh m;
    m.makeSphere(1.0f, 8);
    m.createNormals();
    m.makeTyre(6, 5, 1, 2);
    m.createNormals();
    EXPECT_EQ(m.vertexCount, 24u);
    EXPECT_EQ(m.faceNormals[47].z, 1.0f);
}

// Each triangle is drawn from the side its createNormals normal points to
// (culled: it runs clockwise there) and from the other side (kept).
void expectNormalsOnCulledSide(testsupport::GlContext& gl, Mesh& m, const char* name) {
    m.createNormals();
    int checked = 0;
    for (unsigned i = 0; i < m.faceCount; i++) {
        if (meshview::area(m, i) < 1e-3f) continue; // slivers at the sphere's poles
        const Vector3D c = meshview::centroid(m, i);
        const Vector3D& n = m.faceNormals[i];
        EXPECT_FALSE(meshview::survivesCulling(gl, m, i, c + n * 3.0f)) << name << " " << i;
        EXPECT_TRUE(meshview::survivesCulling(gl, m, i, c - n * 3.0f)) << name << " " << i;
        checked++;
    }
    EXPECT_GT(checked, int(m.faceCount) / 2) << name;
}

TEST(MeshWinding, BackFaceCullingKeepsTheSideOppositeTheNormals) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Mesh tyre, sphere, cube, tube;
    tyre.makeTyre(6, 5, 1, 2);
    sphere.makeSphere(1.0f, 8);
    cube.makeCube(1.0f);
    tube.makeCylinder(8, 0, 2.0f, 1.0f);
    expectNormalsOnCulledSide(gl, tyre, "tyre");
    expectNormalsOnCulledSide(gl, sphere, "sphere");
    expectNormalsOnCulledSide(gl, cube, "cube");
    expectNormalsOnCulledSide(gl, tube, "cylinder");
}

// From outside: the sphere's triangles face the viewer, the cube's do not,
// the tyre's front side (z = +d) faces into the ring.
TEST(MeshWinding, SeenFromOutsideSphereIsFrontCubeIsBack) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Mesh sphere, cube, tyre;
    sphere.makeSphere(1.0f, 8);
    cube.makeCube(1.0f);
    tyre.makeTyre(6, 5, 1, 2);
    const unsigned equator = 2 * (8 * 3 + 2); // band 3, column 2
    EXPECT_TRUE(
        meshview::survivesCulling(gl, sphere, equator, meshview::centroid(sphere, equator) * 4.0f));
    EXPECT_FALSE(meshview::survivesCulling(gl, cube, 0, Vector3D(0.3f, 0.2f, 5)));
    EXPECT_FALSE(meshview::survivesCulling(gl, tyre, 2 * (3 * 6), Vector3D(0, 5.5f, 6)));
    EXPECT_TRUE(meshview::survivesCulling(gl, tyre, 2 * (2 * 6), Vector3D(0, 5.5f, -6)));
}

} // namespace
