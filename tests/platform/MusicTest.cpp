// The music clock on SDL's dummy audio driver, with MP3 files the test makes.
// The dummy driver does not keep real time (its callbacks run a little
// fast), so the clock is checked against the samples the device consumed,
// and its frame-to-frame steps against the wall clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <thread>

#include "platform/Clock.h"
#include "platform/Music.h"
#include "tests/support/TestMp3.h"

namespace {

using testsupport::makeTempDir;
using testsupport::writeTestMp3;

void sleepMs(double ms) {
    std::this_thread::sleep_for(std::chrono::microseconds(long(ms * 1000)));
}

double consumedMs() {
    platform::MusicStats s = platform::musicStats();
    return s.sampleRate ? double(s.framesConsumed) * 1000.0 / s.sampleRate : 0.0;
}

TEST(Music, ClockStartsAtZeroAndFollowsTheDeviceSmoothly) {
    std::string path = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(writeTestMp3(path, 4.0));
    ASSERT_TRUE(platform::startMusic(path.c_str()));
    ASSERT_TRUE(platform::musicStats().playing);

    double first = platform::musicPositionMs();
    EXPECT_LT(first, 5.0);

    double previous = first, previousWall = platform::nowSeconds();
    double worstStep = 0, worstDevice = 0;
    for (int i = 0; i < 1000; i++) {
        sleepMs(1.0);
        double pos = platform::musicPositionMs();
        double wall = platform::nowSeconds();
        double device = consumedMs();
        double step = pos - previous;
        ASSERT_GE(step, 0.0) << "query " << i;
        worstStep = std::max(worstStep, std::fabs(step - (wall - previousWall) * 1000.0));
        if (i >= 100) worstDevice = std::max(worstDevice, std::fabs(pos - device));
        previous = pos;
        previousWall = wall;
    }
    std::printf("music clock: largest step error %.3f ms, largest distance from the "
                "device's sample count %.3f ms\n",
                worstStep, worstDevice);
    EXPECT_LE(worstStep, 2.0);
    EXPECT_LE(worstDevice, 20.0);
    platform::stopMusic();
}

TEST(Music, ClockGoesOnOnTheTimerAfterTheTrackEnds) {
    std::string path = makeTempDir() + "/short.mp3";
    ASSERT_TRUE(writeTestMp3(path, 0.5));
    ASSERT_TRUE(platform::startMusic(path.c_str()));
    sleepMs(1200);
    EXPECT_TRUE(platform::musicStats().ended);
    double a = platform::musicPositionMs();
    sleepMs(300);
    double b = platform::musicPositionMs();
    EXPECT_GT(a, 900.0);
    EXPECT_NEAR(b - a, 300.0, 80.0);
    platform::stopMusic();
}

double timerClockAdvanceOver(double ms) {
    double a = platform::musicPositionMs();
    sleepMs(ms);
    return platform::musicPositionMs() - a;
}

TEST(Music, MissingFileFallsBackToTheTimerWithOneLine) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::startMusic("/nonexistent/musa.mp3"));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("/nonexistent/musa.mp3: not found"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_LT(platform::musicPositionMs(), 50.0);
    EXPECT_NEAR(timerClockAdvanceOver(200), 200.0, 40.0);
    platform::stopMusic();
}

TEST(Music, UndecodableFileFallsBackToTheTimerWithOneLine) {
    std::string path = makeTempDir() + "/garbage.mp3";
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 50000; i++) out.put(char((i * 7919) >> 3));
    }
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::startMusic(path.c_str()));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(path), std::string::npos) << err;
    EXPECT_NE(err.find("plays silently"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NEAR(timerClockAdvanceOver(200), 200.0, 40.0);
    platform::stopMusic();
}

// The timer clock advances with the wall clock (measured, so that a loaded
// machine's late wake-ups do not count against it).
void expectClockFollowsTheWall(double ms) {
    double wall = platform::nowSeconds();
    double advance = timerClockAdvanceOver(ms);
    EXPECT_NEAR(advance, (platform::nowSeconds() - wall) * 1000.0, 5.0);
    EXPECT_GE(advance, ms - 5.0);
}

TEST(Music, StartingAtAnOffsetPlaysFromThereAndTheClockStartsThere) {
    std::string path = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(writeTestMp3(path, 4.0));
    ASSERT_TRUE(platform::startMusic(path.c_str(), 2500.0));
    EXPECT_NEAR(platform::musicPositionMs(), 2500.0, 5.0);
    sleepMs(300);
    double pos = platform::musicPositionMs();
    // The device's count plus the offset; a loaded machine delays the audio
    // thread by a few tens of ms, a lost offset would be 2500 ms off.
    EXPECT_NEAR(pos, 2500.0 + consumedMs(), 80.0);
    EXPECT_GT(pos, 2600.0);
    // 1.5 s of track are left: the decoder ends early and the timer takes over.
    sleepMs(1800);
    EXPECT_TRUE(platform::musicStats().ended);
    EXPECT_GT(platform::musicPositionMs(), 4000.0);
    platform::stopMusic();
}

TEST(Music, PauseHoldsTheClockAndResumeContinuesFromThere) {
    std::string path = makeTempDir() + "/tone.mp3";
    ASSERT_TRUE(writeTestMp3(path, 4.0));
    ASSERT_TRUE(platform::startMusic(path.c_str()));
    sleepMs(300);
    platform::pauseMusic(true);
    double held = platform::musicPositionMs();
    uint64_t frames = platform::musicStats().framesConsumed;
    sleepMs(300);
    EXPECT_EQ(platform::musicPositionMs(), held);
    EXPECT_LE(platform::musicStats().framesConsumed, frames + 2048); // a callback in flight
    platform::pauseMusic(false);
    double resumed = platform::musicPositionMs();
    EXPECT_GE(resumed, held);
    EXPECT_LT(resumed - held, 5.0);
    expectClockFollowsTheWall(200);
    platform::stopMusic();
}

TEST(Music, SilentClockRunsOnTheTimerFromItsStartAndPauses) {
    testing::internal::CaptureStderr();
    platform::startSilentClock(47000.0);
    EXPECT_TRUE(testing::internal::GetCapturedStderr().empty());
    EXPECT_FALSE(platform::musicStats().playing);
    EXPECT_NEAR(platform::musicPositionMs(), 47000.0, 5.0);
    expectClockFollowsTheWall(200);
    platform::pauseMusic(true);
    EXPECT_EQ(timerClockAdvanceOver(200), 0.0);
    platform::pauseMusic(false);
    expectClockFollowsTheWall(200);
    platform::stopMusic();
}

} // namespace
