// A frame of the show allocates nothing: this program replaces the global
// operator new by one that counts (tools/common/CountingNew). Frames spread
// over every scene are drawn twice and the second pass is counted.
#include <gtest/gtest.h>

#include "app/Timeline.h"
#include "tests/support/ShowRunner.h"
#include "tools/common/CountingNew.h"

namespace {

// Four moments of every scene, at 1/8, 3/8, 5/8 and 7/8 of its span.
void drawMomentsOfEveryScene(testsupport::ShowRunner& show) {
    for (int scene = 0; scene < sceneCount; scene++) {
        const unsigned start = unsigned(sceneTable[scene].startMs);
        const unsigned span = unsigned(sceneEndMs(scene)) - start;
        for (unsigned k = 1; k < 8; k += 2) show.drawAt(start + span * k / 8, 1.0f);
    }
}

TEST(FrameAllocation, FramesOfEverySceneAllocateNothing) {
    testsupport::ShowRunner show;
    ASSERT_TRUE(show.ok());
    // The first pass lets the GL driver generate code for every state these
    // frames use: it allocates when it meets a new one.
    drawMomentsOfEveryScene(show);
    const long before = heapAllocations.load();
    drawMomentsOfEveryScene(show);
    EXPECT_EQ(heapAllocations.load() - before, 0);
}

} // namespace
