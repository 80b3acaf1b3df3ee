// Asset preparation: the engine, the fixed GL state, every texture of the
// show, the scene initialisations, and last the music, so that the clock
// reads 0 on the first frame however long loading took. No file is read
// after this.
#include <cstdlib>

#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "platform/Clock.h"
#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "platform/Window.h"
#include "render/Engine.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "scenes/SceneTable.h"

namespace {

void setFixedState() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, float(platform::renderWidth()) / float(platform::renderHeight()), 0.1f,
                   20000.0);
    glViewport(0, 0, platform::renderWidth(), platform::renderHeight());
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

// Each loading step ends early when a quit request (SIGINT, SIGTERM, the
// window closed) is waiting, so that the show leaves within a second.
bool loadTextures(Engine* e) {
    for (const SlotFile& t : slotFiles) {
        if (platform::quitRequested()) return false;
        e->slots[t.slot] = int(t.mask ? e->texture->load(t.file, t.mask, GL_LINEAR)
                                      : e->texture->load(t.file, GL_LINEAR));
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
    // The scenes draw the random sequence of a program that never seeds,
    // whatever a library may have drawn before; a rewind restarts it so.
    std::srand(1);
    for (const SceneEntry& scene : sceneTable) {
        if (platform::quitRequested()) return false;
        scene.init();
    }
    keepStartState();
    preparationTimes.textures = loaded - start;
    preparationTimes.scenes = platform::nowSeconds() - loaded;
    return true;
}

void CApplication::precalc() {
    if (prepareShow()) InitFMOD();
}
