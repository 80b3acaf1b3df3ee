// The rendering hub every scene reaches through the global `engine`: the
// shared texture store, the slot table mapping each image of the show to its
// texture index, the post-processing object, and the scene projection.
#pragma once

#include <vector>

class Glow;
class Mesh;
class Texture;

class Engine {
public:
    std::vector<Mesh*> meshes;  // drawn by render; not owned, empty in the show
    Texture* texture = nullptr; // the shared store, owned, never freed
    int slots[512];             // slot -> texture index; slots below slotCount are filled
    Glow* glow = nullptr;       // post-processing, owned, never freed

    Engine();
    // Creates the texture store and the glow object with its two work
    // textures (texture indices 0 and 1).
    void init();
    // 45-degree perspective at the fixed aspect 1.25, near 0.5, far 500;
    // identity modelview; viewport (0, 0, width, height), truncated.
    void perspective(float width, float height);
    // Nothing in the show calls these three (render is in EngineRender.cpp).
    void render();
    void prepareScene() {}
    void deinitializeScene() {}
};

extern Engine* engine; // valid from asset preparation on
