// Writes short MP3 files for tests with libmp3lame: a quiet 440 Hz sine
// tone, 44.1 kHz stereo unless asked otherwise.
#pragma once

#include <string>

namespace testsupport {

// Encodes `seconds` of the tone at `rate` frames per second (a rate MP3
// has: 8000 to 48000) with 1 or 2 `channels` into `path`. Returns false on
// failure.
bool writeTestMp3(const std::string& path, double seconds, int rate = 44100, int channels = 2);

// A fresh temporary directory, removed by the caller when it wants.
std::string makeTempDir();

} // namespace testsupport
