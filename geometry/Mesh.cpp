// Mesh: storage, normals, vertex save/restore and the two-texture draw (the
// material-driven and point draws, which the show never calls, are in
// MeshRender.cpp).
// Drawing is immediate mode, one glBegin/glEnd pair per triangle, point or
// line. The generators live in MeshShapes.cpp.
#include "geometry/Mesh.h"

#include <cassert>
#include <cstring>

#include "platform/GL.h"

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
