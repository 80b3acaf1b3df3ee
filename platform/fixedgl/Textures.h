// What the program choice needs to know of a texture: whether GL would
// sample it at all, and its base format.
#pragma once

#include <GLES2/gl2.h>

namespace fixedgl {

// True when the texture has every image its minification filter reads. GL
// draws as if texturing were off on a unit whose texture is incomplete
// (ES 2.0 would sample black instead).
bool textureComplete(GLuint name);
// True for an RGBA texture, false for RGB.
bool textureHasAlpha(GLuint name);
// Bytes from one row of an image to the next: `width` pixels of
// `components` bytes, padded to `alignment`.
int rowBytes(int width, int components, int alignment);

} // namespace fixedgl
