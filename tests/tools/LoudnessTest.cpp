// The BS.1770 loudness meter of the soundtrack's master: it reads the
// standard's reference tones, weights the spectrum as K-weighting does, and
// gates silence and quiet passages out.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/Signals.h"
#include "tools/assetgen/Loudness.h"

using testsupport::addSine;
using testsupport::tone;

namespace {

TEST(Loudness, ReadsTheReferenceTonesAndTheKWeighting) {
    // A full-scale 1 kHz sine reads −3.01 LUFS in one channel, 0 in both.
    EXPECT_NEAR(integratedLoudness(tone(997, 1.0, 5, true)), -3.01, 0.05);
    EXPECT_NEAR(integratedLoudness(tone(997, 1.0, 5)), 0.0, 0.05);
    // The shelf lifts the highs by about 3.3 dB over 1 kHz; the high pass
    // takes the deep lows well down.
    EXPECT_NEAR(integratedLoudness(tone(10000, 1.0, 5)), 3.35, 0.2);
    EXPECT_LT(integratedLoudness(tone(20, 1.0, 5)), -12.0);
}

TEST(Loudness, GatesOutSilenceAndQuietPassages) {
    StereoBuffer halfSilent(10 * kRate);
    addSine(halfSilent, 997, 0.1, 0, 5 * kRate);
    // The three blocks that straddle the end of the tone pass the gate too
    // and pull the reading 0.13 LU down.
    EXPECT_NEAR(integratedLoudness(halfSilent), -20.0, 0.2) << "the absolute gate drops the silence";
    StereoBuffer withQuietPart = halfSilent;
    addSine(withQuietPart, 997, 0.005, 5 * kRate, 10 * kRate); // −26 dB, under the relative gate
    EXPECT_NEAR(integratedLoudness(withQuietPart), -20.0, 0.2)
        << "the relative gate drops the quiet half";
    EXPECT_EQ(integratedLoudness(StereoBuffer(5 * kRate)), -HUGE_VAL);
}

} // namespace
