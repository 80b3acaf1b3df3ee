// The store of GL textures addressed by small indices: images loaded from
// "Textures/" (with a name cache), empty work textures and a 1-D shading
// ramp. At most 512 textures and 246-character names; a call beyond either
// limit is refused with one line on stderr and returns Texture::refused,
// which bind() treats as "no texture". GL context thread only.
#pragma once

class Texture {
public:
    static constexpr unsigned maxTextures = 512;
    static constexpr unsigned maxNameLength = 246;
    static constexpr unsigned mipmapRequest = 47806; // 0xBABE: build a mipmap chain
    static constexpr unsigned refused = 0xFFFFFFFFu; // index of a refused creation

    int index1D;          // index of the 1-D shading ramp; -1 before load1D
    unsigned count;       // textures created; the next gets index count
    unsigned ids[512];    // GL name of texture i
    char names[512][255]; // file name of texture i; entry 0 never compared

    Texture();
    ~Texture();

    // Loads "Textures/" + name, or returns the index of an earlier load of
    // the same name (exact, case-sensitive; a failed load is cached too).
    unsigned load(const char* name, unsigned filter);
    // The same with alpha from the mask's grey level; the cache looks at name only.
    unsigned load(const char* name, const char* maskName, unsigned filter);
    // A size x size RGB texture with undefined contents.
    unsigned empty(unsigned size, unsigned filter);
    // Enables 2D texturing and binds texture index (the default texture for
    // an index never handed out).
    void bind(unsigned index);

    // Decode the file(s) and upload into the bound 2D texture: RGB without a
    // mask, RGBA8 with one, a mipmap chain for mipmapRequest. 0 when a file
    // cannot be opened or read, else 1 (a damaged file is reported on stderr).
    int loadJpg(const char* path, unsigned filter);
    int loadJpg(const char* path, const char* maskPath, unsigned filter);

    // Nothing in the show calls these (TextureSpare.cpp).
    unsigned loadClamped(const char* name, unsigned filter);
    void unbind();
    void load1D();
    void bind1D();

private:
    unsigned create(const char* name, const char* maskName, unsigned filter);
    bool canCreate(const char* what);
    // Minification and magnification filters of the bound `target` texture:
    // `filter` for both, or mipmapped minification for mipmapRequest.
    static void setFilters(unsigned target, unsigned filter);
};
