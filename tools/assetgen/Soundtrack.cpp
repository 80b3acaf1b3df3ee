// Synthesis, mastering and encoding of the soundtrack; see Soundtrack.h.
#include "Soundtrack.h"

#include "Master.h"
#include "Mp3File.h"
#include "Score.h"

std::string writeSoundtrack(const std::string& path) {
    // The common streaming loudness, −14 LUFS, measured on the MP3: the
    // encoder takes about 0.3 LU off, so the master aims 0.3 LU higher. The
    // file's true peak reads 0.4 to 0.6 dB above the limiter's ceiling (the
    // encoder's overshoot, and content above 18 kHz that the limiter's
    // estimate under-reads), so a −2 dBTP ceiling keeps the file at −1.4 dBTP
    // or lower, under the −1 dBTP that streaming asks for. A 5 ms look-ahead
    // keeps the hits' attack; a 150 ms release recovers between beats
    // without pumping.
    StereoBuffer mix = renderScore();
    master(mix, -13.7, {0.794, 220, 0.15});
    return writeMp3(path, mix);
}
