// gluBuild2DMipmaps: the chain of images built on the CPU, each level then
// uploaded as an image of the bound texture.
#include <GLES2/gl2.h>

#include "platform/fixedgl/Mipmaps.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/fixedgl/State.h"
#include "platform/fixedgl/Textures.h"

namespace fixedgl {

namespace {

// One output pixel's extent along an axis in input texels, from low to
// high, each as a whole part and a fraction in [0, 1] (a boundary reached
// exactly stays "previous texel + 1" until the fraction passes 1), advanced
// by single-precision sums as GLU advances it.
struct Span {
    int lowWhole;
    float lowFraction;
    int highWhole;
    float highFraction;

    void advance(int stepWhole, float stepFraction) {
        lowWhole = highWhole;
        lowFraction = highFraction;
        highWhole += stepWhole;
        highFraction += stepFraction;
        if (highFraction > 1) {
            highFraction -= 1;
            highWhole++;
        }
    }
};

// The weighted sum of the input pixels under one output pixel, added in the
// order GLU adds them (first and last rows, then the first and last
// columns, then the inside), since single-precision sums differ by order
// and the result is truncated.
struct BoxSum {
    const unsigned char* in;
    int width, stride, components;
    float totals[4];

    const unsigned char* pixel(int x, int y) const {
        // A last edge exactly on the image's border has weight 0; read inside.
        return in + size_t(stride) * y + size_t(components) * (x < width ? x : width - 1);
    }
    void add(int x, int y, float weight) {
        const unsigned char* p = pixel(x, y);
        for (int k = 0; k < components; k++) totals[k] += float(p[k]) * weight;
    }
    // Row y from x.lowWhole to x.highWhole, every pixel weighted by `share`.
    void addRow(const Span& x, int y, float share) {
        add(x.lowWhole, y, share * (1 - x.lowFraction));
        for (int i = x.lowWhole + 1; i < x.highWhole; i++) add(i, y, share);
        add(x.highWhole, y, share * x.highFraction);
    }
    void addBox(const Span& x, const Span& y) {
        const bool rows = y.highWhole > y.lowWhole, columns = x.highWhole > x.lowWhole;
        if (rows && columns) {
            addRow(x, y.lowWhole, 1 - y.lowFraction);
            addRow(x, y.highWhole, y.highFraction);
            for (int j = y.lowWhole + 1; j < y.highWhole; j++) {
                const unsigned char* left = pixel(x.lowWhole, j);
                const unsigned char* right = pixel(x.highWhole, j);
                for (int k = 0; k < components; k++) {
                    totals[k] += float(left[k]) * (1 - x.lowFraction) + float(right[k]) * x.highFraction;
                }
            }
        } else if (rows) {
            const float share = x.highFraction - x.lowFraction;
            add(x.lowWhole, y.lowWhole, (1 - y.lowFraction) * share);
            for (int j = y.lowWhole + 1; j < y.highWhole; j++) add(x.lowWhole, j, share);
            add(x.lowWhole, y.highWhole, share * y.highFraction);
        } else if (columns) {
            addRow(x, y.lowWhole, y.highFraction - y.lowFraction);
        } else {
            add(x.lowWhole, y.lowWhole,
                (y.highFraction - y.lowFraction) * (x.highFraction - x.lowFraction));
        }
        for (int j = y.lowWhole + 1; j < y.highWhole; j++) {
            for (int i = x.lowWhole + 1; i < x.highWhole; i++) add(i, j, 1);
        }
    }
};

// Halves an image of more than one texel, each side to at least 1: rounded
// means of 2 x 2 blocks, or truncated means of pairs along a single row or
// column.
void halveImage(const unsigned char* in, int width, int height, int stride, int components,
                unsigned char* out) {
    if (width == 1 || height == 1) {
        // A single row or column: pairs along it.
        const int pairs = (width > height ? width : height) / 2;
        const int step = height == 1 ? components : stride; // bytes to the pair's second pixel
        for (int i = 0; i < pairs; i++) {
            const unsigned char* p = in + size_t(2 * i) * step;
            for (int k = 0; k < components; k++) *out++ = (unsigned char)((p[k] + p[step + k]) / 2);
        }
        return;
    }
    for (int y = 0; y < height / 2; y++) {
        const unsigned char* row = in + size_t(2 * y) * stride;
        for (int x = 0; x < width / 2; x++) {
            const unsigned char* p = row + size_t(2 * x) * components;
            for (int k = 0; k < components; k++) {
                const int sum = p[k] + p[components + k] + p[stride + k] + p[stride + components + k];
                *out++ = (unsigned char)((sum + 2) / 4);
            }
        }
    }
}

// Box-filters an image to `outWidth` x `outHeight`, rows packed.
void scaleImage(const unsigned char* in, int width, int height, int stride, int components,
                unsigned char* out, int outWidth, int outHeight) {
    if (width == 2 * outWidth && height == 2 * outHeight) {
        halveImage(in, width, height, stride, components, out);
        return;
    }
    const float stepX = float(width) / float(outWidth), stepY = float(height) / float(outHeight);
    const int wholeX = int(std::floor(stepX)), wholeY = int(std::floor(stepY));
    const float fractionX = stepX - float(wholeX), fractionY = stepY - float(wholeY);
    const float area = stepX * stepY;
    Span y = {0, 0, wholeY, fractionY};
    for (int row = 0; row < outHeight; row++) {
        if (y.highWhole >= height) y.highWhole = height - 1;
        Span x = {0, 0, wholeX, fractionX};
        for (int column = 0; column < outWidth; column++) {
            BoxSum sum = {in, width, stride, components, {0, 0, 0, 0}};
            sum.addBox(x, y);
            unsigned char* o = out + (size_t(row) * outWidth + column) * components;
            for (int k = 0; k < components; k++) o[k] = (unsigned char)(sum.totals[k] / area);
            x.advance(wholeX, fractionX);
        }
        y.advance(wholeY, fractionY);
    }
}

} // namespace

int nearestPower(int side) {
    int power = 1;
    for (unsigned v = unsigned(side); v > 1; v >>= 1) {
        if (v == 3) return power * 4;
        power *= 2;
    }
    return power;
}

MipmapChain buildMipmapChain(const unsigned char* image, int width, int height, int stride,
                             int components, int largest) {
    MipmapChain chain;
    int w = nearestPower(width), h = nearestPower(height);
    while (w > largest || h > largest) {
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    // Sizes first, so that the pixels take one allocation.
    std::size_t bytes = 0;
    for (chain.levels = 0;; chain.levels++) {
        const int level = chain.levels;
        chain.width[level] = w;
        chain.height[level] = h;
        chain.offset[level] = bytes;
        bytes += std::size_t(w) * h * components;
        if (w == 1 && h == 1) break;
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    chain.levels++;
    chain.pixels.resize(bytes);
    unsigned char* level0 = chain.pixels.data();
    if (chain.width[0] == width && chain.height[0] == height) {
        for (int y = 0; y < height; y++) {
            std::memcpy(level0 + std::size_t(y) * width * components, image + std::size_t(y) * stride,
                        std::size_t(width) * components);
        }
    } else {
        scaleImage(image, width, height, stride, components, level0, chain.width[0], chain.height[0]);
    }
    for (int level = 1; level < chain.levels; level++) {
        const int w0 = chain.width[level - 1];
        halveImage(chain.pixels.data() + chain.offset[level - 1], w0, chain.height[level - 1],
                   w0 * components, components, chain.pixels.data() + chain.offset[level]);
    }
    return chain;
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* pixels) {
    const int components = format == GL_RGB ? 3 : format == GL_RGBA ? 4 : 0;
    if (width < 1 || height < 1) return GLU_INVALID_VALUE;
    if (target != GL_TEXTURE_2D || !components || type != GL_UNSIGNED_BYTE) return GLU_INVALID_ENUM;
    GLint largest = 0;
    ::glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    // Start-up work (texture loading), never a frame's.
    const MipmapChain chain = buildMipmapChain(static_cast<const unsigned char*>(pixels), width, height,
                                               rowBytes(width, components, client.unpackAlignment),
                                               components, largest);
    const GLint callersAlignment = client.unpackAlignment;
    client.unpackAlignment = 1; // the levels are packed
    for (int level = 0; level < chain.levels; level++) {
        glTexImage2D(target, level, internalFormat, chain.width[level], chain.height[level], 0, format,
                     type, chain.pixels.data() + chain.offset[level]);
    }
    client.unpackAlignment = callersAlignment;
    return 0;
}

} // namespace fixedgl
