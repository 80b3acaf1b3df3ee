// Full-screen drawing shared by the post-processing and the frame overlay:
// the pixel projection of the screen (platform/RenderSize.h) and the
// textured quad that shows an image upright over a rectangle.
#pragma once

// Depth test, culling, lighting and fog off; projection glOrtho(0, width,
// height, 0, -1, 1) of the render size, so that y grows downwards in pixels;
// identity modelview; the full viewport. Leaves the matrix mode at modelview.
void beginScreenPass();

// One GL_QUADS from (0, 0) to (w, h) at z = 0 with texture coordinates
// (0, 1), (1, 1), (1, 0), (0, 0) at its corners in that order.
void drawTexturedRect(float w, float h);

// drawTexturedRect over the whole screen of the pixel projection.
void drawTexturedScreen();
