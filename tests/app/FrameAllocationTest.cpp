// A frame of the show allocates nothing: the global operator new is replaced
// in this test program by one that counts, and 100 frames spread over all ten
// scenes run after a warm-up frame in each scene.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "tests/support/ShowRunner.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations++;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
// GCC sees free() after inlining the replaced new into a caller and warns of
// a mismatch; the pair here is malloc/free on both sides.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}

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
    long before = allocations.load();
    hundredFrames();
    EXPECT_EQ(allocations.load() - before, 0);
}

TEST(FrameAllocation, SceneNineFramesAllocateNothing) {
    // The metaball surface is rebuilt every frame into buffers made before main.
    testsupport::ShowRunner show;
    ASSERT_TRUE(show.ok());
    show.drawAt(123500, 1.0f);
    long before = allocations.load();
    for (int i = 0; i < 48; i++) show.drawAt(123000u + unsigned(i) * 500, 1.0f);
    EXPECT_EQ(allocations.load() - before, 0);
}

} // namespace
