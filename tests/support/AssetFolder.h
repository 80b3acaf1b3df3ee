// Asset folders for tests, built from the generated pack.
#pragma once

#include <string>

namespace testsupport {

// A temporary copy of the generated pack (files linked, not copied) whose
// "layer_mask.jpg" is black, so that the frame overlay changes no pixel and
// a frame shows what the scene alone draws. Made once per process.
std::string assetsWithoutOverlay();

// Writes a greyscale baseline JPEG: grey `left` in the left half of every
// row and `right` in the right half (one level all over by default). An
// existing file or link at `path` is replaced.
bool writeGreyJpeg(const std::string& path, int width, int height, int left, int right = -1);

// A temporary asset folder: the generated pack's files linked in, then the
// named files replaced by whatever the caller writes into the returned path.
std::string copyOfGeneratedAssets();

} // namespace testsupport
