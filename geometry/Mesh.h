// Mesh: an indexed triangle mesh with separate vertex and texture-coordinate
// indices, face and vertex normals, a position and an embedded Material.
// The generators (makeCube, makeCylinder, makeTyre, makeSphere) fill it;
// createNormals allocates the normal and save arrays once, so deforming and
// re-normalising every frame allocates nothing. The mesh owns its arrays.
#pragma once

#include "geometry/Material.h"
#include "geometry/Vector3D.h"

class Mesh {
public:
    Material material;
    Vector3D* vertexNormals; // vertexCount entries, from the first createNormals
    Vector3D* faceNormals;   // faceCount entries; null until the first createNormals
    Vector3D position;       // translation applied by render
    int texCoordCount;       // entries in texCoords
    int texFaceCount;        // triples in texIndices (= faceCount)
    int* faceIndices;        // 3 per triangle, each below vertexCount
    int* texIndices;         // 3 per triangle, each below texCoordCount
    Vector3D* vertices;      // vertexCount entries
    Vector2D* texCoords;     // texCoordCount entries, x = s, y = t
    Vector3D* savedVertices; // vertexCount entries, the pushVertices store
    unsigned vertexCount;
    unsigned faceCount;

    Mesh();
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    void setPosition(Vector3D p) { position = p; }
    Vector3D getPosition() const { return position; }
    unsigned getVerticeAmount() const { return vertexCount; }
    unsigned getFaceAmount() const { return faceCount; }

    // Generators (MeshShapes.cpp). Angles use 3.14159 in single precision.
    // A segment count below 1 leaves the mesh empty with a line on stderr.
    void makeCube(float size);
    void makeCylinder(int segments, int unused, float height, float radius);
    void makeTyre(int segments, float radius, float thickness, float halfWidth);
    void makeSphere(float radius, int segments);

    // Unit face normals (pointing to the side from which a triangle runs
    // clockwise) and vertex normals (normalised sum of the face normals of the
    // triangles that use the vertex). A zero-area triangle gets a zero face
    // normal that adds nothing; a vertex with a zero sum (unused) gets a zero
    // normal. The first call allocates; the counts must not change after it.
    void createNormals();
    // Negates every vertex normal; face normals are unchanged.
    void flipNormals();
    // Save and restore the vertex positions (after createNormals).
    void pushVertices();
    void popVertices();

    // Nothing in the show calls render or prender (MeshRender.cpp).
    // Material-driven draw at `position`: triangles only with MAT_LIT (needs
    // createNormals), then the normal lines that MAT_SHOW_VERTEX_NORMALS and
    // MAT_SHOW_FACE_NORMALS request.
    void render();
    // The vertices as points; no transform, no material.
    void prender();
    // Two-unit draw: unit 0 gets the texture coordinates, unit 1 the vertex
    // normal's x and y mapped to 0..1. No transform, material or binding.
    void frender();
    void bevel() {}

private:
    // Releases every array, then allocates positions and indices for the
    // given counts, and texture arrays when texCoords > 0.
    void allocate(unsigned vertexTotal, unsigned faceTotal, int texCoordTotal);
    void release();
};
