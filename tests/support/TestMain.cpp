// Shared test main: every test runs headless, on SDL's offscreen video driver
// (Mesa llvmpipe through EGL) and its dummy audio driver, with message boxes
// sent to stderr.
#include <gtest/gtest.h>

#include "platform/Window.h"

int main(int argc, char** argv) {
    platform::useHeadlessDrivers();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
