// The show's soundtrack: synthesises the whole piece (Score.cpp) and
// encodes it to MP3 (Mp3File.cpp). 44.1 kHz stereo.
#pragma once

#include <string>

// Writes the MP3 to path. Returns "", or the problem naming the file.
std::string writeSoundtrack(const std::string& path);
