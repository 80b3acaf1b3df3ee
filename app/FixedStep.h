// The show driven by a fixed frame rate of music time instead of the audio
// clock, for the tools and for run-ups before a seek. Frame k of a run at N
// frames per second shows music time floor(k x 1000 / N) ms, with the frame
// step `skip` = 20 / N, like a constant-rate run from the start. Every scene
// starts on a whole second, so a run-up from a scene's start lands on the
// same grid.
#pragma once

// Music time in ms of grid frame k at `fps`.
unsigned gridTimeMs(long frame, int fps);
// The first grid frame whose time is at or after `ms`.
long firstGridFrameFrom(unsigned ms, int fps);
// Draws one frame of the show at music time `ms` with frame step `step`
// (timeline, scene update, overlay), without presenting it.
void drawShowFrameAt(unsigned ms, float step);
// The run-up to music time `ms` at `fps`: steps, without presenting, every
// grid frame before `ms` from the start of the scene that holds `ms`, so that
// the scene's moving parts stand where a run from its start leaves them.
// No picture of the run-up is seen, so its frames are drawn through a
// one-pixel scissor box, which keeps every step and every state change but
// leaves the rasteriser almost nothing to do.
// `resume`, a grid frame this run-up would reach,
// skips the frames before it (they were stepped by an earlier run-up at the
// same rate); -1 for none. Each frame is finished (glFinish) before the next.
// Stops early when `stop` returns true between frames; `progress` hears of
// every frame stepped (done of total). Returns the next grid frame to draw:
// the first at or after `ms`, or the one it stopped before.
long runUpTo(unsigned ms, int fps, long resume = -1, bool (*stop)() = nullptr,
             void (*progress)(long done, long total) = nullptr);
