// The smoothing of the music position, on synthetic estimates.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/MusicClock.h"

namespace {

TEST(MusicClock, FollowsStepwiseFastAndSlowDevicesInSmoothSteps) {
    // A device whose count advances in 11.6 ms steps, as its callbacks do,
    // and devices 14 % fast and 10 % slow: every 1 ms reading steps 0.75 to
    // 1.25 ms (never standing still), and the clock keeps with the device.
    const std::function<double(int)> devices[] = {[](int ms) { return std::floor(ms / 11.6) * 11.6; },
                                                  [](int ms) { return ms * 1.14; },
                                                  [](int ms) { return ms * 0.9; }};
    for (const auto& device : devices) {
        MusicClock clock;
        clock.reset(0.0, 0.0);
        double previous = 0;
        for (int ms = 1; ms <= 3000; ms++) {
            double pos = clock.read(ms * 0.001, device(ms));
            ASSERT_GE(pos - previous, 0.75 - 1e-9) << ms;
            ASSERT_LE(pos - previous, 1.25 + 1e-9) << ms;
            previous = pos;
        }
        EXPECT_NEAR(previous, device(3000), 12.0);
    }
}

TEST(MusicClock, NeverGoesBackAndMeetsTheDeviceAfterALargeLagOrARareReading) {
    MusicClock clock;
    clock.reset(0.0, 1000.0);
    EXPECT_NEAR(clock.read(0.010, 1010.0), 1010.0, 1e-9);
    EXPECT_EQ(clock.read(0.011, 500.0), 1010.0);          // the estimate jumps back
    EXPECT_EQ(clock.read(0.010, 1100.0), 1010.0);         // wall time out of order
    EXPECT_NEAR(clock.read(0.020, 1320.0), 1320.0, 1e-9); // a lag over 250 ms
    EXPECT_NEAR(clock.read(0.620, 1760.0), 1760.0, 1e-9); // read 0.6 s later, the device late
}

TEST(MusicClock, HoldsWhileTheDeviceStallsAndGoesOnWhenItCatchesUp) {
    // The estimate follows the wall to 1000 ms, stands for 0.5 s, then goes
    // on from where it stood.
    MusicClock clock;
    clock.reset(0.0, 0.0);
    double previous = 0;
    for (int i = 1; i <= 3000; i++) {
        double estimate = i <= 1000 ? i : i <= 1500 ? 1000.0 : i - 500.0;
        double pos = clock.read(i * 0.001, estimate);
        ASSERT_GE(pos, previous);
        // Never more than the hold threshold (and a reading) ahead.
        ASSERT_LE(pos - estimate, clock.holdMs + 1.0) << i;
        // Standing still from the threshold until the estimate reaches it.
        if (i >= 1060 && i <= 1535) {
            EXPECT_EQ(pos, previous) << i;
        }
        if (i >= 1600) {
            EXPECT_NEAR(pos, estimate, 1.0) << i;
        }
        previous = pos;
    }
}

} // namespace
