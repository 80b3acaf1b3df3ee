// Command line of the preview player: window mode and size, render size,
// start time, looping, muting, picture-against-sound offset and vsync. Plain
// parsing, no I/O, so tests can run it.
#pragma once

#include <string>

#include "platform/RenderSize.h"
#include "tools/common/CommandLine.h"

struct PreviewOptions {
    bool fullscreenDesktop = false;     // --fullscreen-desktop; else a window
    int width = platform::classicWidth; // --window WxH, 64 .. 16384
    int height = platform::classicHeight;
    int renderWidth = 0; // --render-size WxH, 4:3; 0: the window's own, following resizes
    int renderHeight = 0;
    unsigned fromMs = 0; // --from MS, 0 .. showEndMs - 1
    bool loop = false;   // --loop: start again at --from after the end
    bool mute = false;   // --mute: timer clock, no sound
    int avOffsetMs = 0;  // --av-offset MS, -2000 .. 2000: picture later when > 0
    bool vsync = true;   // --vsync on|off
    long frames = 0;     // --frames N: quit after N frames (0: run to the end)
    std::string assets;  // --assets DIR; empty: the generated pack
};

// Parses argv into `options` (--help aside: CommandLine.h). Returns an empty
// string, or the one-line error.
std::string parsePreviewOptions(int argc, char** argv, PreviewOptions& options);
extern const Usage previewUsage;
