// Material: default property word and the GL state it applies.
#include "geometry/Material.h"

#include "platform/GL.h"

Material::Material()
    : colour{1.0f, 1.0f, 1.0f},
      properties(MAT_LIT | MAT_TEXTURED | MAT_SHOW_FACE_NORMALS) {}

void Material::activate() const {
    if (getProperty(MAT_LIT)) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
        glColor3f(colour[0], colour[1], colour[2]);
    }
    if (getProperty(MAT_TEXTURED)) glEnable(GL_TEXTURE_2D);
}
