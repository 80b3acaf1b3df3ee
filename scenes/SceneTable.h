// The ten scenes in show order, in one table: each scene's entry points,
// where it begins in music time, and a moment that pictures it. Everything
// that walks the scenes (the timeline, start-up, rewinds, the tools and the
// tests) reads this table, so a scene's identity is written once.
#pragma once

constexpr int sceneCount = 10;
constexpr int showEndMs = 150000; // end of the schedule; the show ends after it

struct SceneEntry {
    void (*init)();   // once at start-up, in table order
    void (*update)(); // draws one frame and post-processes it
    // One frame's movement by `skip` without drawing, which a run-up takes
    // alone; null for a scene drawn from the music time alone.
    void (*step)();
    // Puts the scene's state back as init left it, drawing the same rand()
    // values in the same order; null where init leaves nothing that moves
    // and draws no random value.
    void (*reset)();
    int startMs;   // music time at which the scene begins
    int pictureMs; // a moment that shows the scene well (README pictures)
};

extern const SceneEntry sceneTable[sceneCount];

// Where scene index `scene` (0..9) ends: the next scene's start, or showEndMs.
int sceneEndMs(int scene);
