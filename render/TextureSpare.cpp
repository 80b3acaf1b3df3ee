// The texture store's operations that nothing in the show calls: a clamped
// load, unbinding, and the 1-D shading ramp. They sit in a unit of their
// own so that the show's link, and the GL it needs, leave them out.
#include "platform/GL.h"
#include "render/Texture.h"

unsigned Texture::loadClamped(const char* name, unsigned filter) {
    unsigned before = count;
    unsigned index = create(name, nullptr, filter);
    if (count != before) { // a new texture, still bound
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    return index;
}

void Texture::unbind() {
    if (glIsEnabled(GL_TEXTURE_2D)) glDisable(GL_TEXTURE_2D);
}

void Texture::load1D() {
    if (!canCreate("1-D ramp")) return;
    float ramp[32 * 3];
    for (int i = 0; i < 32; i++) {
        float v = i < 4 ? 0.2f : (i < 14 ? 0.5f : 1.0f);
        ramp[3 * i] = ramp[3 * i + 1] = ramp[3 * i + 2] = v;
    }
    glGenTextures(1, &ids[count]);
    glBindTexture(GL_TEXTURE_1D, ids[count]);
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, 32, 0, GL_RGB, GL_FLOAT, ramp);
    setFilters(GL_TEXTURE_1D, GL_NEAREST);
    names[count][0] = 0;
    index1D = int(count++);
}

void Texture::bind1D() {
    glEnable(GL_TEXTURE_1D);
    glBindTexture(GL_TEXTURE_1D, index1D >= 0 ? ids[index1D] : 0);
}
