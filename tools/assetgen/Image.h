// An 8-bit raster held in memory: width × height pixels, 1 (grey) or 3 (RGB)
// bytes each, rows top first. The texture painters fill one, the JPEG
// writer and the contact sheet read it.
#pragma once

#include <cstdint>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    int channels = 0; // 1 = grey, 3 = RGB
    std::vector<uint8_t> pixels;

    Image() = default;
    Image(int w, int h, int c) : width(w), height(h), channels(c), pixels(size_t(w) * h * c, 0) {}

    uint8_t* at(int x, int y) { return &pixels[(size_t(y) * width + x) * channels]; }
    const uint8_t* at(int x, int y) const { return &pixels[(size_t(y) * width + x) * channels]; }
};

// 0..1 float to a byte, clamped and rounded.
inline uint8_t toByte(double v) {
    if (v <= 0.0) return 0;
    if (v >= 1.0) return 255;
    return uint8_t(v * 255.0 + 0.5);
}
