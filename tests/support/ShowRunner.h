// Runs the real show headless for tests: a 1024 x 768 offscreen window, the
// assets of a folder (the generated pack by default), all scenes initialised,
// and frames drawn as the tools draw them (tools/common/FrameDriver.h).
// One per test process: the show's start-up data lives until the process ends.
#pragma once

#include <string>
#include <vector>

#include "platform/Window.h"
#include "tests/support/Pixels.h"

namespace testsupport {

inline std::string generatedAssets() {
    return DEMO_BINARY_DIR "/assets";
}

class ShowRunner {
public:
    // Enters `assets` (default: the generated pack) and prepares the show.
    explicit ShowRunner(const std::string& assets = "");
    ~ShowRunner() { platform::closeWindow(); }
    bool ok() const { return opened; }

    // Draws exactly one frame at `ms` with frame step `step`.
    void drawAt(unsigned ms, float step);

    Rgb pixel(int x, int y) { return readPixel(x, y); }        // origin lower left
    std::vector<unsigned char> frame() { return readFrame(); } // bottom row first

private:
    bool opened = false;
};

} // namespace testsupport
