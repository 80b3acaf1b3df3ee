// Small drawing helpers that several scenes share: binding a texture by its
// slot, fog set-up, the billboard matrix, a mesh's faces as textured
// triangles, and the glow pattern (small drawing blurred, full drawing, glow
// added). They use the global `engine`; none allocates or reads the clock.
#pragma once

class Mesh;

// Binds the texture of slot `slot` (0..29 of the engine's slot table) on the
// active texture unit; 2D texturing is enabled.
void bindSlot(int slot);

// Enables fog of colour (r, g, b, 1) with the given density and linear
// start and end (distances in eye units); `mode` is GL_LINEAR, GL_EXP or
// GL_EXP2.
void enableFog(float r, float g, float b, float density, float start, float end, int mode);

// Overwrites the upper-left 3 x 3 part of the modelview matrix with the
// identity, keeping its translation: a quad in the z = 0 plane drawn next
// faces the viewer.
void faceViewer();

// One GL_TRIANGLES batch in the z = 0 plane: (-h, -h), (h, -h), (h, h), the
// lower-right half of a square of half-size `h`.
void drawCornerTriangle(float h);

// Every face of `mesh` in order as its own GL_TRIANGLES batch, corners 0, 1,
// 2, each as texture coordinate (through texIndices) then position (through
// faceIndices). No normals, no material, no transform.
void drawTexturedFaces(const Mesh& mesh);

// The scenes' glow pattern: `draw` at 128 x 128, captured and blurred
// (not additive, `spread`, alpha 0.5, 5 passes); `draw` at 1024 x 768; the
// blurred copy added over it at `glowAlpha`.
void drawWithGlow(void (*draw)(), float spread, float glowAlpha);
