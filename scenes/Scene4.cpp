// Scene 4: a particle swarm that spells two words. Particles are born on a
// random letter cell, fly in from 30 units out, settle and fade in; the set
// drawn grows with the music. Particle arrays are allocated once at init;
// the per-frame update allocates nothing.
#include "scenes/Scene4.h"

#include <cmath>
#include <cstdlib>

#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/SceneTable.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

namespace Scene4 {

Vector3D* partPos = nullptr;
float* partLife = nullptr;
Vector3D* partDir = nullptr;
int firstWord[wordCells];
int secondWord[wordCells];
int firstWordCells = 0;
int secondWordCells = 0;

namespace {

// The two words as pictures, '#' for a letter cell: capitals five cells high
// in rows 2..6, the first in columns 6..56, the second in columns 8..56.
const char* const firstPicture[8] = {
    "................................................................",
    "................................................................",
    "......####....###...####...#####..#####..####.#.....#####.......",
    "......#...#..#...#..#...#....#......#...#.....#.....#...........",
    "......####...#####..####.....#......#...#.....#.....####........",
    "......#......#...#..#..#.....#......#...#.....#.....#...........",
    "......#......#...#..#...#....#....#####..####.#####.#####.......",
    "................................................................",
};

const char* const secondPicture[8] = {
    "................................................................",
    "................................................................",
    ".........####..#...#...###..####..#...#.#####.#...#..####.......",
    "........#......#...#..#...#.#...#.##.##...#...##..#.#...........",
    ".........###...#.#.#..#####.####..#.#.#...#...#.#.#.#..##.......",
    "............#..##.##..#...#.#..#..#...#...#...#..##.#...#.......",
    "........####...#...#..#...#.#...#.#...#.#####.#...#..####.......",
    "................................................................",
};

void fillWord(const char* const picture[8], int* word) {
    for (int i = 0; i < wordCells; i++)
        word[i] = picture[i / wordColumns][i % wordColumns] == '#' ? 0 : 1;
}

int countCells(const int* word) {
    int cells = 0;
    for (int i = 0; i < wordCells; i++) cells += word[i] == 0;
    return cells;
}

} // namespace

} // namespace Scene4

using namespace Scene4;

void scene4init() {
    partPos = new Vector3D[particleCount];
    partLife = new float[particleCount];
    partDir = new Vector3D[particleCount];
    fillWord(firstPicture, firstWord);
    fillWord(secondPicture, secondWord);
    firstWordCells = countCells(firstWord);
    secondWordCells = countCells(secondWord);
    scene4reset();
}

void scene4reset() {
    for (int i = 0; i < particleCount; i++) {
        partLife[i] = 0.0f; // every particle is born on the first update
        partPos[i] = partDir[i] = Vector3D(0, 0, 0);
    }
}

void scene4step() {
    updateParticles();
}

void scene4update() {
    scene4step();
    drawPicture();
    engine->glow->RenderQuad(1, 1, 1, (49000.0f - demoMS) / 1000.0f);
    engine->glow->RenderQuad(1, 1, 1, getSyncFloat() * 0.3f);
}

namespace Scene4 {

namespace {

// One rebirth; the order of the rand() draws is part of the scene's look.
void rebirth(int i) {
    partLife[i] = float(std::rand() % 256);
    const bool second = demoMS >= wordSwitchMs;
    const int* word = second ? secondWord : firstWord;
    const int n = std::rand() % (second ? secondWordCells : firstWordCells);
    const int cell = wordCell(word, n);
    const int column = cell % wordColumns, row = cell / wordColumns;
    const float jx = float(std::rand() % 100) / 100.0f;
    const float jy = float(std::rand() % 100) / 100.0f;
    const float jz = float(std::rand() % 100) / 100.0f;
    partPos[i] = Vector3D(float(column - 32) + jx, float(4 - row) + jy, jz);
    const float z = float(std::rand() % 1000 - 500);
    const float y = float(std::rand() % 1000 - 500);
    const float x = float(std::rand() % 1000 - 500);
    partDir[i] = scatterDirection(x, y, z);
}

void setCamera() {
    const float angle = sinf(demoMS / 2000.0f) * 3.14159f / 8.0f - 0.25f;
    const float distance = cameraDistance();
    gluLookAt(distance * sinf(angle), 0, distance * cosf(angle), 0, 0, 0, 0, 1, 0);
}

// Reveal level: grows by 1 every 2 s from the start of each word.
float revealLevel() {
    return demoMS >= wordSwitchMs ? (demoMS - wordSwitchMs) / 2000.0f
                                  : (demoMS - float(sceneTable[3].startMs)) / 2000.0f;
}

void drawParticle(int i, float reveal) {
    const float e = (256.0f - partLife[i]) / 256.0f; // age fraction
    const float w = sinf(demoMS / 1000.0f + float(i) * 0.2f) * 0.3f;
    const float h = (1.0f - e) * 0.8f + w;
    float f = 1.0f - e - 0.8f;
    if (f < 0.0f) f = 0.0f;
    float a = e + w;
    if (a > 1.0f) a = 1.0f;
    if (!(reveal >= a)) return;
    const Vector3D p = partPos[i] + partDir[i] * f;
    glPushMatrix();
    glTranslatef(p.x, p.y, p.z);
    faceViewer();
    glBegin(GL_QUADS);
    // The colour goes inside the primitive so that it travels as a vertex
    // attribute. Set between primitives it becomes a shader constant, and
    // with a new matrix per particle llvmpipe then stores a 64 KiB state
    // block per quad: some 70 MiB of driver memory for 6,000 quads, drawn in
    // over twice the time.
    glColor4f(1, 1, 1, a);
    glTexCoord2f(0, 0);
    glVertex3f(-h, -h, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-h, h, 0);
    glTexCoord2f(1, 1);
    glVertex3f(h, h, 0);
    glTexCoord2f(1, 0);
    glVertex3f(h, -h, 0);
    glEnd();
    glPopMatrix();
}

} // namespace

int wordCell(const int* word, int n) {
    for (int i = 0; i < wordCells; i++) {
        if (word[i] == 0 && n-- == 0) return i;
    }
    return 0; // n beyond the word's cells: callers never ask
}

Vector3D scatterDirection(float x, float y, float z) {
    Vector3D d(x, y, z);
    // Three zero draws would normalise the zero vector into NaNs and lose the
    // particle; it settles on its cell without flying in instead.
    if (x == 0.0f && y == 0.0f && z == 0.0f) return d;
    d.Normalize();
    return d * 150.0f;
}

void updateParticles() {
    for (int i = 0; i < particleCount; i++) {
        partLife[i] -= skip * 2.5f;
        if (partLife[i] <= 64.0f) rebirth(i);
    }
}

float cameraDistance() {
    return 55.0f - getSyncFloat() * 15.0f;
}

void drawPicture() {
    drawSmallBlurredThenFull(scene4, 0.001f);
    engine->glow->Render(engine->texture, 0.3f);
}

void scene4() {
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glClearColor(0.8f, 0.9f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    setCamera();
    // The fog parameters are set for later use; the particles themselves are
    // drawn without fog.
    setFog(GL_EXP, 0.8f, 0.9f, 1.0f, 0.015f, 40.0f, 80.0f);
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3f(1, 1, 1);
    bindSlotTexture(slotSmallPart2);
    const float reveal = revealLevel();
    for (int i = 0; i < particleCount; i++) drawParticle(i, reveal);
}

} // namespace Scene4
