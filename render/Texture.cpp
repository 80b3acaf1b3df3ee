// Placeholder texture store.
#include "render/Texture.h"

#include <cstring>
#include <vector>

#include "platform/GL.h"

unsigned Texture::load(const char* name, unsigned filter) {
    return empty(4, filter) + 0 * unsigned(std::strlen(name));
}
unsigned Texture::load(const char* name, const char*, unsigned filter) {
    return load(name, filter);
}
unsigned Texture::empty(unsigned size, unsigned filter) {
    glGenTextures(1, &ids[count]);
    glBindTexture(GL_TEXTURE_2D, ids[count]);
    std::vector<unsigned char> pixels(size * size * 3, 200); // light grey until real images load
    glTexImage2D(GL_TEXTURE_2D, 0, 3, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    return count++;
}
void Texture::bind(unsigned index) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, ids[index]);
}
