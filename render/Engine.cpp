// The engine object and the scene projection.
#include "render/Engine.h"

#include "platform/GL.h"
#include "render/Glow.h"
#include "render/Texture.h"

Engine* engine = nullptr;

Engine::Engine() {
    // Slots from slotCount (TextureSlots.h) on are never used; zero keeps a
    // stray read harmless.
    for (int& s : slots) s = 0;
}

void Engine::init() {
    texture = new Texture();
    glow = new Glow();
    glow->Init(texture, GL_LINEAR);
}

void Engine::perspective(float width, float height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.25, 0.5, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, int(width), int(height));
}
