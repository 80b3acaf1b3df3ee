// Scene 5 (60,000 .. 75,000 ms): ten black tapering ribbons that sway along
// one shared curve, rise into a pale blue fog and drift towards the viewer,
// fading as they come close; they stand still from 72,000 ms.
#pragma once

#include "geometry/Curve.h"

namespace Scene5 {

constexpr int ribbonCount = 10;
constexpr float freezeMs = 72000.0f; // drift and camera bounce stop here

// Centre line of every ribbon; its inner control points' x coordinates are
// rewritten before each ribbon is drawn.
extern Curve shore;

// Music time that drives the drift: demoMS, held at 72,000 ms.
float driftClock();
// Depth of ribbon i (0..9) at music time T (ms, held at 72,000): -190 .. 9,
// moving 100 units per second towards the viewer and wrapping every 200.
int ribbonDepth(int i, float t);
// How much a ribbon at depth z is lightened: 0 beyond -20, then z / 20 + 1.
float ribbonFade(int z);
// Alpha of the ribbon segment starting at t (0..1): 4t, at most 1, plus shift.
float segmentAlpha(float t, float alphaShift);
// Draws one ribbon along `shore` moved by (x, 0, z); k has no effect; the
// far control point sways with `period` ms.
void renderHand(float x, float z, float k, float period, float alphaShift);
// The frame's picture at demoMS: scene5 small, blurred and full size, with
// the glow added at 0.3 and, from 72,000 ms, the blurred copy cross-faded in
// at twice the sync flash value; no flash or fade quad.
void drawPicture();
// Draws the scene with the current projection and viewport.
void scene5();

} // namespace Scene5
