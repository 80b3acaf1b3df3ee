// RGB pictures as PNG files through libpng, written with OutputFile (a
// failed write leaves no file under the name). zlib level 1, Huffman coding
// only, with the Sub row filter: 19 ms a 1024 x 768 frame against 205 ms for
// libpng's default, for 21 % more bytes (bench_png; docs/performance.md,
// "PNG frames").
#pragma once

#include <cstddef>
#include <string>

// How a PNG is compressed: zlib's level and strategy (Z_DEFAULT_STRATEGY,
// Z_HUFFMAN_ONLY, ...) and libpng's row filters (PNG_FILTER_SUB, ...).
struct PngSettings {
    int level;
    int strategy;
    int filters;
};
// What writePng uses.
extern const PngSettings framePng;

// Encodes `rgb` (as for writePng) with `settings`, handing the bytes to
// `sink(bytes, size, context)` as they come; a sink that returns false stops
// the encoding. False when the encoding failed or was stopped.
bool encodePng(bool (*sink)(const unsigned char* bytes, size_t size, void* context), void* context,
               const unsigned char* rgb, int width, int height, bool bottomUp,
               const PngSettings& settings);

// Writes `rgb` (3 bytes a pixel, rows of `width` pixels) as a PNG. With
// `bottomUp` the first row in memory is the bottom row of the picture, as
// GL reads frames. Returns an empty string or the one-line problem.
std::string writePng(const std::string& path, const unsigned char* rgb, int width, int height,
                     bool bottomUp);
