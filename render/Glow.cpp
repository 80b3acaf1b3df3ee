// Glow, blur and depth of field from 128 x 128 frame-buffer copies.
#include "render/Glow.h"

#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "render/Invisible.h"
#include "render/PassMark.h"
#include "render/ScreenQuad.h"
#include "render/Texture.h"

namespace {

constexpr int workSize = 128; // texels of the work textures

void captureInto(Texture* texture, int index) {
    texture->bind(index);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, workSize, workSize);
}

void compositeBlur(Texture* texture, int blurTexture, float alpha, GLenum destination) {
    beginScreenPass();
    texture->bind(blurTexture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, destination);
    glColor4f(1, 1, 1, alpha);
    drawTexturedScreen();
}

} // namespace

void Glow::Init(Texture* texture, int filter) {
    blurTexture = int(texture->empty(workSize, unsigned(filter)));
    dofTexture = int(texture->empty(workSize, unsigned(filter)));
}

void Glow::MakeDOF(Texture* texture) {
    captureInto(texture, dofTexture);
}

void Glow::MakeBlur(Texture* texture, bool additive, float spread, float alpha, int passes) {
    markPass(Pass::Blur);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    captureInto(texture, blurTexture);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    // The copies lie at eye distance 0, where fog changes nothing (its
    // factor is 1 in every mode); off, the rasteriser skips it. The scene's
    // fog comes back for the drawing after the blur (Scene 9 relies on it).
    const GLboolean fogged = glIsEnabled(GL_FOG);
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, workSize, workSize, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, workSize, workSize);
    glLoadIdentity();

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, alpha);

    const float step = spread * float(workSize); // pixels of the work area
    static const float directions[8][2] = {
        {-1, 0}, {1, 0}, {0, -1}, {0, 1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1},
    };
    for (int pass = 1; pass <= passes; pass++) {
        float offset = float(pass) * step;
        for (const auto& d : directions) {
            glPushMatrix();
            glTranslatef(d[0] * offset, d[1] * offset, 0);
            drawTexturedRect(workSize, workSize);
            glPopMatrix();
        }
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, workSize, workSize);
    }
    if (fogged) glEnable(GL_FOG);
    glPopMatrix();
}

void Glow::Render(Texture* texture, float alpha) {
    markPass(Pass::Glow);
    compositeBlur(texture, blurTexture, alpha, GL_ONE);
}

void Glow::RenderBlur(Texture* texture, float alpha) {
    markPass(Pass::Glow);
    compositeBlur(texture, blurTexture, alpha, GL_ONE_MINUS_SRC_ALPHA);
}

void Glow::RenderDOF(Texture* texture) {
    markPass(Pass::Glow);
    glDepthMask(GL_FALSE);
    beginScreenPass();
    texture->bind(dofTexture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glColor4f(1, 1, 1, 1);
    drawTexturedScreen();
    texture->bind(blurTexture);
    glBlendFunc(GL_ONE, GL_ONE);
    drawTexturedScreen();
    glDepthMask(GL_TRUE);
}

void Glow::RenderQuad(float r, float g, float b, float a) {
    markPass(Pass::Quads);
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    beginScreenPass();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(r, g, b, a);
    // Most flashes and fades sit at alpha 0 or below (clamped to 0) most of
    // the time; such a quad costs a full-screen blend (3.3 ms on llvmpipe)
    // and changes no pixel.
    if (!leaveOut(invisibleOver(a))) {
        const float w = float(platform::renderWidth()), h = float(platform::renderHeight());
        glBegin(GL_QUADS);
        glVertex3f(0, 0, 0);
        glVertex3f(w, 0, 0);
        glVertex3f(w, h, 0);
        glVertex3f(0, h, 0);
        glEnd();
    }
    glDepthMask(GL_TRUE);
}
