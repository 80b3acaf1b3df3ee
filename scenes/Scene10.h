// Scene 10 (147,000 .. 150,000 ms): the closing card, "endtext.jpg" as an
// opaque square centred on a white screen (512 x 512 at 1024 x 768, two
// thirds of the frame's height at any size), emerging from white over its
// first half second. Drawn once at full size; no glow pass.
#pragma once

namespace Scene10 {

constexpr float cardSide = 512.0f; // pixels of the classic 1024 x 768 frame, centred; scales with it

// The frame's picture at demoMS: the card at full size; no fade.
void drawPicture();
// Draws the card; sets its own projection, viewport and states.
void scene10();

} // namespace Scene10
