// Mesh::render, the material-driven draw of a mesh with its normal lines,
// and prender, its points. Nothing in the show calls them (the scenes draw
// their meshes themselves); Model and the engine's mesh list use render. A
// unit of their own keeps them out of the show's link.
#include <cassert>

#include "geometry/Mesh.h"
#include "platform/GL.h"
#include "platform/RenderSize.h"

namespace {

void vertex(const Vector3D& v) {
    glVertex3f(v.x, v.y, v.z);
}

void normal(const Vector3D& n) {
    glNormal3f(n.x, n.y, n.z);
}

void line(const Vector3D& from, const Vector3D& to) {
    glBegin(GL_LINES);
    vertex(from);
    vertex(to);
    glEnd();
}

} // namespace

void Mesh::render() {
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    material.activate();
    const bool flat = material.getProperty(MAT_FLAT);
    const bool textured = material.getProperty(MAT_TEXTURED);
    const bool sOnly = material.getProperty(MAT_TEXCOORD_S_ONLY);
    if (material.getProperty(MAT_LIT)) {
        assert(faceNormals != nullptr);
        for (unsigned j = 0; j < faceCount; j++) {
            glBegin(GL_TRIANGLES);
            if (flat) normal(faceNormals[j]);
            for (unsigned c = 3 * j; c < 3 * j + 3; c++) {
                if (textured) {
                    const Vector2D& st = texCoords[texIndices[c]];
                    glTexCoord2f(st.x, sOnly ? st.x : st.y);
                }
                if (!flat) normal(vertexNormals[faceIndices[c]]);
                vertex(vertices[faceIndices[c]]);
            }
            glEnd();
        }
    }
    const bool vertexLines = material.getProperty(MAT_SHOW_VERTEX_NORMALS);
    const bool faceLines = material.getProperty(MAT_SHOW_FACE_NORMALS);
    if (vertexLines || faceLines) {
        // Red, unlit, antialiased lines, one pixel of the classic frame wide;
        // smoothing and the width hold only while they draw.
        glDisable(GL_LIGHTING);
        glColor3f(1.0f, 0.0f, 0.0f);
        glEnable(GL_LINE_SMOOTH);
        glLineWidth(platform::pixelScale());
    }
    if (vertexLines) {
        assert(vertexNormals != nullptr);
        for (unsigned j = 0; j < vertexCount; j++) line(vertices[j], vertices[j] + vertexNormals[j]);
    }
    if (faceLines) {
        assert(faceNormals != nullptr);
        for (unsigned j = 0; j < faceCount; j++) {
            const int* corner = faceIndices + 3 * j;
            const Vector3D centroid =
                (vertices[corner[0]] + vertices[corner[1]] + vertices[corner[2]]) / 3.0f;
            line(centroid, centroid + faceNormals[j]);
        }
    }
    if (vertexLines || faceLines) {
        glDisable(GL_LINE_SMOOTH);
        glLineWidth(1.0f);
    }
    glPopMatrix();
}

void Mesh::prender() {
    for (unsigned j = 0; j < vertexCount; j++) {
        glBegin(GL_POINTS);
        vertex(vertices[j]);
        glEnd();
    }
}
