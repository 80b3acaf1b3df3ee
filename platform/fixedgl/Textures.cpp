// Texture objects, their images and parameters, the two units' bindings
// and environments, the unpack alignment and copies from the frame.
// Images keep GL 1.1's base formats: "3" and GL_RGB give RGB textures,
// "4", GL_RGBA and GL_RGBA8 RGBA ones. ES 2.0 stores every image as RGBA,
// RGB pixels with an opaque alpha added on upload: the programs never read
// an RGB texture's alpha (Shaders.cpp), and a copy from the frame into RGBA
// storage is a plain image copy, where one into RGB storage goes through a
// conversion draw on WebGL implementations that keep RGB as RGBA anyway
// (ANGLE: about ten times the time).
#include <GLES2/gl2.h>

#include "platform/fixedgl/Textures.h"

#include <cstddef>
#include <vector>

#include "platform/fixedgl/State.h"

namespace fixedgl {

namespace {

constexpr GLuint textureCapacity = 1024; // texture names the layer keeps records for

struct TextureRecord {
    bool alpha;        // RGBA, else RGB
    bool mipmapped;    // the minification filter reads mipmaps (GL's initial one does)
    int width, height; // of level 0, in texels
    unsigned levels;   // bit i set: level i has an image
};

TextureRecord records[textureCapacity];

const TextureRecord freshRecord = {false, true, 0, 0, 0};

const TextureRecord* recordOf(GLuint name) {
    return name < textureCapacity ? &records[name] : nullptr;
}

TextureRecord* boundRecord() {
    const GLuint name = state.units[state.activeUnit].bound;
    return name < textureCapacity ? &records[name] : nullptr;
}

// Bytes per pixel stored for an internal format, 0 for one outside the subset.
int storedComponents(GLint internalFormat) {
    switch (internalFormat) {
    case 3:
    case GL_RGB: return 3;
    case 4:
    case GL_RGBA:
    case GL_RGBA8: return 4;
    default: return 0;
    }
}

// Bytes per pixel of client pixels, 0 for a format outside the subset.
int givenComponents(GLenum format) {
    return format == GL_RGB ? 3 : format == GL_RGBA ? 4 : 0;
}

// Tightly packed RGBA pixels from RGB ones, alpha opaque.
std::vector<unsigned char> withAlpha(const unsigned char* pixels, int width, int height) {
    std::vector<unsigned char> out(size_t(width) * height * 4);
    const int stride = rowBytes(width, 3, client.unpackAlignment);
    unsigned char* o = out.data();
    for (int y = 0; y < height; y++) {
        const unsigned char* p = pixels + size_t(stride) * y;
        for (int x = 0; x < width; x++, p += 3, o += 4) {
            o[0] = p[0];
            o[1] = p[1];
            o[2] = p[2];
            o[3] = 255;
        }
    }
    return out;
}

} // namespace

int rowBytes(int width, int components, int alignment) {
    const int bytes = width * components;
    return (bytes + alignment - 1) / alignment * alignment;
}

void startTextures() {
    for (TextureRecord& r : records) r = freshRecord;
}

bool textureComplete(GLuint name) {
    const TextureRecord* r = recordOf(name);
    if (!r || !(r->levels & 1)) return false;
    if (!r->mipmapped) return true;
    const int largest = r->width > r->height ? r->width : r->height;
    unsigned needed = 0;
    for (int level = 0; largest >> level; level++) needed |= 1u << level;
    return (r->levels & needed) == needed;
}

bool textureHasAlpha(GLuint name) {
    const TextureRecord* r = recordOf(name);
    return r && r->alpha;
}

void glActiveTextureARB(GLenum unit) {
    if (unit < GL_TEXTURE0 || unit >= GL_TEXTURE0 + unitCount) return recordError(GL_INVALID_ENUM);
    // Only a selector: what the gathered vertices draw with stays.
    state.activeUnit = int(unit - GL_TEXTURE0);
    ::glActiveTexture(unit);
}

void glGenTextures(GLsizei n, GLuint* names) {
    ::glGenTextures(n, names);
    for (GLsizei i = 0; i < n; i++) {
        if (names[i] >= textureCapacity) {
            recordError(GL_OUT_OF_MEMORY);
        } else {
            records[names[i]] = freshRecord;
        }
    }
}

void glBindTexture(GLenum target, GLuint name) {
    if (target != GL_TEXTURE_2D) return recordError(GL_INVALID_ENUM);
    if (name >= textureCapacity) return recordError(GL_OUT_OF_MEMORY);
    GLuint& bound = state.units[state.activeUnit].bound;
    if (bound == name) return;
    flush();
    bound = name;
    ::glBindTexture(GL_TEXTURE_2D, name);
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    const int stored = storedComponents(internalFormat), given = givenComponents(format);
    if (target != GL_TEXTURE_2D || !given || type != GL_UNSIGNED_BYTE) {
        return recordError(GL_INVALID_ENUM);
    }
    if (!stored || border != 0 || level < 0 || level > 31 || width < 0 || height < 0) {
        return recordError(GL_INVALID_VALUE);
    }
    TextureRecord* r = boundRecord();
    flush();
    if (!pixels || given == 4) {
        // RGBA pixels stay as given; an RGB texture ignores their alpha.
        ::glPixelStorei(GL_UNPACK_ALIGNMENT, client.unpackAlignment);
        ::glTexImage2D(target, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    } else {
        // Start-up work (texture loading), never a frame's.
        const std::vector<unsigned char> data =
            withAlpha(static_cast<const unsigned char*>(pixels), width, height);
        ::glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        ::glTexImage2D(target, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
    }
    r->levels |= 1u << level;
    if (level == 0) {
        r->alpha = stored == 4;
        r->width = width;
        r->height = height;
    }
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    if (target != GL_TEXTURE_2D) return recordError(GL_INVALID_ENUM);
    flush();
    if (pname == GL_TEXTURE_MIN_FILTER)
        boundRecord()->mipmapped = param != GL_NEAREST && param != GL_LINEAR;
    ::glTexParameteri(target, pname, param);
}

void glTexEnvi(GLenum target, GLenum pname, GLint param) {
    TextureUnit& unit = state.units[state.activeUnit];
    GLenum* field = nullptr;
    bool known = false;
    if (target == GL_TEXTURE_ENV && pname == GL_TEXTURE_ENV_MODE) {
        field = &unit.envMode;
        known = param == GL_REPLACE || param == GL_MODULATE || param == GL_ADD ||
                param == GL_COMBINE_ARB;
    } else if (target == GL_TEXTURE_ENV && pname == GL_COMBINE_RGB_ARB) {
        field = &unit.combineRgb;
        known = param == GL_REPLACE || param == GL_MODULATE || param == GL_ADD;
    }
    if (!field || !known) return recordError(GL_INVALID_ENUM);
    if (*field == GLenum(param)) return;
    flush();
    *field = GLenum(param);
}

void glPixelStorei(GLenum pname, GLint param) {
    if (param != 1 && param != 2 && param != 4 && param != 8) return recordError(GL_INVALID_VALUE);
    // Kept here and handed to ES 2.0 with each transfer.
    if (pname == GL_UNPACK_ALIGNMENT) {
        client.unpackAlignment = param;
    } else if (pname == GL_PACK_ALIGNMENT) {
        client.packAlignment = param;
    } else {
        recordError(GL_INVALID_ENUM);
    }
}

void glCopyTexSubImage2D(GLenum target, GLint level, GLint xOffset, GLint yOffset, GLint x, GLint y,
                         GLsizei width, GLsizei height) {
    if (target != GL_TEXTURE_2D) return recordError(GL_INVALID_ENUM);
    flush(); // the copy reads what the gathered vertices draw
    ::glCopyTexSubImage2D(target, level, xOffset, yOffset, x, y, width, height);
}

} // namespace fixedgl
