// The show driven by a fixed frame rate of music time instead of the audio
// clock, for the tools and for run-ups before a seek. Frame k of a run at N
// frames per second shows music time floor(k x 1000 / N) ms, with the frame
// step `skip` = 20 / N, like a constant-rate run from the start. Every scene
// starts on a whole second, so a run-up from a scene's start lands on the
// same grid.
#pragma once

// Music time in ms of grid frame k at `fps`.
unsigned gridTimeMs(long frame, int fps);
// The frame step `skip` of every frame at `fps`: 20 / fps.
float gridStep(int fps);
// The first grid frame whose time is at or after `ms`.
long firstGridFrameFrom(unsigned ms, int fps);
// Draws one frame of the show at music time `ms` with frame step `step`
// (timeline, scene update, overlay), without presenting it.
void drawShowFrameAt(unsigned ms, float step);
// The run-up to music time `ms` at `fps`: takes the step of every grid frame
// before `ms` from the start of the scene that holds `ms` (timeline, frame
// step, the scene's moving parts) without drawing, so that the scene stands
// where a drawn run from its start leaves it. No scene's state depends on
// its pictures, and every frame sets the GL state it draws with, so the
// frame drawn next is the one a drawn run-up leads to. A run-up deep into
// the longest scene takes milliseconds. `resume`, a grid frame this run-up
// would reach, skips the frames before it (they were stepped by an earlier
// run-up at the same rate); -1 for none. Returns the first grid frame at or
// after `ms`.
long runUpTo(unsigned ms, int fps, long resume = -1);
