// Scene 1. Placeholder until the scene is built: clears to its own grey so
// that the schedule can be followed on screen.
#include "platform/GL.h"
#include "scenes/Scenes.h"

void scene1init() {}

void scene1update() {
    glClearColor(0.08f, 0.08f, 0.08f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
