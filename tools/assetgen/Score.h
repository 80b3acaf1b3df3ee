// The composition: 150 BPM (a sixteenth is 100 ms), A minor, rising to B
// minor for the last climax. Sections follow the show's scene schedule, and
// every accent time of the show (syncs, scenes/ShowTime.h) gets a crash with
// a chord stab and a hit.
#pragma once

#include "Audio.h"

// Length of the track, ms: the final chord has rung out into silence.
constexpr double kTrackMs = 156000.0;

// Renders the whole piece, unmastered: the level is whatever the mix gives.
StereoBuffer renderScore();
