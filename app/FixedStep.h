// The show driven by a fixed frame rate of music time instead of the audio
// clock, for the capture tool and for run-ups before a seek. Frame k of a run
// at N frames per second shows music time floor(k x 1000 / N) ms, with the
// frame step `skip` = 20 / N, like a constant-rate run from the start. Every
// scene starts on a whole second, so a run-up from a scene's start lands on
// the same grid.
#pragma once

// Music time in ms of grid frame k at `fps`.
unsigned gridTimeMs(long frame, int fps);
// The first grid frame whose time is at or after `ms`.
long firstGridFrameFrom(unsigned ms, int fps);
// Index 0..9 of the scene that shows music time `ms`.
int sceneAt(unsigned ms);
// Draws one frame of the show at music time `ms` with frame step `step`
// (timeline, scene update, overlay), without presenting it.
void drawShowFrameAt(unsigned ms, float step);
