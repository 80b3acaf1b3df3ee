// Scene 8 (111,000 .. 123,000 ms): a tunnel of 100 additive streaks rushing
// toward the camera, a lens flare pulsing on a 1.5 s beat and eight greetings
// cross-fading in turn; glow, a fade in from white and a fade out to black.
#pragma once

#include "render/TextureSlots.h"

class Vector3D;

namespace Scene8 {

constexpr int starCount = 100;
// Streak i: x = angle around the tunnel axis in degrees (0 .. 359),
// y = distance from the axis (1 .. 30), z = depth ahead of the camera
// (0 .. 299 at start-up, 300 .. 399 when respawned).
extern Vector3D* star;

constexpr int greetingCount = greetingSlotCount; // in slots from slotFirstGreeting

// Alpha of greeting j (0 .. 7) at e ms after the scene start: rises over
// 1000 ms from 1500 j, falls over 1000 ms from 1500 j + 1500. Values above 1
// act as 1 and below 0 as 0 when drawn.
float greetingAlpha(int j, float e);

// Moves every streak toward the camera by (i + 10) x s x 0.1 units, s the
// frame step in units of 50 ms, and respawns those whose depth drops below 0.
void advanceStreaks(float s);

// The frame's picture at demoMS: scene8 small, blurred and full size, with
// the glow added at 0.5; no fade. Moves no streak.
void drawPicture();
// One drawing of the scene at demoMS.
void scene8();

} // namespace Scene8
