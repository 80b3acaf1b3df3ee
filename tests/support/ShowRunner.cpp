// Headless show runner for tests.
#include "tests/support/ShowRunner.h"

#include "app/CApplication.h"
#include "app/FixedStep.h"
#include "app/ShowStart.h"
#include "platform/GL.h"
#include "platform/Window.h"

namespace testsupport {

std::string generatedAssets() {
    return DEMO_BINARY_DIR "/assets";
}

ShowRunner::ShowRunner(const std::string& assets) {
    CApplication app;
    ShowStart start = startShow(app, "ShowRunner", assets.empty() ? generatedAssets() : assets);
    opened = start == ShowStart::Ready;
}

ShowRunner::~ShowRunner() {
    platform::closeWindow();
}

void ShowRunner::runTo(unsigned ms, int fps) {
    nextFrame = runUpTo(ms, fps, fps == lastFps ? nextFrame : -1);
    lastFps = fps;
    drawAt(ms, 20.0f / float(fps));
}

void ShowRunner::drawAt(unsigned ms, float step) {
    platform::beginFrame();
    drawShowFrameAt(ms, step);
    glFinish();
}

} // namespace testsupport
