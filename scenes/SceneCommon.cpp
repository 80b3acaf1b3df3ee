// Drawing steps shared by several scenes.
#include "scenes/SceneCommon.h"

#include "geometry/Mesh.h"
#include "platform/RenderSize.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/PassMark.h"
#include "render/Scissor.h"
#include "render/Texture.h"

namespace {

constexpr int smallSide = 128; // the corner the small pictures are drawn in

// The small pass draws only into the corner, but its draw routine clears
// the whole frame, colour and depth: several milliseconds on a software
// renderer for pixels that the full-size drawing clears again. The callers
// keep a scissor box around the corner for the pass, so the clear stays in
// it; every pixel it draws is the same.
void beginSmallPass() {
    markPass(Pass::Small);
    engine->perspective(smallSide, smallSide);
}

} // namespace

void drawSmallBlurredThenFull(void (*draw)(), float spread) {
    {
        beginSmallPass();
        ScissorBox corner(0, 0, smallSide, smallSide);
        draw();
        engine->glow->MakeBlur(engine->texture, false, spread, 0.5f, 5);
    }
    markPass(Pass::Full);
    engine->perspective(platform::renderWidth(), platform::renderHeight());
    draw();
}

void drawDepthOfField(void (*draw)(bool mask), float spread) {
    {
        beginSmallPass();
        ScissorBox corner(0, 0, smallSide, smallSide);
        draw(true);
        engine->glow->MakeDOF(engine->texture);
        draw(false);
        engine->glow->MakeBlur(engine->texture, false, spread, 0.5f, 5);
    }
    markPass(Pass::Full);
    engine->perspective(platform::renderWidth(), platform::renderHeight());
    draw(false);
    engine->glow->RenderDOF(engine->texture);
}

void setFog(GLint mode, float r, float g, float b, float density, float start, float end) {
    const GLfloat colour[4] = {r, g, b, 1.0f};
    glEnable(GL_FOG);
    glFogfv(GL_FOG_COLOR, colour);
    glFogf(GL_FOG_DENSITY, density);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    glFogi(GL_FOG_MODE, mode);
}

void setLinearFog(float r, float g, float b, float density, float start, float end) {
    setFog(GL_LINEAR, r, g, b, density, start, end);
}

void bindCombined(GLenum unit, int slot, GLint rgbMode) {
    glActiveTextureARB(unit);
    bindSlotTexture(slot);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, rgbMode);
}

void disableTextureUnits() {
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
}

void drawMeshFaces(const Mesh& mesh) {
    // One batch for all faces: the same triangles as a batch per face
    // (Mesa merges consecutive batches anyway), without a call pair each.
    glBegin(GL_TRIANGLES);
    for (unsigned c = 0; c < 3 * mesh.faceCount; c++) {
        const Vector2D& st = mesh.texCoords[mesh.texIndices[c]];
        const Vector3D& v = mesh.vertices[mesh.faceIndices[c]];
        glTexCoord2f(st.x, st.y);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
}

void faceViewer() {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Column-major: elements 0..2, 4..6 and 8..10 are the rotation columns.
    for (int column = 0; column < 3; column++) {
        for (int row = 0; row < 3; row++) m[column * 4 + row] = column == row ? 1.0f : 0.0f;
    }
    glLoadMatrixf(m);
}

void bindSlotTexture(int slot) {
    engine->texture->bind(unsigned(engine->slots[slot]));
}

void drawCornerTriangle(float h) {
    glBegin(GL_TRIANGLES);
    glVertex3f(-h, -h, 0.0f);
    glVertex3f(h, -h, 0.0f);
    glVertex3f(h, h, 0.0f);
    glEnd();
}
