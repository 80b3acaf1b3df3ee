// The scene schedule, the sync functions and the frame step.
#include <gtest/gtest.h>

#include "app/CApplication.h"
#include "app/Timeline.h"

namespace {

void at(unsigned ms) {
    done = false;
    advanceTimeline(ms);
}

TEST(Timeline, ScheduleSwitchesScenesAtTheirBoundaries) {
    const struct {
        unsigned ms;
        int scene;
    } rows[] = {
        {0, 0},      {17999, 0},  {18000, 1},  {29999, 1},  {30000, 2},  {47999, 2},  {48000, 3},
        {59999, 3},  {60000, 4},  {74999, 4},  {75000, 5},  {98999, 5},  {99000, 6},  {110999, 6},
        {111000, 7}, {122999, 7}, {123000, 8}, {146999, 8}, {147000, 9}, {149999, 9},
    };
    for (const auto& row : rows) {
        at(row.ms);
        EXPECT_EQ(currentScene, row.scene) << row.ms << " ms";
        EXPECT_FALSE(done) << row.ms << " ms";
    }
}

TEST(Timeline, ExactlyTheEndKeepsTheSceneAndRunsOn) {
    at(12000);
    at(150000);
    EXPECT_EQ(currentScene, 0); // no row matches: the scene is unchanged
    EXPECT_FALSE(done);
}

TEST(Timeline, PastTheEndRaisesDoneAndKeepsTheLastScene) {
    at(149999);
    at(150001);
    EXPECT_TRUE(done);
    EXPECT_EQ(currentScene, 9);
    EXPECT_FLOAT_EQ(demoMS, 150001.0f);
}

TEST(Timeline, DemoTimeIsTenthsOfASecond) {
    at(12345);
    EXPECT_FLOAT_EQ(demoMS, 12345.0f);
    EXPECT_FLOAT_EQ(demoTime, 123.45f);
}

TEST(Sync, GetSyncCountsOnlySyncsStrictlyPassed) {
    at(0);
    EXPECT_EQ(getSync(), 0);
    at(6000);
    EXPECT_EQ(getSync(), 0);
    at(6001);
    EXPECT_EQ(getSync(), 0);
    at(9000);
    EXPECT_EQ(getSync(), 0);
    at(9001);
    EXPECT_EQ(getSync(), 1);
    at(72451);
    EXPECT_EQ(getSync(), 24);
    at(143801);
    EXPECT_EQ(getSync(), 40);
    at(149999);
    EXPECT_EQ(getSync(), 40);
}

TEST(Sync, FlashFallsLinearlyOver500ms) {
    at(5999);
    EXPECT_EQ(getSyncFloat(), 0.0f);
    at(6000);
    EXPECT_EQ(getSyncFloat(), 0.0f);
    at(6001);
    EXPECT_FLOAT_EQ(getSyncFloat(), 0.998f);
    at(6250);
    EXPECT_FLOAT_EQ(getSyncFloat(), 0.5f);
    at(6499);
    EXPECT_FLOAT_EQ(getSyncFloat(), 0.002f);
    at(6500);
    EXPECT_EQ(getSyncFloat(), 0.0f);
    at(99100);
    EXPECT_FLOAT_EQ(getSyncFloat(), 0.8f);
}

TEST(Sync, TableIsAscendingAndComplete) {
    ASSERT_EQ(syncCount, 41);
    for (int i = 1; i < syncCount; i++) EXPECT_LT(syncs[i - 1], syncs[i]);
    EXPECT_EQ(syncs[0], 6000);
    EXPECT_EQ(syncs[40], 143800);
}

TEST(FrameStep, FirstFrameMeasuresAgainstZeroAndIsCapped) {
    EXPECT_EQ(frameStep(3600000, 0), 50.0f);
    EXPECT_EQ(frameStep(1000, 0), 20.0f);
}

TEST(FrameStep, StepIsTheGapIn50msUnitsCappedAt2500ms) {
    EXPECT_FLOAT_EQ(frameStep(1001, 1000), 0.02f);
    EXPECT_EQ(frameStep(3500, 1000), 50.0f);
    EXPECT_EQ(frameStep(10000, 1000), 50.0f);
    EXPECT_FLOAT_EQ(frameStep(1016, 1000), 0.32f);
    EXPECT_EQ(frameStep(1000, 1000), 0.0f);
}

} // namespace
