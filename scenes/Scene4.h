// Scene 4 (48,000 .. 60,000 ms): 6000 billboard particles on a pale blue
// background that gather into a word of block letters, a first word until
// 54,000 ms and a second one after, with a glow and white flashes.
#pragma once

#include "geometry/Vector3D.h"

namespace Scene4 {

constexpr int particleCount = 6000;
constexpr int wordColumns = 64; // a word picture is 64 columns x 8 rows,
constexpr int wordCells = 512;  // row by row; 0 marks a letter cell, 1 background
constexpr float wordSwitchMs = 54000.0f;

extern Vector3D* partPos;         // [particleCount] letter-cell position each particle settles on
extern float* partLife;           // [particleCount] 0..255 at birth, falls 2.5 per skip; reborn at <= 64
extern Vector3D* partDir;         // [particleCount] scatter vector, length 150 (0 when drawn as 0, 0, 0)
extern int firstWord[wordCells];  // shown before 54,000 ms
extern int secondWord[wordCells]; // shown from 54,000 ms
extern int firstWordCells;        // letter cells of firstWord
extern int secondWordCells;       // letter cells of secondWord

// Index of the n-th letter cell (counting from 0) of `word` in index order;
// n must be below the word's cell count.
int wordCell(const int* word, int n);
// Scatter vector of length 150 along (x, y, z); the zero vector for (0, 0, 0).
Vector3D scatterDirection(float x, float y, float z);
// Ages every particle by `skip` and rebirths those at life 64 or below on the
// word of the moment (demoMS). No GL.
void updateParticles();
// Camera distance from the origin: 55, down to 40 on a sync.
float cameraDistance();
// The frame's picture at demoMS: scene4 small, blurred and full size, with
// the glow added at 0.3; no flash or fade. Ages no particle.
void drawPicture();
// Draws the scene with the current projection and viewport.
void scene4();

} // namespace Scene4
