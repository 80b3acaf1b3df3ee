// Scene 3 (30,000 .. 48,000 ms): 200 glowing ribbons, the arrows, running out
// of the origin along random Bezier curves with strings of bluish particles,
// in black exponential fog; the camera swings along one of four paths and
// changes path at every sync. No state changes after scene3init.
#pragma once

#include "geometry/Curve.h"
#include "geometry/Vector3D.h"

namespace Scene3 {

constexpr int arrowCount = 200;
constexpr int cameraPathCount = 4;

extern Curve* arrow; // 200 arrow paths from the origin, reaching distance 100
extern Curve* camz;  // 4 camera paths

// A random unit vector from three draws of rand() % 100 - 50 (z, then y,
// then x); a draw of (0, 0, 0) has no direction and is drawn again.
Vector3D randomDirection();
// Index into camz of the camera path for the current demoMS.
int cameraPath();
// The eye for the current demoMS: on the current path, swinging with the
// sine of the music time in seconds.
Vector3D cameraEye();
// Draws `curve` between the parameters max(head - length, 0) and head as a
// ribbon with particles; nothing when head < 0 or head > 1.
void renderArrow(Curve* curve, float head, float length);
// The frame's picture at demoMS: scene3 small, blurred and full size, with
// the glow added at 1; no flash or fade.
void drawPicture();
// One drawing of the scene with the current projection and viewport.
void scene3();

} // namespace Scene3
