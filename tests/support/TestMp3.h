// Writes short MP3 files for tests with libmp3lame: a quiet sine tone,
// 44.1 kHz stereo.
#pragma once

#include <string>

namespace testsupport {

// Encodes `seconds` of a 440 Hz tone into `path`. Returns false on failure.
bool writeTestMp3(const std::string& path, double seconds);

// A fresh temporary directory, removed by the caller when it wants.
std::string makeTempDir();

} // namespace testsupport
