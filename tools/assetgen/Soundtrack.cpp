// Synthesis and encoding of the soundtrack; see Soundtrack.h.
#include "Soundtrack.h"

#include "Mp3File.h"
#include "Score.h"

bool writeSoundtrack(const std::string& path) {
    // −3 dBFS before encoding: the decoder's overshoot stays below −1 dBFS.
    StereoBuffer mix = renderScore(0.708);
    return writeMp3(path, mix);
}
