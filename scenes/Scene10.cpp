// Scene 10. Placeholder until the scene is built: clears to its own grey so
// that the schedule can be followed on screen.
#include "platform/GL.h"
#include "scenes/Scenes.h"

void scene10init() {}

void scene10update() {
    glClearColor(0.8f, 0.8f, 0.8f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
