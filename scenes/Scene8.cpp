// Scene 8: the streak tunnel with its flare and greetings, drawn small and full
// size, then the streaks advance (once per frame) and the glow and the fades
// are laid on top. The streaks are the only state; they move only while the
// scene is current.
#include "scenes/Scene8.h"

#include <cmath>
#include <cstdlib>

#include "geometry/Vector3D.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/Invisible.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/SceneTable.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

namespace Scene8 {

Vector3D* star = nullptr;

namespace {

constexpr float eyeZ = 10.0f;    // the camera's z; it looks along +z
constexpr float fogEnd = 100.0f; // eye distance where the streaks are black

// A streak from three rand() values drawn in this order; `depth` takes r1.
Vector3D randomStreak(int depthRange, int depthBase) {
    const int r1 = std::rand();
    const int r2 = std::rand();
    const int r3 = std::rand();
    return Vector3D(float(r3 % 360), float(r2 % 30 + 1), float(r1 % depthRange + depthBase));
}

} // namespace

} // namespace Scene8

using namespace Scene8;

void scene8init() {
    star = new Vector3D[starCount];
    scene8reset();
}

void scene8reset() {
    for (int i = 0; i < starCount; i++) star[i] = randomStreak(300, 0);
}

void scene8step() {
    advanceStreaks(skip);
}

void scene8update() {
    const float t = demoMS;
    drawPicture();
    scene8step(); // after both drawings, so they show the same streaks
    // White, alpha 1 at 111,000 ms falling to 0 at 111,500 ms.
    engine->glow->RenderQuad(1, 1, 1, (111500.0f - t) / 500.0f);
    // Black, alpha 0 at 122,500 ms rising toward 1 at 123,000 ms.
    engine->glow->RenderQuad(0, 0, 0, (t - 122500.0f) / 500.0f);
}

namespace Scene8 {

namespace {

// The 4 x 4 square of the flare and the greetings, (0, 0) at the top left;
// `side` 0 gives the same call as a square of no area.
void squareQuad(float side = 4.0f) {
    const float h = side / 2.0f;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-h, h, 0);
    glTexCoord2f(1, 0);
    glVertex3f(h, h, 0);
    glTexCoord2f(1, 1);
    glVertex3f(h, -h, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-h, -h, 0);
    glEnd();
}

// Under additive blending a streak wholly beyond the fog's end adds nothing;
// its near end is its nearest point (the rotation is about the view axis).
void drawStreaks() {
    bindSlotTexture(slotTailPart);
    glColor4f(1, 1, 1, 1);
    for (int i = 0; i < starCount; i++) {
        if (leaveOut(invisibleAddedInFog(star[i].z - eyeZ, fogEnd))) continue;
        glPushMatrix();
        glTranslatef(0, 0, star[i].z);
        glRotatef(star[i].x, 0, 0, 1);
        glTranslatef(0, star[i].y, 0);
        const float w = float(i + 50) / 100.0f; // 0.5 .. 1.49
        // Flat in the plane through the axis, orange head fading to black.
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glColor3f(1, 0.8f, 0.4f);
        glVertex3f(-w, 0, 0);
        glTexCoord2f(1, 0);
        glVertex3f(w, 0, 0);
        glTexCoord2f(1, 1);
        glColor3f(0, 0, 0);
        glVertex3f(w, 0, 30.0f * w);
        glTexCoord2f(0, 1);
        glVertex3f(-w, 0, 30.0f * w);
        glEnd();
        glPopMatrix();
    }
}

// In eye space: every 1500 ms d falls from 1 to just above -0.5 while the
// flare comes from 6 units ahead toward the eye; negative colours are black.
void drawFlare(float t) {
    bindSlotTexture(slotFlare);
    glLoadIdentity();
    const float c = std::trunc(t / 1500.0f);
    const float d = 1.0f - (t - 1500.0f * c) / 1000.0f;
    glTranslatef(0, 0, -2.0f - 4.0f * d);
    glColor3f(d, d, d);
    glRotatef(t / 100.0f, 0, 0, -1);
    squareQuad();
}

void drawGreetings(float t) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLoadIdentity();
    glTranslatef(0, 0, -5);
    const float e = t - float(sceneTable[7].startMs);
    for (int j = 0; j < greetingCount; j++) {
        bindSlotTexture(slotFirstGreeting + j);
        const float alpha = greetingAlpha(j, e);
        glColor4f(1, 1, 1, alpha);
        // No depth writes (the depth test is off). A greeting left out is
        // still sent as a square of no area: without any draw between its
        // texture and colour changes, llvmpipe builds a new state block
        // for the next one, an allocation a frame.
        squareQuad(leaveOut(invisibleOver(alpha)) ? 0.0f : 4.0f);
    }
}

} // namespace

float greetingAlpha(int j, float e) {
    const float begin = 1500.0f * float(j);
    float a = 0;
    if (e > begin) {
        a = (e - begin) / 1000.0f;
        if (e > begin + 1500.0f) a = 1.0f - (e - begin - 1500.0f) / 1000.0f;
    }
    return a;
}

void advanceStreaks(float s) {
    for (int i = 0; i < starCount; i++) {
        star[i].z -= float(i + 10) * s * 0.1f;
        if (star[i].z < 0) star[i] = randomStreak(100, 300); // beyond the fog end
    }
}

void drawPicture() {
    drawSmallBlurredThenFull(scene8, 0.001f);
    engine->glow->Render(engine->texture, 0.5f);
}

void scene8() {
    const float t = demoMS;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(0, 0, eyeZ, 0, 0, 1000, 0, 1, 0);
    // With additive blending, distant streaks fade out.
    setLinearFog(0, 0, 0, 0.015f, 40, fogEnd);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    drawStreaks();
    drawFlare(t);
    drawGreetings(t);
}

} // namespace Scene8
