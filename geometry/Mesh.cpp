// Mesh: storage, normals, vertex save/restore and the three draw routines.
// Drawing is immediate mode, one glBegin/glEnd pair per triangle, point or
// line. The generators live in MeshShapes.cpp.
#include "geometry/Mesh.h"

#include <cassert>
#include <cstring>

#include "platform/GL.h"
#include "platform/RenderSize.h"

Mesh::Mesh()
    : vertexNormals(nullptr),
      faceNormals(nullptr),
      position(0.0f, 0.0f, 0.0f),
      texCoordCount(0),
      texFaceCount(0),
      faceIndices(nullptr),
      texIndices(nullptr),
      vertices(nullptr),
      texCoords(nullptr),
      savedVertices(nullptr),
      vertexCount(0),
      faceCount(0) {}

Mesh::~Mesh() {
    release();
}

void Mesh::release() {
    delete[] vertexNormals;
    delete[] faceNormals;
    delete[] faceIndices;
    delete[] texIndices;
    delete[] vertices;
    delete[] texCoords;
    delete[] savedVertices;
    vertexNormals = faceNormals = vertices = savedVertices = nullptr;
    faceIndices = texIndices = nullptr;
    texCoords = nullptr;
    vertexCount = faceCount = 0;
    texCoordCount = texFaceCount = 0;
}

void Mesh::allocate(unsigned vertexTotal, unsigned faceTotal, int texCoordTotal) {
    release();
    vertexCount = vertexTotal;
    faceCount = faceTotal;
    vertices = new Vector3D[vertexTotal];
    faceIndices = new int[3 * faceTotal];
    if (texCoordTotal > 0) {
        texCoordCount = texCoordTotal;
        texFaceCount = int(faceTotal);
        texCoords = new Vector2D[texCoordTotal];
        texIndices = new int[3 * faceTotal];
    }
}

// Normalises v in place when it has a length; a zero vector stays zero
// instead of becoming NaN.
static void normalizeOrZero(Vector3D& v) {
    if (v.length() > 0.0f) v.Normalize();
    else v = Vector3D(0.0f, 0.0f, 0.0f);
}

void Mesh::createNormals() {
    if (faceNormals == nullptr) {
        faceNormals = new Vector3D[faceCount];
        vertexNormals = new Vector3D[vertexCount];
        savedVertices = new Vector3D[vertexCount];
    }
    for (unsigned v = 0; v < vertexCount; v++) vertexNormals[v] = Vector3D(0.0f, 0.0f, 0.0f);
    for (unsigned i = 0; i < faceCount; i++) {
        const int* corner = faceIndices + 3 * i;
        const Vector3D& a = vertices[corner[0]];
        const Vector3D& b = vertices[corner[1]];
        const Vector3D& c = vertices[corner[2]];
        const Vector3D e1 = c - b;
        const Vector3D e2 = c - a;
        faceNormals[i] = e1.crossProduct(e2);
        normalizeOrZero(faceNormals[i]);
        for (int k = 0; k < 3; k++) vertexNormals[corner[k]] += faceNormals[i];
    }
    for (unsigned v = 0; v < vertexCount; v++) normalizeOrZero(vertexNormals[v]);
}

void Mesh::flipNormals() {
    assert(vertexNormals != nullptr);
    for (unsigned v = 0; v < vertexCount; v++) {
        vertexNormals[v].x = -vertexNormals[v].x;
        vertexNormals[v].y = -vertexNormals[v].y;
        vertexNormals[v].z = -vertexNormals[v].z;
    }
}

void Mesh::pushVertices() {
    assert(savedVertices != nullptr);
    std::memcpy(savedVertices, vertices, sizeof(Vector3D) * vertexCount);
}

void Mesh::popVertices() {
    assert(savedVertices != nullptr);
    std::memcpy(vertices, savedVertices, sizeof(Vector3D) * vertexCount);
}

static void vertex(const Vector3D& v) {
    glVertex3f(v.x, v.y, v.z);
}

static void normal(const Vector3D& n) {
    glNormal3f(n.x, n.y, n.z);
}

static void line(const Vector3D& from, const Vector3D& to) {
    glBegin(GL_LINES);
    vertex(from);
    vertex(to);
    glEnd();
}

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

void Mesh::frender() {
    for (unsigned i = 0; i < faceCount; i++) {
        glBegin(GL_TRIANGLES);
        for (unsigned c = 3 * i; c < 3 * i + 3; c++) {
            const int v = faceIndices[c];
            const Vector2D& st = texCoords[texIndices[c]];
            const Vector3D& n = vertexNormals[v];
            glMultiTexCoord2fARB(GL_TEXTURE0_ARB, st.x, st.y);
            glMultiTexCoord2fARB(GL_TEXTURE1_ARB, n.x * 0.5f + 0.5f, n.y * 0.5f + 0.5f);
            vertex(vertices[v]);
        }
        glEnd();
    }
}
