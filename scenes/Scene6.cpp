// Scene 6: the honeycomb of rings and tubes, drawn as a focus mask, then small
// and full size, composited with depth of field. Everything is a function of
// demoMS; the only state is the two meshes made at start-up.
#include "scenes/Scene6.h"

#include <cmath>

#include "geometry/Mesh.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

namespace Scene6 {

Mesh* nice = nullptr;
Mesh* cyl = nullptr;

namespace {

constexpr int cells = 10; // rows and columns of the field
constexpr float cellSize = 12.0f;

} // namespace

} // namespace Scene6

using namespace Scene6;

void scene6init() {
    nice = new Mesh();
    nice->makeTyre(6, 5, 1, 2);
    cyl = new Mesh();
    cyl->makeTyre(6, 1, 3, 8);
}

void scene6update() {
    const float t = demoMS;
    drawPicture();
    // White, alpha 1 at 75,000 ms falling to 0 at 77,000 ms.
    engine->glow->RenderQuad(1, 1, 1, (77000.0f - t) / 2000.0f);
}

namespace Scene6 {

namespace {

// Camera, fog and the fixed drawing state of one pass.
void setUpPass(float t, bool mask) {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // Looks along +z and slightly down; rolls once every 2 pi x 3 s.
    gluLookAt(60, 15, -10, 60, 10, 20, sinf(t / 3000.0f), cosf(t / 3000.0f), 0);
    setLinearFog(1, 1, 1, 0.015f, 20, mask ? 60.0f : 160.0f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    if (mask) {
        glDisable(GL_TEXTURE_2D);
        glColor3f(0, 0, 0);
    }
}

} // namespace

float wrapCell(float v) {
    const int whole = int(v);
    return v - float(int(fieldSize) * (whole / int(fieldSize)));
}

void drawPicture() {
    drawDepthOfField(scene6, 0.002f);
}

void scene6(bool mask) {
    const float t = demoMS;
    setUpPass(t, mask);
    const float ox = 100.0f * sinf(t / 3000.0f) + 100.0f; // 0 .. 200
    const float oz = 150.0f * cosf(t / 2300.0f) + 150.0f; // 0 .. 300
    for (int i = 0; i < cells; i++) {
        for (int j = 0; j < cells; j++) {
            glPushMatrix();
            // Odd rows are shifted by half a cell: a honeycomb.
            const float x = wrapCell(cellSize * float(j) + 6.0f * float(i % 2) + ox);
            const float z = wrapCell(cellSize * float(i) + oz);
            glTranslatef(x, 0, z - 20.0f);
            glRotatef(90, 1, 0, 0); // the meshes' z axis becomes the vertical
            if (!mask) bindSlotTexture(slot6Block);
            drawMeshFaces(*nice);
            if (!mask) bindSlotTexture(slot6Block2);
            // The tube bobs 0 .. 4 units; cells with the same i + j move in step.
            glTranslatef(0, 0, 2.0f * sinf(float(j + i) + t / 500.0f) + 2.0f);
            drawMeshFaces(*cyl);
            glPopMatrix();
        }
    }
}

} // namespace Scene6
