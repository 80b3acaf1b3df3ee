// Start-up of the programs that drive the show's clock themselves (capture,
// soak, the frame benchmark, the preview player, the tests' show runner): the
// asset folder, the drivers, the window and context and every asset loaded,
// in that order, before the first frame.
#pragma once

#include <string>

#include "app/CApplication.h"
#include "platform/Window.h"

// How a start-up ended.
enum class ShowStart {
    Ready,         // the show can draw its first frame
    NoAssetFolder, // the asset folder cannot be entered (one line on stderr)
    NoWindow,      // no window or no usable GL (one line on stderr)
    Interrupted,   // a quit request came during loading; the window is closed
};

// Enters `assets` (empty: the working directory stays), opens `window`, or
// with none selects SDL's headless drivers and opens a 1024 x 768 offscreen
// window, and prepares the show. The message about the asset folder starts
// with `tool`. Records the seconds up to a usable GL context in
// preparationTimes.window.
ShowStart startShow(CApplication& app, const char* tool, const std::string& assets,
                    const platform::WindowConfig* window = nullptr);

// The exit status of a tool whose start-up ended with `start`: 130 when
// interrupted (as for SIGINT), 1 for the other failures, 0 when ready.
int exitStatus(ShowStart start);
