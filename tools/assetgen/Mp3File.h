// MP3 encoding of a stereo float buffer through libmp3lame: 44.1 kHz,
// constant 192 kbit/s, joint stereo, no ID3 tag. The first frame carries
// LAME's Info tag with the encoder delay and padding, so a decoder with
// gapless support (libmpg123 by default) returns exactly the input samples:
// sample k of the input plays at k / 44100 s.
#pragma once

#include <string>

#include "Audio.h"

// Returns "", or the problem naming the file.
std::string writeMp3(const std::string& path, const StereoBuffer& pcm);
