// Scene 7: the chrome blob in its shell, drawn small and full size and
// composited as glow, with a fade in from black and a darkening at each sync.
// The blob's vertices are saved before and restored after every drawing, so
// each drawing deforms the unit sphere afresh from demoMS.
#include "scenes/Scene7.h"

#include <cmath>

#include "geometry/Mesh.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

namespace Scene7 {

Mesh* sphere = nullptr;
Mesh* sphere2 = nullptr;

namespace {

// The shell's radius factor for a unit-sphere vertex: 60 .. 180.
float shellFactor(const Vector3D& v) {
    return 100.0f * (1.2f + 0.2f * (sinf(13.3f * v.x + 20.0f) + cosf(14.3f * v.y + 25.0f) +
                                    cosf(12.3f * v.z + 40.0f)));
}

} // namespace

} // namespace Scene7

using namespace Scene7;

void scene7init() {
    sphere = new Mesh();
    sphere->makeSphere(1, 48);
    sphere->createNormals();
    sphere2 = new Mesh();
    sphere2->makeSphere(1, 48);
    for (unsigned i = 0; i < sphere2->vertexCount; i++) {
        Vector3D& v = sphere2->vertices[i];
        v *= shellFactor(v);
    }
    sphere2->createNormals();
    sphere2->flipNormals();
}

void scene7update() {
    const float t = demoMS;
    drawPicture();
    // Black, alpha 1 at 99,000 ms falling to 0 at 101,000 ms.
    engine->glow->RenderQuad(0, 0, 0, (101000.0f - t) / 2000.0f);
    // Darkens by up to half at each sync, recovering within 500 ms.
    engine->glow->RenderQuad(0, 0, 0, 0.5f * getSyncFloat());
}

namespace Scene7 {

namespace {

// Base texture replaced onto the surface on unit 0, specular added on unit 1.
void setUpUnits(int baseSlot) {
    bindCombined(GL_TEXTURE0_ARB, baseSlot, GL_REPLACE);
    bindCombined(GL_TEXTURE1_ARB, slotSpecular, GL_ADD);
}

} // namespace

int cameraAngle(int syncIndex) {
    const int k = syncIndex % 4;
    return int(float(k) * 2.0f * 3.14159f / 4.0f);
}

void deformBlob(float t) {
    for (unsigned i = 0; i < sphere->vertexCount; i++) {
        Vector3D& v = sphere->vertices[i];
        const float f =
            20.0f * (0.5f + 0.1f * (sinf(6.3f * v.x + t / 300.0f) + cosf(6.3f * v.y + t / 350.0f) +
                                    cosf(9.3f * v.z + t / 280.0f)));
        v *= f;
    }
}

void drawPicture() {
    drawSmallBlurredThenFull(scene7, 0.002f);
    engine->glow->Render(engine->texture, 1.0f);
}

void scene7() {
    const float t = demoMS;
    glDisable(GL_TEXTURE_2D);
    // The shell is added onto the cleared frame.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const float a = float(cameraAngle(getSync()));
    gluLookAt(50.0f * sinf(t / 1000.0f + a), 50.0f * cosf(t / 2000.0f + a),
              50.0f * cosf(t / 1000.0f + a), 0, 0, 0, 0, 1, 0);
    setLinearFog(0, 0, 0, 0.015f, 150, 200);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);

    setUpUnits(slotChromeO);
    glColor3f(1, 1, 1);
    sphere2->frender();
    disableTextureUnits();

    glDisable(GL_BLEND);
    glColor3f(1, 1, 1);
    glPushMatrix();
    sphere->pushVertices();
    deformBlob(t);
    sphere->createNormals();
    setUpUnits(slotChromeTex);
    sphere->frender();
    sphere->popVertices();
    glPopMatrix();
    disableTextureUnits();
}

} // namespace Scene7
