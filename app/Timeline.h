// The music clock and the scene schedule: the clock globals every scene
// reads, the accent (sync) table and its flash functions, and the dispatch to
// the running scene.
#pragma once

extern float demoMS;        // music position in ms, as read this frame
extern float demoTime;      // the same in tenths of a second (ms / 100)
extern int currentScene;    // 0..9: the running scene is currentScene + 1
extern const int syncs[41]; // accent times in ms, ascending
extern int syncCount;       // number of entries of syncs scanned by getSync

// Index of the latest sync strictly before demoMS; 0 when none has passed.
int getSync();
// 1 at a sync, falling linearly to 0 over the next 500 ms; 0 otherwise.
float getSyncFloat();

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

// Scene start times in ms, for tools that seek: sceneStartMs[k] is where
// scene k + 1 begins; showEndMs is the end of the schedule.
extern const int sceneStartMs[10];
constexpr int showEndMs = 150000;
