// RGB pictures as PNG files through libpng, written with OutputFile (a
// failed write leaves no file under the name). zlib level 1, Huffman coding
// only, with the Sub row filter: 19 ms a 1024 x 768 frame against 205 ms for
// libpng's default, for 21 % more bytes (bench_png; docs/performance.md,
// "PNG frames").
#pragma once

#include <string>

// Writes `rgb` (3 bytes a pixel, rows of `width` pixels) as a PNG. With
// `bottomUp` the first row in memory is the bottom row of the picture, as
// GL reads frames. Returns an empty string or the one-line problem.
std::string writePng(const std::string& path, const unsigned char* rgb, int width, int height,
                     bool bottomUp);
