// Two headless contexts side by side for comparing the layer with OpenGL:
// a desktop (compatibility) context drawn with real OpenGL 1.1, and an
// OpenGL ES 2.0 context for the layer (exactly 2.0, as WebGL 1 is), each on
// a window of SDL's offscreen driver (Mesa llvmpipe through EGL) of the same
// size.
#pragma once

#include <vector>

struct SDL_Window;

namespace fixedgltest {

class TwoContexts {
public:
    TwoContexts(int width, int height);
    ~TwoContexts();
    TwoContexts(const TwoContexts&) = delete;
    TwoContexts& operator=(const TwoContexts&) = delete;

    bool ok() const { return desktopContext && layerContext; }
    void useDesktop(); // makes the desktop context current
    void useLayer();   // makes the ES 2.0 context current
    // The current context's whole frame as RGBA bytes, bottom row first
    // (with the layer's gathered vertices drawn first).
    std::vector<unsigned char> frame();

    const int width, height;

private:
    SDL_Window* desktopWindow = nullptr;
    SDL_Window* layerWindow = nullptr;
    void* desktopContext = nullptr;
    void* layerContext = nullptr;
};

} // namespace fixedgltest
