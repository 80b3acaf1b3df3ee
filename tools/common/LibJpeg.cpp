// libjpeg encoding and decoding helpers (see LibJpeg.h). libjpeg errors
// longjmp back here and come out as a false or empty result; its warnings
// are not printed.
#include "tools/common/LibJpeg.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace libjpeg {
namespace {

// libjpeg's error handler, set to jump back to the caller's setjmp and to
// print nothing ("tables too coarse for baseline" is wanted here).
struct ErrorManager : jpeg_error_mgr {
    jmp_buf jump;
    ErrorManager() {
        jpeg_std_error(this);
        error_exit = [](j_common_ptr info) { longjmp(static_cast<ErrorManager*>(info->err)->jump, 1); };
        emit_message = [](j_common_ptr, int) {};
    }
};

} // namespace

RgbImage syntheticImage(int width, int height, int components) {
    RgbImage image{width, height, components, std::vector<uint8_t>(size_t(width) * height * components)};
    uint32_t seed = 12345u;
    for (size_t i = 0; i < image.pixels.size(); i++) {
        int c = int(i % components), x = int(i / components % width), y = int(i / components / width);
        if (c == 0) seed = seed * 1664525u + 1013904223u; // noise: one draw a pixel
        bool disc = (x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2) <
                    width * width / 25;
        float v = 128.0f + 90.0f * std::sin(x * (0.03f + 0.02f * c)) * std::cos(y * 0.045f) +
                  (int(seed >> 27) - 16) + (disc ? 60.0f * (c - 1) : 0.0f) +
                  ((x / 16 + y / 16) % 2 ? 20 : -20);
        image.pixels[i] = uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
    return image;
}

std::vector<uint8_t> encodeJpeg(const RgbImage& image, const JpegEncodeOptions& options) {
    jpeg_compress_struct info;
    ErrorManager error;
    info.err = &error;
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
    return bytes;
}

bool decodeWithLibjpeg(const uint8_t* bytes, size_t size, int* width, int* height,
                       std::vector<uint8_t>& pixels, bool floatIdct, bool fancy, int outComponents) {
    jpeg_decompress_struct info;
    ErrorManager error;
    info.err = &error;
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

} // namespace libjpeg
