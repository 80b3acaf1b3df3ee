// The two contexts of the layer's comparisons.
#include "tests/platform/fixedgl/TwoContexts.h"

#include <GLES2/gl2.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/fixedgl/FixedGL.h"

namespace fixedgltest {

namespace {

SDL_Window* openWindow(bool es, int width, int height, void** context) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    if (es) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    } else {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    }
    SDL_Window* window =
        SDL_CreateWindow(es ? "layer" : "desktop", 0, 0, width, height, SDL_WINDOW_OPENGL);
    if (window) *context = SDL_GL_CreateContext(window);
    if (!window || !*context) std::fprintf(stderr, "cannot open a context: %s\n", SDL_GetError());
    return window;
}

} // namespace

TwoContexts::TwoContexts(int width, int height) : width(width), height(height) {
    // Mesa gives OpenGL ES 3.2 for ES 2.0 unless told; exactly 2.0 is what
    // WebGL 1 offers the layer in the browser.
    setenv("MESA_GLES_VERSION_OVERRIDE", "2.0", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
    desktopWindow = openWindow(false, width, height, &desktopContext);
    layerWindow = openWindow(true, width, height, &layerContext);
}

TwoContexts::~TwoContexts() {
    SDL_GL_MakeCurrent(nullptr, nullptr);
    if (desktopContext) SDL_GL_DeleteContext(desktopContext);
    if (layerContext) SDL_GL_DeleteContext(layerContext);
    if (desktopWindow) SDL_DestroyWindow(desktopWindow);
    if (layerWindow) SDL_DestroyWindow(layerWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void TwoContexts::useDesktop() {
    SDL_GL_MakeCurrent(desktopWindow, desktopContext);
}

void TwoContexts::useLayer() {
    SDL_GL_MakeCurrent(layerWindow, layerContext);
}

std::vector<unsigned char> TwoContexts::frame() {
    if (SDL_GL_GetCurrentContext() == layerContext) fixedgl::flush();
    std::vector<unsigned char> rgba(size_t(width) * height * 4);
    ::glPixelStorei(GL_PACK_ALIGNMENT, 1);
    ::glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

} // namespace fixedgltest
