// The show's clock as every scene reads it: the music time of the frame being
// drawn, the frame step, and the 41 accents with their flash. The timeline
// (app/) sets the first three each frame; the scenes only read them.
#pragma once

extern float demoMS;   // music position in ms, as read this frame
extern float demoTime; // the same in tenths of a second (ms / 100)
extern float skip;     // frame step in units of 50 ms, at most 50

extern const int syncs[41]; // accent times in ms, ascending
extern int syncCount;       // number of entries of syncs scanned by getSync

// Index of the latest sync strictly before demoMS; 0 when none has passed.
int getSync();
// 1 at a sync, falling linearly to 0 over the next 500 ms; 0 otherwise.
float getSyncFloat();
