// Scene 9: the metaballs in the ring tunnel, drawn three times a frame (focus
// mask, small picture for the blur, full picture) and composited with depth
// of field. The blob surface is rebuilt from scratch every frame into the
// buffers made here before main; nothing is allocated after scene9init.
#include "scenes/Scene9.h"

#include <cmath>

#include "geometry/Mesh.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

namespace Scene9 {

// Built in this order by static initialisation: the field and the
// polygoniser read nothing but their arguments, so this is safe before main.
std::vector<Point3D> blobPos(blobCount, Point3D(0, 0, 0));
std::vector<Point3D> mesh(nCells* nCells* nCells * 8, Point3D(0, 0, 0));
const Point3D spaceSize(cubeSide* nCells, cubeSide* nCells, cubeSide* nCells);
SphereSurface surf(blobCount, blobRadius, nCells, spaceSize, blobPos.data());
CalcMesh surfMesh(spaceSize, nCells, &surf, mesh.data());
Mesh* ringi = nullptr;

namespace {

constexpr float switchMs = 135000.0f; // blue blobs from here, "block2.jpg" just after

} // namespace

} // namespace Scene9

using namespace Scene9;

void scene9init() {
    ringi = new Mesh();
    ringi->makeTyre(16, 120.0f, 20.0f, 30.0f);
}

void scene9update() {
    const float t = demoMS;
    drawPicture();
    engine->glow->RenderQuad(0.0f, 0.0f, 0.0f, (124000.0f - t) / 1000.0f); // fade in
    engine->glow->RenderQuad(0.0f, 0.0f, 0.0f, getSyncFloat());            // sync flash
}

namespace Scene9 {

namespace {

// Clear, camera, fog and the fixed state of one pass. Fog is switched on
// only for the mask; the picture passes that follow it in a frame inherit it.
void beginPass(bool mask) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(0.0, 50.0, 300.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    if (mask) {
        setLinearFog(0.0f, 0.0f, 0.0f, 0.015f, 250.0f, 300.0f);
    } else {
        const GLboolean fogOn = glIsEnabled(GL_FOG);
        setLinearFog(0.0f, 0.0f, 0.0f, 0.015f, 200.0f, 400.0f);
        if (!fogOn) glDisable(GL_FOG); // a picture pass only inherits the switch
    }
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

// The surface as integer vertices: white in the mask, else orange before
// 135,000 ms and blue from then on.
void drawMetaballs(bool mask, float t) {
    if (mask) {
        glColor3f(1.0f, 1.0f, 1.0f);
    } else if (t < switchMs) {
        glColor3f(1.0f, 0.6f, 0.1f);
    } else {
        glColor3f(0.1f, 0.6f, 1.0f);
    }
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < surfMesh.vertexCount; i++) glVertex3i(mesh[i].x, mesh[i].y, mesh[i].z);
    glEnd();
}

// Five rings 90 units apart, sliding toward the eye and swaying together.
void drawRings(float t) {
    bindSlotTexture(t > switchMs ? slotBlock2 : slotNet);
    glColor3f(1.0f, 1.0f, 1.0f);
    const float sway = 17.0f * sinf(t / 1200.0f); // degrees
    const float shift = ringShift(t);
    for (int r = -2; r <= 2; r++) {
        glPushMatrix();
        glRotatef(sway, 1.0f, 1.0f, 1.0f);
        glTranslatef(0.0f, 0.0f, 90.0f * float(r) + shift);
        drawMeshFaces(*ringi);
        glPopMatrix();
    }
}

} // namespace

void moveBlobs(float t) {
    for (int i = 0; i < blobCount; i++) {
        const float k = float(i);
        blobPos[i].x = int(60.0f * sinf(t / 800.0f + 1.5f * k));
        blobPos[i].y = int(60.0f * sinf(t / 1200.0f + 1.2f * k));
        blobPos[i].z = int(60.0f * sinf(t / 500.0f + k));
    }
}

void polygonise() {
    surfMesh.reset();
    surf.clearCache();
    for (const Point3D& b : blobPos) {
        const int x0 = surfMesh.getCube(b.x + 17, b.y, b.z);
        surfMesh.generate(x0, b.y, b.z);
    }
}

float ringShift(float t) {
    return float(int(t) % 900) / 5.0f;
}

void drawPicture() {
    moveBlobs(demoMS);
    polygonise();
    drawDepthOfField(scene9, 0.002f);
}

void scene9(bool mask) {
    const float t = demoMS;
    beginPass(mask);
    drawMetaballs(mask, t);
    drawRings(t);
}

} // namespace Scene9
