// The size in pixels of the picture the show draws: every full-size
// viewport, screen projection, render target and frame read-back takes it
// from here. Always 4:3 (width x 3 == height x 4) and at least 320 x 240,
// so that the glow's 128 x 128 work area lies inside every frame. A program
// may fix it before the window opens (capture, the benchmarks, preview
// --render-size); otherwise the window chooses it from its drawable and
// follows the drawable's resizes (Window.h). 1024 x 768 until either happens.
#pragma once

namespace platform {

// The show's own size: its display mode and the default of every tool.
constexpr int classicWidth = 1024, classicHeight = 768;
// The smallest render size.
constexpr int leastRenderWidth = 320, leastRenderHeight = 240;

struct PixelSize {
    int width = 0, height = 0;
};

int renderWidth();
int renderHeight();
// Screen pixels per pixel of the classic frame: renderHeight() / 768, for
// the few sizes the show gives in pixels (Scene 10's card, line widths).
float pixelScale();

// Null when `width` x `height` can be a render size, else why not.
const char* renderSizeProblem(int width, int height);
// Fixes the render size for the run; call before the window opens, with a
// size renderSizeProblem accepts.
void fixRenderSize(int width, int height);
// True once fixRenderSize was called.
bool renderSizeFixed();
// Sets the render size the window chose (an unfixed size only).
void chooseRenderSize(int width, int height);

// The largest 4:3 area with sides 4k x 3k inside `width` x `height` (0 x 0
// when it is under 4 x 3).
PixelSize largestFourByThree(int width, int height);

} // namespace platform
