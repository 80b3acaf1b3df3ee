// Scene 1 (0 .. 18,000 ms): a flight over a 99 x 99 tile grid that fades in
// tile by tile, carries a fixed tiled texture and a scrolling stretched one,
// and sinks into a funnel from 12 s on; fifty orange triangles spiral in
// above it. Globals are created by scene1init and never freed.
#pragma once

#include "geometry/Curve.h"
#include "geometry/Vector3D.h"

namespace Scene1 {

constexpr int gridSize = 100; // vertices per side; tiles per side is 99
constexpr int particleCount = 50;
constexpr float tileMarker = -19866.0f; // "no offset yet" while shuffling

extern float* field;         // 100 x 100 vertex heights, index 100 r + c
extern float* tileIntensity; // fade-in offset of each tile in ms, 0 .. -5999.4
extern float* particleLife;  // 50 lives; below 0 relaunches with 50 .. 99
extern Curve firstCam;       // camera path 0 .. 6000 ms
extern Curve traCam[5];      // 6000 .. 12,000 ms; entries 0 and 1 are used
extern Curve secCam;         // from 12,000 ms

struct View {
    Vector3D eye;
    Vector3D centre;
};

// The camera for the current demoMS (the middle phase picks its path with
// getSync, which also reads demoMS).
View camera();
// Fills `field` for music time `t` in ms: flat before 12,000 ms, then a
// funnel -(t - 12000) / 20 deep at the centre vertex, falling off as
// 1 / (distance + 1).
void computeHeights(float t);
// Each life falls by `step` (frame step, 50 ms units); one that drops below
// 0 is relaunched with rand() % 50 + 50.
void advanceParticles(float step);
// The frame's picture at demoMS: scene1 small, blurred and full size, with
// the glow added at 0.8; no flash or fade. Moves no particle.
void drawPicture();
// One drawing of the scene with the current projection and viewport.
void scene1();

} // namespace Scene1
