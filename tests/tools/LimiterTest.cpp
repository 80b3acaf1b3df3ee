// The soundtrack's look-ahead limiter on a bed with bursts: it holds its
// ceiling with one gain for both channels that glides onto each peak, and
// leaves alone what lies outside its look-ahead and release.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/support/Signals.h"
#include "tools/assetgen/Limiter.h"
#include "tools/assetgen/TruePeak.h"

using testsupport::addSine;
using testsupport::peakOf;
using testsupport::tone;

namespace {

// A 0.3 bed over 3 s with bursts: loud noise in the left channel only at
// kNoise, a one-sample spike at kSpike, and loud tones at the very start and
// end.
const long kNoise = 40000, kSpike = 70000;
StereoBuffer burstyBed() {
    StereoBuffer b(3 * kRate);
    addSine(b, 200, 0.3, 0, b.frames());
    uint32_t s = 1;
    for (long i = kNoise; i < kNoise + 4000; ++i) {
        s = s * 1664525u + 1013904223u;
        b.l[size_t(i)] += float(3.0 * (double(s >> 8) / 8388608.0 - 1.0));
    }
    b.l[kSpike] = 10.f;
    addSine(b, 5000, 2.0, 0, 100);
    addSine(b, 5000, 2.0, b.frames() - 50, b.frames());
    return b;
}

// Gain of the output over the input at frame i of one channel.
double gainAt(const std::vector<float>& in, const std::vector<float>& out, long i) {
    return double(out[size_t(i)]) / double(in[size_t(i)]);
}

TEST(Limiter, HoldsTheCeilingWithOneSmoothGainForBothChannels) {
    const LimiterSettings settings = {0.8, 220, 0.05};
    StereoBuffer in = burstyBed(), out = in;
    limit(out, settings);
    EXPECT_LE(peakOf(out), 0.8 * (1 + 1e-6));
    std::vector<float> peaks = truePeaks(out);
    EXPECT_LE(*std::max_element(peaks.begin(), peaks.end()), 0.8 * 1.01) << "between samples";
    EXPECT_LE(gainAt(in.r, out.r, kSpike), 0.8 / 10.0 + 1e-4)
        << "the right channel follows the left's spike";
    // Through the left channel's noise and spike the right channel's bed gets
    // the same gain, and the gain glides: a step above twice the slope of a
    // straight fall over the look-ahead would click.
    double previous = -1, steepest = 0;
    for (long i = kNoise - 1000; i < kSpike + 1000; ++i) {
        bool measurable = std::fabs(in.l[size_t(i)]) > 0.05f && std::fabs(in.r[size_t(i)]) > 0.05f;
        double g = measurable ? gainAt(in.r, out.r, i) : -1;
        if (measurable) {
            ASSERT_NEAR(gainAt(in.l, out.l, i), g, 1e-4) << i;
            if (previous >= 0) steepest = std::max(steepest, std::fabs(g - previous));
        }
        previous = g;
    }
    EXPECT_LT(steepest, 2.0 / double(settings.lookahead));
}

TEST(Limiter, LeavesAloneWhatLiesOutsideLookAheadAndRelease) {
    const LimiterSettings settings = {0.8, 220, 0.05};
    StereoBuffer quiet = tone(200, 0.7, 1), untouched = quiet;
    limit(untouched, settings);
    EXPECT_TRUE(untouched.l == quiet.l && untouched.r == quiet.r)
        << "a signal under the ceiling passes as it is";
    // Ten release times after the opening burst the bed is back to its level
    // and stays there until the look-ahead before the noise: a hit is not
    // pre-empted audibly, and nothing is delayed. One release time after the
    // noise the gain is still coming back (one that snapped back would ripple
    // at the signal's own rate); ten after the spike the bed is back again.
    StereoBuffer in = burstyBed(), out = in;
    limit(out, settings);
    const long release = long(settings.release * kRate);
    for (long i = 100 + 10 * release; i < kNoise - settings.lookahead; ++i)
        ASSERT_NEAR(out.l[size_t(i)], in.l[size_t(i)], 1e-4) << i;
    double before = 0, after = 0;
    for (long i = kNoise + 4000 + release; i < kNoise + 4100 + release; ++i) {
        before += std::fabs(in.r[size_t(i)]);
        after += std::fabs(out.r[size_t(i)]);
    }
    EXPECT_LT(after, 0.9 * before);
    for (long i = kSpike + 10 * release; i < kSpike + 10 * release + 4000; ++i)
        ASSERT_NEAR(out.r[size_t(i)], in.r[size_t(i)], 1e-4) << i;
}

} // namespace
