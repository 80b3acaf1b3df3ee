// The images gluBuild2DMipmaps uploads, on 8-bit pixels of 1 to 4
// components, in GLU's own arithmetic so that the chains match those of
// the system's libGLU.
#pragma once

#include <cstddef>
#include <vector>

namespace fixedgl {

// GLU's power-of-two side for a texture of `side` texels: the power of two
// nearest to it, halfway values (3 x 2^k) rounding up.
int nearestPower(int side);

struct MipmapChain {
    int levels;
    int width[32], height[32];
    std::size_t offset[32];            // of each level in `pixels`
    std::vector<unsigned char> pixels; // the levels' pixels, rows packed
};

// Level 0 is the image box-filtered to the nearest power-of-two sides
// (halved further while a side exceeds `largest`): each pixel the mean of
// the input area it covers, partly covered texels weighted by their share,
// truncated. Each next level is the rounded mean of 2 x 2 blocks, or the
// truncated mean of pairs once a side is a single texel, down to 1 x 1.
// Input rows lie `stride` bytes apart.
MipmapChain buildMipmapChain(const unsigned char* image, int width, int height, int stride,
                             int components, int largest);

} // namespace fixedgl
