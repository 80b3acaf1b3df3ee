// Mesh: normals, flipping, vertex save/restore, ownership and the draw
// routines, the latter on a real GL context with pixels read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/RenderSize.h"
#include "tests/geometry/MeshView.h"

namespace {

bool finite(const Vector3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void expectNear(const Vector3D& a, const Vector3D& b, float tolerance = 1e-6f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(MeshNormals, CubeFacesPointOutAndCornersCountTriangles) {
    Mesh cube;
    cube.makeCube(1.0f);
    cube.createNormals();
    const Vector3D sides[6] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (unsigned i = 0; i < 12; i++) expectNear(cube.faceNormals[i], sides[i / 2], 0.0f);
    // Corner (-1, 1, 1): two +z, two +y and one -x triangle.
    expectNear(cube.vertexNormals[0], Vector3D(-1, 2, 2) / 3.0f);
    const float third = 1.0f / std::sqrt(3.0f);
    expectNear(cube.vertexNormals[1], Vector3D(third, third, third));
}

TEST(MeshNormals, SphereNormalsPointInThenOutAfterFlipWithoutNaN) {
    Mesh sphere;
    sphere.makeSphere(1.0f, 48);
    sphere.createNormals();
    for (unsigned i = 0; i < sphere.faceCount; i++) ASSERT_TRUE(finite(sphere.faceNormals[i])) << i;
    const unsigned n = 49;
    for (unsigned v = 0; v < sphere.vertexCount; v++) {
        const Vector3D& normal = sphere.vertexNormals[v];
        ASSERT_TRUE(finite(normal)) << v;
        if (v % n == n - 1) { // column 48: used by no triangle
            EXPECT_EQ(normal.length(), 0.0f) << v;
            continue;
        }
        EXPECT_NEAR(normal.length(), 1.0f, 1e-5f) << v;
        const bool pole = v < n || v >= n * (n - 1);
        EXPECT_LT(normal.dotProduct(sphere.vertices[v]), pole ? -0.9f : -0.999f) << v;
    }
    const Vector3D before = sphere.vertexNormals[n * 20 + 7];
    const Vector3D faceBefore = sphere.faceNormals[100];
    sphere.flipNormals();
    for (unsigned v = n; v < n * (n - 1); v++) {
        if (v % n == n - 1) continue;
        EXPECT_GT(sphere.vertexNormals[v].dotProduct(sphere.vertices[v]), 0.999f) << v;
    }
    EXPECT_EQ(sphere.vertexNormals[n * 20 + 7].x, -before.x);
    EXPECT_EQ(sphere.faceNormals[100].x, faceBefore.x);
}

// Two real triangles sharing vertex 0, one with two coincident corners, and
// a vertex no triangle uses.
TEST(MeshNormals, ZeroAreaTriangleAndUnusedVertexGiveZeroNotNaN) {
    Mesh m;
    m.vertexCount = 5;
    m.faceCount = 3;
    m.vertices = new Vector3D[5]{{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {7, 7, 7}};
    m.faceIndices = new int[9]{0, 1, 2, 0, 0, 3, 0, 3, 1};
    m.createNormals();
    expectNear(m.faceNormals[0], Vector3D(0, 0, 1), 0.0f);
    expectNear(m.faceNormals[1], Vector3D(0, 0, 0), 0.0f);
    expectNear(m.faceNormals[2], Vector3D(1, 0, 0), 0.0f);
    const float h = std::sqrt(0.5f);
    expectNear(m.vertexNormals[0], Vector3D(h, 0, h));
    expectNear(m.vertexNormals[2], Vector3D(0, 0, 1), 0.0f);
    expectNear(m.vertexNormals[3], Vector3D(1, 0, 0), 0.0f);
    expectNear(m.vertexNormals[4], Vector3D(0, 0, 0), 0.0f);
}

TEST(MeshNormals, SecondCallFollowsMovedVerticesWithoutReallocating) {
    Mesh moved, fresh;
    moved.makeSphere(2.0f, 12);
    fresh.makeSphere(2.0f, 12);
    moved.createNormals();
    const Vector3D* faces = moved.faceNormals;
    const Vector3D* normals = moved.vertexNormals;
    const Vector3D* saved = moved.savedVertices;
    for (Mesh* m : {&moved, &fresh})
        for (unsigned v = 0; v < m->vertexCount; v++) m->vertices[v].y *= 0.25f;
    moved.createNormals();
    fresh.createNormals();
    EXPECT_EQ(moved.faceNormals, faces);
    EXPECT_EQ(moved.vertexNormals, normals);
    EXPECT_EQ(moved.savedVertices, saved);
    EXPECT_EQ(0, std::memcmp(moved.vertexNormals, fresh.vertexNormals,
                             sizeof(Vector3D) * moved.vertexCount));
    EXPECT_EQ(0, std::memcmp(moved.faceNormals, fresh.faceNormals, sizeof(Vector3D) * moved.faceCount));
}

TEST(MeshVertices, PopRestoresPushedVerticesBitForBit) {
    Mesh m;
    m.makeSphere(1.0f, 16);
    m.createNormals();
    const std::vector<Vector3D> original(m.vertices, m.vertices + m.vertexCount);
    m.pushVertices();
    for (unsigned v = 0; v < m.vertexCount; v++) {
        m.vertices[v] *= 1.1f + 0.001f * float(v % 7);
        m.vertices[v] += Vector3D(0.3f, -0.2f, 0.1f);
    }
    m.createNormals();
    m.popVertices();
    EXPECT_EQ(0, std::memcmp(m.vertices, original.data(), sizeof(Vector3D) * m.vertexCount));
}

void makeOutwardSphere(Mesh& sphere, int segments) {
    sphere.makeSphere(1.0f, segments);
    sphere.createNormals();
    sphere.flipNormals();
}

// Renders a unit sphere at `position` seen from (0, 0, 5), blended by alpha
// or not; returns the frame.
std::vector<unsigned char> renderSphere(testsupport::GlContext& gl, Mesh& sphere, unsigned bits,
                                        bool blend = false) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    if (blend) glEnable(GL_BLEND);
    else glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    meshview::lookFrom(Vector3D(0, 0, 5), Vector3D(0, 0, 0));
    sphere.material.setPropereties(bits);
    sphere.render();
    return gl.frame();
}

struct Census {
    int red = 0, lit = 0;
};

Census census(const std::vector<unsigned char>& rgb) {
    Census c;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        if (rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0) continue;
        c.lit++;
        if (rgb[i + 1] == 0 && rgb[i + 2] == 0) c.red++;
    }
    return c;
}

TEST(MeshRender, UnlitMaterialDrawsOnlyTheRequestedSmoothNormalLines) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Mesh sphere;
    sphere.makeSphere(1.0f, 16);
    sphere.createNormals();
    sphere.material.colour[0] = sphere.material.colour[1] = sphere.material.colour[2] = 1.0f;

    const Census nothing = census(renderSphere(gl, sphere, MAT_FLAT));
    EXPECT_EQ(nothing.lit, 0);
    const Census lines = census(renderSphere(gl, sphere, MAT_SHOW_FACE_NORMALS));
    EXPECT_GT(lines.red, 100);
    EXPECT_EQ(lines.red, lines.lit);
    const Census vertexLines = census(renderSphere(gl, sphere, MAT_SHOW_VERTEX_NORMALS));
    EXPECT_GT(vertexLines.red, 100);
    EXPECT_EQ(vertexLines.red, vertexLines.lit);

    // The lines are antialiased: blended, their edges show partial coverage.
    // Smoothing is off again afterwards, so triangles drawn later never take
    // the driver's smooth-line path.
    const std::vector<unsigned char> blended = renderSphere(gl, sphere, MAT_SHOW_FACE_NORMALS, true);
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    int partial = 0;
    for (size_t i = 0; i < blended.size(); i += 3) partial += blended[i] > 0 && blended[i] < 200;
    EXPECT_GT(partial, 100);
}

TEST(MeshRender, LitMaterialDrawsTrianglesAtThePosition) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Mesh sphere;
    makeOutwardSphere(sphere, 16);
    glEnable(GL_LIGHT0); // white, shining from the viewer
    sphere.setPosition(Vector3D(1.5f, 0, 0));
    const std::vector<unsigned char> rgb = renderSphere(gl, sphere, MAT_LIT);
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHTING);
    auto at = [&](int x, int y) { return int(rgb[(size_t(y) * platform::renderWidth() + x) * 3]); };
    // Half the view is 5 * tan(30 deg) * 4/3 wide at the sphere's distance.
    const int centreX = 512 + int(1.5 / (5 * std::tan(0.5236) * 4 / 3) * 512);
    EXPECT_GT(at(centreX, 384), 150);
    EXPECT_EQ(at(512 - 40, 384), 0);
}

// frender sends the vertex normal's x, y mapped to 0..1 on unit 1: with a
// two-texel texture (green left, red right) an outward-lit sphere shows green
// on its left half and red on its right.
TEST(MeshRender, FrenderMapsNormalsToSecondUnit) {
    testsupport::GlContext gl;
    ASSERT_TRUE(gl.ok());
    Mesh sphere;
    makeOutwardSphere(sphere, 24);
    const unsigned char texels[6] = {0, 255, 0, 255, 0, 0};
    GLuint tex = 0;
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    meshview::lookFrom(Vector3D(0, 0, 5), Vector3D(0, 0, 0));
    sphere.frender();
    const testsupport::Rgb left = gl.pixel(512 - 60, 384);
    const testsupport::Rgb right = gl.pixel(512 + 60, 384);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &tex);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    EXPECT_EQ(left.g, 255);
    EXPECT_EQ(left.r, 0);
    EXPECT_EQ(right.r, 255);
    EXPECT_EQ(right.g, 0);
}

} // namespace
