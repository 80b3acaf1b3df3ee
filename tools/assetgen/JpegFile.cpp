// Baseline JPEG writer over libjpeg's compression API; see JpegFile.h.
#include "JpegFile.h"

#include <cstdio>

#include <jpeglib.h>

bool writeJpeg(const std::string& path, const Image& image, const JpegOptions& options) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "assetgen: %s: cannot be written\n", path.c_str());
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(image.width);
    cinfo.image_height = JDIMENSION(image.height);
    cinfo.input_components = image.channels;
    cinfo.in_color_space = image.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE); // TRUE: 8-bit baseline tables
    if (image.channels == 3) {
        int h = options.chroma == Chroma::Sub420 ? 2 : 1;
        cinfo.comp_info[0].h_samp_factor = h;
        cinfo.comp_info[0].v_samp_factor = h;
        for (int c = 1; c < 3; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
    }
    cinfo.restart_in_rows = options.restartEveryRow ? 1 : 0;
    cinfo.optimize_coding = options.optimiseTables ? TRUE : FALSE;
    cinfo.dct_method = JDCT_ISLOW; // integer DCT: the same bytes on every CPU
    jpeg_start_compress(&cinfo, TRUE);
    const int stride = image.width * image.channels;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&image.pixels[size_t(cinfo.next_scanline) * stride]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) std::fprintf(stderr, "assetgen: %s: write failed\n", path.c_str());
    return ok;
}
