// Look-ahead true-peak limiter over a whole stereo buffer. The gain starts
// to fall `lookahead` frames before a peak along a smooth S-curve and meets
// the ceiling exactly on the peak's frame, then recovers exponentially: no
// clipping, no added latency (the buffer is read ahead, so every hit stays on
// its frame). Peaks are measured between samples too (TruePeak.h). Both
// channels get the same gain, so the stereo image holds.
#pragma once

#include "Audio.h"

struct LimiterSettings {
    double ceiling; // highest true peak allowed, linear, 0..1
    long lookahead; // frames over which the gain falls before a peak, >= 2
    double release; // seconds for the gain to recover 63 % of its reduction
};

// Limits pcm in place: afterwards no sample exceeds the ceiling (to float
// rounding), and a buffer whose true peak is already below it is left
// unchanged.
void limit(StereoBuffer& pcm, const LimiterSettings& settings);
