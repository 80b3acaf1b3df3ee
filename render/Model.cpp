// Drawing of a model: its placement around all of its meshes.
#include "render/Model.h"

#include "geometry/Mesh.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"

void Model::render() {
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glRotatef(rotation.x, 1, 0, 0);
    glRotatef(rotation.y, 0, 1, 0);
    glRotatef(rotation.z, 0, 0, 1);
    glEnable(GL_TEXTURE_2D);
    engine->texture->bind(unsigned(engine->slots[slotNice]));
    for (Mesh* mesh : meshes) mesh->render();
    glPopMatrix();
}
