// PNG output through libpng. See PngFile.h.
#include "tools/common/PngFile.h"

#include <png.h>
#include <zlib.h>

#include "tools/common/OutputFile.h"

const PngSettings framePng = {1, Z_HUFFMAN_ONLY, PNG_FILTER_SUB};

namespace {

struct Sink {
    bool (*write)(const unsigned char*, size_t, void*);
    void* context;
};

// A refused write ends the encoding at once (libpng jumps back to encodePng).
void writeBytes(png_structp png, png_bytep data, size_t size) {
    const Sink* sink = static_cast<const Sink*>(png_get_io_ptr(png));
    if (!sink->write(data, size, sink->context)) png_error(png, "write failed");
}

void flushNothing(png_structp) {}

// The caller names the file and the reason; libpng's own text is not shown.
void quietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void quietWarning(png_structp, png_const_charp) {}

bool writeToFile(const unsigned char* bytes, size_t size, void* file) {
    return static_cast<OutputFile*>(file)->write(bytes, size);
}

} // namespace

// libpng reports its own errors by longjmp: nothing here has a destructor
// between the setjmp and the calls that may jump.
bool encodePng(bool (*write)(const unsigned char* bytes, size_t size, void* context), void* context,
               const unsigned char* rgb, int width, int height, bool bottomUp,
               const PngSettings& settings) {
    Sink sink = {write, context};
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
    png_set_write_fn(png, &sink, writeBytes, flushNothing);
    png_set_compression_level(png, settings.level);
    png_set_compression_strategy(png, settings.strategy);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.filters);
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

std::string writePng(const std::string& path, const unsigned char* rgb, int width, int height,
                     bool bottomUp) {
    OutputFile out(path);
    if (!out.stream()) return out.error();
    if (!encodePng(writeToFile, &out, rgb, width, height, bottomUp, framePng) && out.error().empty())
        out.fail();
    return out.commit();
}
