// The scene schedule, the accent (sync) functions and the frame step, as
// tables of music times in ms.
#include <gtest/gtest.h>

#include <iterator>

#include "app/CApplication.h"
#include "app/Timeline.h"

namespace {

void at(unsigned ms) {
    done = false;
    advanceTimeline(ms);
}

TEST(Timeline, ScheduleSwitchesScenesAtTheirBoundaries) {
    const int starts[] = {0, 18000, 30000, 48000, 60000, 75000, 99000, 111000, 123000, 147000, 150000};
    ASSERT_EQ(sceneCount + 1, int(std::size(starts)));
    for (int scene = 0; scene < sceneCount; scene++) {
        EXPECT_EQ(sceneTable[scene].startMs, starts[scene]);
        EXPECT_EQ(sceneEndMs(scene), starts[scene + 1]);
        for (const int ms : {starts[scene], starts[scene + 1] - 1}) {
            at(unsigned(ms));
            EXPECT_EQ(currentScene, scene) << ms << " ms";
            EXPECT_FALSE(done) << ms << " ms";
        }
    }
    at(12345);
    EXPECT_FLOAT_EQ(demoMS, 12345.0f);
    EXPECT_FLOAT_EQ(demoTime, 123.45f); // tenths of a second
}

TEST(Timeline, TheEndKeepsTheSceneAndOnlyAfterItRaisesDone) {
    at(12000);
    at(150000);
    EXPECT_EQ(currentScene, 0); // no scene's span holds it: unchanged
    EXPECT_FALSE(done);
    at(149999);
    at(150001);
    EXPECT_TRUE(done);
    EXPECT_EQ(currentScene, 9);
    EXPECT_FLOAT_EQ(demoMS, 150001.0f);
}

TEST(Sync, LatestSyncStrictlyPassedAndItsFlashFallingOver500ms) {
    const struct {
        unsigned ms;
        int sync;
        float flash;
    } rows[] = {
        {0, 0, 0.0f},       {5999, 0, 0.0f},     {6000, 0, 0.0f},   {6001, 0, 0.998f},
        {6250, 0, 0.5f},    {6499, 0, 0.002f},   {6500, 0, 0.0f},   {9000, 0, 0.0f},
        {9001, 1, 0.998f},  {72451, 24, 0.998f}, {99100, 29, 0.8f}, {143801, 40, 0.998f},
        {149999, 40, 0.0f},
    };
    for (const auto& [ms, sync, flash] : rows) {
        at(ms);
        EXPECT_EQ(getSync(), sync) << ms << " ms";
        EXPECT_NEAR(getSyncFloat(), flash, 1e-6f) << ms << " ms";
    }
    ASSERT_EQ(syncCount, 41);
    for (int i = 1; i < syncCount; i++) EXPECT_LT(syncs[i - 1], syncs[i]); // getSync scans down
}

TEST(FrameStep, GapIn50msUnitsCappedAt2500msWithoutLowerBound) {
    const struct {
        uint64_t current, last;
        float step;
    } rows[] = {
        {3600000, 0, 50.0f}, {1000, 0, 20.0f},     {1001, 1000, 0.02f}, {1016, 1000, 0.32f},
        {3500, 1000, 50.0f}, {10000, 1000, 50.0f}, {1000, 1000, 0.0f},  {1000, 1050, -1.0f},
    };
    for (const auto& [current, last, step] : rows)
        EXPECT_FLOAT_EQ(frameStep(current, last), step) << current << " - " << last;
}

} // namespace
