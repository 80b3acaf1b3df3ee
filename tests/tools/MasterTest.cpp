// The soundtrack's master lands a peaky mix on its loudness target under
// the limiter's ceiling, and leaves silence alone.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/Signals.h"
#include "tools/assetgen/Loudness.h"
#include "tools/assetgen/Master.h"

using testsupport::peakOf;
using testsupport::tone;

namespace {

TEST(Master, BringsAPeakyMixToItsTargetUnderTheCeiling) {
    // A quiet tone with a loud decaying 60 Hz hit every half second.
    StereoBuffer mix = tone(440, 0.02, 10);
    for (long at = 0; at + kRate / 2 <= mix.frames(); at += kRate / 2)
        for (long i = 0; i < kRate / 4; ++i) {
            float v =
                float(0.9 * std::exp(-double(i) / 2000.0) * std::sin(kTwoPi * 60.0 * double(i) / kRate));
            mix.l[size_t(at + i)] += v;
            mix.r[size_t(at + i)] += v;
        }
    master(mix, -14.0, {0.794, 220, 0.15});
    EXPECT_NEAR(integratedLoudness(mix), -14.0, 0.02);
    EXPECT_LE(peakOf(mix), 0.794 * (1 + 1e-6));

    StereoBuffer silence(kRate);
    master(silence, -14.0, {0.794, 220, 0.15});
    EXPECT_EQ(peakOf(silence), 0.0) << "silence stays silence, no NaN";
}

} // namespace
