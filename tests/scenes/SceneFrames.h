// Frame helpers for the scene tests: one scene update drawn without the frame
// overlay, the texture environment that the first scene leaves for the rest
// of the show, and the comparison of a scene's 128 x 128 drawing with its
// full-size drawing scaled down. Need the context of a ShowRunner.
#pragma once

#include <vector>

namespace scenetest {

// Unit 0 in GL_COMBINE_ARB with RGB replaced by the texture, unit 1 adding,
// unit 0 active: the state every scene after the first one inherits.
void setShowTextureEnvironment();

// Sets the clock to `ms` and the frame step to `step`, runs `update` (a scene
// update: drawing and post-processing, no overlay) and returns the frame,
// bottom row first, RGB.
std::vector<unsigned char> drawUpdate(void (*update)(), unsigned ms, float step = 1.0f);

// Runs the draw routine `draw` once in the 128 x 128 corner at `smallMs` and
// once full size at `fullMs`, and returns the mean absolute difference
// (0..255 per channel) between the small picture and the full one averaged
// down to 128 x 128. Two different times give a reference for how far apart
// unrelated pictures are.
double smallVsFullDifference(void (*draw)(), unsigned smallMs, unsigned fullMs);

// Smallest and largest channel value over the whole frame.
int minChannel(const std::vector<unsigned char>& rgb);
int maxChannel(const std::vector<unsigned char>& rgb);

} // namespace scenetest
