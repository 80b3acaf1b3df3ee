// Asset preparation: the engine, the fixed GL state, every texture of the
// show, the scene initialisations, and last the music, so that the clock
// reads 0 on the first frame however long loading took. No file is read
// after this.
#include <cstdio>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/Clock.h"
#include "platform/GL.h"
#include "platform/Window.h"
#include "render/Engine.h"
#include "render/Texture.h"
#include "scenes/Scenes.h"

namespace {

void setFixedState() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 4.0f / 3.0f, 0.1f, 20000.0);
    glViewport(0, 0, 1024, 768);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    // Lines are antialiased at the best quality, but smoothing is switched on
    // only around the lines themselves (Mesh's normal lines): left on, Mesa's
    // software rasteriser stores a fresh 64 KiB state block for every draw
    // that follows a matrix change (some 130 MiB more resident memory over
    // the show) for triangles that it draws identically.
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
}

// The show's textures in loading order: slot, file, mask (or null).
struct TextureFile {
    int slot;
    const char* file;
    const char* mask;
};
const TextureFile textureFiles[] = {
    {0, "nice.jpg", nullptr},          {1, "net.jpg", nullptr},
    {2, "smallpart.jpg", nullptr},     {3, "block.jpg", nullptr},
    {4, "rainbow.jpg", "rshadowmask.jpg"}, {5, "triend.jpg", nullptr},
    {6, "rshadow.jpg", "rshadowmask.jpg"}, {7, "atex.jpg", nullptr},
    {8, "cloud.jpg", nullptr},         {9, "smallpart2.jpg", "smallpart.jpg"},
    {10, "block2.jpg", nullptr},       {11, "block3.jpg", nullptr},
    {12, "layer1.jpg", "layer1_mask.jpg"}, {13, "specular.jpg", nullptr},
    {14, "chrometex.jpg", nullptr},    {15, "layer.jpg", "layer_mask.jpg"},
    {16, "tailpart.jpg", nullptr},     {17, "flare.jpg", nullptr},
    {26, "chromeo.jpg", nullptr},      {27, "endtext.jpg", nullptr},
    {28, "6block.jpg", nullptr},       {29, "6block2.jpg", nullptr},
};
constexpr int firstGreetingSlot = 18;
constexpr int greetingCount = 8;

// Each loading step ends early when a quit request (SIGINT, SIGTERM, the
// window closed) is waiting, so that the show leaves within a second.
bool loadTextures(Engine* e) {
    for (const TextureFile& t : textureFiles) {
        if (platform::quitRequested()) return false;
        e->slots[t.slot] = int(t.mask ? e->texture->load(t.file, t.mask, GL_LINEAR)
                                      : e->texture->load(t.file, GL_LINEAR));
    }
    for (int i = 0; i < greetingCount; i++) {
        if (platform::quitRequested()) return false;
        char name[32], mask[32];
        std::snprintf(name, sizeof name, "greet%d.jpg", i + 1);
        std::snprintf(mask, sizeof mask, "greet%d_mask.jpg", i + 1);
        e->slots[firstGreetingSlot + i] = int(e->texture->load(name, mask, GL_LINEAR));
    }
    return true;
}

} // namespace

PreparationTimes preparationTimes;

bool prepareShow() {
    engine = new Engine();
    engine->init();
    setFixedState();
    double start = platform::nowSeconds();
    if (!loadTextures(engine)) return false;
    double loaded = platform::nowSeconds();
    static void (*const inits[10])() = {
        scene1init, scene2init, scene3init, scene4init, scene5init,
        scene6init, scene7init, scene8init, scene9init, scene10init,
    };
    for (auto init : inits) {
        if (platform::quitRequested()) return false;
        init();
    }
    preparationTimes.textures = loaded - start;
    preparationTimes.scenes = platform::nowSeconds() - loaded;
    return true;
}

void CApplication::precalc() {
    if (prepareShow()) InitFMOD();
}
