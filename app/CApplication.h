// The application object: window and context, asset preparation, the frame
// loop and its teardown, plus the per-frame timeline step `run`.
#pragma once

#include <cstdint>

extern bool done; // quit flag, tested at the top of each loop iteration

// Frame step for a frame at `current` ms after one at `last` ms: the gap / 50,
// capped at 50 (a gap over 2500 ms counts as 2500 ms). No lower bound.
float frameStep(uint64_t current, uint64_t last);

// Everything `precalc` does before starting the music: the engine, the fixed
// GL state, the textures from "Textures/" in the working directory and the
// scene initialisations. For tools that drive the clock themselves. Returns
// false, with the work left unfinished, when a quit request came during
// loading: the show must then not draw.
bool prepareShow();
// Seconds the phases of the last start-up took, for the frame benchmark:
// opening the window and context (startShow), loading the textures (reading,
// decoding and uploading) and initialising the scenes (prepareShow).
struct PreparationTimes {
    double window = 0;
    double textures = 0;
    double scenes = 0;
};
extern PreparationTimes preparationTimes;

class CApplication {
public:
    uint64_t currentTime = 0; // ms, timer reading of the frame being prepared
    uint64_t lastTime = 0;    // ms, timer reading of the previous frame

    // Opens the fullscreen window and GL context and fetches the ARB
    // multitexture entry points. Returns false, after one line on stderr,
    // when the show cannot run (no display, no usable GL).
    bool init();
    // Loads every asset, initialises the scenes and starts the music; when a
    // quit request comes first it stops, and execute() ends at once.
    void precalc();
    // Runs the frame loop until `done`.
    void execute();
    // Restores the display mode, releases the context and the window.
    void deinit();
    // One frame of the timeline: clock, scene choice, scene update, overlay.
    void run();
    // Handles one pending event, or draws and presents one frame when the
    // queue is empty. Returns true when a frame was drawn.
    bool step();
};
