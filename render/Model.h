// A group of meshes under one placement (translation, then rotations about
// x, y and z in degrees) drawn with the "nice.jpg" texture. The model owns
// neither its meshes nor its materials. Nothing in the show builds a model;
// it draws with the engine's texture store, so it sits in render/.
#pragma once

#include <vector>

#include "geometry/Vector3D.h"

class Material;
class Mesh;

class Model {
public:
    std::vector<Mesh*> meshes;
    std::vector<Material*> materials; // kept beside the meshes; not drawn
    Vector3D position;                // set before render
    Vector3D rotation;                // degrees about x, y, z; set before render

    void setPosition(float x, float y, float z) { position = Vector3D(x, y, z); }
    void setRotation(float x, float y, float z) { rotation = Vector3D(x, y, z); }
    // Draws every mesh, turned about z, then y, then x, then moved.
    void render();
};
