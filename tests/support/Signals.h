// Synthetic stereo signals for the tests of the soundtrack's master stage:
// sines added into a buffer, and the buffer's sample peak.
#pragma once

#include <algorithm>
#include <cmath>

#include "tools/assetgen/Audio.h"

namespace testsupport {

// Adds a sine of `amplitude` and `hz` to frames [from, to) of both channels
// (or only the left one); phase in radians at frame 0.
inline void addSine(StereoBuffer& b, double hz, double amplitude, long from, long to,
                    bool leftOnly = false, double phase = 0) {
    for (long i = from; i < to; ++i) {
        float v = float(amplitude * std::sin(kTwoPi * hz * double(i) / kRate + phase));
        b.l[size_t(i)] += v;
        if (!leftOnly) b.r[size_t(i)] += v;
    }
}

inline StereoBuffer tone(double hz, double amplitude, double seconds, bool leftOnly = false) {
    StereoBuffer b(long(seconds * kRate));
    addSine(b, hz, amplitude, 0, b.frames(), leftOnly);
    return b;
}

// Largest sample magnitude over both channels.
inline double peakOf(const StereoBuffer& b) {
    double top = 0;
    for (long i = 0; i < b.frames(); ++i)
        top = std::max({top, std::fabs(double(b.l[size_t(i)])), std::fabs(double(b.r[size_t(i)]))});
    return top;
}

} // namespace testsupport
