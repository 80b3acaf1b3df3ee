// The show driven by a fixed frame rate of music time instead of the audio
// clock, for the tools and for run-ups before a seek. Frame k of a run at N
// frames per second shows music time floor(k x 1000 / N) ms, with the frame
// step `skip` = 20 / N. "The frame at T" at N frames per second is the frame
// such a run from 0 ms draws at T; every seek (a capture that starts late, a
// preview jump) reaches it by a run-up from the start.
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

// Keeps the GL state that start-up leaves for rewindShow (on the attribute
// stacks, with the matrices); called once, at the end of start-up.
void keepStartState();
// Puts the show back where start-up left it, so that the next run-up starts
// as a fresh process would: the GL state kept by keepStartState, the C
// library's random sequence restarted (srand(1) is the sequence of a program
// that never seeds) and every scene's state refilled in place. Allocates
// nothing.
void rewindShow();

// The run-up to music time `ms` at `fps`: takes every grid frame from `from`
// up to `ms` as a drawn run from 0 ms would (timeline, frame step, every
// scene's moving parts and the rand() values they draw), so that the frame
// drawn next is the one a run from the start draws at `ms`. `from` is the
// next grid frame of the run so far: 0 right after start-up or rewindShow,
// or the value an earlier run-up at the same rate returned.
//
// Steps draw nothing: no scene's state depends on its pictures. The GL state
// does depend on the drawing, since a scene leaves for the next ones what it
// does not set back (the texture environment of Scene 1 for the whole show,
// among others). So the last grid frame of every scene passed, and the last
// frame before `ms`, are drawn whole through a one-pixel scissor box: the
// GL state is then the one the scenes' own drawing leaves, at the cost of
// at most ten frames' vertex work, whichever the moment. Returns the first
// grid frame at or after `ms`.
long runUpTo(unsigned ms, int fps, long from = 0);
// A seek from anywhere, backwards included: rewindShow, then the run-up from
// 0 to `ms` at `fps`. Returns the first grid frame at or after `ms`.
long seekTo(unsigned ms, int fps);
