// The layer's mipmap chains against the system's libGLU: every level that
// gluBuild2DMipmaps uploads, read back from a desktop context, byte for
// byte against the chain the layer builds from the same image.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

#include "platform/fixedgl/Mipmaps.h"
#include "tests/platform/fixedgl/TwoContexts.h"

namespace fixedgltest {
namespace {

TEST(FixedGLMipmaps, NearestPowerOfTwo) {
    const int sides[][2] = {{1, 1},     {2, 2},       {3, 4},       {4, 4},      {5, 4},     {6, 8},
                            {7, 8},     {95, 64},     {96, 128},    {100, 128},  {300, 256}, {383, 256},
                            {384, 512}, {1024, 1024}, {1535, 1024}, {1536, 2048}};
    for (const auto& [side, power] : sides) EXPECT_EQ(fixedgl::nearestPower(side), power) << side;
}

struct Image {
    int width, height, components, alignment;
};

// Sides already powers of two (halving from the start), scaled up and down
// by fractions, single rows and columns, padded rows.
const Image images[] = {
    {64, 64, 3, 1}, {128, 32, 4, 1}, {100, 60, 4, 1}, {300, 200, 3, 4}, {37, 17, 3, 4},
    {1, 24, 3, 1},  {24, 1, 4, 1},   {5, 3, 4, 1},    {640, 480, 3, 1}, {97, 151, 4, 2},
};

// Gradients under noise, so that rounding and truncation show.
std::vector<unsigned char> pixelsOf(const Image& image, int stride) {
    std::vector<unsigned char> pixels(std::size_t(stride) * image.height);
    unsigned seed = 12345;
    for (int y = 0; y < image.height; y++) {
        for (int x = 0; x < image.width * image.components; x++) {
            seed = seed * 1103515245u + 12345u;
            pixels[std::size_t(y) * stride + x] =
                (unsigned char)((x * 7 + y * 3) % 200 + (seed >> 16) % 56);
        }
    }
    return pixels;
}

TEST(FixedGLMipmaps, MatchLibGLU) {
    TwoContexts two(16, 16);
    ASSERT_TRUE(two.ok());
    two.useDesktop();
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    for (const Image& image : images) {
        const int rowBytes = image.width * image.components;
        const int stride = (rowBytes + image.alignment - 1) / image.alignment * image.alignment;
        const std::vector<unsigned char> pixels = pixelsOf(image, stride);
        const GLenum format = image.components == 4 ? GL_RGBA : GL_RGB;
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, image.alignment);
        ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, image.components, image.width, image.height, format,
                                    GL_UNSIGNED_BYTE, pixels.data()),
                  0);
        const fixedgl::MipmapChain chain = fixedgl::buildMipmapChain(pixels.data(), image.width,
                                                                     image.height, stride,
                                                                     image.components, largest);

        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        int levels = 0;
        long differing = 0;
        for (;; levels++) {
            GLint w = 0, h = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &w);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_HEIGHT, &h);
            if (w == 0 || levels == chain.levels) break;
            ASSERT_EQ(w, chain.width[levels])
                << image.width << " x " << image.height << " level " << levels;
            ASSERT_EQ(h, chain.height[levels])
                << image.width << " x " << image.height << " level " << levels;
            std::vector<unsigned char> glu(std::size_t(w) * h * image.components);
            glGetTexImage(GL_TEXTURE_2D, levels, format, GL_UNSIGNED_BYTE, glu.data());
            const unsigned char* ours = chain.pixels.data() + chain.offset[levels];
            for (std::size_t i = 0; i < glu.size(); i++) differing += glu[i] != ours[i];
        }
        EXPECT_EQ(levels, chain.levels) << image.width << " x " << image.height;
        EXPECT_EQ(differing, 0) << image.width << " x " << image.height << ": bytes unlike libGLU's";
        glDeleteTextures(1, &texture);
    }
}

} // namespace
} // namespace fixedgltest
