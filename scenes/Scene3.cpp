// Scene 3: the arrows (ribbons folded into y >= 0 with particle strings),
// drawn additively without depth test, with a fade in from black, faint sync
// flashes and a fade to white.
#include "scenes/Scene3.h"

#include <cmath>
#include <cstdlib>

#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

namespace Scene3 {

Curve* arrow = nullptr;
Curve* camz = nullptr;

namespace {

constexpr float segmentStep = 0.01f; // curve parameter per ribbon segment
constexpr float particleStep = 0.1f; // curve parameter between particles

} // namespace

} // namespace Scene3

using namespace Scene3;

void scene3init() {
    arrow = new Curve[arrowCount];
    camz = new Curve[cameraPathCount];
    camz[0] =
        Curve(Vector3D(30, -10, 0), Vector3D(10, -5, 15), Vector3D(-20, 10, 30), Vector3D(-30, 20, 0));
    camz[1] =
        Curve(Vector3D(-30, 20, 0), Vector3D(10, 30, 15), Vector3D(20, 30, 15), Vector3D(30, 20, 0));
    camz[2] =
        Curve(Vector3D(-30, -20, 0), Vector3D(10, -30, 15), Vector3D(20, -30, 15), Vector3D(30, -20, 0));
    camz[3] =
        Curve(Vector3D(30, 10, 0), Vector3D(10, 5, 15), Vector3D(-20, -10, 30), Vector3D(-30, -20, 0));
    scene3reset();
}

// The ribbons never change after this, but a rewind draws their rand()
// values again so that the scenes after it get the same sequence.
void scene3reset() {
    for (int i = 0; i < arrowCount; i++) {
        const Vector3D a = randomDirection();
        const Vector3D b = randomDirection();
        const Vector3D c = randomDirection();
        arrow[i] = Curve(Vector3D(0, 0, 0), a * 25.0f, b * 50.0f, c * 100.0f);
    }
}

void scene3update() {
    drawPicture();
    engine->glow->RenderQuad(1.0f, 1.0f, 1.0f, getSyncFloat() * 0.2f);
    engine->glow->RenderQuad(0.0f, 0.0f, 0.0f, (31000.0f - demoMS) / 1000.0f);
    engine->glow->RenderQuad(1.0f, 1.0f, 1.0f, (demoMS - 47000.0f) / 1000.0f);
}

namespace Scene3 {

namespace {

Vector3D foldUp(Vector3D p) {
    if (p.y < 0.0f) p.y = -p.y;
    return p;
}

void quadVertex(float s, float t, const Vector3D& p) {
    glTexCoord2f(s, t);
    glVertex3f(p.x, p.y, p.z);
}

// Segments of 0.01 from `start` while below end - 0.01; the half-width is the
// side vector times the absolute curve parameter.
void drawRibbon(const Curve& curve, float start, float end) {
    for (float u = start; u < end - segmentStep; u += segmentStep) {
        const Vector3D p0 = foldUp(curve.vReturnPoint(u));
        const Vector3D p1 = foldUp(curve.vReturnPoint(u + segmentStep));
        const Vector3D w = curve.curveSideVec(u) * u;
        glBegin(GL_QUADS);
        quadVertex(0.0f, 0.0f, p0 - w);
        quadVertex(0.0f, 1.0f, p1 - w);
        quadVertex(1.0f, 1.0f, p1 + w);
        quadVertex(1.0f, 0.0f, p0 + w);
        glEnd();
    }
}

// Billboards every 0.1 from `start`, shimmering with the music time.
void drawParticleString(const Curve& curve, float head, float start, float end) {
    bindSlotTexture(slotSmallPart);
    for (float u = start; u < end; u += particleStep) {
        float v = sinf(demoMS / 100.0f + u * 10.0f + head * 2.0f) * 0.4f + 0.1f;
        if (v < 0.0f) v = 0.0f;
        const Vector3D p = foldUp(curve.vReturnPoint(head * 0.1f + u));
        glPushMatrix();
        glTranslatef(p.x, p.y, p.z);
        faceViewer();
        glBegin(GL_QUADS);
        glColor3f(v, v * 1.3f, v * 1.5f); // a vertex attribute here: no state block per billboard
        quadVertex(0.0f, 0.0f, Vector3D(-0.5f, 0.5f, 0.0f));
        quadVertex(1.0f, 0.0f, Vector3D(0.5f, 0.5f, 0.0f));
        quadVertex(1.0f, 1.0f, Vector3D(0.5f, -0.5f, 0.0f));
        quadVertex(0.0f, 1.0f, Vector3D(-0.5f, -0.5f, 0.0f));
        glEnd();
        glPopMatrix();
    }
}

} // namespace

Vector3D randomDirection() {
    Vector3D d;
    do {
        d.z = float(rand() % 100 - 50);
        d.y = float(rand() % 100 - 50);
        d.x = float(rand() % 100 - 50);
    } while (d.x == 0.0f && d.y == 0.0f && d.z == 0.0f);
    d.Normalize();
    return d;
}

int cameraPath() {
    return getSync() % cameraPathCount;
}

Vector3D cameraEye() {
    const float s = sinf(demoMS / 1000.0f) * 0.5f + 0.5f;
    return camz[cameraPath()].vReturnBezier(s);
}

void renderArrow(Curve* curve, float head, float length) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor3f(1.0f, 1.0f, 1.0f);
    bindSlotTexture(slotRainbow);

    float start = head - length;
    float span = length;
    if (start < 0.0f) {
        if (-length > start) return; // head < 0
        span = head;
        start = 0.0f;
    }
    if (head > 1.0f) return;
    const float end = start + span;
    drawRibbon(*curve, start, end);
    drawParticleString(*curve, head, start, end);
}

void drawPicture() {
    drawSmallBlurredThenFull(scene3, 0.002f);
    engine->glow->Render(engine->texture, 1.0f);
}

void scene3() {
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const int t = int(demoMS - 30000.0f); // ms since the scene began
    const Vector3D eye = cameraEye();
    gluLookAt(eye.x, eye.y, eye.z, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    setFog(GL_EXP, 0.0f, 0.0f, 0.0f, 0.015f, 40.0f, 80.0f); // only the density acts
    glDisable(GL_DEPTH_TEST);
    int off = t - 6000; // the arrows stand still for the first 6 s
    if (off < 0) off = 0;
    for (int i = 0; i < arrowCount; i++)
        renderArrow(&arrow[i], float(i) * 0.1f - float(off) / 1000.0f, 1.0f);
}

} // namespace Scene3
