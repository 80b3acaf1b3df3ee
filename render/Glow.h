// Frame-buffer post-processing: the scene drawn into the lower-left
// 128 x 128 pixels is copied into a work texture and blurred there, then
// composited over the full-size picture as glow, blur or depth of field;
// plus untextured full-screen quads for flashes and fades. Each operation
// leaves GL state that the next drawing relies on (see each comment).
#pragma once

class Texture;

class Glow {
public:
    int blurTexture = 0; // 128 x 128 RGB: the captured, blurred scene
    int dofTexture = 0;  // 128 x 128 RGB: the captured focus mask

    // Creates the two work textures (the store's next two indices).
    void Init(Texture* texture, int filter);
    // Copies the 128 x 128 pixels at the origin into dofTexture.
    void MakeDOF(Texture* texture);
    // Copies the 128 x 128 pixels into blurTexture and blurs them there with
    // `passes` passes of eight shifted copies at alpha `alpha`, each pass
    // spread by `spread` x 128 pixels more. Leaves a 128 x 128 viewport and
    // orthographic projection, blending on, blurTexture bound.
    void MakeBlur(Texture* texture, bool additive, float spread, float alpha, int passes);
    // Adds the blurred copy over the screen at `alpha` (glow).
    void Render(Texture* texture, float alpha);
    // Cross-fades the screen towards the blurred copy by `alpha`.
    void RenderBlur(Texture* texture, float alpha);
    // Screen x focus mask + blurred copy (depth of field).
    void RenderDOF(Texture* texture);
    // An untextured full-screen quad (flash or fade); leaves texturing off,
    // blending on (source alpha), the colour set and a full-screen pass. At
    // alpha 0 or below it sets that state but draws nothing (Invisible.h).
    void RenderQuad(float r, float g, float b, float a);
};
