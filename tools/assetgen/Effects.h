// Effects of the soundtrack: a small Schroeder-style reverb and a ping-pong
// echo, both added into a mix bus.
#pragma once

#include "Audio.h"

// Adds the reverb of `in` (a send bus) into `out`; size 0..1 sets the decay.
void reverb(const StereoBuffer& in, StereoBuffer& out, double size, double gain);
// Adds a ping-pong echo of `in` into `out`: delay in frames, feedback 0..0.9.
void echo(const StereoBuffer& in, StereoBuffer& out, long delay, double feedback, double gain);
