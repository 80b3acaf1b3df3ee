// The texture store: GL texture objects around the JPEG decoder, the name
// cache, the filter settings, empty work textures and the 1-D shading ramp.
// Decoding is GL-free (Jpg.h); this file only reads files and uploads.
#include "render/Texture.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/GL.h"
#include "platform/Window.h"
#include "render/Jpg.h"

void Texture::setFilters(unsigned target, unsigned filter) {
    if (filter == mipmapRequest) {
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    } else {
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GLint(filter));
        glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GLint(filter));
    }
}

namespace {

// Uploads into the bound 2D texture, top line first (t = 0).
void upload(GLint internalFormat, int width, int height, GLenum format, const void* pixels,
            unsigned filter) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (filter == Texture::mipmapRequest)
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, width, height, format, GL_UNSIGNED_BYTE,
                          pixels);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE,
                     pixels);
}

// Halves a decoded RGBA image in place, each pixel the mean of a 2 x 2 block
// (the last column or row repeated where the size is odd), until both sides
// fit the driver's largest texture; says so on one line naming the file. A
// texture beyond the limit would be refused by GL and its surface left blank.
void fitToDriver(const char* path, JpegImage& image) {
    const int limit = platform::maxTextureSide();
    if (!image.data || (image.width <= limit && image.height <= limit)) return;
    const int width = image.width, height = image.height;
    while (image.width > limit || image.height > limit) {
        const int w = image.width, h = image.height;
        const int halfW = (w + 1) / 2, halfH = (h + 1) / 2;
        uint8_t* p = image.data;
        for (int y = 0; y < halfH; y++) {
            const uint8_t* row0 = p + size_t(4) * w * (2 * y);
            const uint8_t* row1 = p + size_t(4) * w * std::min(2 * y + 1, h - 1);
            for (int x = 0; x < halfW; x++) {
                const int x0 = 2 * x, x1 = std::min(2 * x + 1, w - 1);
                for (int c = 0; c < 4; c++) {
                    int sum = row0[4 * x0 + c] + row0[4 * x1 + c] + row1[4 * x0 + c] + row1[4 * x1 + c];
                    p[(size_t(halfW) * y + x) * 4 + c] = uint8_t((sum + 2) / 4);
                }
            }
        }
        image.width = halfW;
        image.height = halfH;
    }
    fprintf(stderr,
            "%s: %d x %d is larger than this driver's textures (at most %d a side); "
            "uploaded at %d x %d\n",
            path, width, height, limit, image.width, image.height);
}

// Last three characters j, p, g in any mix of cases.
bool endsInJpg(const char* name) {
    size_t n = strlen(name);
    return n >= 3 && tolower((unsigned char)name[n - 3]) == 'j' &&
           tolower((unsigned char)name[n - 2]) == 'p' && tolower((unsigned char)name[n - 1]) == 'g';
}

// True when the texture folder itself is missing; the first call says so in
// one line, so that a missing folder is not reported file by file.
bool folderMissing(const char* path) {
    static bool reported = false;
    const char* slash = strrchr(path, '/');
    if (!slash) return false;
    std::string folder(path, size_t(slash - path));
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) return false;
    if (!reported)
        fprintf(stderr, "%s/: folder not found; the show plays without its pictures\n", folder.c_str());
    reported = true;
    return true;
}

// Reads a file for loadJpg; false (with the line printed) when it cannot be read.
bool readFile(const char* path, uint8_t** bytes, size_t* size, bool boxWhenMissing) {
    const char* error = nullptr;
    if (jpegReadFile(path, bytes, size, &error)) return true;
    char text[300];
    if (error) {
        fprintf(stderr, "%s: %s\n", path, error);
    } else if (folderMissing(path)) {
        // said once for the whole folder
    } else if (boxWhenMissing) {
        snprintf(text, sizeof text, "File %s not found!", path);
        platform::showError("Error", text);
    } else {
        fprintf(stderr, "File %s not found!\n", path);
    }
    return false;
}

void report(const char* path, const char* error) {
    if (error) fprintf(stderr, "%s: %s\n", path, error);
}

} // namespace

