// Headless show runner for tests.
#include "tests/support/ShowRunner.h"

#include <unistd.h>

#include <cstdio>

#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/Window.h"

namespace testsupport {

std::string generatedAssets() {
    return DEMO_BINARY_DIR "/assets";
}

ShowRunner::ShowRunner(const std::string& assets) {
    std::string dir = assets.empty() ? generatedAssets() : assets;
    if (chdir(dir.c_str()) != 0) std::fprintf(stderr, "ShowRunner: cannot enter %s\n", dir.c_str());
    CApplication app;
    opened = app.init();
    if (!opened) return;
    prepareShow();
}

ShowRunner::~ShowRunner() {
    platform::closeWindow();
}

void ShowRunner::runTo(unsigned ms, int fps) {
    long start = firstGridFrameFrom(unsigned(sceneStartMs[sceneAt(ms)]), fps);
    if (fps == lastFps && lastFrame >= start && gridTimeMs(lastFrame, fps) < ms) start = lastFrame + 1;
    float step = 20.0f / float(fps);
    long frame = start;
    for (; gridTimeMs(frame, fps) < ms; frame++) drawAt(gridTimeMs(frame, fps), step);
    drawAt(ms, step);
    lastFrame = frame - 1;
    lastFps = fps;
}

void ShowRunner::drawAt(unsigned ms, float step) {
    platform::beginFrame();
    drawShowFrameAt(ms, step);
    glFinish();
}

} // namespace testsupport
