// ES 2.0's own calls that the platform and the tools make: each draws the
// gathered vertices first, since they belong before it. ES 2.0 reads
// pixels only as RGBA; GL_RGB read-backs (the captured frames) are read as
// RGBA in bands through a buffer of fixed size and repacked.
#include <GLES2/gl2.h>

#include <algorithm>
#include <cstddef>

#include "platform/fixedgl/State.h"
#include "platform/fixedgl/Textures.h"

namespace fixedgl {

namespace {

unsigned char band[1 << 20]; // RGBA rows of one GL_RGB read-back step

} // namespace

void glFinish() {
    flush();
    ::glFinish();
}

const GLubyte* glGetString(GLenum name) {
    return ::glGetString(name);
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels) {
    flush();
    if (type != GL_UNSIGNED_BYTE || (format != GL_RGB && format != GL_RGBA)) {
        return recordError(GL_INVALID_ENUM);
    }
    if (format == GL_RGBA) {
        ::glPixelStorei(GL_PACK_ALIGNMENT, client.packAlignment);
        ::glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        return;
    }
    const int bandRows = int(sizeof band) / std::max(4 * width, 1);
    if (bandRows == 0) return recordError(GL_INVALID_VALUE);
    const int stride = rowBytes(width, 3, client.packAlignment);
    ::glPixelStorei(GL_PACK_ALIGNMENT, 4);
    for (int row = 0; row < height; row += bandRows) {
        const int rows = std::min(bandRows, height - row);
        ::glReadPixels(x, y + row, width, rows, GL_RGBA, GL_UNSIGNED_BYTE, band);
        for (int r = 0; r < rows; r++) {
            const unsigned char* in = band + size_t(4) * width * r;
            unsigned char* out = static_cast<unsigned char*>(pixels) + size_t(stride) * (row + r);
            for (int i = 0; i < width; i++, in += 4, out += 3) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
    }
}

} // namespace fixedgl
