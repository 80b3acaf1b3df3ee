// The smoothing of the music position, on synthetic estimates.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/MusicClock.h"

namespace {

TEST(MusicClock, FollowsWallTimeBetweenStepwiseEstimates) {
    // An estimate that advances in 11.6 ms steps, as a device callback does.
    MusicClock clock;
    clock.reset(0.0, 0.0);
    double previous = 0;
    for (int i = 1; i <= 2000; i++) {
        double t = i * 0.001;
        double estimate = std::floor(t / 0.0116) * 11.6;
        double pos = clock.read(t, estimate);
        EXPECT_GE(pos - previous, 0.75 - 1e-9);
        EXPECT_LE(pos - previous, 1.25 + 1e-9);
        if (i > 200) {
            EXPECT_NEAR(pos, t * 1000.0, 12.0) << i;
        }
        previous = pos;
    }
}

TEST(MusicClock, NeverGoesBackwards) {
    MusicClock clock;
    clock.reset(0.0, 1000.0);
    double a = clock.read(0.010, 1010.0);
    double b = clock.read(0.011, 500.0); // the estimate jumps back
    EXPECT_GE(b, a);
    double c = clock.read(0.010, 2000.0); // wall time out of order
    EXPECT_GE(c, b);
}

TEST(MusicClock, JumpsForwardAfterALargeLag) {
    MusicClock clock;
    clock.reset(0.0, 0.0);
    EXPECT_NEAR(clock.read(0.010, 10.0), 10.0, 1e-9);
    EXPECT_NEAR(clock.read(0.020, 5000.0), 5000.0, 1e-9);
}

TEST(MusicClock, CatchesUpWithAFastDeviceWithinTheSlewLimit) {
    // A device running 14 % fast: the clock must keep within a few ms of it.
    MusicClock clock;
    clock.reset(0.0, 0.0);
    double pos = 0;
    for (int i = 1; i <= 5000; i++) pos = clock.read(i * 0.001, i * 1.14);
    EXPECT_NEAR(pos, 5000 * 1.14, 5.0);
}

} // namespace
