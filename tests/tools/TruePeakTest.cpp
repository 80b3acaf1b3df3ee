// The true-peak estimate of the soundtrack's limiter finds the peaks of the
// reconstructed wave between samples.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/Signals.h"
#include "tools/assetgen/TruePeak.h"

using testsupport::addSine;
using testsupport::peakOf;

namespace {

TEST(TruePeak, FindsPeaksBetweenSamples) {
    // A quarter of the sample rate at 45°: every sample sits at 0.707, the
    // wave peaks at 1 halfway between them.
    StereoBuffer b(4000);
    addSine(b, kRate / 4.0, 1.0, 0, b.frames(), false, kTwoPi / 8);
    std::vector<float> peaks = truePeaks(b);
    EXPECT_NEAR(peakOf(b), 0.7071, 1e-3);
    for (long i = 100; i < 3900; ++i) ASSERT_NEAR(peaks[size_t(i)], 1.0, 0.01) << "frame " << i;
}

} // namespace
