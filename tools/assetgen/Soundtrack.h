// The show's soundtrack: synthesises the whole piece (Score.cpp) and
// encodes it to MP3 (Mp3File.cpp). 44.1 kHz stereo.
#pragma once

#include <string>

// Writes the MP3 to path; false, after one line on stderr, on failure.
bool writeSoundtrack(const std::string& path);
