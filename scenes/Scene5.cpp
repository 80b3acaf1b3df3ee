// Scene 5: ten swaying ribbons along the shore curve in a linear fog. The
// scene keeps no state besides the curve: everything follows from demoMS.
#include "scenes/Scene5.h"

#include <cmath>

#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

namespace Scene5 {

Curve shore;

} // namespace Scene5

using namespace Scene5;

void scene5init() {
    shore = Curve(Vector3D(0, 0, 0), Vector3D(-10, 10, 0), Vector3D(20, 30, 0), Vector3D(0, 50, 0));
}

void scene5update() {
    drawPicture();
    engine->glow->RenderQuad(1, 1, 1, (61000.0f - demoMS) / 1000.0f);
    engine->glow->RenderQuad(1, 1, 1, getSyncFloat() * 0.3f);
}

namespace Scene5 {

float driftClock() {
    return demoMS < freezeMs ? demoMS : freezeMs;
}

int ribbonDepth(int i, float t) {
    const int c = int(float(i * 20) + t / 10.0f); // truncated towards zero
    return c % 200 - 190;
}

float ribbonFade(int z) {
    return z > -20 ? float(z) / 20.0f + 1.0f : 0.0f;
}

float segmentAlpha(float t, float alphaShift) {
    float a = (t * 4.0f - 1.0f) + 1.0f;
    if (a > 1.0f) a = 1.0f;
    return a + alphaShift;
}

void renderHand(float x, float z, float /*k*/, float period, float alphaShift) {
    shore.controlPoints[2].x = cosf(demoMS / period) * 26.0f;
    const Vector3D shift(x, 0.0f, z);
    // 101 segments: in single precision t reaches just below 1 after 100 steps.
    for (float t = 0.0f; t < 1.0f; t += 0.01f) {
        const float t0 = t, t1 = t + 0.01f;
        const float a = segmentAlpha(t, alphaShift);
        const float w0 = 1.0f - t0, w1 = 1.0f - t1;
        const Vector3D pa = shore.vReturnPoint(t0) + shift;
        const Vector3D pb = shore.vReturnPoint(t1) + shift;
        glBegin(GL_QUADS);
        glColor4f(0, 0, 0, a);
        glVertex3f(pa.x - w0, pa.y, pa.z);
        glVertex3f(pb.x - w1, pb.y, pb.z);
        glVertex3f(pb.x + w1, pb.y, pb.z);
        glVertex3f(pa.x + w0, pa.y, pa.z);
        glEnd();
    }
}

void drawPicture() {
    drawSmallBlurredThenFull(scene5, 0.001f);
    engine->glow->Render(engine->texture, 0.3f);
    if (demoMS >= freezeMs) engine->glow->RenderBlur(engine->texture, getSyncFloat() * 2.0f);
}

void scene5() {
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glClearColor(0.8f, 0.9f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const bool moving = demoMS < freezeMs;
    const float t = driftClock();
    const float eyeHeight = 20.0f + (moving ? getSyncFloat() * 20.0f : 0.0f);
    gluLookAt(0, eyeHeight, 1, 0, 0, -100, 0, 1, 0);
    setLinearFog(0.8f, 0.9f, 1.0f, 0.005f, 100.0f, 200.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glColor4f(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    for (int i = 0; i < ribbonCount; i++) {
        const int z = ribbonDepth(i, t);
        const float period = float(i * 300 + 400);
        shore.controlPoints[1].x = cosf(demoMS / period) * 26.0f;
        renderHand(0, float(z), period, float(i * 250 + 600), -ribbonFade(z));
    }
}

} // namespace Scene5
