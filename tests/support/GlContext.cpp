// Headless GL context for tests.
#include "tests/support/GlContext.h"

#include <cstddef>

#include "platform/GL.h"
#include "platform/Window.h"

namespace testsupport {

GlContext::GlContext() {
    platform::WindowConfig config;
    config.mode = platform::WindowMode::Windowed;
    config.title = "Demo test";
    opened = platform::openWindow(config);
    if (!opened) return;
    platform::loadGLExtensions();
    platform::beginFrame();
}

GlContext::~GlContext() {
    platform::closeWindow();
}

} // namespace testsupport
