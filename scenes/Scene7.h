// Scene 7 (99,000 .. 111,000 ms): a chrome blob, a sphere deformed by moving
// sine waves every drawing, inside a large bumpy shell; both drawn with a base
// texture on unit 0 and a normal-addressed specular texture added on unit 1.
// The camera circles the blob and cuts to another angle at every sync.
#pragma once

class Mesh;

namespace Scene7 {

extern Mesh* sphere;  // the blob: unit sphere, 48 segments, inward normals
extern Mesh* sphere2; // the shell: bumpy, 60 .. 180 units out, outward normals

// Camera angle offset in whole radians for a sync index: index mod 4 gives
// 0, 1, 3 or 4 (k x 2 x 3.14159 / 4 truncated toward zero).
int cameraAngle(int syncIndex);

// Moves every vertex of `sphere` by the blob's wave factor at music time t
// (4 .. 16 for a vertex on the unit sphere). Callers save the vertices
// first and restore them afterwards.
void deformBlob(float t);

// The frame's picture at demoMS: scene7 small, blurred and full size, with
// the glow added at 1; no fade or darkening.
void drawPicture();
// One drawing of the scene at demoMS.
void scene7();

} // namespace Scene7
