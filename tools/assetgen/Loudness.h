// Integrated loudness of a 44.1 kHz stereo buffer after ITU-R BS.1770-4 /
// EBU R128: K-weighting, 400 ms blocks every 100 ms, the absolute gate at
// −70 LUFS and the relative gate 10 LU below the ungated mean. Both channels
// weigh 1; no true-peak measurement here.
#pragma once

#include "Audio.h"

// Loudness in LUFS; −HUGE_VAL when every block is below the absolute gate.
double integratedLoudness(const StereoBuffer& pcm);
