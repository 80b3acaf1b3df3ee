// Baseline JPEG writer over libjpeg's compression API; see JpegFile.h.
#include "JpegFile.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "tools/common/OutputFile.h"

namespace {

// libjpeg's error manager with a way back: its default ends the process.
struct ErrorJump {
    jpeg_error_mgr manager; // first: libjpeg sees only this part
    std::jmp_buf jump;
};

void jumpBack(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorJump*>(cinfo->err)->jump, 1);
}

// Compresses `image` into `file`; false when libjpeg failed, a failed write
// among others (errno then tells why). Nothing here has a destructor that
// the jump back could skip.
bool compress(FILE* file, const Image& image, const JpegOptions& options) {
    jpeg_compress_struct cinfo{};
    ErrorJump err;
    cinfo.err = jpeg_std_error(&err.manager);
    err.manager.error_exit = jumpBack;
    if (setjmp(err.jump)) {
        const int reason = errno; // the write's, kept past the clean-up
        jpeg_destroy_compress(&cinfo);
        errno = reason;
        return false;
    }
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
    return true;
}

} // namespace

std::string writeJpeg(const std::string& path, const Image& image, const JpegOptions& options) {
    OutputFile out(path);
    if (out.stream() && !compress(out.stream(), image, options)) out.fail();
    return out.commit();
}
