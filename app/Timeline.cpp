// The music clock, the scene schedule and the accent table.
#include "app/Timeline.h"

#include "app/CApplication.h"
#include "app/Overlay.h"
#include "platform/Music.h"
#include "scenes/Scenes.h"

float demoMS = 0;
float demoTime = 0;
int currentScene = 0;

const int syncs[41] = {
    6000,   9000,   12000,  15000,  20800,  23800,  26700,  30000,  31600,  32800,  34600,
    35900,  38800,  41900,  44800,  48000,  50700,  54000,  56700,  60000,  62700,  65800,
    68700,  72000,  72450,  72900,  73300,  73800,  74500,  99000,  101900, 104800, 107800,
    123000, 125800, 129000, 131800, 135000, 137800, 141000, 143800,
};
int syncCount = 41;

const int sceneStartMs[10] = {0, 18000, 30000, 48000, 60000, 75000, 99000, 111000, 123000, 147000};

int getSync() {
    for (int i = syncCount - 1; i >= 0; i--) {
        if (demoMS > float(syncs[i])) return i;
    }
    return 0;
}

float getSyncFloat() {
    float d = float(syncs[getSync()]) - demoMS;
    if (d > -500.0f && d < 0.0f) return (d + 500.0f) / 500.0f;
    return 0.0f;
}

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
    int scene = 9;
    while (scene > 0 && ms < unsigned(sceneStartMs[scene])) scene--;
    return scene;
}

void drawCurrentScene() {
    static void (*const updates[10])() = {
        scene1update, scene2update, scene3update, scene4update, scene5update,
        scene6update, scene7update, scene8update, scene9update, scene10update,
    };
    updates[currentScene]();
    drawOverlay();
}

void stepCurrentScene() {
    static void (*const steps[10])() = {
        scene1step, scene2step, nullptr,    scene4step, nullptr,
        nullptr,    nullptr,    scene8step, nullptr,    nullptr,
    };
    if (steps[currentScene]) steps[currentScene]();
}

void resetScenes() {
    scene1reset();
    scene2reset();
    scene3reset();
    scene4reset();
    scene8reset();
}
