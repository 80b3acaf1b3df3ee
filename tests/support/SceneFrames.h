// Frame helpers for the scene tests: the show loaded once per test process,
// box filtering, and measures of RGB pictures (bottom row first, 3 bytes a
// pixel; the full frame is 1024 x 768).
#pragma once

#include <vector>

#include "tests/support/ShowRunner.h"

namespace testsupport {

using Image = std::vector<unsigned char>;

// The show on the generated pack with an invisible overlay (a frame shows what
// the scene alone draws), loaded on first use and kept until the process ends.
ShowRunner& sharedShow();

// A w x h picture averaged over boxes of bw x bh pixels, rounded to nearest:
// (w / bw) x (h / bh) pixels.
Image boxFilter(const Image& in, int w, int h, int bw, int bh);

// Mean absolute difference per channel; 255 when the sizes differ.
double meanDifference(const Image& a, const Image& b);
// Largest channel value minus the smallest: 0 for a uniform picture.
int contrast(const Image& image);
// Largest difference, in levels, between `shown` and `plain` covered by a
// quad of colour `rgb` (0..1) at alpha `a` (SRC_ALPHA, ONE_MINUS_SRC_ALPHA;
// clamped to 0..1 as GL does); 255 when the sizes differ or both are empty.
int largestQuadError(const Image& shown, const Image& plain, const float rgb[3], float a);

} // namespace testsupport