Texture::Texture() : index1D(-1), count(0) {
    memset(ids, 0, sizeof ids);
    memset(names, 0, sizeof names);
}

Texture::~Texture() {}

bool Texture::canCreate(const char* what) {
    if (count < maxTextures) return true;
    fprintf(stderr, "Texture store full (%u textures): %s refused\n", maxTextures, what);
    return false;
}

unsigned Texture::create(const char* name, const char* maskName, unsigned filter) {
    size_t longest = strlen(name);
    if (maskName && strlen(maskName) > longest) longest = strlen(maskName);
    if (longest > maxNameLength) {
        fprintf(stderr, "Texture name of %zu characters refused (at most %u): %.40s...\n", longest,
                maxNameLength, name);
        return refused;
    }
    for (unsigned i = 1; count > 1 && i < count; i++) {
        if (strcmp(name, names[i]) == 0) return i;
    }
    if (!canCreate(name)) return refused;
    strcpy(names[count > 1 ? count : 1], name); // recorded before the read
    char path[256], maskPath[256];
    snprintf(path, sizeof path, "Textures/%s", name);
    glGenTextures(1, &ids[count]);
    glBindTexture(GL_TEXTURE_2D, ids[count]);
    if (endsInJpg(name)) {
        if (maskName) {
            snprintf(maskPath, sizeof maskPath, "Textures/%s", maskName);
            loadJpg(path, maskPath, filter);
        } else {
            loadJpg(path, filter);
        }
    }
    setFilters(GL_TEXTURE_2D, filter);
    return count++;
}

unsigned Texture::load(const char* name, unsigned filter) {
    return create(name, nullptr, filter);
}

unsigned Texture::load(const char* name, const char* maskName, unsigned filter) {
    return create(name, maskName, filter);
}

unsigned Texture::empty(unsigned size, unsigned filter) {
    if (!canCreate("empty texture")) return refused;
    if (size > unsigned(jpegMaxSide)) {
        fprintf(stderr, "Empty texture of %u pixels a side refused (at most %d)\n", size, jpegMaxSide);
        return refused;
    }
    // Cleared, although nothing reads it before the first frame-buffer copy.
    void* pixels = calloc(size_t(size) * size * 3 + 1, 1);
    if (!pixels) {
        fprintf(stderr, "Empty texture of %u pixels a side: out of memory\n", size);
        return refused;
    }
    glGenTextures(1, &ids[count]);
    glBindTexture(GL_TEXTURE_2D, ids[count]);
    upload(3, int(size), int(size), GL_RGB, pixels, filter);
    free(pixels);
    setFilters(GL_TEXTURE_2D, filter);
    names[count][0] = 0; // no name, so the cache never returns this texture
    return count++;
}

void Texture::bind(unsigned index) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, index < count ? ids[index] : 0);
}

int Texture::loadJpg(const char* path, unsigned filter) {
    uint8_t* bytes;
    size_t size;
    if (!readFile(path, &bytes, &size, true)) return 0;
    JpegImage image = jpegDecode(bytes, size);
    free(bytes);
    report(path, image.error);
    fitToDriver(path, image);
    upload(3, image.width, image.height, GL_RGBA, image.data, filter);
    free(image.data);
    return 1;
}

int Texture::loadJpg(const char* path, const char* maskPath, unsigned filter) {
    uint8_t *maskBytes, *bytes;
    size_t maskSize, size;
    if (!readFile(maskPath, &maskBytes, &maskSize, false)) return 0;
    if (!readFile(path, &bytes, &size, false)) {
        free(maskBytes);
        return 0;
    }
    const char* maskError = nullptr;
    JpegImage image = jpegDecodeMasked(bytes, size, maskBytes, maskSize, &maskError);
    free(bytes);
    free(maskBytes);
    report(maskPath, maskError);
    report(path, image.error);
    fitToDriver(path, image);
    upload(GL_RGBA8, image.width, image.height, GL_RGBA, image.data, filter);
    free(image.data);
    return 1;
}
