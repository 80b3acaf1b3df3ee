// Drawing steps that several scenes share: the small-then-full drawing with
// the blur capture between, the same with a focus mask first (depth of
// field), the fog set-up, the combine texture environment on one
// texture unit, switching both units off again, the face-by-face textured
// draw of a generated mesh, the billboard matrix, slot binding and the
// corner triangle of the particle scenes.
// All need a current GL context; the slot helpers need the global engine.
#pragma once

#include "platform/GL.h"

class Mesh;

// The glow pattern's drawings: `draw` into the 128 x 128 corner, captured and
// blurred by Glow::MakeBlur (not additive, `spread`, alpha 0.5, 5 passes),
// then `draw` again full size. The caller composites afterwards.
void drawSmallBlurredThenFull(void (*draw)(), float spread);

// The depth-of-field pattern: `draw`(true), the focus mask, into the
// 128 x 128 corner, captured by Glow::MakeDOF; `draw`(false) there, captured
// and blurred by Glow::MakeBlur (not additive, `spread`, alpha 0.5, 5
// passes); `draw`(false) full size; then Glow::RenderDOF composites.
void drawDepthOfField(void (*draw)(bool mask), float spread);

// Fog on in `mode` (GL_LINEAR, GL_EXP) with colour (r, g, b, 1), the given
// density and the range start..end in eye-space units (the density acts only
// in the exponential modes, the range only in GL_LINEAR).
void setFog(GLint mode, float r, float g, float b, float density, float start, float end);
// setFog in GL_LINEAR mode.
void setLinearFog(float r, float g, float b, float density, float start, float end);

// Makes `unit` (GL_TEXTURE0_ARB, GL_TEXTURE1_ARB) active, binds the texture
// of engine slot `slot` there (texturing on) and sets GL_COMBINE_ARB with
// GL_COMBINE_RGB_ARB = `rgbMode` (GL_REPLACE or GL_ADD); the alpha combiner
// keeps its default (texture alpha x previous alpha). Leaves `unit` active.
void bindCombined(GLenum unit, int slot, GLint rgbMode);

// 2D texturing off on unit 1, then on unit 0, which stays the active unit.
void disableTextureUnits();

// Every face of `mesh` in order in one GL_TRIANGLES batch, each corner
// (0, 1, 2) as texture coordinate then position; no normals, no transform.
void drawMeshFaces(const Mesh& mesh);

// Replaces the upper-left 3 x 3 part of the current modelview matrix by the
// identity, keeping its translation: whatever is drawn next in the z = 0
// plane faces the viewer (a billboard). The matrix mode must be modelview.
void faceViewer();

// Binds the texture of engine slot `slot` (0 .. slotCount - 1) on the active unit;
// texturing is enabled.
void bindSlotTexture(int slot);

// One GL_TRIANGLES batch in the z = 0 plane: (-h, -h), (h, -h), (h, h), the
// lower-right half of a square of half-size `h`.
void drawCornerTriangle(float h);
