// A frame of the show allocates nothing: the global operator new is replaced
// in this test program by one that counts (tools/common/CountingNew), and 100
// frames spread over all ten scenes are counted after a warm-up run of them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "tests/support/ShowRunner.h"
#include "tools/common/CountingNew.h"

namespace {

TEST(FrameAllocation, HundredFramesOverAllScenesAllocateNothing) {
    testsupport::ShowRunner show;
    ASSERT_TRUE(show.ok());
    // Warm-up: the same 100 frames once, so that the GL driver has generated
    // code for every state they use (it allocates when it meets a new one);
    // then the second run of them is counted.
    auto hundredFrames = [&] {
        for (int i = 0; i < 100; i++) show.drawAt(unsigned(i) * 1500 + 250, 1.0f); // 250 .. 148,750 ms
    };
    hundredFrames();
    long before = heapAllocations.load();
    hundredFrames();
    EXPECT_EQ(heapAllocations.load() - before, 0);
}

TEST(FrameAllocation, SceneNineFramesAllocateNothing) {
    // The metaball surface is rebuilt every frame into buffers made before main.
    testsupport::ShowRunner show;
    ASSERT_TRUE(show.ok());
    show.drawAt(123500, 1.0f);
    long before = heapAllocations.load();
    for (int i = 0; i < 48; i++) show.drawAt(123000u + unsigned(i) * 500, 1.0f);
    EXPECT_EQ(heapAllocations.load() - before, 0);
}

} // namespace
