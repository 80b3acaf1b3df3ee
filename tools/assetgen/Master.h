// The soundtrack's master stage: one gain that brings the whole piece to a
// target integrated loudness, a soft clipper for the tips of the hits, and
// the look-ahead limiter holding the true peak under its ceiling.
#pragma once

#include "Audio.h"
#include "Limiter.h"

// Masters pcm in place to `lufs` (within 0.02 LU, in at most eight rounds of
// gain, clipper and limiter) under the limiter's ceiling. A buffer too quiet
// to measure (below −70 LUFS) is left as it is.
void master(StereoBuffer& pcm, double lufs, const LimiterSettings& limiter);
