// Scene 2: the tunnel of panels and tyres and the tumbling triangles, with a
// fade in from white, faint sync flashes and a fade to black.
#include "scenes/Scene2.h"

#include <cmath>
#include <cstdlib>

#include "geometry/Mesh.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

namespace Scene2 {

Mesh* tyre = nullptr;
float* zPos = nullptr;
float* polyLife = nullptr;
Vector3D* triPos = nullptr;

namespace {

constexpr int lifeCount = ringCount * lifeStride;
constexpr float panelRadius = 6.0f;  // of the hexagon around the z axis
constexpr float panelLength = 10.0f; // along z
constexpr float P = 3.14159f;

} // namespace

} // namespace Scene2

using namespace Scene2;

void scene2init() {
    tyre = new Mesh();
    tyre->makeTyre(32, 5, 3, 1);
    zPos = new float[ringCount];
    polyLife = new float[lifeCount];
    triPos = new Vector3D[triangleCount];
    scene2reset();
}

void scene2reset() {
    for (int i = 0; i < triangleCount; i++) {
        const int r1 = rand(), r2 = rand(), r3 = rand();
        triPos[i] = Vector3D(float(r3 % 8 - 4), float(r2 % 8 - 4), float((r1 % 15) * 12));
    }
    // The first fifteen lives are drawn together with the ring positions;
    // every other panel gets its start life in 0 .. 255 afterwards, so no
    // panel is drawn with an unset opacity before its ring first wraps.
    for (int i = 0; i < ringCount; i++) {
        polyLife[i] = float(rand() % 256);
        zPos[i] = ringSpacing * float(i) - 12.0f;
    }
    for (int i = ringCount; i < lifeCount; i++) polyLife[i] = float(rand() % 256);
}

void scene2step() {
    advance(skip);
}

void scene2update() {
    const float t = demoMS;
    scene2step();
    drawPicture();
    engine->glow->RenderQuad(1.0f, 1.0f, 1.0f, (19000.0f - t) / 1000.0f);
    engine->glow->RenderQuad(1.0f, 1.0f, 1.0f, 0.2f * getSyncFloat());
    engine->glow->RenderQuad(0.0f, 0.0f, 0.0f, (t - 29000.0f) / 1000.0f);
}

namespace Scene2 {

namespace {

// Camera bobbing and rolling slowly, jerked by the sync flash value f.
void placeCamera(float t, float f) {
    const float e = 0.3f * cosf(t / 2800.0f - 0.5f * f) - 0.3f;
    const float ux = sinf(0.5f * cosf(t / 1500.0f - 0.5f * f));
    const float uy = cosf(0.5f * cosf(t / 1500.0f));
    gluLookAt(0.0, e, -1.0, 0.0, 0.0, 0.0, ux, uy, 0.0);
}

void drawPanels() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    bindSlotTexture(slotNet);
    glEnable(GL_DEPTH_TEST);
    for (int i = 0; i < ringCount; i++) {
        for (int j = 0; j < panelsPerRing; j++) {
            const float alpha = 1.0f - polyLife[lifeStride * i + j] / 256.0f;
            glPushMatrix();
            const float ax = panelRadius * sinf(2.0f * P * float(j) / 6.0f);
            const float ay = panelRadius * cosf(2.0f * P * float(j) / 6.0f);
            const float bx = panelRadius * sinf(2.0f * P * float(j + 1) / 6.0f);
            const float by = panelRadius * cosf(2.0f * P * float(j + 1) / 6.0f);
            const float z0 = zPos[i], z1 = z0 + panelLength;
            glTranslatef(ax, ay, z0);
            glBegin(GL_QUADS);
            // Inside the primitive the colour is a vertex attribute; set
            // between primitives, with a matrix per panel, it would cost the
            // driver a state block per panel.
            glColor4f(1.0f, 1.0f, 1.0f, alpha);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(0.0f, 0.0f, 0.0f);
            glTexCoord2f(3.0f, 0.0f);
            glVertex3f(bx - ax, by - ay, 0.0f);
            glTexCoord2f(3.0f, 3.0f);
            glVertex3f(bx - ax, by - ay, z1 - z0);
            glTexCoord2f(0.0f, 3.0f);
            glVertex3f(0.0f, 0.0f, z1 - z0);
            glEnd();
            glPopMatrix();
        }
    }
}

// Blending stays on from the panels; the alpha of 1 makes the tyres opaque.
void drawTyres() {
    bindSlotTexture(slotBlock);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int i = 0; i < ringCount; i++) {
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, zPos[i] + 11.0f);
        drawMeshFaces(*tyre);
        glPopMatrix();
    }
}

void drawTriangles() {
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    for (int i = 0; i < triangleCount; i++) {
        const Vector3D& p = triPos[i];
        glPushMatrix();
        glColor3f(1.0f, 0.5f, 0.025f);
        glTranslatef(p.x, p.y, p.z);
        glRotatef(20.0f * p.z + 40.0f * p.x + 40.0f * p.y, 1.0f, 1.0f, 1.0f);
        drawCornerTriangle(0.3f);
        glPopMatrix();
    }
}

} // namespace

void advance(float step) {
    for (int i = 0; i < ringCount; i++) {
        float* life = polyLife + lifeStride * i;
        for (int j = 0; j < panelsPerRing; j++) {
            life[j] -= 5.0f * step;
            if (life[j] < 0.0f) life[j] = 0.0f;
        }
        zPos[i] += 2.0f * step;
        if (zPos[i] > tunnelEnd) {
            zPos[i] -= ringSpacing * float(ringCount);
            for (int j = 0; j < panelsPerRing; j++) life[j] = float(rand() % 128 + 128);
        }
    }
    for (int i = 0; i < triangleCount; i++) {
        Vector3D& p = triPos[i];
        p.z -= 1.5f * step;
        if (p.z < 0.0f) {
            p.z = float(rand() % 180 + 180);
            p.y = float(rand() % 800 - 400) / 100.0f;
            p.x = float(rand() % 800 - 400) / 100.0f;
        }
    }
}

void drawPicture() {
    drawSmallBlurredThenFull(scene2, 0.002f);
    engine->glow->Render(engine->texture, 0.8f);
}

void scene2() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    setLinearFog(0.0f, 0.0f, 0.0f, 0.015f, 50.0f, 80.0f);
    glEnable(GL_DEPTH_TEST);
    placeCamera(demoMS, getSyncFloat());
    drawPanels();
    drawTyres();
    drawTriangles();
}

} // namespace Scene2
