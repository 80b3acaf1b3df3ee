// Baseline JPEG encoding through libjpeg(-turbo): sequential Huffman coding,
// one interleaved scan, 8-bit samples. Options pick the chroma subsampling,
// a restart marker at every MCU row and optimised Huffman tables, so that the
// pack exercises those paths of a decoder. No progressive or arithmetic mode.
#pragma once

#include <string>

#include "Image.h"

enum class Chroma { Sub420, Sub444 };

struct JpegOptions {
    int quality = 90;               // 85..95 in this pack
    Chroma chroma = Chroma::Sub420; // ignored for grey images
    bool restartEveryRow = false;   // DRI = MCUs per row
    bool optimiseTables = false;    // per-image Huffman tables
};

// Writes image to path. Returns "", or the problem naming the file when it
// cannot be written.
std::string writeJpeg(const std::string& path, const Image& image, const JpegOptions& options);
