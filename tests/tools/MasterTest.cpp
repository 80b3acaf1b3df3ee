// The soundtrack's master stage on synthetic signals: the BS.1770 loudness
// meter (reference tones, K-weighting, gates), the 4x true-peak estimate,
// the look-ahead limiter (ceiling, one smooth gain for both channels, nothing
// touched outside its look-ahead and release) and the master that brings a
// mix to its loudness target under the limiter's ceiling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "tools/assetgen/Limiter.h"
#include "tools/assetgen/Loudness.h"
#include "tools/assetgen/Master.h"
#include "tools/assetgen/TruePeak.h"

namespace {

// Adds a sine of `amplitude` and `hz` to frames [from, to) of both channels
// (or only the left one); phase in radians at frame 0.
void addSine(StereoBuffer& b, double hz, double amplitude, long from, long to, bool leftOnly = false,
             double phase = 0) {
    for (long i = from; i < to; ++i) {
        double v = amplitude * std::sin(kTwoPi * hz * double(i) / kRate + phase);
        b.addStereo(i, v, leftOnly ? 0.0 : v);
    }
}

StereoBuffer tone(double hz, double amplitude, double seconds, bool leftOnly = false) {
    StereoBuffer b(long(seconds * kRate));
    addSine(b, hz, amplitude, 0, b.frames(), leftOnly);
    return b;
}

// Largest sample magnitude over both channels.
double peakOf(const StereoBuffer& b) {
    auto larger = [](double top, float v) { return std::max(top, double(std::fabs(v))); };
    return std::accumulate(b.r.begin(), b.r.end(), std::accumulate(b.l.begin(), b.l.end(), 0.0, larger),
                           larger);
}

TEST(Loudness, ReadsTheReferenceTonesWeightsTheSpectrumAndGatesOutSilenceAndQuietParts) {
    // A full-scale 1 kHz sine reads −3.01 LUFS in one channel, 0 in both.
    EXPECT_NEAR(integratedLoudness(tone(997, 1.0, 5, true)), -3.01, 0.05);
    EXPECT_NEAR(integratedLoudness(tone(997, 1.0, 5)), 0.0, 0.05);
    // The shelf lifts the highs by about 3.3 dB over 1 kHz; the high pass
    // takes the deep lows well down.
    EXPECT_NEAR(integratedLoudness(tone(10000, 1.0, 5)), 3.35, 0.2);
    EXPECT_LT(integratedLoudness(tone(20, 1.0, 5)), -12.0);
    StereoBuffer halfSilent(10 * kRate);
    addSine(halfSilent, 997, 0.1, 0, 5 * kRate);
    // The three blocks that straddle the end of the tone pass the gate too
    // and pull the reading 0.13 LU down.
    EXPECT_NEAR(integratedLoudness(halfSilent), -20.0, 0.2) << "the absolute gate drops the silence";
    addSine(halfSilent, 997, 0.0178, 5 * kRate,
            10 * kRate); // −15 dB: under a 10 LU gate, over a 20 LU one
    EXPECT_NEAR(integratedLoudness(halfSilent), -20.0, 0.2) << "the relative gate drops the quiet half";
    EXPECT_EQ(integratedLoudness(StereoBuffer(5 * kRate)), -HUGE_VAL);
}

TEST(TruePeak, FindsPeaksBetweenSamples) {
    // A quarter of the sample rate at 45°: every sample sits at 0.707, the
    // wave peaks at 1 halfway between them.
    StereoBuffer b(4000);
    addSine(b, kRate / 4.0, 1.0, 0, b.frames(), false, kTwoPi / 8);
    std::vector<float> peaks = truePeaks(b);
    EXPECT_NEAR(peakOf(b), 0.7071, 1e-3);
    for (long i = 100; i < 3900; ++i) ASSERT_NEAR(peaks[size_t(i)], 1.0, 0.01) << "frame " << i;
}

// A 0.3 bed over 3 s with bursts: loud noise in the left channel only at
// kNoise, a one-sample spike at kSpike, and loud tones at the very start and
// end.
const long kNoise = 40000, kSpike = 70000;
const LimiterSettings kLimiter = {0.8, 220, 0.05};

StereoBuffer burstyBed() {
    StereoBuffer b(3 * kRate);
    addSine(b, 200, 0.3, 0, b.frames());
    Noise noise(1);
    for (long i = kNoise; i < kNoise + 4000; ++i) b.l[size_t(i)] += float(3.0 * noise.next());
    b.l[kSpike] = 10.f;
    addSine(b, 5000, 2.0, 0, 100);
    addSine(b, 5000, 2.0, b.frames() - 50, b.frames());
    return b;
}

// Gain of the output over the input at frame i of one channel.
double gainAt(const std::vector<float>& in, const std::vector<float>& out, long i) {
    return double(out[size_t(i)]) / double(in[size_t(i)]);
}

TEST(Limiter, HoldsTheCeilingWithOneSmoothGainAndLeavesAloneWhatLiesOutsideLookAheadAndRelease) {
    StereoBuffer quiet = tone(200, 0.7, 1), untouched = quiet;
    limit(untouched, kLimiter);
    EXPECT_TRUE(untouched.l == quiet.l && untouched.r == quiet.r)
        << "a signal under the ceiling passes as it is";
    StereoBuffer in = burstyBed(), out = in;
    limit(out, kLimiter);
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
        ASSERT_TRUE(!measurable || std::fabs(gainAt(in.l, out.l, i) - g) < 1e-4) << i;
        if (measurable && previous >= 0) steepest = std::max(steepest, std::fabs(g - previous));
        previous = g;
    }
    EXPECT_LT(steepest, 2.0 / double(kLimiter.lookahead));
    // Ten release times after the opening burst the bed is back to its level
    // and stays there until the look-ahead before the noise: a hit is not
    // pre-empted audibly, and nothing is delayed. One release time after the
    // noise the gain is still coming back (one that snapped back would ripple
    // at the signal's own rate); ten after the spike the bed is back again.
    const long release = long(kLimiter.release * kRate);
    for (long i = 100 + 10 * release; i < kNoise - kLimiter.lookahead; ++i)
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

TEST(Master, BringsAPeakyMixToItsTargetUnderTheCeilingAndLeavesSilenceAlone) {
    // A quiet tone with a loud decaying 60 Hz hit every half second.
    StereoBuffer mix = tone(440, 0.02, 10);
    for (long at = 0; at + kRate / 2 <= mix.frames(); at += kRate / 2)
        for (long i = 0; i < kRate / 4; ++i) {
            double v = 0.9 * std::exp(-double(i) / 2000.0) * std::sin(kTwoPi * 60.0 * double(i) / kRate);
            mix.addStereo(at + i, v, v);
        }
    master(mix, -14.0, {0.794, 220, 0.15});
    EXPECT_NEAR(integratedLoudness(mix), -14.0, 0.02);
    EXPECT_LE(peakOf(mix), 0.794 * (1 + 1e-6));
    StereoBuffer silence(kRate);
    master(silence, -14.0, {0.794, 220, 0.15});
    EXPECT_EQ(peakOf(silence), 0.0) << "silence stays silence, no NaN";
}

} // namespace
