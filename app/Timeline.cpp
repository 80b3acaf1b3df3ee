// The music clock and the scene schedule.
#include "app/Timeline.h"

#include "app/CApplication.h"
#include "app/Overlay.h"
#include "platform/Music.h"

int currentScene = 0;

void InitFMOD() {
    platform::startMusic("musa.mp3");
}

unsigned musicPositionMs() {
    return unsigned(platform::musicPositionMs());
}

void advanceTimeline(unsigned positionMs) {
    demoMS = float(positionMs);
    demoTime = float(positionMs / 100.0);
    if (positionMs > unsigned(showEndMs)) {
        done = true;
        return;
    }
    // Exactly 150,000 ms keeps the scene.
    if (positionMs < unsigned(showEndMs)) currentScene = sceneAt(positionMs);
}

int sceneAt(unsigned ms) {
    int scene = sceneCount - 1;
    while (scene > 0 && ms < unsigned(sceneTable[scene].startMs)) scene--;
    return scene;
}

void drawCurrentScene() {
    sceneTable[currentScene].update();
    drawOverlay();
}

void stepCurrentScene() {
    if (sceneTable[currentScene].step) sceneTable[currentScene].step();
}

void resetScenes() {
    for (const SceneEntry& scene : sceneTable) {
        if (scene.reset) scene.reset();
    }
}
