// Drum and effect sounds, each added into a stereo buffer at a start frame
// with a gain (1 = nominal level). The crash, the boom and the stab (Voices)
// make the accents; they start at full level on their first frame so that
// an accent's onset is the start frame itself.
#pragma once

#include "Audio.h"

void kick(StereoBuffer& out, long at, double gain);
void snare(StereoBuffer& out, long at, double gain, double pan = 0.0);
void clap(StereoBuffer& out, long at, double gain);
void hat(StereoBuffer& out, long at, double gain, bool open, double pan);
void tom(StereoBuffer& out, long at, double gain, double hz, double pan);
void crash(StereoBuffer& out, long at, double gain, uint32_t seed);
void boom(StereoBuffer& out, long at, double gain);
// Filtered noise sweeping up from `from` to `to` (frames), loudest at the end.
void riser(StereoBuffer& out, long from, long to, double gain);
