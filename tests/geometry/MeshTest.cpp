// Mesh: face and vertex normals, flipping, the vertex store, and frender's
// two texture units on a real GL context with pixels read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "geometry/Mesh.h"
#include "platform/GL.h"
#include "tests/support/GlContext.h"

namespace {

void expectNear(const Vector3D& a, const Vector3D& b, float tolerance = 1e-6f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// Scene 7's sphere: 48 segments, normals inward, flipped outward.
TEST(MeshNormals, SphereNormalsAreUnitAndInwardWithoutNaNAndFlipTurnsOnlyTheVertexNormals) {
    Mesh sphere;
    sphere.makeSphere(1.0f, 48);
    sphere.createNormals();
    const std::vector<Vector3D> faces(sphere.faceNormals, sphere.faceNormals + sphere.faceCount);
    for (const Vector3D& n : faces) ASSERT_TRUE(std::isfinite(n.x + n.y + n.z));
    for (unsigned v = 0; v < sphere.vertexCount; v++) {
        const Vector3D& n = sphere.vertexNormals[v];
        const bool unused = v % 49 == 48, pole = v < 49 || v >= 49 * 48; // column 48 repeats column 0
        EXPECT_NEAR(n.length(), unused ? 0.0f : 1.0f, 1e-5f) << v;
        EXPECT_LT(unused ? -1.0f : n.dotProduct(sphere.vertices[v]), pole ? -0.9f : -0.999f) << v;
    }
    sphere.flipNormals();
    EXPECT_GT(sphere.vertexNormals[49 * 20 + 7].dotProduct(sphere.vertices[49 * 20 + 7]), 0.999f);
    EXPECT_EQ(0, std::memcmp(faces.data(), sphere.faceNormals, sizeof(Vector3D) * faces.size()));
}

// Two triangles of areas 1/2 and 1 sharing vertex 0, one with two
// coincident corners, and a vertex no triangle uses. A vertex normal is the
// normalised sum of its triangles' unit face normals, not weighted by area.
TEST(MeshNormals, VertexNormalsSumUnitFaceNormalsAndZeroAreaOrUnusedGiveZeroNotNaN) {
    Mesh m;
    m.vertexCount = 5;
    m.faceCount = 3;
    m.vertices = new Vector3D[5]{{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, 2}, {7, 7, 7}};
    m.faceIndices = new int[9]{0, 1, 2, 0, 0, 3, 0, 3, 1};
    m.createNormals();
    expectNear(m.faceNormals[0], Vector3D(0, 0, 1), 0.0f);
    expectNear(m.faceNormals[1], Vector3D(0, 0, 0), 0.0f);
    expectNear(m.faceNormals[2], Vector3D(1, 0, 0), 0.0f);
    expectNear(m.vertexNormals[0], Vector3D(std::sqrt(0.5f), 0, std::sqrt(0.5f)));
    expectNear(m.vertexNormals[3], Vector3D(1, 0, 0), 0.0f);
    expectNear(m.vertexNormals[4], Vector3D(0, 0, 0), 0.0f);
}

// Scene 7 deforms its sphere every frame: push, move, createNormals, pop.
TEST(MeshNormals, RecomputedNormalsFollowMovedVerticesInTheSameArraysAndPopRestoresThem) {
    Mesh moved, fresh;
    moved.makeSphere(2.0f, 12);
    fresh.makeSphere(2.0f, 12);
    moved.createNormals();
    const std::vector<const void*> arrays = {moved.faceNormals, moved.vertexNormals,
                                             moved.savedVertices};
    const std::vector<Vector3D> original(moved.vertices, moved.vertices + moved.vertexCount);
    moved.pushVertices();
    for (Mesh* m : {&moved, &fresh})
        for (unsigned v = 0; v < m->vertexCount; v++) m->vertices[v].y *= 0.25f;
    moved.createNormals();
    fresh.createNormals();
    EXPECT_EQ(std::vector<const void*>({moved.faceNormals, moved.vertexNormals, moved.savedVertices}),
              arrays);
    EXPECT_EQ(0, std::memcmp(moved.vertexNormals, fresh.vertexNormals,
                             sizeof(Vector3D) * moved.vertexCount));
    EXPECT_EQ(0, std::memcmp(moved.faceNormals, fresh.faceNormals, sizeof(Vector3D) * moved.faceCount));
    moved.popVertices();
    EXPECT_EQ(0, std::memcmp(moved.vertices, original.data(), sizeof(Vector3D) * moved.vertexCount));
}

// frender sends the vertex normal's x, y mapped to 0..1 on unit 1: with a
// two-texel texture there (green left, red right) an outward-lit sphere
// shows green on its left half and red on its right.
TEST(MeshRender, FrenderMapsTheNormalsToTheSecondUnit) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Mesh sphere;
    sphere.makeSphere(1.0f, 24);
    sphere.createNormals();
    sphere.flipNormals();
    const unsigned char texels[6] = {0, 255, 0, 255, 0, 0};
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 texels); // rows of 6 bytes: aligned
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, 4.0 / 3.0, 0.05, 100.0);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
    sphere.frender();
    const testsupport::Rgb left = gl.pixel(512 - 60, 384), right = gl.pixel(512 + 60, 384);
    EXPECT_EQ(std::vector<int>({left.r, left.g, right.r, right.g}), std::vector<int>({0, 255, 255, 0}));
}

} // namespace
