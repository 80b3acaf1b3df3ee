// Drawing helpers shared by the scenes.
#include "scenes/SceneCommon.h"

#include "geometry/Mesh.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/Texture.h"

void bindSlot(int slot) {
    engine->texture->bind(unsigned(engine->slots[slot]));
}

void enableFog(float r, float g, float b, float density, float start, float end, int mode) {
    const GLfloat colour[4] = {r, g, b, 1.0f};
    glEnable(GL_FOG);
    glFogfv(GL_FOG_COLOR, colour);
    glFogf(GL_FOG_DENSITY, density);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    glFogi(GL_FOG_MODE, mode);
}

void faceViewer() {
    GLfloat m[16]; // column-major; m[12..14] is the translation
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int column = 0; column < 3; column++) {
        for (int row = 0; row < 3; row++) m[4 * column + row] = column == row ? 1.0f : 0.0f;
    }
    glLoadMatrixf(m);
}

void drawCornerTriangle(float h) {
    glBegin(GL_TRIANGLES);
    glVertex3f(-h, -h, 0.0f);
    glVertex3f(h, -h, 0.0f);
    glVertex3f(h, h, 0.0f);
    glEnd();
}

void drawTexturedFaces(const Mesh& mesh) {
    for (unsigned f = 0; f < mesh.faceCount; f++) {
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < 3; k++) {
            const Vector2D& st = mesh.texCoords[mesh.texIndices[3 * f + k]];
            const Vector3D& p = mesh.vertices[mesh.faceIndices[3 * f + k]];
            glTexCoord2f(st.x, st.y);
            glVertex3f(p.x, p.y, p.z);
        }
        glEnd();
    }
}

void drawWithGlow(void (*draw)(), float spread, float glowAlpha) {
    engine->perspective(128, 128);
    draw();
    engine->glow->MakeBlur(engine->texture, false, spread, 0.5f, 5);
    engine->perspective(1024, 768);
    draw();
    engine->glow->Render(engine->texture, glowAlpha);
}
