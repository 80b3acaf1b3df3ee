// PNG output through libpng. See PngFile.h.
#include "tools/common/PngFile.h"

#include <png.h>
#include <zlib.h>

#include "tools/common/OutputFile.h"

namespace {

// A failed write ends the encoding at once (libpng jumps back to encode).
void writeBytes(png_structp png, png_bytep data, size_t size) {
    if (!static_cast<OutputFile*>(png_get_io_ptr(png))->write(data, size))
        png_error(png, "write failed");
}

void flushNothing(png_structp) {}

// The caller names the file and the reason; libpng's own text is not shown.
void quietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void quietWarning(png_structp, png_const_charp) {}

// libpng reports its own errors by longjmp: nothing here has a destructor
// between the setjmp and the calls that may jump.
bool encode(OutputFile& out, const unsigned char* rgb, int width, int height, bool bottomUp) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, writeBytes, flushNothing);
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_strategy(png, Z_HUFFMAN_ONLY);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    const size_t stride = size_t(width) * 3;
    for (int y = 0; y < height; y++) {
        const int row = bottomUp ? height - 1 - y : y;
        png_write_row(png, const_cast<png_bytep>(rgb + stride * size_t(row)));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::string writePng(const std::string& path, const unsigned char* rgb, int width, int height,
                     bool bottomUp) {
    OutputFile out(path);
    if (!out.stream()) return out.error();
    if (!encode(out, rgb, width, height, bottomUp) && out.error().empty()) out.fail();
    out.commit();
    return out.error();
}
