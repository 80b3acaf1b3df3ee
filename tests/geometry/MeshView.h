// Helpers for the mesh tests: a camera looking from an eye at a target over
// the whole 1024 x 768 target, per-triangle geometry, and a check that a
// single triangle survives back-face culling (counter-clockwise front faces).
#pragma once

#include "geometry/Mesh.h"
#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "tests/support/GlContext.h"

namespace meshview {

inline void lookFrom(const Vector3D& eye, const Vector3D& target) {
    glViewport(0, 0, platform::renderWidth(), platform::renderHeight());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, double(platform::renderWidth()) / platform::renderHeight(), 0.05, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const Vector3D dir = target - eye;
    const bool steep = dir.y * dir.y > 0.8f * dir.dotProduct(dir);
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, steep ? 1 : 0, steep ? 0 : 1, 0);
}

inline const Vector3D& corner(const Mesh& m, unsigned triangle, int k) {
    return m.vertices[m.faceIndices[3 * triangle + k]];
}

inline Vector3D centroid(const Mesh& m, unsigned triangle) {
    return (corner(m, triangle, 0) + corner(m, triangle, 1) + corner(m, triangle, 2)) / 3.0f;
}

inline float area(const Mesh& m, unsigned triangle) {
    const Vector3D a = corner(m, triangle, 1) - corner(m, triangle, 0);
    const Vector3D b = corner(m, triangle, 2) - corner(m, triangle, 0);
    return a.crossProduct(b).length() * 0.5f;
}

// Draws only this triangle in white, looking at its centroid from `eye`, with
// GL_CULL_FACE on; true when the centre pixel was drawn.
inline bool survivesCulling(testsupport::GlContext& gl, const Mesh& m, unsigned triangle,
                            const Vector3D& eye) {
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    lookFrom(eye, centroid(m, triangle));
    glColor3f(1, 1, 1);
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < 3; k++) {
        const Vector3D& v = corner(m, triangle, k);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
    glDisable(GL_CULL_FACE);
    return gl.pixel(512, 384).r > 0;
}

} // namespace meshview
