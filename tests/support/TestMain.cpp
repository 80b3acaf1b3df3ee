// Shared test main: every test runs headless, on SDL's offscreen video driver
// (Mesa llvmpipe through EGL) and its dummy audio driver, with message boxes
// sent to stderr.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Window.h"

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::setMessageBoxes(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
