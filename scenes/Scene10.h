// Scene 10 (147,000 .. 150,000 ms): the closing card, "endtext.jpg" as an
// opaque 512 x 512 square centred on a white screen, emerging from white
// over its first half second. Drawn once at full size; no glow pass.
#pragma once

namespace Scene10 {

constexpr float cardSide = 512.0f; // screen pixels, centred on the screen

// The frame's picture at demoMS: the card at full size; no fade.
void drawPicture();
// Draws the card; sets its own projection, viewport and states.
void scene10();

} // namespace Scene10
