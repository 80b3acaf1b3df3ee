// Scene 5: ribbon depths, fades and segment alphas, the camera bounce and
// its stop at 72,000 ms, the white fade-in, and the small and full-size
// drawings of one frame.
#include "scenes/Scene5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/Timeline.h"
#include "platform/RenderSize.h"
#include "scenes/Scenes.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/Pixels.h"
#include "tests/support/SceneFrames.h"
#include "tests/support/ShowRunner.h"

using namespace Scene5;

namespace {

// Largest difference between horizontally adjacent pixels: sharp edges
// give large steps, a picture stretched from 128 x 128 only small ones.
int sharpestStep(const std::vector<unsigned char>& frame) {
    int step = 0;
    const int w = platform::renderWidth(), h = platform::renderHeight();
    for (int y = 0; y < h; y += 4) {
        for (int x = 1; x < w; x++) {
            for (int c = 0; c < 3; c++) {
                const std::size_t i = (std::size_t(y) * w + x) * 3 + c;
                step = std::max(step, std::abs(int(frame[i]) - int(frame[i - 3])));
            }
        }
    }
    return step;
}

} // namespace

TEST(Scene5Ribbons, DepthsAtTheStartAndTheNearestFading) {
    EXPECT_EQ(ribbonDepth(0, 60000.0f), -190);
    EXPECT_EQ(ribbonDepth(9, 60000.0f), -10);
    EXPECT_FLOAT_EQ(ribbonFade(-10), 0.5f);
    EXPECT_FLOAT_EQ(ribbonFade(-20), 0.0f);
    EXPECT_FLOAT_EQ(ribbonFade(-190), 0.0f);
    EXPECT_FLOAT_EQ(ribbonFade(9), 1.45f);
}

TEST(Scene5Ribbons, DriftTowardsTheViewerAndWrapEveryTwoHundredUnits) {
    // 100 units per second: 10 ms per unit, truncated.
    EXPECT_EQ(ribbonDepth(0, 60019.0f), -189);
    EXPECT_EQ(ribbonDepth(0, 61990.0f), 9);
    EXPECT_EQ(ribbonDepth(0, 62000.0f), -190);
    for (float t = 60000.0f; t < 75000.0f; t += 37.0f) {
        for (int i = 0; i < ribbonCount; i++) {
            const int z = ribbonDepth(i, t);
            ASSERT_GE(z, -190);
            ASSERT_LE(z, 9);
        }
    }
}

TEST(Scene5Ribbons, DriftStopsAt72000ms) {
    demoMS = 71990.0f;
    EXPECT_EQ(driftClock(), 71990.0f);
    demoMS = 74900.0f;
    EXPECT_EQ(driftClock(), freezeMs);
    for (int i = 0; i < ribbonCount; i++)
        EXPECT_EQ(ribbonDepth(i, driftClock()), ribbonDepth(i, 72000.0f));
}

TEST(Scene5Ribbons, SegmentsAreClearAtTheFootAndSolidFromAQuarterUp) {
    EXPECT_FLOAT_EQ(segmentAlpha(0.0f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(segmentAlpha(0.0f, -0.5f), -0.5f);
    EXPECT_FLOAT_EQ(segmentAlpha(0.125f, 0.0f), 0.5f);
    EXPECT_FLOAT_EQ(segmentAlpha(0.25f, -0.5f), 0.5f);
    EXPECT_FLOAT_EQ(segmentAlpha(0.99f, -0.25f), 0.75f);
}

TEST(Scene5Frames, WhiteAtTheStartThenBlackRibbons) {
    testsupport::ShowRunner show(testsupport::assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    EXPECT_GE(testsupport::darkest(testsupport::drawUpdate(scene5update, 60000)), 253);
    // 61,000 ms: the fade is over and the sync of 60,000 ms has died away.
    EXPECT_LT(testsupport::darkest(testsupport::drawUpdate(scene5update, 61000)), 80);
}

TEST(Scene5Frames, SyncsBlurThePictureFrom72000ms) {
    testsupport::ShowRunner show(testsupport::assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    EXPECT_GT(sharpestStep(testsupport::drawUpdate(scene5update, 71900)), 100); // no sync for 3 s
    EXPECT_LT(sharpestStep(testsupport::drawUpdate(scene5update, 72100)), 50);  // 2 x 0.8: all blur
}

TEST(Scene5Frames, EyeBouncesOnSyncsUntil72000msThenStays) {
    testsupport::ShowRunner show(testsupport::assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    // Flash value 0.5 250 ms after the syncs at 60,000 and 72,000 ms.
    const struct {
        float ms, height;
    } cases[] = {{60250.0f, 30.0f}, {61000.0f, 20.0f}, {72250.0f, 20.0f}};
    for (const auto& c : cases) {
        demoMS = c.ms;
        scene5();
        float eye[3];
        testsupport::eyeFromModelview(eye);
        EXPECT_NEAR(eye[0], 0.0f, 1e-3f) << c.ms;
        EXPECT_NEAR(eye[1], c.height, 1e-3f) << c.ms;
        EXPECT_NEAR(eye[2], 1.0f, 1e-3f) << c.ms;
    }
}

TEST(Scene5Frames, SmallAndFullDrawingsShowTheSameScene) {
    testsupport::ShowRunner show(testsupport::assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    demoMS = 66000.0f;
    const testsupport::SmallAndFull now = testsupport::drawSmallAndFull(scene5);
    demoMS = 67300.0f;
    const testsupport::SmallAndFull later = testsupport::drawSmallAndFull(scene5);
    testsupport::expectSameScene(now, later, 4.0, 100);
}
