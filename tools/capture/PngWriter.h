// Writes a frame, read bottom row first, as an upright RGB PNG.
#pragma once

#include <string>

bool writeFramePng(const std::string& path, const unsigned char* bottomUpRgb, int width, int height);
