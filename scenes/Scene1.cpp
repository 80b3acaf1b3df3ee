// Scene 1: the tile grid, the funnel and the spiralling particles. The grid
// sets the texture environment that the rest of the show inherits: unit 0
// combines with RGB from the texture alone, unit 1 adds its texture.
#include "scenes/Scene1.h"

#include <cmath>
#include <cstdlib>

#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

namespace Scene1 {

float* field = nullptr;
float* tileIntensity = nullptr;
float* particleLife = nullptr;
Curve firstCam;
Curve traCam[5];
Curve secCam;

namespace {

constexpr int tileCount = gridSize * gridSize;

} // namespace

} // namespace Scene1

using namespace Scene1;

void scene1init() {
    secCam = Curve(Vector3D(-70, 10, 0), Vector3D(-30, 30, 50), Vector3D(-5, 80, 0), Vector3D(-1, 1, 0));
    firstCam =
        Curve(Vector3D(60, 10, 0), Vector3D(50, 20, 50), Vector3D(40, 10, 20), Vector3D(-10, 15, 60));
    traCam[0] =
        Curve(Vector3D(0, 10, 70), Vector3D(40, 10, 20), Vector3D(60, 10, -20), Vector3D(0, 10, -60));
    traCam[1] =
        Curve(Vector3D(50, 10, -30), Vector3D(10, 20, 40), Vector3D(10, 20, 40), Vector3D(50, 10, 30));

    field = new float[tileCount];
    tileIntensity = new float[tileCount];
    particleLife = new float[particleCount];
    scene1reset();
}

void scene1reset() {
    for (int i = 0; i < tileCount; i++) tileIntensity[i] = tileMarker;
    // A random permutation: each tile gets a distinct offset 0, -0.6, ... -5999.4 ms.
    for (int i = 0; i < tileCount; i++) {
        int idx;
        do {
            idx = rand() % tileCount;
        } while (tileIntensity[idx] != tileMarker);
        tileIntensity[idx] = float(double(i) / -10000.0 * 6000.0);
    }
    for (int i = 0; i < particleCount; i++) particleLife[i] = 0.0f;
}

void scene1step() {
    advanceParticles(skip);
}

void scene1update() {
    scene1step();
    drawPicture();
    engine->glow->RenderQuad(1.0f, 1.0f, 1.0f, getSyncFloat() / 2.0f);
    engine->glow->RenderQuad(1.0f, 1.0f, 1.0f, (demoMS - 17000.0f) / 1000.0f);
}

namespace Scene1 {

namespace {

// Fog, blending and both texture units for the grid: the net tiled two
// tiles per repeat on unit 0, the nice image stretched over the grid on
// unit 1. The alpha combiners keep their default (modulate): alpha is the
// vertex alpha times the textures' alpha, which is 1 for both.
void setGridState() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    setLinearFog(0.0f, 0.0f, 0.0f, 0.015f, 60.0f, 90.0f);
    glEnable(GL_DEPTH_TEST);
    bindCombined(GL_TEXTURE0_ARB, slotNet, GL_REPLACE);
    bindCombined(GL_TEXTURE1_ARB, slotNice, GL_ADD);
}

void gridVertex(float s0, float t0, float s1, float t1, float x, float y, float z) {
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, s0, t0);
    glMultiTexCoord2fARB(GL_TEXTURE1_ARB, s1, t1);
    glVertex3f(x, y, z);
}

// 99 x 99 quads, each its own primitive; a tile's alpha rises from 0 at its
// offset to 1 half a second later.
void drawGrid(float t, float T) {
    float a = 0.0f; // unit-0 t of the tile row
    for (int r = 0; r < gridSize - 1; r++) {
        const float ta = float(r) / 100.0f + 0.04f * T; // scrolls 0.4 per second
        const float tb = float(r + 1) / 100.0f + 0.04f * T;
        const float z = float(r - 50);
        float b = 0.0f; // unit-0 s of the tile
        for (int c = 0; c < gridSize - 1; c++) {
            const int n = gridSize * r + c;
            float alpha = (tileIntensity[n] + t) / 500.0f;
            if (alpha > 1.0f) alpha = 1.0f;
            glColor4f(1.0f, 1.0f, 1.0f, alpha);
            const float x = float(c - 50);
            const float s0 = float(c) / 100.0f, s1 = float(c + 1) / 100.0f;
            glBegin(GL_QUADS);
            gridVertex(b, a, s0, ta, x, field[n], z);
            gridVertex(b + 0.5f, a, s1, ta, x + 1.0f, field[n + 1], z);
            gridVertex(b + 0.5f, a + 0.5f, s1, tb, x + 1.0f, field[n + 101], z + 1.0f);
            gridVertex(b, a + 0.5f, s0, tb, x, field[n + 100], z + 1.0f);
            glEnd();
            b += 0.5f;
        }
        a += 0.5f;
    }
}

// Orange triangles on a shrinking spiral; from 12 s short-lived ones fall
// fastest into the funnel.
void drawParticles(float t, float T) {
    for (int i = 0; i < particleCount; i++) {
        const float L = particleLife[i];
        glColor4f(1.0f, 0.5f, 0.0f, 0.01f * L);
        glPushMatrix();
        float y = 20.0f;
        if (t >= 12000.0f) y = 20.0f - ((t - 12000.0f) / 5.0f) / (L + 1.0f);
        const float w = 0.8f * float(i) + 0.1f * L;
        const float radius = L * L / 100.0f;
        glTranslatef(sinf(w) * radius, y, -cosf(w) * radius);
        glRotatef(16.0f * T + 30.0f * float(i), 1.0f, 1.0f, 1.0f);
        drawCornerTriangle(1.0f);
        glPopMatrix();
    }
}

} // namespace

View camera() {
    const float t = demoMS;
    if (t >= 12000.0f) {
        return {secCam.vReturnPoint((t - 12000.0f) / 6000.0f),
                Vector3D(0.0f, (t - 12000.0f) * -20.0f / 6000.0f, 0.0f)};
    }
    if (t < 6000.0f) return {firstCam.vReturnPoint(t / 12000.0f), Vector3D(0.0f, 0.0f, 0.0f)};
    // getSync is 0 up to 9000 ms and 1 after it, up to 12,000 ms.
    return {traCam[getSync()].vReturnBezier((t - 6000.0f) / 6000.0f), Vector3D(0.0f, 5.0f, 0.0f)};
}

void computeHeights(float t) {
    for (int r = 0; r < gridSize; r++) {
        for (int c = 0; c < gridSize; c++) {
            const int dx = c - 50, dz = r - 50;
            float h = 0.0f;
            if (t >= 12000.0f) h = ((t - 12000.0f) / -20.0f) / (sqrtf(float(dx * dx + dz * dz)) + 1.0f);
            field[gridSize * r + c] = h;
        }
    }
}

void advanceParticles(float step) {
    for (int i = 0; i < particleCount; i++) {
        particleLife[i] -= step;
        if (particleLife[i] < 0.0f) particleLife[i] = float(rand() % 50 + 50);
    }
}

void drawPicture() {
    drawSmallBlurredThenFull(scene1, 0.001f);
    engine->glow->Render(engine->texture, 0.8f);
}

void scene1() {
    const float t = demoMS, T = demoTime;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const View v = camera();
    gluLookAt(v.eye.x, v.eye.y, v.eye.z, v.centre.x, v.centre.y, v.centre.z, 0.0, 1.0, 0.0);

    computeHeights(t);
    setGridState();
    drawGrid(t, T);

    disableTextureUnits(); // unit 0 stays active
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    drawParticles(t, T);
}

} // namespace Scene1
