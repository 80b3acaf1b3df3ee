// libjpeg encoding and decoding helpers (see LibJpeg.h). libjpeg errors
// longjmp back here and come out as a false or empty result; its warnings
// ("tables too coarse for baseline", "corrupt data") are not printed.
#include "tests/support/LibJpeg.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace testsupport {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    jmp_buf jump;
};

void onError(j_common_ptr info) {
    longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void quiet(j_common_ptr, int) {}

jpeg_error_mgr* errorManager(ErrorManager& error) {
    jpeg_std_error(&error.base);
    error.base.error_exit = onError;
    error.base.emit_message = quiet;
    return &error.base;
}

} // namespace

RgbImage syntheticImage(int width, int height, int components) {
    RgbImage image;
    image.width = width;
    image.height = height;
    image.components = components;
    image.pixels.resize(size_t(width) * height * components);
    uint32_t seed = 12345u;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            seed = seed * 1664525u + 1013904223u;
            int noise = int(seed >> 27) - 16;
            bool disc = (x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2) <
                        (width * width) / 25;
            for (int c = 0; c < components; c++) {
                float v = 128.0f + 90.0f * std::sin(x * (0.03f + 0.02f * c)) * std::cos(y * 0.045f) +
                          noise + (disc ? 60.0f * (c - 1) : 0.0f) + ((x / 16 + y / 16) % 2 ? 20 : -20);
                image.pixels[(size_t(y) * width + x) * components + c] =
                    uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
            }
        }
    }
    return image;
}

std::vector<uint8_t> encodeJpeg(const RgbImage& image, const JpegEncodeOptions& options) {
    jpeg_compress_struct info;
    ErrorManager error;
    info.err = errorManager(error);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        free(out);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = JDIMENSION(image.width);
    info.image_height = JDIMENSION(image.height);
    info.input_components = image.components;
    info.in_color_space = image.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality, options.sixteenBitTables ? FALSE : TRUE);
    if (image.components == 3) {
        info.comp_info[0].h_samp_factor = options.hSamp;
        info.comp_info[0].v_samp_factor = options.vSamp;
    }
    if (options.restartEveryRow) info.restart_in_rows = 1;
    jpeg_start_compress(&info, TRUE);
    int stride = image.width * image.components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = (JSAMPROW)&image.pixels[size_t(info.next_scanline) * stride];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(out, out + outSize);
    free(out);
    for (size_t i = 0; options.sixteenBitTables && i + 1 < bytes.size(); i++) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC1) { // libjpeg marks such files extended (SOF1)
            bytes[i + 1] = 0xC0;
            break;
        }
    }
    return bytes;
}

bool decodeWithLibjpeg(const uint8_t* bytes, size_t size, int* width, int* height,
                       std::vector<uint8_t>& pixels, bool floatIdct, bool fancy, int outComponents) {
    jpeg_decompress_struct info;
    ErrorManager error;
    info.err = errorManager(error);
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, (unsigned long)size);
    jpeg_read_header(&info, TRUE);
    info.dct_method = floatIdct ? JDCT_FLOAT : JDCT_ISLOW;
    info.do_fancy_upsampling = fancy ? TRUE : FALSE;
    info.out_color_space = outComponents == 4 ? JCS_EXT_RGBA : JCS_RGB;
    jpeg_start_decompress(&info);
    *width = int(info.output_width);
    *height = int(info.output_height);
    size_t stride = size_t(*width) * outComponents;
    pixels.resize(stride * *height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &pixels[stride * info.output_scanline];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace testsupport
