// Scene 6 (75,000 .. 99,000 ms): a honeycomb field of 10 x 10 hexagonal rings
// with bobbing hexagonal tubes, scrolling under a slowly rolling camera on
// white, with depth of field and a two-second fade in from white.
#pragma once

class Mesh;

namespace Scene6 {

extern Mesh* nice; // hexagonal ring: makeTyre(6, 5, 1, 2)
extern Mesh* cyl;  // hexagonal tube: makeTyre(6, 1, 3, 8)

constexpr float fieldSize = 120.0f; // the field wraps every 120 units in x and z

// Wraps a cell coordinate (never negative) into 0 .. 120, keeping its
// fractional part: v - 120 x (trunc(v) / 120), integer division.
float wrapCell(float v);

// The frame's picture at demoMS: the three passes and the depth-of-field
// composite, without the fade.
void drawPicture();

// One drawing of the scene; `mask` selects the focus-mask pass (black shapes
// fading to white between 20 and 60 units, untextured).
void scene6(bool mask);

} // namespace Scene6
