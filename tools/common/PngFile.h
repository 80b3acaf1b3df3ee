// RGB pictures as PNG files through libpng, written with OutputFile (a
// failed write leaves no file under the name). Compression level 1 with the
// Sub filter: the fastest setting that still compresses the show's frames
// well (the measurements are in docs/performance.md, "PNG frames").
#pragma once

#include <string>

// Writes `rgb` (3 bytes a pixel, rows of `width` pixels) as a PNG. With
// `bottomUp` the first row in memory is the bottom row of the picture, as
// GL reads frames. Returns an empty string or the one-line problem.
std::string writePng(const std::string& path, const unsigned char* rgb, int width, int height,
                     bool bottomUp);
