// The preview's Left/Right targets on the scene schedule and the picture
// time under an audio/video offset.
#include <gtest/gtest.h>

#include "app/Timeline.h"
#include "tools/preview/SceneJump.h"

namespace {

unsigned start(int scene) {
    return unsigned(sceneTable[scene].startMs);
}

TEST(SceneJump, RightGoesToTheNextStartAndLeftToThisStartOrTheOneBeforeJustAfterAStart) {
    const int last = sceneCount - 1;
    // Music time, then where Right and Left go from there.
    const unsigned cases[][3] = {
        {0, start(1), 0},
        {start(1) - 1, start(1), 0},
        {start(1), start(2), 0},
        {start(1) + sceneJumpGraceMs - 1, start(2), 0},
        {start(1) + sceneJumpGraceMs, start(2), start(1)},
        {start(last - 1) + 2000, start(last), start(last - 1)},
        {start(last - 1) + sceneJumpGraceMs / 2, start(last), start(last - 2)},
        {start(last) + 500, start(last) + 500, start(last - 1)}, // no scene after the last
        {showEndMs - 1, showEndMs - 1, start(last)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nextSceneStart(c[0]), c[1]) << c[0];
        EXPECT_EQ(previousSceneStart(c[0]), c[2]) << c[0];
    }
    unsigned ms = 0; // every start on the way there and back
    for (int k = 1; k < sceneCount; k++) EXPECT_EQ(ms = nextSceneStart(ms), start(k));
    for (int k = sceneCount - 2; k >= 0; k--) EXPECT_EQ(ms = previousSceneStart(ms), start(k));
}

TEST(SceneJump, PictureTimeIsTheSoundLessTheOffsetNeverBelowZero) {
    EXPECT_EQ(pictureTimeMs(5000.7, 0), 5000u);
    EXPECT_EQ(pictureTimeMs(5000.0, 120), 4880u);
    EXPECT_EQ(pictureTimeMs(5000.0, -120), 5120u);
    EXPECT_EQ(pictureTimeMs(50.0, 120), 0u);
}

} // namespace
