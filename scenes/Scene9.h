// Scene 9 (123,000 .. 147,000 ms): eight metaballs, polygonised every frame
// by marching cubes, drift inside a tunnel of five textured rings, with depth
// of field, a fade-in from black, dark sync flashes and a colour and texture
// switch at 135,000 ms. The globals are built by static initialisation.
#pragma once

#include <vector>

#include "geometry/CalcMesh.h"
#include "geometry/SphereSurface.h"
#include "geometry/Vector3D.h"

class Mesh;

namespace Scene9 {

constexpr int cubeSide = 9;    // world units per grid cell
constexpr int nCells = 29;     // cells per axis: the box is 261 units wide
constexpr int blobRadius = 18; // surface radius of a lone blob
constexpr int blobCount = 8;

extern std::vector<Point3D> blobPos; // blobCount centres, -60 .. 60 per axis
extern std::vector<Point3D> mesh;    // nCells³ × 8 triangle vertices
extern const Point3D spaceSize;      // the box, cubeSide × nCells per axis
extern SphereSurface surf;           // the field of blobPos
extern CalcMesh surfMesh;            // writes the surface into mesh
extern Mesh* ringi;                  // the ring, made by scene9init

// Blob centres for music time t (ms), each coordinate 60 × a sine,
// truncated toward zero.
void moveBlobs(float t);
// Rebuilds the surface of the current blobPos into mesh: clears the visited
// flags and the potential cache, then follows each blob's surface from a
// seed 17 units to its +x side.
void polygonise();
// Distance (0 .. 179.8) the rings have slid toward the viewer at time t (ms):
// (t truncated, modulo 900) / 5.
float ringShift(float t);
// The frame's picture at demoMS: the blobs moved and polygonised, then the
// focus mask and small picture at 128 x 128 (captured and blurred), the full
// picture at the render size and the depth-of-field composite. No fade or
// flash.
void drawPicture();
// Draws the scene once at demoMS: mask = true for the white focus-mask pass
// (near fog 250 .. 300, switched on here), false for a picture pass.
void scene9(bool mask);

} // namespace Scene9
