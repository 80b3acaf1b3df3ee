// The preview's Left/Right targets on the scene schedule and the picture
// time under an audio/video offset.
#include <gtest/gtest.h>

#include "app/Timeline.h"
#include "tools/preview/SceneJump.h"

namespace {

TEST(SceneJump, RightGoesToTheNextSceneStartAndStaysInTheLastScene) {
    EXPECT_EQ(nextSceneStart(0), 18000u);
    EXPECT_EQ(nextSceneStart(17999), 18000u);
    EXPECT_EQ(nextSceneStart(18000), 30000u);
    EXPECT_EQ(nextSceneStart(123456), 147000u);
    EXPECT_EQ(nextSceneStart(147500), 147500u);
}

TEST(SceneJump, LeftGoesToThisSceneStartOrThePreviousOneJustAfterAStart) {
    EXPECT_EQ(previousSceneStart(25000), 18000u);
    EXPECT_EQ(previousSceneStart(18000 + sceneJumpGraceMs), 18000u);
    EXPECT_EQ(previousSceneStart(18000 + sceneJumpGraceMs - 1), 0u);
    EXPECT_EQ(previousSceneStart(18000), 0u);
    EXPECT_EQ(previousSceneStart(500), 0u);
    EXPECT_EQ(previousSceneStart(149999), 147000u);
}

TEST(SceneJump, EveryStartIsReachedByRightFromTheStartAndByLeftFromTheEnd) {
    unsigned ms = 0;
    for (int k = 1; k < 10; k++) EXPECT_EQ(ms = nextSceneStart(ms), unsigned(sceneStartMs[k]));
    for (int k = 8; k >= 0; k--) EXPECT_EQ(ms = previousSceneStart(ms), unsigned(sceneStartMs[k]));
}

TEST(SceneJump, PictureTimeIsTheSoundLessTheOffsetNeverBelowZero) {
    EXPECT_EQ(pictureTimeMs(5000.7, 0), 5000u);
    EXPECT_EQ(pictureTimeMs(5000.0, 120), 4880u);
    EXPECT_EQ(pictureTimeMs(5000.0, -120), 5120u);
    EXPECT_EQ(pictureTimeMs(50.0, 120), 0u);
}

} // namespace
