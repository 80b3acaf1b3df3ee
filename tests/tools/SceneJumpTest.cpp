// The preview's Left/Right targets on the scene schedule and the picture
// time under an audio/video offset.
#include <gtest/gtest.h>

#include "app/Timeline.h"
#include "tools/preview/SceneJump.h"

namespace {

TEST(SceneJump, RightGoesToTheNextStartAndLeftToThisStartOrTheOneBeforeJustAfterAStart) {
    // Music time, then where Right and Left go from there.
    const unsigned cases[][3] = {
        {0, 18000, 0},
        {17999, 18000, 0},
        {18000, 30000, 0},
        {18000 + sceneJumpGraceMs - 1, 30000, 0},
        {18000 + sceneJumpGraceMs, 30000, 18000},
        {125000, 147000, 123000},
        {123456, 147000, 111000},
        {147500, 147500, 123000}, // no scene after the last
        {149999, 149999, 147000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nextSceneStart(c[0]), c[1]) << c[0];
        EXPECT_EQ(previousSceneStart(c[0]), c[2]) << c[0];
    }
    unsigned ms = 0; // every start on the way there and back
    for (int k = 1; k < sceneCount; k++)
        EXPECT_EQ(ms = nextSceneStart(ms), unsigned(sceneTable[k].startMs));
    for (int k = sceneCount - 2; k >= 0; k--)
        EXPECT_EQ(ms = previousSceneStart(ms), unsigned(sceneTable[k].startMs));
}

TEST(SceneJump, PictureTimeIsTheSoundLessTheOffsetNeverBelowZero) {
    EXPECT_EQ(pictureTimeMs(5000.7, 0), 5000u);
    EXPECT_EQ(pictureTimeMs(5000.0, 120), 4880u);
    EXPECT_EQ(pictureTimeMs(5000.0, -120), 5120u);
    EXPECT_EQ(pictureTimeMs(50.0, 120), 0u);
}

} // namespace
