// Scene-jump and picture-time arithmetic of the preview. See SceneJump.h.
#include "tools/preview/SceneJump.h"

#include "app/FixedStep.h"
#include "app/Timeline.h"

unsigned previousSceneStart(unsigned ms) {
    int scene = sceneAt(ms);
    unsigned start = unsigned(sceneTable[scene].startMs);
    if (ms - start < sceneJumpGraceMs && scene > 0) return unsigned(sceneTable[scene - 1].startMs);
    return start;
}

unsigned nextSceneStart(unsigned ms) {
    int scene = sceneAt(ms);
    return scene + 1 < sceneCount ? unsigned(sceneTable[scene + 1].startMs) : ms;
}

unsigned pictureTimeMs(double musicMs, int avOffsetMs) {
    double t = musicMs - double(avOffsetMs);
    return t <= 0 ? 0u : unsigned(t);
}
