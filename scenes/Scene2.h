// Scene 2 (18,000 .. 30,000 ms): a hexagonal tunnel of fifteen rings of six
// textured panels, each closed by a tyre, receding and recycling, with fifty
// orange triangles tumbling towards the camera. Globals are created by
// scene2init and never freed; they advance only while the scene runs.
#pragma once

#include "geometry/Vector3D.h"

class Mesh;

namespace Scene2 {

constexpr int ringCount = 15;
constexpr int panelsPerRing = 6;
constexpr int lifeStride = 12; // polyLife entries per ring (6 used)
constexpr int triangleCount = 50;
constexpr float ringSpacing = 12.0f;
constexpr float tunnelEnd = 168.0f; // a ring beyond this z returns to the near end

extern Mesh* tyre;       // makeTyre(32, 5, 3, 1)
extern float* zPos;      // 15 ring near-edge z values
extern float* polyLife;  // 180 panel lives, 0 (opaque) .. 255; ring i, panel j at 12 i + j
extern Vector3D* triPos; // 50 triangle centres

// One frame of animation with frame step `step` (50 ms units): panel lives
// fall by 5 step and stop at 0; rings move away by 2 step and wrap past
// z = 168 with new lives 128 .. 255; triangles approach by 1.5 step and
// respawn behind the tunnel when they pass z = 0.
void advance(float step);
// The frame's picture at demoMS: scene2 small, blurred and full size, with
// the glow added at 0.8; no flash or fade. Advances nothing.
void drawPicture();
// One drawing of the scene with the current projection and viewport.
void scene2();

} // namespace Scene2
