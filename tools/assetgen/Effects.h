// Effects and the master stage of the soundtrack: a small Schroeder-style
// reverb, a ping-pong echo, and the master that soft-limits the mix and
// scales it to a fixed peak.
#pragma once

#include "Audio.h"

// Adds the reverb of `in` (a send bus) into `out`; size 0..1 sets the decay.
void reverb(const StereoBuffer& in, StereoBuffer& out, double size, double gain);
// Adds a ping-pong echo of `in` into `out`: delay in frames, feedback 0..0.9.
void echo(const StereoBuffer& in, StereoBuffer& out, long delay, double feedback, double gain);
// Soft-limits the mix in place and scales it so its peak is `peak` (linear).
void master(StereoBuffer& mix, double peak);
