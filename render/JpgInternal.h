// The JPEG decoder's parts that only its tests use: the decode with another
// scan decoder, and the tables and conversions it shares with the per-bit
// reference (tests/support/JpegReference.cpp), which must round alike.
#pragma once

#include "render/Jpg.h"

extern const int jpeg_zigzag[64]; // natural position -> zig-zag index
extern const float aanscale[8];   // 1 and cos(k * pi / 16) * sqrt(2) for k = 1..7

// In place over j.data: byte k of each pixel holds component k -> R, G, B, 255.
void jpeg_ycbcr2rgb(jpeg_file_t& j);
void jpeg_gray2rgb(jpeg_file_t& j);

// jpegDecode with another scan decoder, which leaves RGBA in j.data. A null
// decoder reads the header alone: the frame's size and any error, no pixels.
JpegImage jpegDecodeWith(const uint8_t* bytes, size_t size, void (*decompress)(jpeg_file_t& j));
