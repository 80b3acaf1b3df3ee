// Headless show runner for tests.
#include "tests/support/ShowRunner.h"

#include "app/CApplication.h"
#include "app/ShowStart.h"
#include "platform/GL.h"
#include "tools/common/FrameDriver.h"

namespace testsupport {

ShowRunner::ShowRunner(const std::string& assets) {
    CApplication app;
    opened = startShow(app, "ShowRunner", assets.empty() ? generatedAssets() : assets) ==
             ShowStart::Ready;
}

void ShowRunner::drawAt(unsigned ms, float step) {
    drawFrame(ms, step);
    glFinish();
}

} // namespace testsupport
