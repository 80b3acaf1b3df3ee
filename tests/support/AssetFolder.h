// Asset folders for tests, built from the generated pack.
#pragma once

#include <string>

namespace testsupport {

// A temporary copy of the generated pack (files linked, not copied) whose
// "layer_mask.jpg" is black, so that the frame overlay changes no pixel and
// a frame shows what the scene alone draws. Made once per process.
std::string assetsWithoutOverlay();

// Writes a greyscale baseline JPEG of one grey level.
bool writeGreyJpeg(const std::string& path, int width, int height, int level);

} // namespace testsupport
