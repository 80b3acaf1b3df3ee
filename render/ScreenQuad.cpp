// Full-screen pass set-up and quads.
#include "render/ScreenQuad.h"

#include "platform/GL.h"
#include "platform/RenderSize.h"

void beginScreenPass() {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, platform::renderWidth(), platform::renderHeight(), 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, platform::renderWidth(), platform::renderHeight());
}

void drawTexturedRect(float w, float h) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(0, 0, 0);
    glTexCoord2f(1, 1);
    glVertex3f(w, 0, 0);
    glTexCoord2f(1, 0);
    glVertex3f(w, h, 0);
    glTexCoord2f(0, 0);
    glVertex3f(0, h, 0);
    glEnd();
}

void drawTexturedScreen() {
    drawTexturedRect(float(platform::renderWidth()), float(platform::renderHeight()));
}
