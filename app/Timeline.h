// The music clock and the scene schedule: setting the clock globals the
// scenes read (scenes/ShowTime.h) from the music position, and the dispatch
// to the running scene.
#pragma once

#include "scenes/SceneTable.h"
#include "scenes/ShowTime.h"

extern int currentScene; // 0..9: the running scene is currentScene + 1

// Opens "musa.mp3" in the working directory and starts it from 0 ms. When it
// cannot be played the clock runs from the system timer, starting now.
void InitFMOD();
// The music position in ms as heard; smooth and never decreasing.
unsigned musicPositionMs();

// Sets demoMS, demoTime and currentScene from a music position in ms, or
// raises `done` past 150,000 ms.
void advanceTimeline(unsigned positionMs);
// Index 0..9 of the scene whose span holds music time `ms`: the last scene
// that has started by then (9 from 147,000 ms on, past the end included).
int sceneAt(unsigned ms);
// Calls the current scene's update, then lays the frame overlay on top.
void drawCurrentScene();
// Moves the current scene's moving parts on by one frame, as its update
// does, without drawing; nothing for a scene drawn from the time alone.
void stepCurrentScene();
// Refills every scene's state as its init left it, in scene order (see
// scene1reset); after srand(1) this is the state start-up leaves.
void resetScenes();
