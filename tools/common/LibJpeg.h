// libjpeg (libjpeg-turbo) beside the show's JPEG decoder, for the decoder
// benchmark and the tests, which compare against it: a deterministic
// synthetic picture, encoding it with chosen sampling, restart and table
// options, and decoding any file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace libjpeg {

struct RgbImage {
    int width = 0, height = 0;
    int components = 3; // 1 (grey) or 3 (RGB)
    std::vector<uint8_t> pixels;
};

// Gradients, hard edges and noise, the same for the same arguments.
RgbImage syntheticImage(int width, int height, int components);

struct JpegEncodeOptions {
    int quality = 90;
    int hSamp = 2, vSamp = 2;      // luma sampling factors; chroma is 1 x 1
    bool restartEveryRow = false;  // restart interval of one MCU row
    bool sixteenBitTables = false; // 16-bit quantisation tables (libjpeg marks the frame SOF1)
};

// Sequential Huffman-coded JPEG of the image: baseline, or with
// sixteenBitTables an extended frame.
std::vector<uint8_t> encodeJpeg(const RgbImage& image, const JpegEncodeOptions& options);

// Decodes with libjpeg into 3 (RGB) or 4 (RGBA) bytes a pixel; floatIdct and
// fancy select libjpeg's float transform and smooth upsampling. False when
// libjpeg reports an error.
bool decodeWithLibjpeg(const uint8_t* bytes, size_t size, int* width, int* height,
                       std::vector<uint8_t>& pixels, bool floatIdct = true, bool fancy = false,
                       int outComponents = 3);

} // namespace libjpeg
